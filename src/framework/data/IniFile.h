#pragma once

#include "framework/data/Exceptions.h"

#include <QString>
#include <QStringList>

// A key that could not be written; the text is "Unable to write to " and the file name.
ORV_DECLARE_EXCEPTION(EIniFileException, Exception)

// The framework's INI-file class: typed access to one profile file, one key per call, through the
// platform's profile functions. It holds nothing but the file name, so no file stays open.
class TIniFile {
public:
    explicit TIniFile(QString fileName) : fileName_(std::move(fileName)) {}

    const QString& FileName() const { return fileName_; }

    QString ReadString(const QString& section, const QString& ident, const QString& def) const;
    // Decimal, or hexadecimal after "0x"; a value that is not a number gives the default.
    int ReadInteger(const QString& section, const QString& ident, int def) const;
    // The value as an integer, the default taken as 1 or 0; any integer but 0 is true.
    bool ReadBool(const QString& section, const QString& ident, bool def) const;

    // Each raises EIniFileException when the file cannot be written.
    void WriteString(const QString& section, const QString& ident, const QString& value);
    void WriteInteger(const QString& section, const QString& ident, int value);
    void WriteBool(const QString& section, const QString& ident, bool value);
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& ident);

    // A section exists when its header line is there, even without keys.
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& ident) const;
    // The key names of the section, in file order; empty for a missing section.
    QStringList ReadSection(const QString& section) const;

private:
    void Check(bool written) const;

    QString fileName_;
};
