# The import of shortcuts belongs to the item-table windows' layer.
target_link_libraries(fuzz_${n} PRIVATE orv_itemtable)
