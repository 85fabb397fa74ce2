#include "platform/Profile.h"

#include "platform/Codepage.h"
#include "platform/ReplaceFile.h"

#include <QFile>
#include <QFileInfo>
#include <limits>

namespace {

const QByteArray Bom("\xEF\xBB\xBF");
const QByteArray CrLf("\r\n");

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

QString trimBlanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

// What a read makes of a stored value.
QString readBack(QStringView stored) {
    QString v = trimBlanks(stored);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == u'"' || v.front() == u'\''))
        return v.mid(1, v.size() - 2);
    return v;
}

// What to store so that a read gives the value back: a value that blanks or quotation marks
// around it would change is enclosed in one more pair of quotation marks. A line break cannot
// live inside a line; it becomes a blank.
QString storedValue(const QString& value) {
    QString v = value;
    v.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    if (readBack(v) == v)
        return v;
    return u'"' + v + u'"';
}

bool hasLineBreak(const QString& s) {
    return s.contains(u'\r') || s.contains(u'\n');
}

bool validSection(const QString& s) {
    return !s.isEmpty() && trimBlanks(s) == s && !hasLineBreak(s) && !s.contains(u']');
}

bool validKey(const QString& k) {
    return !k.isEmpty() && trimBlanks(k) == k && !hasLineBreak(k) && !k.contains(u'=') &&
           !k.startsWith(u'[') && !k.startsWith(u';');
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

QString decodeAnsi(const QByteArray& raw) {
    return isAscii(raw) ? QString::fromLatin1(raw) : Codepage::ToUnicode(raw, Codepage::Ansi);
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

enum class TFileState { Read, Missing, Failed };

TFileState readFile(const QString& fileName, QByteArray* bytes) {
    if (fileName.isEmpty())
        return TFileState::Failed;
    QFileInfo info(fileName);
    if (!info.exists())
        return TFileState::Missing;
    QFile file(fileName);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return TFileState::Failed;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? TFileState::Read : TFileState::Failed;
}

// The bytes go to a temporary file in the same folder, which then replaces the file; a link
// to the file stays a link, and the file keeps its permissions.
bool writeAtomically(const QString& fileName, const QByteArray& bytes) {
    return TReplaceFile::Write(
        fileName, [&bytes](QFile& file) { return file.write(bytes) == bytes.size(); },
        TReplaceFile::Update);
}

// Reads the file, lets `change` edit it and writes it back when anything changed. A file that
// exists but cannot be read is left alone: writing it would lose its other keys.
template <class Change> bool modifyFile(const QString& fileName, Change change) {
    QByteArray before;
    const TFileState state = readFile(fileName, &before);
    if (state == TFileState::Failed)
        return false;
    Profile::TProfileText profile = Profile::TProfileText::Parse(before);
    if (!change(profile))
        return false;
    const QByteArray after = profile.ToBytes();
    if (state == TFileState::Read && after == before)
        return true;
    if (state == TFileState::Missing && after.isEmpty())
        return true;
    return writeAtomically(fileName, after);
}

} // namespace

namespace Profile {

int ParseInt(const QString& text, int def) {
    const qsizetype n = text.size();
    if (n > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        quint32 value = 0;
        int significant = 0;
        for (qsizetype i = 2; i < n; ++i) {
            const int d = hexDigit(text[i]);
            if (d < 0)
                return def;
            if ((significant > 0 || d != 0) && ++significant > 8)
                return def;
            value = (value << 4) | quint32(d);
        }
        return static_cast<int>(value);
    }
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n)
        return def;
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9')
            return def;
        value = value * 10 + (u - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return def;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return def;
    return int(value);
}

TProfileText::TLine TProfileText::MakeLine(QString text, QByteArray raw, QByteArray eol,
                                           bool dirty) {
    TLine line;
    line.text = std::move(text);
    line.raw = std::move(raw);
    line.eol = std::move(eol);
    line.dirty = dirty;
    const QStringView t(line.text);
    qsizetype start = 0;
    while (start < t.size() && isBlank(t[start]))
        ++start;
    if (start < t.size() && t[start] == u'[') {
        const qsizetype close = t.indexOf(u']', start + 1);
        if (close >= 0) {
            line.kind = TKind::Section;
            line.name = trimBlanks(t.mid(start + 1, close - start - 1));
        }
        return line;
    }
    if (start < t.size() && t[start] == u';')
        return line;
    const qsizetype equals = t.indexOf(u'=', start);
    if (equals < 0)
        return line;
    line.name = trimBlanks(t.mid(start, equals - start));
    if (line.name.isEmpty())
        return line;
    line.kind = TKind::Key;
    line.value = t.mid(equals + 1).toString();
    return line;
}

TProfileText TProfileText::Parse(const QByteArray& bytes) {
    TProfileText profile;
    QByteArray body = bytes;
    if (body.startsWith(Bom)) {
        profile.encoding_ = TEncoding::Utf8Bom;
        body.remove(0, Bom.size());
    } else if (Codepage::LooksLikeUtf8(body)) {
        profile.encoding_ = TEncoding::Utf8;
    }
    const bool utf8 = profile.encoding_ != TEncoding::Ansi;
    qsizetype pos = 0;
    const qsizetype n = body.size();
    // Read through the constant bytes: a project of many megabytes is split in one pass.
    const char* data = std::as_const(body).constData();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && data[end] != '\r' && data[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < n)
            next += (data[next] == '\r' && next + 1 < n && data[next + 1] == '\n') ? 2 : 1;
        QByteArray raw = body.mid(pos, end - pos);
        QString text = utf8 ? QString::fromUtf8(raw) : decodeAnsi(raw);
        profile.lines_.push_back(
            MakeLine(std::move(text), std::move(raw), body.mid(end, next - end), false));
        pos = next;
    }
    return profile;
}

QByteArray TProfileText::ToBytes() const {
    TEncoding target = encoding_;
    std::vector<QByteArray> encoded(lines_.size());
    if (target == TEncoding::Ansi) {
        for (size_t i = 0; i < lines_.size() && target == TEncoding::Ansi; ++i) {
            if (!lines_[i].dirty)
                continue;
            bool lossless = true;
            encoded[i] = Codepage::FromUnicode(lines_[i].text, Codepage::Ansi, &lossless);
            if (!lossless)
                target = TEncoding::Utf8Bom;
        }
    }
    const bool reencodeAll = target != encoding_;
    QByteArray out;
    if (target == TEncoding::Utf8Bom)
        out += Bom;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const TLine& line = lines_[i];
        if (!line.dirty && !reencodeAll)
            out += line.raw;
        else if (target == TEncoding::Ansi)
            out += encoded[i];
        else
            out += line.text.toUtf8();
        out += line.eol;
    }
    // An ANSI text that happens to be well-formed UTF-8 would read back as UTF-8; say which it is.
    if (target == TEncoding::Ansi && Codepage::LooksLikeUtf8(out)) {
        QByteArray utf8 = Bom;
        for (const TLine& line : lines_)
            utf8 += line.text.toUtf8() + line.eol;
        return utf8;
    }
    return out;
}

int TProfileText::FindSection(const QString& section, int* end) const {
    const int count = int(lines_.size());
    for (int i = 0; i < count; ++i) {
        if (lines_[size_t(i)].kind != TKind::Section || !sameName(lines_[size_t(i)].name, section))
            continue;
        int e = i + 1;
        while (e < count && lines_[size_t(e)].kind != TKind::Section)
            ++e;
        if (end)
            *end = e;
        return i;
    }
    return -1;
}

QStringList TProfileText::SectionNames() const {
    QStringList names;
    for (const TLine& line : lines_)
        if (line.kind == TKind::Section && !names.contains(line.name, Qt::CaseInsensitive))
            names << line.name;
    return names;
}

QStringList TProfileText::KeyNames(const QString& section) const {
    QStringList names;
    int end = 0;
    const int header = FindSection(section, &end);
    for (int i = header + 1; header >= 0 && i < end; ++i) {
        const TLine& line = lines_[size_t(i)];
        if (line.kind == TKind::Key && !names.contains(line.name, Qt::CaseInsensitive))
            names << line.name;
    }
    return names;
}

bool TProfileText::HasSection(const QString& section) const {
    return FindSection(section, nullptr) >= 0;
}

std::optional<QString> TProfileText::Value(const QString& section, const QString& key) const {
    int end = 0;
    const int header = FindSection(section, &end);
    for (int i = header + 1; header >= 0 && i < end; ++i) {
        const TLine& line = lines_[size_t(i)];
        if (line.kind == TKind::Key && sameName(line.name, key))
            return readBack(line.value);
    }
    return std::nullopt;
}

QString TProfileText::ReadString(const QString& section, const QString& key,
                                 const QString& def) const {
    std::optional<QString> value = Value(section, key);
    if (!value)
        return def;
    if (value->size() > MaxValueLength) {
        value->truncate(MaxValueLength);
        if (value->back().isHighSurrogate())
            value->chop(1);
    }
    return *value;
}

int TProfileText::ReadInt(const QString& section, const QString& key, int def) const {
    return ParseInt(ReadString(section, key, QString()), def);
}

void TProfileText::EnsureLastLineEnded() {
    if (!lines_.empty() && lines_.back().eol.isEmpty())
        lines_.back().eol = CrLf;
}

bool TProfileText::SetValue(const QString& section, const QString& key, const QString& value) {
    if (!validSection(section) || !validKey(key))
        return false;
    TLine keyLine = MakeLine(key + u'=' + storedValue(value), QByteArray(), CrLf, true);
    int end = 0;
    const int header = FindSection(section, &end);
    if (header < 0) {
        EnsureLastLineEnded();
        lines_.push_back(MakeLine(u'[' + section + u']', QByteArray(), CrLf, true));
        lines_.push_back(std::move(keyLine));
        return true;
    }
    int insertAt = header + 1;
    for (int i = header + 1; i < end; ++i) {
        TLine& line = lines_[size_t(i)];
        if (line.kind != TKind::Key)
            continue;
        if (sameName(line.name, key)) {
            keyLine.eol = line.eol; // the rest of the file keeps its line ends
            line = std::move(keyLine);
            return true;
        }
        insertAt = i + 1;
    }
    if (lines_[size_t(insertAt - 1)].eol.isEmpty())
        lines_[size_t(insertAt - 1)].eol = CrLf;
    lines_.insert(lines_.begin() + insertAt, std::move(keyLine));
    return true;
}

void TProfileText::DeleteKey(const QString& section, const QString& key) {
    int end = 0;
    const int header = FindSection(section, &end);
    for (int i = end - 1; header >= 0 && i > header; --i) {
        const TLine& line = lines_[size_t(i)];
        if (line.kind == TKind::Key && sameName(line.name, key))
            lines_.erase(lines_.begin() + i);
    }
}

void TProfileText::DeleteSection(const QString& section) {
    int end = 0;
    for (int header = FindSection(section, &end); header >= 0; header = FindSection(section, &end))
        lines_.erase(lines_.begin() + header, lines_.begin() + end);
}

TProfileText LoadProfile(const QString& fileName) {
    QByteArray bytes;
    if (readFile(fileName, &bytes) != TFileState::Read)
        return TProfileText();
    return TProfileText::Parse(bytes);
}

bool SaveProfile(const QString& fileName, const TProfileText& profile) {
    return writeAtomically(fileName, profile.ToBytes());
}

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def,
                                const QString& fileName) {
    return LoadProfile(fileName).ReadString(section, key, def);
}

int GetPrivateProfileInt(const QString& section, const QString& key, int def,
                         const QString& fileName) {
    return LoadProfile(fileName).ReadInt(section, key, def);
}

QStringList GetPrivateProfileSectionNames(const QString& fileName) {
    return LoadProfile(fileName).SectionNames();
}

QStringList GetPrivateProfileKeyNames(const QString& section, const QString& fileName) {
    return LoadProfile(fileName).KeyNames(section);
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName) {
    return modifyFile(fileName, [&](TProfileText& p) { return p.SetValue(section, key, value); });
}

bool DeletePrivateProfileKey(const QString& section, const QString& key, const QString& fileName) {
    return modifyFile(fileName, [&](TProfileText& p) {
        p.DeleteKey(section, key);
        return true;
    });
}

bool DeletePrivateProfileSection(const QString& section, const QString& fileName) {
    return modifyFile(fileName, [&](TProfileText& p) {
        p.DeleteSection(section);
        return true;
    });
}

} // namespace Profile
