# The memo files of both engines.
target_link_libraries(fuzz_${n} PRIVATE orv_dbtable orv_dbdataset)
