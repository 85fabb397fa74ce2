#include "platform/Oem.h"

#include "platform/Codepage.h"

#include <array>
#include <cstring>
#include <memory>

namespace {

// Converts one byte text between two single-byte code pages. A character that the target
// lacks becomes "?", so the length never changes.
void recode(const char* source, char* target, const char* from, const char* to) {
    const size_t n = std::strlen(source);
    QByteArray out =
        Codepage::FromUnicode(Codepage::ToUnicode(QByteArray(source, qsizetype(n)), from), to);
    out = out.left(qsizetype(n));
    while (size_t(out.size()) < n)
        out.append('?');
    std::memmove(target, out.constData(), n);
    target[n] = '\0';
}

// The OEM code page as two tables, made once: every byte's character, and for every
// character of the basic plane its byte (valid where `held` says so).
struct OemTables {
    std::array<char16_t, 256> toUnicode{};
    std::array<quint8, 0x10000> fromUnicode{};
    std::array<bool, 0x10000> held{};
    // Whether the bytes below 0x80 are the ASCII characters, as in every OEM code page.
    bool asciiKept = true;

    OemTables() {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString chars = Codepage::ToUnicode(all, Codepage::Oem);
        for (int b = 0; b < 256; ++b) {
            const char16_t c = b < chars.size() ? chars[b].unicode() : u'\uFFFD';
            toUnicode[size_t(b)] = c;
            asciiKept = asciiKept && (b >= 0x80 || c == char16_t(b));
            if (c != u'\uFFFD' && !held[c]) {
                held[c] = true;
                fromUnicode[c] = quint8(b);
            }
        }
    }
};

const OemTables& tables() {
    static const std::unique_ptr<OemTables> t = std::make_unique<OemTables>();
    return *t;
}

// Both directions between the ANSI and the OEM code page, byte by byte, worked out once.
struct AnsiOemMaps {
    std::array<char, 256> toOem{};
    std::array<char, 256> fromOem{};

    AnsiOemMaps() {
        for (int b = 0; b < 256; ++b) {
            const char in[2] = {char(b), '\0'};
            char out[2] = {char(b), '\0'};
            if (b != 0)
                CharToOemA(in, out);
            toOem[size_t(b)] = out[0];
            out[0] = char(b);
            if (b != 0)
                OemToCharA(in, out);
            fromOem[size_t(b)] = out[0];
        }
    }
};

const AnsiOemMaps& ansiOemMaps() {
    static const AnsiOemMaps m;
    return m;
}

void mapBytes(const char* source, char* target, qsizetype length,
              const std::array<char, 256>& map) {
    for (qsizetype i = 0; i < length; ++i)
        target[i] = map[quint8(source[i])];
}

// Whether a byte of the text lies above ASCII, looked at eight bytes at a time: every field
// and memo that is shown passes through here.
bool anyAboveAscii(const char* text, qsizetype size) {
    quint64 all = 0;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, text + i, sizeof word);
        all |= word;
    }
    for (; i < size; ++i)
        all |= quint8(text[i]);
    return (all & 0x8080808080808080ULL) != 0;
}

} // namespace

QByteArray CharToOemA(const QString& text) {
    const OemTables& t = tables();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i; // one character beyond the basic plane: none of them is in the code page
            out.append('?');
        } else {
            out.append(t.held[c] ? char(t.fromUnicode[c]) : '?');
        }
    }
    return out;
}

QString OemToCharA(const QByteArray& oem) {
    return OemToUnicode(oem.constData(), oem.size());
}

void CharToOemA(const char* source, char* target) {
    recode(source, target, Codepage::Ansi, Codepage::Oem);
}

void OemToCharA(const char* source, char* target) {
    recode(source, target, Codepage::Oem, Codepage::Ansi);
}

void CharToOemBuffA(const char* source, char* target, qsizetype length) {
    mapBytes(source, target, length, ansiOemMaps().toOem);
}

void OemToCharBuffA(const char* source, char* target, qsizetype length) {
    mapBytes(source, target, length, ansiOemMaps().fromOem);
}

QString OemToUnicode(const char* oem, qsizetype size) {
    const OemTables& t = tables();
    if (!t.asciiKept) {
        QString out(size, Qt::Uninitialized);
        QChar* d = out.data();
        for (qsizetype i = 0; i < size; ++i)
            d[i] = QChar(t.toUnicode[quint8(oem[i])]);
        return out;
    }
    // Table text is mostly ASCII: it is widened as it stands, and only the bytes above it are
    // looked up.
    QString out = QString::fromLatin1(oem, size);
    if (anyAboveAscii(oem, size)) {
        QChar* d = out.data();
        for (qsizetype i = 0; i < size; ++i)
            if (quint8(oem[i]) >= 0x80)
                d[i] = QChar(t.toUnicode[quint8(oem[i])]);
    }
    return out;
}

bool UnicodeToOem(QStringView text, QByteArray& oem, char32_t* missing) {
    const OemTables& t = tables();
    QByteArray out(text.size(), Qt::Uninitialized);
    char* d = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) || QChar::isLowSurrogate(c) || !t.held[c]) {
            if (missing) {
                const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                                  QChar::isLowSurrogate(text[i + 1].unicode());
                *missing = pair ? QChar::surrogateToUcs4(c, text[i + 1].unicode()) : char32_t(c);
            }
            return false;
        }
        d[n++] = char(t.fromUnicode[c]);
    }
    out.truncate(n);
    oem = std::move(out);
    return true;
}
