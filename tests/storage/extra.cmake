# The tests of both engines on one table use each engine's own helpers.
target_sources(test_storage PRIVATE
  ${CMAKE_SOURCE_DIR}/tests/storage/dbtable/DbTableTestSupport.cpp
  ${CMAKE_SOURCE_DIR}/tests/storage/dbdataset/DbDatasetTestSupport.cpp)
