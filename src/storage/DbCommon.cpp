#include "storage/DbCommon.h"

#include "platform/Codepage.h"

#include <QList>

namespace dbdataset {

namespace {

[[noreturn]] void refuseCharacter(char32_t c, const QString& fieldName) {
    const QString shown = c == 0 ? QStringLiteral("NUL") : QString::fromUcs4(&c, 1);
    const QString code = QString::number(uint(c), 16).toUpper().rightJustified(4, '0');
    throw EDbfFileError(
        QStringLiteral("The character \"%1\" (U+%2) cannot be stored in the field \"%3\".")
            .arg(shown, code, fieldName));
}

} // namespace

QByteArray ToTableText(const QString& text, const QString& fieldName) {
    bool lossless = true;
    const QByteArray bytes = Codepage::FromUnicode(text, Codepage::Oem, &lossless);
    if (lossless && !bytes.contains('\0'))
        return bytes;
    // Name the first character that did not make it.
    for (char32_t c : text.toUcs4()) {
        if (c == 0)
            refuseCharacter(c, fieldName);
        bool ok = true;
        Codepage::FromUnicode(QString::fromUcs4(&c, 1), Codepage::Oem, &ok);
        if (!ok)
            refuseCharacter(c, fieldName);
    }
    return bytes;
}

QString FromTableText(const QByteArray& bytes) {
    return Codepage::ToUnicode(bytes, Codepage::Oem);
}

} // namespace dbdataset
