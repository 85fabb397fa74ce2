# The round trip lays a saved project out in the player's own menu window; the banner's
# address goes to the recorder that stands in for the desktop's opener.
target_link_libraries(test_editor PRIVATE orv_player)
if(NOT TARGET recordargs)
  add_executable(recordargs ${CMAKE_SOURCE_DIR}/tests/platform/tools/recordargs.cpp)
endif()
add_dependencies(test_editor recordargs)
target_compile_definitions(test_editor PRIVATE ORV_RECORDARGS="$<TARGET_FILE:recordargs>")
# The built project runs the real player; a probe loaded into it reports what its windows show.
# The probe carries no sanitizer, so that it can be preloaded into any build of the player.
if(NOT TARGET playerprobe)
  add_library(playerprobe MODULE ${CMAKE_SOURCE_DIR}/tests/editor/probe/PlayerProbe.cpp)
  target_link_libraries(playerprobe PRIVATE Qt6::Widgets)
  set_property(TARGET playerprobe PROPERTY COMPILE_OPTIONS -Wall -Wextra -Werror)
  set_property(TARGET playerprobe PROPERTY LINK_OPTIONS "")
endif()
add_dependencies(test_editor playerprobe menu)
target_compile_definitions(test_editor PRIVATE ORV_PLAYER_PROBE="$<TARGET_FILE:playerprobe>")
# The help tests open the editor's help as it lies in the build folder.
add_dependencies(test_editor orv_help)
