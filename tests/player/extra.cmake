# The file list and the about box open files through the shell; the recorder stands in for
# the desktop's opener.
if(NOT TARGET recordargs)
  add_executable(recordargs ${CMAKE_SOURCE_DIR}/tests/platform/tools/recordargs.cpp)
endif()
add_dependencies(test_player recordargs)
target_compile_definitions(test_player PRIVATE ORV_RECORDARGS="$<TARGET_FILE:recordargs>")
# The program's icon is compiled in as bare pixels; the test holds them against the pictures.
target_compile_definitions(test_player PRIVATE ORV_ICON_DIR="${CMAKE_SOURCE_DIR}/resources/player")
