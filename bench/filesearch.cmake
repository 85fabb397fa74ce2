# The file search beside find(1) on the same tree; it needs the platform layer only.
target_link_libraries(bench_${n} PRIVATE orv_platform)
