#include "storage/dbase/MemoLayout.h"

#include "framework/data/DataSetTypes.h"
#include "storage/dbase/DbfLayout.h"

#include <cstring>

namespace memolayout {

namespace {
const char Dbase4Prefix[4] = {char(0xFF), char(0xFF), 0x08, 0x00};
} // namespace

int SettledBlockWord(int word) {
    return word == 0 || word % 128 != 0 ? DefaultBlockSize : word;
}

QByteArray StoredForm(const QByteArray& text, bool dbase3) {
    QByteArray out;
    out.reserve(text.size() + Overhead(dbase3));
    if (!dbase3) {
        char head[Dbase4Head];
        std::memcpy(head, Dbase4Prefix, 4);
        dbflayout::put32(head + 4, quint32(text.size() + Dbase4Head));
        out.append(head, Dbase4Head);
    }
    out.append(text);
    if (dbase3)
        out.append("\x1A\x1A", Dbase3Mark);
    return out;
}

qint64 Dbase4TextLength(const char* head, qint64 got) {
    if (got < Dbase4Head || std::memcmp(head, Dbase4Prefix, 4) != 0)
        return -1;
    const quint32 length = dbflayout::get32(head + 4);
    return length < quint32(Dbase4Head) ? -1 : qint64(length) - Dbase4Head;
}

int FindDbase3Mark(const char* block, int got, char previousLast, bool& straddling, int& length) {
    // A mark that began in the block before comes first, even where a pair follows it.
    if (got > 0 && block[0] == 0x1A && previousLast == 0x1A) {
        straddling = true;
        length = Dbase3Mark;
        return 0;
    }
    for (int i = 0; i < std::min(got, DefaultBlockSize - 1); ++i) {
        if (block[i] == '\0') {
            length = 1;
            return i;
        }
        if (block[i] == 0x1A && i + 1 < got && block[i + 1] == 0x1A) {
            length = Dbase3Mark;
            return i;
        }
    }
    return -1;
}

void RefuseUnmarkable(bool dbase3, const QByteArray& text, const QString& fieldName) {
    if (dbase3 && (text.contains('\0') || text.contains("\x1A\x1A") || text.endsWith('\x1A')))
        DatabaseError(QStringLiteral("The text cannot be stored in the memo field \"%1\": its "
                                     "memo file ends a text at a NUL character or at two "
                                     "characters U+001A in a row.")
                          .arg(fieldName));
}

bool PlaceMemo(quint32& block, qint64 needed, qint64 oldBlocks, qint64 fileSize, qint64 blockSize,
               bool& atEnd) {
    atEnd = block == 0 || needed > oldBlocks;
    if (!atEnd)
        return true;
    const qint64 endBlock = std::max<qint64>(1, BlocksFor(fileSize, blockSize));
    if (endBlock + needed > qint64(UINT32_MAX))
        return false;
    block = quint32(endBlock);
    return true;
}

} // namespace memolayout
