#pragma once

class TDataSet;

// The item table of a project: the six fields, in table order, that both programs' item-table
// windows hold as persistent fields and that the editor creates a new table with.
void AddItemTableFields(TDataSet& table);
