# A program that records its arguments and working folder, for tests that start processes.
if(NOT TARGET recordargs)
  add_executable(recordargs ${CMAKE_SOURCE_DIR}/tests/platform/tools/recordargs.cpp)
endif()
add_dependencies(test_platform recordargs)
target_compile_definitions(test_platform PRIVATE ORV_RECORDARGS="$<TARGET_FILE:recordargs>")
# The search as another user, for tests of what that user cannot read.
add_executable(searchfiles ${CMAKE_SOURCE_DIR}/tests/platform/tools/searchfiles.cpp)
target_link_libraries(searchfiles PRIVATE orv_platform)
add_dependencies(test_platform searchfiles)
target_compile_definitions(test_platform PRIVATE ORV_SEARCHFILES="$<TARGET_FILE:searchfiles>")
