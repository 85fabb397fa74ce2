#pragma once

#include "storage/dbdataset/DbFieldDef.h"

#include <QString>

namespace storagetest {

// Adds a number field ("N") of the second-generation engine with the given size and decimals.
dbdataset::TDbfFieldDef* AddNumberField(dbdataset::TDbfFieldDefs& defs, const QString& name,
                                        int size, int decimals);

} // namespace storagetest
