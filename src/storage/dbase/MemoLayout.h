#pragma once

#include <QByteArray>
#include <QString>
#include <QVarLengthArray>
#include <QtGlobal>
#include <algorithm>
#include <cstring>

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

// Refuses, with EDatabaseError naming the field, a text that a dBase III memo cannot give back
// whole: its text ends at the first NUL or 0x1A 0x1A, and a last 0x1A would make that pair
// with its end mark. The dBase IV form, whose length stands before the text, holds any text.
void RefuseUnmarkable(bool dbase3, const QByteArray& text, const QString& fieldName);

// What a memo file holds at one moment: its size and the bytes of its header. Putting a file
// back to its mark takes out every memo stored at its end since (the next free block in
// memory goes back with it; a block size word settled in memory stays so).
struct TMark {
    qint64 Size = 0;
    QVarLengthArray<char, DefaultBlockSize> Header; // taken with every record: not allocated
};

// The mark of a memo file of `size` bytes whose header of `headerLength` bytes is read through
// `readAt(pos, data, count)`.
template <class ReadAt> TMark MarkOf(qint64 size, int headerLength, ReadAt readAt) {
    TMark mark{size, QVarLengthArray<char, DefaultBlockSize>(headerLength, '\0')};
    readAt(0, mark.Header.data(), headerLength);
    return mark;
}

// Puts a memo file back to `mark` through its `size()`, `truncate(size)` and `readAt` and
// `writeAt(pos, data, count)`, `header` being the header in memory; it reports nothing.
template <class Size, class Truncate, class ReadAt, class WriteAt>
void CutBack(const TMark& mark, char* header, Size size, Truncate truncate, ReadAt readAt,
             WriteAt writeAt) noexcept {
    try {
        if (size() > mark.Size)
            truncate(mark.Size);
        if (MarkOf(mark.Size, int(mark.Header.size()), readAt).Header != mark.Header) {
            // Never past the old end: a file shorter than its header block stays so.
            writeAt(0, mark.Header.constData(),
                    int(std::min<qint64>(mark.Header.size(), mark.Size)));
            std::memcpy(header, mark.Header.constData(), 4);
        }
    } catch (...) {
    }
}

// Where a memo of `needed` blocks goes: back at `block` when it fits the `oldBlocks` it took
// there, else after everything the file holds (a next free block pointing into existing memos
// would overwrite them, one far beyond the end would bloat the file). False when the file has
// no block number left for it; `atEnd` tells which place was taken.
bool PlaceMemo(quint32& block, qint64 needed, qint64 oldBlocks, qint64 fileSize, qint64 blockSize,
               bool& atEnd);

// Reads a text that runs from byte `from` to its first dBase III end mark (FindDbase3Mark) or
// the end of the file, through `readAt(pos, data, count)`, `chunk` holding the first `got`
// bytes there already. `length` receives the bytes the text and its mark take.
template <class ReadAt>
QByteArray ReadMarkedText(qint64 from, char* chunk, int got, ReadAt readAt, qint64& length) {
    QByteArray text;
    char previousLast = 0;
    for (qint64 pos = from; got > 0;) {
        bool straddling = false;
        int markLength = 0;
        const int mark = FindDbase3Mark(chunk, got, previousLast, straddling, markLength);
        if (mark >= 0) {
            if (straddling)
                text.chop(1);
            text.append(chunk, mark);
            length = text.size() + markLength;
            return text;
        }
        text.append(chunk, got);
        previousLast = chunk[got - 1];
        pos += got;
        got = int(readAt(pos, chunk, DefaultBlockSize));
    }
    length = text.size(); // the end of the file ended it
    return text;
}

// Reads the memo text that starts at byte `start` through `readAt(pos, data, count)`, which
// returns the bytes it read. Never more than the file holds (`sizeNow()`, asked only for a text
// longer than the first read), whatever a length word says: a dBase IV length that runs past
// the end of the file is damaged, and the text then ends at its end mark as in the dBase III
// form. A memo in the dBase IV form is read as such in either form, as a table's version byte
// may name the other one (the memos of a table are all written in one form, but not
// necessarily the one its version byte names). `stored` (when given) receives the bytes the
// memo takes in the file.
template <class ReadAt, class SizeNow>
QByteArray ReadMemoText(bool dbase3, qint64 start, ReadAt readAt, SizeNow sizeNow,
                        qint64* stored = nullptr) {
    char chunk[DefaultBlockSize];
    qint64 length = 0;
    QByteArray text;
    const int got = int(readAt(start, chunk, dbase3 ? DefaultBlockSize : FirstRead));
    const qint64 wanted = Dbase4TextLength(chunk, got);
    if (wanted >= 0) {
        // Asking the file system for the size costs more than the read itself, and a text
        // that the first read brought whole needs no size.
        if (wanted <= got - Dbase4Head) {
            text = QByteArray(chunk + Dbase4Head, wanted);
        } else if (wanted <= sizeNow() - start - Dbase4Head) {
            text.resize(wanted);
            text.resize(readAt(start + Dbase4Head, text.data(), wanted));
        } else {
            std::memmove(chunk, chunk + Dbase4Head, size_t(got - Dbase4Head));
            text = ReadMarkedText(start + Dbase4Head, chunk, got - Dbase4Head, readAt, length);
        }
        length = Dbase4Head + std::max<qint64>(length, text.size());
    } else if (dbase3) {
        text = ReadMarkedText(start, chunk, got, readAt, length);
    }
    if (stored)
        *stored = length;
    return text;
}

} // namespace memolayout
