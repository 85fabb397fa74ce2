# The mount table belongs to the platform layer.
target_link_libraries(fuzz_${n} PRIVATE orv_platform)
