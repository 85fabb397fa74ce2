#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>

// The bytes of a memo file (".dbt") as both table engines read and write them alike: the
// block size word of the header, the dBase IV prefix before a text and the dBase III end mark
// after one. Where a new file's header comes from and how a memo too long for the file is
// refused stays with each engine.
namespace memolayout {

inline constexpr int DefaultBlockSize = 512;
inline constexpr int BlockSizeWord = 20; // 16 bits in the header
// dBase IV: FF FF 08 00 and the length of prefix and text (32 bits) before the text.
inline constexpr int Dbase4Head = 8;
// dBase III: the text ends with 0x1A 0x1A (or, read from other writers, a NUL).
inline constexpr int Dbase3Mark = 2;
// A dBase IV memo's head and most texts come with one read of this size.
inline constexpr int FirstRead = 128;

// The block size a header's word gives: a word of 0 or one that is not a multiple of 128
// counts as 512.
int SettledBlockWord(int word);
// The bytes a text takes besides itself.
inline qint64 Overhead(bool dbase3) {
    return dbase3 ? Dbase3Mark : Dbase4Head;
}
inline qint64 BlocksFor(qint64 bytes, qint64 blockSize) {
    return (bytes + blockSize - 1) / blockSize;
}
// The text as the file stores it: with its dBase IV prefix or its dBase III end mark.
QByteArray StoredForm(const QByteArray& text, bool dbase3);

// The length of the text a block's first bytes announce; -1 when they are no dBase IV memo
// head (fewer than 8 bytes, another prefix, or a length below 8).
qint64 Dbase4TextLength(const char* head, qint64 got);
// Where the end mark lies in one 512-byte block of a dBase III memo: the first 0x1A 0x1A, NUL,
// or a 0x1A at position 0 when the block before ended with 0x1A (`straddling` then says that
// the text read so far ends with the mark's first half). -1 when the block has none.
int FindDbase3Mark(const char* block, int got, char previousLast, bool& straddling, int& length);

// Where a memo of `needed` blocks goes: back at `block` when it fits the `oldBlocks` it took
// there, else after everything the file holds (a next free block pointing into existing memos
// would overwrite them, one far beyond the end would bloat the file). False when the file has
// no block number left for it; `atEnd` tells which place was taken.
bool PlaceMemo(quint32& block, qint64 needed, qint64 oldBlocks, qint64 fileSize, qint64 blockSize,
               bool& atEnd);

// Reads the memo text that starts at byte `start` through `readAt(pos, data, count)`, which
// returns the bytes it read. Never more than the file holds (`sizeNow()`, asked only for a text
// longer than the first read), whatever a length word says. `stored` (when given) receives
// the bytes the memo takes in the file.
template <class ReadAt, class SizeNow>
QByteArray ReadMemoText(bool dbase3, qint64 start, ReadAt readAt, SizeNow sizeNow,
                        qint64* stored = nullptr) {
    QByteArray text;
    if (stored)
        *stored = 0;
    char chunk[DefaultBlockSize];
    if (!dbase3) {
        const qint64 got = readAt(start, chunk, FirstRead);
        const qint64 wanted = Dbase4TextLength(chunk, got);
        if (wanted < 0)
            return text;
        if (wanted <= got - Dbase4Head) {
            text = QByteArray(chunk + Dbase4Head, wanted);
        } else {
            const qint64 held =
                std::max<qint64>(0, std::min(wanted, sizeNow() - start - Dbase4Head));
            text.resize(held);
            text.resize(readAt(start + Dbase4Head, text.data(), held));
        }
        if (stored)
            *stored = Dbase4Head + text.size();
        return text;
    }
    char previousLast = 0;
    for (qint64 pos = start;; pos += DefaultBlockSize) {
        const int got = int(readAt(pos, chunk, DefaultBlockSize));
        if (got <= 0)
            break;
        bool straddling = false;
        int length = 0;
        const int mark = FindDbase3Mark(chunk, got, previousLast, straddling, length);
        if (mark >= 0) {
            if (straddling)
                text.chop(1);
            text.append(chunk, mark);
            if (stored)
                *stored = text.size() + length;
            return text;
        }
        text.append(chunk, got);
        previousLast = chunk[got - 1];
    }
    if (stored)
        *stored = text.size(); // the end of the file ended it
    return text;
}

} // namespace memolayout
