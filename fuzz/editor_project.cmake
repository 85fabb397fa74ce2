# The project file as the editor reads it.
target_link_libraries(fuzz_${n} PRIVATE orv_project)
