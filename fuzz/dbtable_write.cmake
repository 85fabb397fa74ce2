# The first engine's dataset, written.
target_link_libraries(fuzz_${n} PRIVATE orv_dbtable)
