# The MIDI readers belong to the media layer.
target_link_libraries(fuzz_${n} PRIVATE orv_media)
