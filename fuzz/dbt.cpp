// Opens a memo file from arbitrary bytes, in both forms, and reads memos from the blocks that
// the input names at its end; the second-generation engine must read every one of them alike.
#include "FuzzSupport.h"
#include "storage/dbdataset/DbMemo.h"
#include "storage/dbtable/DbtMemoFile.h"

using namespace dbtable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzzsupport::InputFile("dbt", data, size);
    for (int level : {0, 1}) {
        try {
            TFileRef<TDbtFile> memo(new TDbtFile(path, level, TPagedMode::Read));
            dbdataset::TFileRef<dbdataset::TDBTFile> second(
                new dbdataset::TDBTFile(path, 0, false, true, level == 0 ? 2 : 4));
            auto read = [&](quint32 block) {
                if (memo->ReadMemo(block) != second->ReadMemo(block))
                    __builtin_trap();
            };
            for (quint32 block = 0; block < 8; ++block)
                read(block);
            if (size >= 4) {
                const quint32 named = quint32(data[size - 4]) | quint32(data[size - 3]) << 8 |
                                      quint32(data[size - 2]) << 16 | quint32(data[size - 1]) << 24;
                read(named);
                TMyBlobFile blob(memo.get(), path, TBlobMode::Read, memo->NextFreeBlock(), nullptr);
                blob.Stream().readAll();
            }
        } catch (const Exception&) {
            // A memo file too short for its header is refused with a message.
        }
    }
    return 0;
}
