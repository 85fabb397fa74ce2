# The index benchmark puts sqlite3 beside the engine as a database's measure (libsqlite3-dev).
find_package(SQLite3 REQUIRED)
target_link_libraries(bench_${n} PRIVATE orv_storage benchmark::benchmark SQLite::SQLite3)
