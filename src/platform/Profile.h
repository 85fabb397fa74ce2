#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Stand-ins for the Windows profile (INI file) functions. A profile is a text file of sections,
// each opened by a line "[name]", and under each one "key=value" line per key.
//
// Reading: section and key names match without regard to letter case; the first section of a
// name and the first key of a name in it win; lines that are neither a section header nor a
// "key=value" line (and lines beginning with ";") are ignored; CR LF, LF and CR all end a line.
// A value is trimmed of surrounding blanks and loses one pair of enclosing quotation marks (" or
// '); reads return at most `MaxValueLength` characters. An empty value reads as the empty text;
// only a missing key (or section, or file) gives the default.
//
// Writing changes one key per call: the whole file is read, changed and written back through a
// temporary file in the same folder that then replaces it, so a failed write never leaves a
// truncated file and no file stays open. Lines the call does not touch keep their bytes.
//
// Encoding: files are Windows-1252 ("ANSI") text. A file that starts with a UTF-8 byte order mark,
// or is well-formed UTF-8 using characters beyond ASCII, is read as UTF-8. A write that needs a
// character Windows-1252 cannot hold turns the whole file into UTF-8 with a byte order mark, and a
// UTF-8 file stays UTF-8, so no character an author types is lost.
namespace Profile {

// The longest value a read returns: the system's profile buffer holds 1024 characters.
inline constexpr int MaxValueLength = 1023;

// The integer rule of profile values: decimal with an optional sign, or, when the text is longer
// than two characters and begins with "0x" or "0X", hexadecimal. Anything else, and a decimal
// outside the 32-bit range, gives `def`. A hexadecimal value is taken as a 32-bit pattern (at most
// eight significant digits), so "0xFFFFFFFF" is -1 like a system colour written in hexadecimal.
int ParseInt(const QString& text, int def);

// One profile held in memory: the parser and editor behind the file functions below.
class TProfileText {
public:
    // Never fails: any bytes give some (possibly empty) set of sections.
    static TProfileText Parse(const QByteArray& bytes);
    QByteArray ToBytes() const;

    // Section names and key names, each name once, in file order, as spelt at first occurrence.
    QStringList SectionNames() const;
    QStringList KeyNames(const QString& section) const;
    bool HasSection(const QString& section) const;
    // The whole trimmed and unquoted value; nullopt when the key is missing.
    std::optional<QString> Value(const QString& section, const QString& key) const;

    // The profile reads: value cut to MaxValueLength, and the integer rule above.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInt(const QString& section, const QString& key, int def) const;

    // Replaces the key's line in place, or adds it after the last key line of its section, or
    // adds the section at the end. False (and nothing changed) for a section or key name that a
    // read could not find again (empty, a line break, "]" in a section, "=" in a key ...).
    bool SetValue(const QString& section, const QString& key, const QString& value);
    // Remove every line of the key in its section / every section of the name with its lines.
    void DeleteKey(const QString& section, const QString& key);
    void DeleteSection(const QString& section);

private:
    enum class TKind { Other, Section, Key };
    enum class TEncoding { Ansi, Utf8, Utf8Bom };
    struct TLine {
        QString text;   // decoded line without its line end
        QByteArray raw; // the line's bytes as read; empty for lines written since
        QByteArray eol; // "\r\n", "\n", "\r" or empty for a last line without one
        bool dirty = false;
        TKind kind = TKind::Other;
        QString name;  // section or key name, trimmed
        QString value; // for keys: the text after the first "=", as stored
    };
    static TLine MakeLine(QString text, QByteArray raw, QByteArray eol, bool dirty);
    // Index of the header of the first section of that name, or -1; `end` gets the index after
    // its last line.
    int FindSection(const QString& section, int* end) const;
    void EnsureLastLineEnded();

    std::vector<TLine> lines_;
    TEncoding encoding_ = TEncoding::Ansi;
};

// A file that is missing or cannot be read reads as an empty profile.
TProfileText LoadProfile(const QString& fileName);
// Writes the whole profile atomically; false when it could not be written.
bool SaveProfile(const QString& fileName, const TProfileText& profile);

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def,
                                const QString& fileName);
int GetPrivateProfileInt(const QString& section, const QString& key, int def,
                         const QString& fileName);
QStringList GetPrivateProfileSectionNames(const QString& fileName);
QStringList GetPrivateProfileKeyNames(const QString& section, const QString& fileName);

// Sets one key, creating the file and the section when missing. The deletions are separate
// functions rather than null arguments, so that an empty text can never delete a key by
// accident. Each returns false when the file could not be read or written; deleting what is not
// there succeeds without touching the file.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName);
bool DeletePrivateProfileKey(const QString& section, const QString& key, const QString& fileName);
bool DeletePrivateProfileSection(const QString& section, const QString& fileName);

} // namespace Profile
