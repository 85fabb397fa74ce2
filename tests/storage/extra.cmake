# A few storage tests show a table in the data-aware grid.
target_link_libraries(test_storage PRIVATE orv_dbcontrols)
