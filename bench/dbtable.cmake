# The table benchmark puts the engines beside shapelib's reader (libshp-dev).
find_package(PkgConfig REQUIRED)
pkg_check_modules(SHAPELIB REQUIRED IMPORTED_TARGET shapelib)
target_link_libraries(bench_${n} PRIVATE orv_dbtable orv_dbdataset benchmark::benchmark
                      PkgConfig::SHAPELIB)
