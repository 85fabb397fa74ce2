#pragma once

#include <QByteArray>
#include <QString>

// Conversions between Unicode and the Windows code pages that stored files use, through the
// system's iconv. A character a code page cannot hold comes out as "?"; `lossless` (when
// given) tells whether every character made it.
namespace Codepage {

// Names as iconv knows them.
inline constexpr const char* Ansi = "WINDOWS-1252"; // the ANSI code page of project files
inline constexpr const char* Oem = "CP850";         // the OEM code page of table text

QByteArray FromUnicode(const QString& text, const char* codepage, bool* lossless = nullptr);
QString ToUnicode(const QByteArray& bytes, const char* codepage);

// Whether the bytes are well-formed UTF-8 that uses at least one character beyond ASCII.
bool LooksLikeUtf8(const QByteArray& bytes);

} // namespace Codepage
