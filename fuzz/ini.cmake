# A profile file, and the project file read from it.
target_link_libraries(fuzz_${n} PRIVATE orv_project)
