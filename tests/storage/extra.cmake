# The tests of both engines on one table use the first engine's own helpers.
target_sources(test_storage PRIVATE
  ${CMAKE_SOURCE_DIR}/tests/storage/dbtable/DbTableTestSupport.cpp)
# A program that ends while it still holds a table of each engine.
add_executable(heldtables ${CMAKE_SOURCE_DIR}/tests/storage/tools/heldtables.cpp)
target_link_libraries(heldtables PRIVATE orv_dbtable orv_dbdataset)
add_dependencies(test_storage heldtables)
target_compile_definitions(test_storage PRIVATE ORV_HELDTABLES="$<TARGET_FILE:heldtables>")
