// Opens a memo file from arbitrary bytes, in both forms, and reads memos from the blocks that
// the input names at its end.
#include "FuzzSupport.h"
#include "storage/DbtFile.h"

using namespace dbtable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzzsupport::InputFile("dbt", data, size);
    for (int level : {0, 1}) {
        try {
            TFileRef<TDbtFile> memo(new TDbtFile(path, level, TPagedMode::Read));
            for (quint32 block = 0; block < 8; ++block)
                memo->ReadMemo(block);
            if (size >= 4) {
                const quint32 named = quint32(data[size - 4]) | quint32(data[size - 3]) << 8 |
                                      quint32(data[size - 2]) << 16 | quint32(data[size - 1]) << 24;
                memo->ReadMemo(named);
                TMyBlobFile blob(memo.get(), path, TBlobMode::Read, memo->NextFreeBlock(), nullptr);
                blob.Stream().readAll();
            }
        } catch (const Exception&) {
            // A memo file too short for its header is refused with a message.
        }
    }
    return 0;
}
