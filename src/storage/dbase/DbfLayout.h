#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The bytes of a dBase table as both table engines read them alike: the 32-byte table header,
// the two forms of field descriptors, and the text form of numbers and dates inside fields.
// What the engines read differently (which version byte means which form, how values are
// trimmed and converted for the dataset) stays with each engine.
namespace dbflayout {

// The table header at the start of the file; numbers are little-endian.
inline constexpr int HeaderLength = 32;
inline constexpr int HdrVersion = 0;
inline constexpr int HdrYear = 1; // year of the last update - 1900
inline constexpr int HdrMonth = 2;
inline constexpr int HdrDay = 3;
inline constexpr int HdrRecordCount = 4; // 32 bits
inline constexpr int HdrHeaderSize = 8;  // 16 bits: header, descriptors and terminator
inline constexpr int HdrRecordSize = 10; // 16 bits, deletion byte included

// Version bytes of new tables: without memo fields, and with memos in the dBase IV form.
inline constexpr quint8 VersionNoMemo = 0x03;
inline constexpr quint8 VersionDbase4Memo = 0x8B;

inline constexpr char DescriptorsEnd = 0x0D;
inline constexpr char FileEnd = 0x1A;

// Where the parts of one field descriptor lie, for the short (32-byte) and the wide (48-byte)
// form. The name is NUL-terminated within its area.
struct TDescriptorForm {
    int Start;    // offset of the first descriptor in the file
    int Size;     // bytes per descriptor
    int NameArea; // bytes of the name area at offset 0
    int Letter;   // type letter
    int Length;   // field size
    int Decimals; // decimal count
};
inline constexpr TDescriptorForm ShortDescriptor{32, 32, 11, 11, 16, 17};
inline constexpr TDescriptorForm WideDescriptor{68, 48, 32, 32, 33, 34};

inline quint16 get16(const char* at) {
    return quint16(quint8(at[0]) | (quint8(at[1]) << 8));
}
inline quint32 get32(const char* at) {
    return quint32(quint8(at[0])) | (quint32(quint8(at[1])) << 8) | (quint32(quint8(at[2])) << 16) |
           (quint32(quint8(at[3])) << 24);
}
inline void put16(char* at, quint32 v) {
    at[0] = char(v & 0xFF);
    at[1] = char((v >> 8) & 0xFF);
}
inline void put32(char* at, quint32 v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
}
inline quint16 get16(const QByteArray& b, int at) {
    return get16(b.constData() + at);
}
inline quint32 get32(const QByteArray& b, int at) {
    return get32(b.constData() + at);
}
inline void put16(QByteArray& b, int at, quint32 v) {
    put16(b.data() + at, v);
}
inline void put32(QByteArray& b, int at, quint32 v) {
    put32(b.data() + at, v);
}

// Blanks and the control bytes some writers pad fields with.
inline bool isBlank(char c) {
    return quint8(c) <= 0x20;
}
// A field's bytes without the blanks around them, without copying them.
inline QByteArrayView trimmedView(const char* data, int length) {
    // Fields are mostly padding: step over it sixteen or eight blanks at a time first.
    static const char blanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    int begin = 0;
    int end = length;
#if defined(__SSE2__)
    // Which of sixteen bytes are blanks is told at once, and so where the last other one is.
    const __m128i highestBlank = _mm_set1_epi8(0x20);
    const auto blanksOf = [&](int at) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        return _mm_cmpeq_epi8(_mm_max_epu8(bytes, highestBlank), highestBlank);
    };
    // Wide fields hold short texts: four times sixteen blanks are passed over in one step.
    while (end >= 64 && _mm_movemask_epi8(_mm_and_si128(
                            _mm_and_si128(blanksOf(end - 16), blanksOf(end - 32)),
                            _mm_and_si128(blanksOf(end - 48), blanksOf(end - 64)))) == 0xFFFF)
        end -= 64;
    while (end >= 16) {
        const unsigned others = ~unsigned(_mm_movemask_epi8(blanksOf(end - 16))) & 0xFFFFu;
        if (others != 0) {
            end += 16 - __builtin_clz(others);
            break;
        }
        end -= 16;
    }
#endif
    while (end - begin >= 8 && std::memcmp(data + end - 8, blanks, 8) == 0)
        end -= 8;
    while (end - begin >= 8 && std::memcmp(data + begin, blanks, 8) == 0)
        begin += 8;
    while (begin < end && isBlank(data[begin]))
        ++begin;
    while (end > begin && isBlank(data[end - 1]))
        --end;
    return QByteArrayView(data + begin, end - begin);
}
inline QByteArray trimmed(const char* data, int length) {
    return trimmedView(data, length).toByteArray();
}
// A number's text right-aligned in a field of `length` characters.
inline QByteArray leftPadded(const QByteArray& text, int length) {
    return text.size() < length ? text.rightJustified(length, ' ') : text;
}

// A whole decimal number with an optional sign and leading blanks; false for anything else
// or a value outside low..high.
bool parseInteger(QByteArrayView text, qint64 low, qint64 high, qint64& value);
int intOr(const QByteArray& text, int fallback);
// A number with "." as the decimal point whatever the system's settings; 0 when the text is
// not a finite number.
double floatOr0(const QByteArray& text);

// The date text "yyyymmdd" (trimmed) as a day number of the framework's time stamps. A day or
// month that is missing, not a number or 0 counts as 1; a year of one or two digits lies in
// the current century. 0 when the three numbers name no date of the years 1 to 9999.
int dateOfText(const QByteArray& text);
// The day number as "yyyymmdd"; empty for a day number that names no date.
QByteArray textOfDate(int dayNumber);

} // namespace dbflayout
