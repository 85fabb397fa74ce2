#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Table text is stored in the OEM code page (CP850). These convert between it and the
// program's text; a character the OEM code page lacks is stored as "?".
QByteArray CharToOemA(const QString& text);
QString OemToCharA(const QByteArray& oem);

// The same on NUL-terminated byte texts in the ANSI code page (WINDOWS-1252), as the table's
// record buffers hold them. Both code pages use one byte per character, so the result has the
// length of the source; `target` needs room for it and its NUL and may be `source` itself.
void CharToOemA(const char* source, char* target);
void OemToCharA(const char* source, char* target);
// The same on byte buffers of a given length, NULs kept: memo texts may hold them. `target`
// needs `length` bytes and may be `source` itself.
void CharToOemBuffA(const char* source, char* target, qsizetype length);
void OemToCharBuffA(const char* source, char* target, qsizetype length);

// Direct conversions between the OEM code page and Unicode, one byte per character, without
// a detour through another code page and without a converter opened per call.
QString OemToUnicode(const char* oem, qsizetype size);
// False when the OEM code page has no place for a character of the text: `missing` (when
// given) then receives the first such character and `oem` is left as it was.
bool UnicodeToOem(QStringView text, QByteArray& oem, char32_t* missing = nullptr);
