#include "storage/project/ProjectFile.h"

#include "framework/data/Format.h"
#include "framework/data/IniFile.h"
#include "platform/Files.h"

#include <algorithm>
#include <type_traits>

namespace ProjectFile {

namespace {

QString join(const char* a, const char* b) {
    return QString::fromLatin1(a) + QString::fromLatin1(b);
}

// Key after key into the profile, the way one profile write per key would leave the file.
class TWriter {
public:
    explicit TWriter(Profile::TProfileText& profile) : profile_(profile) {}
    void Text(const char* section, const QString& key, const QString& value) {
        profile_.SetValue(QString::fromLatin1(section), key, value);
    }
    void Int(const char* section, const QString& key, int value) {
        Text(section, key, QString::number(value));
    }
    void Switch(const char* section, const QString& key, bool value) {
        Text(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
    }
    template <size_t N>
    void SwitchedTexts(const char* section, const std::array<TSwitchedTextKeys, N>& keys,
                       const std::array<TSwitchedText, N>& values) {
        for (size_t i = 0; i < N; ++i) {
            Switch(section, keys[i].Switch, values[i].On);
            Text(section, keys[i].Text, values[i].Text);
        }
    }
    void Font(const char* section, const TFontKeys& group, const TProjectFont& font) {
        Text(section, join(group.Prefix, FontName), font.Name);
        if (group.HasCentered)
            Switch(section, join(group.Prefix, FontCentered), font.Centered);
        Int(section, join(group.Prefix, FontSize), font.Size);
        Int(section, join(group.Prefix, FontColor), font.Color);
        Switch(section, join(group.Prefix, FontBold), font.Bold);
        Switch(section, join(group.Prefix, FontItalic), font.Italic);
        Switch(section, join(group.Prefix, FontUnderline), font.Underline);
        Switch(section, join(group.Prefix, FontStrikeOut), font.StrikeOut);
    }

private:
    Profile::TProfileText& profile_;
};

class TReader {
public:
    explicit TReader(const Profile::TProfileText& profile) : profile_(profile) {}
    QString Text(const char* section, const QString& key, const QString& def) const {
        return profile_.ReadString(QString::fromLatin1(section), key, def);
    }
    int Int(const char* section, const QString& key, int def) const {
        return profile_.ReadInt(QString::fromLatin1(section), key, def);
    }
    bool Switch(const char* section, const QString& key, bool def) const {
        return Int(section, key, def ? 1 : 0) != 0;
    }
    template <class T>
    void Keep(T& value, const char* section, const QString& key,
              const std::optional<T>& def) const {
        if constexpr (std::is_same_v<T, bool>)
            value = Switch(section, key, def.value_or(value));
        else if constexpr (std::is_same_v<T, int>)
            value = Int(section, key, def.value_or(value));
        else
            value = Text(section, key, def.value_or(value));
    }
    void Font(const char* section, const TFontKeys& group, TProjectFont& font,
              const std::optional<bool>& centered) const {
        font.Name = Text(section, join(group.Prefix, FontName), font.Name);
        if (group.HasCentered)
            Keep(font.Centered, section, join(group.Prefix, FontCentered), centered);
        font.Size = Int(section, join(group.Prefix, FontSize), font.Size);
        font.Color = Int(section, join(group.Prefix, FontColor), font.Color);
        font.Bold = Switch(section, join(group.Prefix, FontBold), false);
        font.Italic = Switch(section, join(group.Prefix, FontItalic), false);
        font.Underline = Switch(section, join(group.Prefix, FontUnderline), false);
        font.StrikeOut = Switch(section, join(group.Prefix, FontStrikeOut), false);
    }

private:
    const Profile::TProfileText& profile_;
};

} // namespace

QStringList FontKeyOrder(const TFontKeys& group) {
    QStringList keys{join(group.Prefix, FontName)};
    if (group.HasCentered)
        keys << join(group.Prefix, FontCentered);
    for (const char* suffix :
         {FontSize, FontColor, FontBold, FontItalic, FontUnderline, FontStrikeOut})
        keys << join(group.Prefix, suffix);
    return keys;
}

QString RowKey(int row) {
    return Format(QStringLiteral("%02.2d"), {row});
}

QString EntryKey(const char* name, int entry) {
    return QString::fromLatin1(name) + QString::number(entry);
}

QString BuildFileName(const QString& sourceName) {
    const QString name = Files::ExtractFileName(sourceName);
    const qsizetype dot = name.lastIndexOf(u'.');
    return QString::fromLatin1(BuildStem) + (dot >= 0 ? name.mid(dot) : QString());
}

int GroupCount(const TProjectData& data) {
    int n = 0;
    while (n < data.Groups.size() && n < MaxGroups && !data.Groups[n].Title.isEmpty())
        ++n;
    return n;
}

TProjectKeyDefaults TProjectKeyDefaults::Editor() {
    TProjectKeyDefaults d;
    d.GradientStyle = 1;
    d.ButtonShown = {true, true, false, true, true, true, true};
    d.DbTitle = QStringLiteral("Data");
    return d;
}

TProjectKeyDefaults TProjectKeyDefaults::Player() {
    TProjectKeyDefaults d;
    d.ImageBaseColor = 0;
    d.TitleCentered = true;
    d.ButtonShown.fill(true);
    d.ButtonCaption = {QStringLiteral("Exit"),
                       QStringLiteral("Action"),
                       QStringLiteral("Tables"),
                       QStringLiteral("Find"),
                       QStringLiteral("Show/Hide file list"),
                       QStringLiteral("About"),
                       QStringLiteral("Help")};
    d.HelpFile = QString();
    d.Caption = QString();
    d.ListVisible = d.ListIcons = d.ListExecute = d.ListBrowsing = true;
    d.ListBackColor = 0;
    d.ListTextColor = 16777215;
    d.ToolOn.fill(false);
    d.ToolCaption.fill(QString());
    return d;
}

Profile::TProfileText ProjectProfile(const TProjectData& data, bool forBuild) {
    Profile::TProfileText profile;
    TWriter w(profile);

    w.Switch(SecGradient, KeyActive, data.GradientActive);
    w.Int(SecGradient, KeyStyle, data.GradientStyle);
    w.Int(SecGradient, KeySColor, data.GradientStartColor);
    w.Int(SecGradient, KeyEColor, data.GradientEndColor);

    w.Switch(SecImage, KeyActive, data.ImageActive);
    w.Int(SecImage, KeyBmpMode, data.ImageMode);
    w.Int(SecImage, KeyBaseColor, data.ImageBaseColor);
    w.Text(SecImage, KeyFile, forBuild ? QString::fromLatin1(BuildImageFile) : data.ImageFile);

    w.Switch(SecIcon, KeyActive, data.IconActive);
    w.Text(SecIcon, KeyFile, forBuild ? QString::fromLatin1(BuildIconFile) : data.IconFile);
    w.Switch(SecIcon, KeyTrans, data.IconTransparent);

    w.Switch(SecSound, KeyActive, data.SoundActive);
    if (!data.SoundFile.isEmpty())
        w.Text(SecSound, KeyFile, forBuild ? BuildFileName(data.SoundFile) : data.SoundFile);

    w.Text(SecTitles, KeyAppTitle, data.AppTitle);
    w.Text(SecTitles, KeyTitle1, data.Title1);
    w.Text(SecTitles, KeyTitle2, data.Title2);
    w.Text(SecTitles, KeyCopyright, data.Copyright);
    w.Font(SecTitles, FontTitle1, data.Title1Font);
    w.Font(SecTitles, FontTitle2, data.Title2Font);
    w.Font(SecTitles, FontCopyright, data.CopyrightFont);

    w.SwitchedTexts(SecButtons, ButtonKeys, data.Buttons);
    w.Text(SecButtons, KeyHelpFile, forBuild ? BuildFileName(data.HelpFile) : data.HelpFile);
    w.Switch(SecButtons, KeyRClick, data.RightClick);

    for (int r = 0; r < data.Captions.size(); ++r)
        w.Text(SecCaptions, RowKey(r), data.Captions[r]);

    w.Switch(SecFileList, KeyVisible, data.ListVisible);
    w.Switch(SecFileList, KeyAIcons, data.ListIcons);
    w.Switch(SecFileList, KeyAExe, data.ListExecute);
    w.Switch(SecFileList, KeyABrowsing, data.ListBrowsing);
    w.Int(SecFileList, KeyBGColor, data.ListBackColor);
    w.Int(SecFileList, KeyFGColor, data.ListTextColor);

    w.SwitchedTexts(SecTools, ToolKeys, data.Tools);

    for (int i = 0; i < 4; ++i)
        w.Text(SecAbout, KeyAboutLines[i], data.AboutLines[i]);
    w.Text(SecAbout, KeyWebTxt, data.WebText);
    w.Text(SecAbout, KeyWeb, data.Web);
    w.Text(SecAbout, KeyMailTxt, data.MailText);
    w.Text(SecAbout, KeyMail, data.Mail);

    w.Font(SecMenu, FontMenu, data.MenuFont);
    const int entries = std::min<int>(data.Entries.size(), MaxEntries);
    w.Int(SecMenu, KeyCount, entries);
    for (int i = 0; i < entries; ++i) {
        const TMenuEntry& e = data.Entries[i];
        const std::array<const QString*, 6> values = {&e.Caption, &e.Name, &e.Path,
                                                      &e.Param,   &e.Exit, &e.Item};
        for (size_t k = 0; k < values.size(); ++k)
            w.Text(SecMenu, EntryKey(EntryKeyNames[k], i), *values[k]);
    }

    w.Switch(SecDb, KeyActive, data.DbActive);
    w.Switch(SecDb, KeyEditable, data.DbEditable);
    w.Text(SecDb, KeyName, forBuild ? QString::fromLatin1(BuildTableFile) : data.DbName);
    w.Text(SecDb, KeyTitle, data.DbTitle);

    const int groups = GroupCount(data);
    for (int n = 1; n <= groups; ++n) {
        w.Text(SecDbGroups, RowKey(n), data.Groups[n - 1].Title);
        w.Text(SecDbIdentifiers, RowKey(n), data.Groups[n - 1].Identifier);
    }
    return profile;
}

void WriteProject(const QString& fileName, const TProjectData& data, bool forBuild) {
    if (!Profile::SaveProfile(fileName, ProjectProfile(data, forBuild)))
        throw EIniFileException(Format(QStringLiteral("Unable to write to %s"), {fileName}));
}

void ReadProjectProfile(const Profile::TProfileText& profile, TProjectData& data,
                        const TProjectKeyDefaults& defaults) {
    const TReader r(profile);

    data.GradientActive = r.Switch(SecGradient, KeyActive, defaults.GradientActive);
    data.GradientStyle = r.Int(SecGradient, KeyStyle, defaults.GradientStyle);
    data.GradientStartColor = r.Int(SecGradient, KeySColor, defaults.GradientStartColor);
    data.GradientEndColor = r.Int(SecGradient, KeyEColor, defaults.GradientEndColor);

    data.ImageActive = r.Switch(SecImage, KeyActive, defaults.ImageActive);
    data.ImageMode = r.Int(SecImage, KeyBmpMode, defaults.ImageMode);
    r.Keep(data.ImageBaseColor, SecImage, KeyBaseColor, defaults.ImageBaseColor);
    data.ImageFile = r.Text(SecImage, KeyFile, QString());

    data.IconActive = r.Switch(SecIcon, KeyActive, defaults.IconActive);
    data.IconFile = r.Text(SecIcon, KeyFile, QString());
    data.IconTransparent = r.Switch(SecIcon, KeyTrans, defaults.IconTransparent);

    data.SoundActive = r.Switch(SecSound, KeyActive, defaults.SoundActive);
    data.SoundFile = r.Text(SecSound, KeyFile, QString());

    data.AppTitle = r.Text(SecTitles, KeyAppTitle, QString());
    data.Title1 = r.Text(SecTitles, KeyTitle1, QString());
    data.Title2 = r.Text(SecTitles, KeyTitle2, QString());
    data.Copyright = r.Text(SecTitles, KeyCopyright, QString());
    r.Font(SecTitles, FontTitle1, data.Title1Font, defaults.TitleCentered);
    r.Font(SecTitles, FontTitle2, data.Title2Font, defaults.TitleCentered);
    r.Font(SecTitles, FontCopyright, data.CopyrightFont, std::nullopt);

    for (int i = 0; i < ButtonCount; ++i) {
        data.Buttons[i].On = r.Switch(SecButtons, ButtonKeys[i].Switch, defaults.ButtonShown[i]);
        r.Keep(data.Buttons[i].Text, SecButtons, ButtonKeys[i].Text, defaults.ButtonCaption[i]);
    }
    r.Keep(data.HelpFile, SecButtons, KeyHelpFile, defaults.HelpFile);
    data.RightClick = r.Switch(SecButtons, KeyRClick, defaults.RightClick);

    while (data.Captions.size() < CaptionRows)
        data.Captions << QString();
    for (int row = 0; row < CaptionRows; ++row)
        r.Keep(data.Captions[row], SecCaptions, RowKey(row), defaults.Caption);

    r.Keep(data.ListVisible, SecFileList, KeyVisible, defaults.ListVisible);
    r.Keep(data.ListIcons, SecFileList, KeyAIcons, defaults.ListIcons);
    r.Keep(data.ListExecute, SecFileList, KeyAExe, defaults.ListExecute);
    r.Keep(data.ListBrowsing, SecFileList, KeyABrowsing, defaults.ListBrowsing);
    r.Keep(data.ListBackColor, SecFileList, KeyBGColor, defaults.ListBackColor);
    r.Keep(data.ListTextColor, SecFileList, KeyFGColor, defaults.ListTextColor);

    for (int i = 0; i < ToolCount; ++i) {
        r.Keep(data.Tools[i].On, SecTools, ToolKeys[i].Switch, defaults.ToolOn[i]);
        r.Keep(data.Tools[i].Text, SecTools, ToolKeys[i].Text, defaults.ToolCaption[i]);
    }

    for (int i = 0; i < 4; ++i)
        data.AboutLines[i] = r.Text(SecAbout, KeyAboutLines[i], data.AboutLines[i]);
    data.WebText = r.Text(SecAbout, KeyWebTxt, data.WebText);
    data.Web = r.Text(SecAbout, KeyWeb, data.Web);
    data.MailText = r.Text(SecAbout, KeyMailTxt, data.MailText);
    data.Mail = r.Text(SecAbout, KeyMail, data.Mail);

    r.Font(SecMenu, FontMenu, data.MenuFont, std::nullopt);
    const int entries = std::clamp(r.Int(SecMenu, KeyCount, 0), 0, MaxEntries);
    data.Entries.clear();
    for (int i = 0; i < entries; ++i) {
        TMenuEntry e;
        const std::array<QString*, 6> values = {&e.Caption, &e.Name, &e.Path,
                                                &e.Param,   &e.Exit, &e.Item};
        for (size_t k = 0; k < values.size(); ++k)
            *values[k] = r.Text(SecMenu, EntryKey(EntryKeyNames[k], i), QString());
        data.Entries << e;
    }

    data.DbActive = r.Switch(SecDb, KeyActive, defaults.DbActive);
    data.DbEditable = r.Switch(SecDb, KeyEditable, defaults.DbEditable);
    data.DbName = r.Text(SecDb, KeyName, QString());
    data.DbTitle = r.Text(SecDb, KeyTitle, defaults.DbTitle);

    for (int n = 1; n <= MaxGroups; ++n) {
        const QString title = r.Text(SecDbGroups, RowKey(n), QString());
        if (title.isEmpty())
            break;
        while (data.Groups.size() < n)
            data.Groups << TProjectGroup();
        data.Groups[n - 1] = {title, r.Text(SecDbIdentifiers, RowKey(n), QString())};
    }
}

void ReadProject(const QString& fileName, TProjectData& data, const TProjectKeyDefaults& defaults) {
    ReadProjectProfile(Profile::LoadProfile(fileName), data, defaults);
}

} // namespace ProjectFile
