# The file search beside find(1) on the same tree, and the search window that lists it.
target_link_libraries(bench_${n} PRIVATE orv_platform_ui)
