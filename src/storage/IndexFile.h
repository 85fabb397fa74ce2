#pragma once

#include "storage/PagedFile.h"

#include <QByteArray>

namespace dbtable {

// The multi-tag index file (".mdx") beside a table, as far as this engine uses it: the file
// is opened and shared with the table and its 48-byte file header is read; no tag is loaded
// and the index never orders or changes anything. Pages are 512 bytes from the file's start.
class TIndexFile : public TPagedFile {
public:
    static constexpr int HeaderLength = 48;
    static constexpr int PageSize = 512;

    // Reads the file header when the file name's extension is exactly ".mdx". The index plays
    // no part in reading or writing the table, so a file too short for its header is no
    // reason to refuse the table: the missing bytes read as zero and HeaderComplete() is
    // false.
    TIndexFile(const QString& path, TPagedMode mode);

    const QByteArray& Header() const { return header_; }
    bool HeaderComplete() const { return complete_; }
    // The number of tags the file header announces.
    int TagCount() const;

private:
    QByteArray header_;
    bool complete_ = false;
};

} // namespace dbtable
