# The round trip lays a saved project out in the player's own menu window; the banner's
# address goes to the recorder that stands in for the desktop's opener.
target_link_libraries(test_editor PRIVATE orv_player)
if(NOT TARGET recordargs)
  add_executable(recordargs ${CMAKE_SOURCE_DIR}/tests/platform/tools/recordargs.cpp)
endif()
add_dependencies(test_editor recordargs)
target_compile_definitions(test_editor PRIVATE ORV_RECORDARGS="$<TARGET_FILE:recordargs>")
