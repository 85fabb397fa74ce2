# The index benchmark puts sqlite3 beside the engine as a database's measure (libsqlite3-dev).
# Its table is made by the first engine and indexed by the second.
find_package(SQLite3 REQUIRED)
target_link_libraries(bench_${n} PRIVATE orv_dbtable orv_dbdataset benchmark::benchmark
                      SQLite::SQLite3)
