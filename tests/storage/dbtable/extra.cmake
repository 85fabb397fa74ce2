# A few tests of the first engine show a table in the data-aware grid.
target_link_libraries(test_storage_dbtable PRIVATE orv_dbcontrols)
# Another program on a table, for the tests of what two programs see of each other.
if(NOT TARGET tableuser)
  add_executable(tableuser ${CMAKE_SOURCE_DIR}/tests/storage/dbtable/tools/tableuser.cpp)
  target_link_libraries(tableuser PRIVATE orv_dbtable)
endif()
add_dependencies(test_storage_dbtable tableuser)
target_compile_definitions(test_storage_dbtable PRIVATE ORV_TABLEUSER="$<TARGET_FILE:tableuser>")
