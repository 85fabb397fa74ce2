# The first engine's index file.
target_link_libraries(fuzz_${n} PRIVATE orv_dbtable)
