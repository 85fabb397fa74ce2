// Opens an index file from arbitrary bytes, the way a table opens the index beside it.
#include "FuzzSupport.h"
#include "storage/dbtable/MdxIndexFile.h"

using namespace dbtable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzzsupport::InputFile("mdx", data, size);
    try {
        TFileRef<TIndexFile> index(new TIndexFile(path, TPagedMode::Read));
        volatile int tags = index->TagCount();
        (void)tags;
        char page[TIndexFile::PageSize];
        const int pages = std::min(index->RecordCount(), 64);
        for (int n = 0; n <= pages; ++n)
            index->ReadRecord(n, page);
    } catch (const Exception&) {
    }
    return 0;
}
