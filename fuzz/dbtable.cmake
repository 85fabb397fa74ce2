# The first engine's dataset.
target_link_libraries(fuzz_${n} PRIVATE orv_dbtable)
