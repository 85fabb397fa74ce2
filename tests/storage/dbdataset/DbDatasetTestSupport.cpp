#include "DbDatasetTestSupport.h"

namespace storagetest {

dbdataset::TDbfFieldDef* AddNumberField(dbdataset::TDbfFieldDefs& defs, const QString& name,
                                        int size, int decimals) {
    dbdataset::TDbfFieldDef* def = defs.Add();
    def->SetName(name);
    def->SetNativeFieldType('N');
    def->SetSize(size);
    def->SetPrec(decimals);
    return def;
}

} // namespace storagetest
