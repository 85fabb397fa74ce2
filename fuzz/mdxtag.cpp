// Reads the tags of a multi-tag index file from arbitrary bytes: each of the first blocks
// taken as a tag header, its tree walked, keys looked up, added and changed.
#include "FuzzSupport.h"
#include "storage/dbtable/MdxIndexFile.h"

#include <cstring>

using namespace dbtable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 100000)
        return 0;
    const QString path = fuzzsupport::InputFile("mdx", data, size);
    for (int block = 1; block <= 3; ++block) {
        try {
            TFileRef<TIndexFile> file(new TIndexFile(path, TPagedMode::ReadWrite));
            // The key's length as the tag header gives it, kept to what a record here holds.
            char header[16] = {};
            file->ReadAt(qint64(block) * TIndexFile::PageSize, header, sizeof header);
            const int length = std::min(quint8(header[12]) | quint8(header[13]) << 8, 64);
            IndexTag tag(file.get(), block, 0, length);
            int steps = 0;
            for (tag.First(); tag.Next() && steps < 300; ++steps)
                (void)tag.GetPhysicalRecNo();
            for (tag.Last(); tag.Prior() && steps < 600; ++steps)
                (void)tag.GetRecNo();
            (void)tag.GetRecordCount();
            char record[64];
            std::memset(record, 'k', sizeof record);
            tag.FindPath(3, record);
            tag.SetPhysicalRecNo(2);
            tag.AddKey(5, record);
            char changed[64];
            std::memset(changed, 'a', sizeof changed);
            tag.UpdateKey(5, record, changed);
        } catch (const Exception&) {
            // A damaged tag is refused with a message.
        }
    }
    return 0;
}
