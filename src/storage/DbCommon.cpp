#include "storage/DbCommon.h"

#include "platform/Codepage.h"

#include <QHash>
#include <QList>
#include <array>

namespace dbdataset {

namespace {

// The OEM code page has one byte per character: both directions are worked out once from the
// platform's conversion and then looked up.
struct TCodePageMaps {
    TCodePageMaps() {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QList<uint> chars = Codepage::ToUnicode(all, Codepage::Oem).toUcs4();
        for (int b = 0; b < 256 && b < chars.size(); ++b) {
            toUnicode[size_t(b)] = char32_t(chars[b]);
            if (chars[b] != 0xFFFD && b != 0 && !fromUnicode.contains(char32_t(chars[b])))
                fromUnicode.insert(char32_t(chars[b]), char(b));
        }
    }
    std::array<char32_t, 256> toUnicode{};
    QHash<char32_t, char> fromUnicode;
};

const TCodePageMaps& maps() {
    static const TCodePageMaps m;
    return m;
}

[[noreturn]] void refuseCharacter(char32_t c, const QString& fieldName) {
    const QString shown = c == 0 ? QStringLiteral("NUL") : QString::fromUcs4(&c, 1);
    const QString code = QString::number(uint(c), 16).toUpper().rightJustified(4, '0');
    throw EDbfFileError(
        QStringLiteral("The character \"%1\" (U+%2) cannot be stored in the field \"%3\".")
            .arg(shown, code, fieldName));
}

} // namespace

QByteArray ToTableText(const QString& text, const QString& fieldName) {
    const auto& from = maps().fromUnicode;
    QByteArray bytes;
    bytes.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        const auto it = from.constFind(c);
        if (it == from.constEnd())
            refuseCharacter(c, fieldName);
        bytes.append(it.value());
    }
    return bytes;
}

QString FromTableText(const QByteArray& bytes) {
    const auto& to = maps().toUnicode;
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes)
        text.append(QChar(char16_t(to[quint8(b)])));
    return text;
}

} // namespace dbdataset
