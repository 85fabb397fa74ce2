#include "framework/data/IniFile.h"

#include "framework/data/Format.h"
#include "platform/Profile.h"

QString TIniFile::ReadString(const QString& section, const QString& ident,
                             const QString& def) const {
    return Profile::GetPrivateProfileString(section, ident, def, fileName_);
}

int TIniFile::ReadInteger(const QString& section, const QString& ident, int def) const {
    return Profile::GetPrivateProfileInt(section, ident, def, fileName_);
}

bool TIniFile::ReadBool(const QString& section, const QString& ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::Check(bool written) const {
    if (!written)
        throw EIniFileException(Format("Unable to write to %s", {fileName_}));
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
    Check(Profile::WritePrivateProfileString(section, ident, value, fileName_));
}

void TIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
    WriteString(section, ident, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::EraseSection(const QString& section) {
    Check(Profile::DeletePrivateProfileSection(section, fileName_));
}

void TIniFile::DeleteKey(const QString& section, const QString& ident) {
    Check(Profile::DeletePrivateProfileKey(section, ident, fileName_));
}

bool TIniFile::SectionExists(const QString& section) const {
    return Profile::LoadProfile(fileName_).HasSection(section);
}

bool TIniFile::ValueExists(const QString& section, const QString& ident) const {
    return Profile::LoadProfile(fileName_).Value(section, ident).has_value();
}

QStringList TIniFile::ReadSection(const QString& section) const {
    return Profile::GetPrivateProfileKeyNames(section, fileName_);
}
