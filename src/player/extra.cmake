# The player's own icon, compiled into the layer; PlayerIcon() makes sure it is linked.
set_target_properties(${name} PROPERTIES AUTORCC ON)
target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/resources/player.qrc)
