# The first engine's index tags.
target_link_libraries(fuzz_${n} PRIVATE orv_dbtable)
