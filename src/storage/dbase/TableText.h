#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

class TField;

// Text as both table engines store it: in the OEM code page, one byte per character. A
// character the code page cannot hold is refused, never replaced; each engine raises the
// refusal with its own exception class.
namespace tabletext {

// Converts `text` into `stored`. False when a character cannot be stored (with `refuseNul`,
// the NUL character too, which would end the text): `refused` then receives the first such
// character and `stored` is left as it was.
bool ToStored(QStringView text, bool refuseNul, QByteArray& stored, char32_t& refused);
QString FromStored(const char* stored, qsizetype size);

// The message that refuses a character for a field.
QString RefusalMessage(char32_t refused, const QString& fieldName);

// The bytes a dataset stores for a text given to one of its fields: a string field keeps at
// most its size in characters, and a character the code page cannot hold among them is
// refused with EDatabaseError and RefusalMessage.
QByteArray FieldTextToStored(TField* field, const QString& text);

} // namespace tabletext
