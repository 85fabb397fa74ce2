#include "platform/Codepage.h"

#include <QList>
#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>
#include <string>

namespace {

// One conversion through iconv; an unconvertible or invalid sequence becomes `replacement`
// and the input moves on by `step` bytes.
std::string convert(const char* to, const char* from, const std::string& in, size_t step,
                    const std::string& replacement, bool* lossless) {
    if (lossless)
        *lossless = true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string();
    std::string out;
    out.reserve(in.size() * 2 + 16);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, size_t(outPtr - buffer));
        if (r == size_t(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: skip the offending unit and mark it.
            if (lossless)
                *lossless = false;
            out += replacement;
            const size_t skip = std::min(step, inLeft);
            inPtr += skip;
            inLeft -= skip;
        }
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv_close(cd);
    return out;
}

} // namespace

namespace Codepage {

QByteArray FromUnicode(const QString& text, const char* codepage, bool* lossless) {
    // UTF-32 input lets a failed character be skipped by exactly one unit.
    QList<uint> ucs4 = text.toUcs4();
    std::string in(reinterpret_cast<const char*>(ucs4.constData()), size_t(ucs4.size()) * 4);
    std::string out = convert(codepage, "UTF-32LE", in, 4, "?", lossless);
    return QByteArray(out.data(), qsizetype(out.size()));
}

QString ToUnicode(const QByteArray& bytes, const char* codepage) {
    std::string in(bytes.constData(), size_t(bytes.size()));
    std::string out = convert("UTF-8", codepage, in, 1, "\xEF\xBF\xBD", nullptr);
    return QString::fromUtf8(out.data(), qsizetype(out.size()));
}

bool LooksLikeUtf8(const QByteArray& bytes) {
    bool beyondAscii = false;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            beyondAscii = true;
            break;
        }
    if (!beyondAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace Codepage
