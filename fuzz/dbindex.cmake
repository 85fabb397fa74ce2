# The second engine's dataset ordered by an index.
target_link_libraries(fuzz_${n} PRIVATE orv_dbdataset)
