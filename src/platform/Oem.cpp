#include "platform/Oem.h"

#include "platform/Codepage.h"

#include <cstring>

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

} // namespace

QByteArray CharToOemA(const QString& text) {
    return Codepage::FromUnicode(text, Codepage::Oem);
}

QString OemToCharA(const QByteArray& oem) {
    return Codepage::ToUnicode(oem, Codepage::Oem);
}

void CharToOemA(const char* source, char* target) {
    recode(source, target, Codepage::Ansi, Codepage::Oem);
}

void OemToCharA(const char* source, char* target) {
    recode(source, target, Codepage::Oem, Codepage::Ansi);
}
