# The tests of both engines on one table use the first engine's own helpers.
target_sources(test_storage PRIVATE
  ${CMAKE_SOURCE_DIR}/tests/storage/dbtable/DbTableTestSupport.cpp)
