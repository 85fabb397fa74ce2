# The baseline of the start-up benchmark links Qt Widgets and nothing of the project.
target_link_libraries(bench_${n} PRIVATE Qt6::Widgets)
