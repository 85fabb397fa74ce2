# A few storage tests show a table in the data-aware grid.
target_link_libraries(test_storage PRIVATE orv_dbcontrols)
# Another program on a table, for the tests of what two programs see of each other.
if(NOT TARGET tableuser)
  add_executable(tableuser ${CMAKE_SOURCE_DIR}/tests/storage/tools/tableuser.cpp)
  target_link_libraries(tableuser PRIVATE orv_storage)
endif()
add_dependencies(test_storage tableuser)
target_compile_definitions(test_storage PRIVATE ORV_TABLEUSER="$<TARGET_FILE:tableuser>")
