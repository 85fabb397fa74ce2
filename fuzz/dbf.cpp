// Opens a table from arbitrary bytes and reads every record and every value in every way the
// dataset may ask for it.
#include "FuzzSupport.h"
#include "storage/dbtable/DbfTableFile.h"

#include <vector>

using namespace dbtable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzzsupport::InputFile("dbf", data, size);
    try {
        TFileRef<TDbfFile> table(new TDbfFile(path, TPagedMode::Read));
        table->ReadFieldDescriptors();
        std::vector<char> image(size_t(table->ImageSize()));
        const int count = std::min(table->RecordCount(), 2000);
        const TDbfType types[] = {TDbfType::String,  TDbfType::Smallint, TDbfType::Integer,
                                  TDbfType::Boolean, TDbfType::Float,    TDbfType::Date,
                                  TDbfType::Memo};
        for (int n = 0; n <= count; ++n) {
            table->ReadRecordImage(n, image.data());
            for (size_t i = 0; i < table->Fields().size(); ++i) {
                std::vector<char> out(size_t(table->Fields()[i].Length) + 9);
                for (TDbfType type : types)
                    table->ReadFieldData(int(i), type, out.data(), image.data());
                table->ReadMemoBlock(int(i), image.data());
            }
        }
    } catch (const Exception&) {
        // A damaged table is refused with a message; that is all a reader owes it.
    }
    return 0;
}
