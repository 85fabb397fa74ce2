# The file list and the about box open files through the shell; the recorder stands in for
# the desktop's opener.
if(NOT TARGET recordargs)
  add_executable(recordargs ${CMAKE_SOURCE_DIR}/tests/platform/tools/recordargs.cpp)
endif()
add_dependencies(test_player recordargs)
target_compile_definitions(test_player PRIVATE ORV_RECORDARGS="$<TARGET_FILE:recordargs>")
