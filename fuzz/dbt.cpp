// Opens a memo file from arbitrary bytes, in both forms, and reads memos from the blocks that
// the input names at its end; the second-generation engine must read every one of them alike.
// Then each engine writes the input's last bytes as a memo into a copy of the file: a text the
// datasets would take must read back whole.
#include "FuzzSupport.h"
#include "storage/dbase/MemoLayout.h"
#include "storage/dbdataset/DbMemo.h"
#include "storage/dbtable/DbtMemoFile.h"

using namespace dbtable;

namespace {

template <class Memo> void writeBack(Memo& memo, bool dbase3, const QByteArray& text) {
    try {
        memolayout::RefuseUnmarkable(dbase3, text, "F");
    } catch (const Exception&) {
        return; // refused before anything is written
    }
    try {
        const quint32 block = memo.WriteMemo(0, 0, text);
        if (memo.ReadMemo(block) != text)
            __builtin_trap();
    } catch (const Exception&) {
        // A memo file with no block number left refuses the memo with a message.
    }
}

void writeMemos(const uint8_t* data, size_t size, int level) {
    const QByteArray text(reinterpret_cast<const char*>(data) + size - std::min<size_t>(size, 700),
                          qsizetype(std::min<size_t>(size, 700)));
    try {
        TFileRef<TDbtFile> memo(new TDbtFile(fuzzsupport::InputFile("w1.dbt", data, size), level,
                                             TPagedMode::ReadWrite));
        writeBack(*memo, memo->DBase3(), text);
        dbdataset::TFileRef<dbdataset::TDBTFile> second(new dbdataset::TDBTFile(
            fuzzsupport::InputFile("w2.dbt", data, size), 0, false, false, level == 0 ? 2 : 4));
        writeBack(*second, second->DBase3(), text);
    } catch (const Exception&) {
        // A memo file too short for its header is refused with a message.
    }
}

} // namespace

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
        writeMemos(data, size, level);
    }
    return 0;
}
