#include "storage/dbase/TableText.h"

#include "framework/data/Field.h"
#include "platform/Oem.h"

namespace tabletext {

bool ToStored(QStringView text, bool refuseNul, QByteArray& stored, char32_t& refused) {
    const qsizetype nul = refuseNul ? text.indexOf(QChar(u'\0')) : -1;
    if (nul < 0)
        return UnicodeToOem(text, stored, &refused);
    // A character before the NUL that the code page lacks is the first one refused.
    QByteArray before;
    if (UnicodeToOem(text.first(nul), before, &refused))
        refused = 0;
    return false;
}

QString FromStored(const char* stored, qsizetype size) {
    return OemToUnicode(stored, size);
}

QString RefusalMessage(char32_t refused, const QString& fieldName) {
    const QString shown = refused == 0 ? QStringLiteral("NUL") : QString::fromUcs4(&refused, 1);
    const QString code = QString::number(uint(refused), 16).toUpper().rightJustified(4, '0');
    return QStringLiteral("The character \"%1\" (U+%2) cannot be stored in the field \"%3\".")
        .arg(shown, code, fieldName);
}

QByteArray FieldTextToStored(TField* field, const QString& text) {
    QStringView kept(text);
    if (field->DataType() == ftString && field->Size() > 0) {
        qsizetype end = 0;
        for (int n = 0; n < field->Size() && end < kept.size(); ++n)
            end += kept[end].isHighSurrogate() && end + 1 < kept.size() ? 2 : 1;
        kept = kept.first(end);
    }
    QByteArray stored;
    char32_t refused = 0;
    if (!ToStored(kept, false, stored, refused))
        DatabaseError(RefusalMessage(refused, field->FieldName()));
    return stored;
}

} // namespace tabletext
