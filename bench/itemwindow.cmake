# The item-table window of the player over the benchmark's table: the player's windows, shown
# on Qt's offscreen platform.
target_link_libraries(bench_itemwindow PRIVATE orv_player benchmark::benchmark)
