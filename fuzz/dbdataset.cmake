# The second engine's dataset on a table with its memo and index files.
target_link_libraries(fuzz_${n} PRIVATE orv_dbdataset)
