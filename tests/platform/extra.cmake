# A program that records its arguments and working folder, for tests that start processes.
if(NOT TARGET recordargs)
  add_executable(recordargs ${CMAKE_SOURCE_DIR}/tests/platform/tools/recordargs.cpp)
endif()
add_dependencies(test_platform recordargs)
target_compile_definitions(test_platform PRIVATE ORV_RECORDARGS="$<TARGET_FILE:recordargs>")
