# The second engine's table file.
target_link_libraries(fuzz_${n} PRIVATE orv_dbdataset)
