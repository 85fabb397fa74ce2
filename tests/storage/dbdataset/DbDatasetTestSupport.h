#pragma once

#include "storage/dbdataset/DbFieldDef.h"

namespace storagetest {

// Adds a number field ("N") of the second-generation engine with the given size and decimals.
inline void AddNumberField(dbdataset::TDbfFieldDefs& defs, const QString& name, int size,
                           int decimals) {
    dbdataset::TDbfFieldDef* def = defs.Add();
    def->SetName(name);
    def->SetNativeFieldType('N');
    def->SetSize(size);
    def->SetPrec(decimals);
}

} // namespace storagetest
