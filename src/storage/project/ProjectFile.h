#pragma once

#include "platform/Profile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The project file ("qor.qor", saved projects ".qor" and templates ".zun"): an INI file that the
// editor writes and reads back and the player reads. This module holds its names, its value
// rules, the order in which it is written and the defaults that each program reads it with; the
// windows map their controls to and from `TProjectData`.
namespace ProjectFile {

// Sections, in the order a written file holds them.
inline constexpr const char* SecGradient = "Gradient";
inline constexpr const char* SecImage = "Image";
inline constexpr const char* SecIcon = "Icon";
inline constexpr const char* SecSound = "Sound";
inline constexpr const char* SecTitles = "Titles";
inline constexpr const char* SecButtons = "Buttons";
inline constexpr const char* SecCaptions = "Captions";
inline constexpr const char* SecFileList = "FileList";
inline constexpr const char* SecTools = "Tools";
inline constexpr const char* SecAbout = "About";
inline constexpr const char* SecMenu = "Menu";
inline constexpr const char* SecDb = "DB";
inline constexpr const char* SecDbGroups = "DB-Groups";
inline constexpr const char* SecDbIdentifiers = "DB-Identifiers";
inline constexpr std::array<const char*, 14> SectionOrder = {
    SecGradient, SecImage, SecIcon,  SecSound, SecTitles, SecButtons,  SecCaptions,
    SecFileList, SecTools, SecAbout, SecMenu,  SecDb,     SecDbGroups, SecDbIdentifiers};

// Keys (several sections share `KeyActive` and `KeyFile`).
inline constexpr const char* KeyActive = "Active";
inline constexpr const char* KeyStyle = "Style";         // Gradient
inline constexpr const char* KeySColor = "SColor";       // Gradient
inline constexpr const char* KeyEColor = "EColor";       // Gradient
inline constexpr const char* KeyBmpMode = "BmpMode";     // Image
inline constexpr const char* KeyBaseColor = "BaseColor"; // Image
inline constexpr const char* KeyFile = "File";           // Image, Icon, Sound
inline constexpr const char* KeyTrans = "Trans";         // Icon
inline constexpr const char* KeyAppTitle = "TC";         // Titles
inline constexpr const char* KeyTitle1 = "T1";
inline constexpr const char* KeyTitle2 = "T2";
inline constexpr const char* KeyCopyright = "CP";
inline constexpr const char* KeyHelpFile = "HelpFile"; // Buttons
inline constexpr const char* KeyRClick = "RClick";     // Buttons
inline constexpr const char* KeyVisible = "Visible";   // FileList
inline constexpr const char* KeyAIcons = "AIcons";
inline constexpr const char* KeyAExe = "AExe";
inline constexpr const char* KeyABrowsing = "ABrowsing";
inline constexpr const char* KeyBGColor = "BGColor";
inline constexpr const char* KeyFGColor = "FGColor";
inline constexpr std::array<const char*, 4> KeyAboutLines = {"Line1", "Line2", "Line3", "Line4"};
inline constexpr const char* KeyWebTxt = "WebTxt"; // About
inline constexpr const char* KeyWeb = "Web";
inline constexpr const char* KeyMailTxt = "MailTxt";
inline constexpr const char* KeyMail = "Mail";
inline constexpr const char* KeyCount = "Count";       // Menu
inline constexpr const char* KeyEditable = "Editable"; // DB
inline constexpr const char* KeyName = "Name";         // DB
inline constexpr const char* KeyTitle = "Title";       // DB

// The player's buttons, in the order of the `Buttons` section, with their switch and caption keys.
enum TProjectButton { pbExit, pbAction, pbTables, pbFind, pbFileList, pbAbout, pbHelp };
inline constexpr int ButtonCount = 7;
struct TSwitchedTextKeys {
    const char* Switch;
    const char* Text;
};
inline constexpr std::array<TSwitchedTextKeys, ButtonCount> ButtonKeys = {
    {{"EnExit", "Exit"},
     {"EnAction", "Action"},
     {"EnTables", "Tables"},
     {"EnFind", "Find"},
     {"EnFileList", "FileList"},
     {"EnAbout", "About"},
     {"EnHelp", "Help"}}};

// The tools of the functions menu, in the order of the `Tools` section.
enum TProjectTool { ptExplorer, ptMSInfo, ptSoftware };
inline constexpr int ToolCount = 3;
inline constexpr std::array<TSwitchedTextKeys, ToolCount> ToolKeys = {
    {{"AExplorer", "CExplorer"}, {"AMSInfo", "CMSInfo"}, {"ASoftware", "CSoftware"}}};

// Font key groups: prefix + suffix. Only the two titles carry the centring key.
inline constexpr const char* FontName = "F";
inline constexpr const char* FontCentered = "A";
inline constexpr const char* FontSize = "S";
inline constexpr const char* FontColor = "C";
inline constexpr const char* FontBold = "SB";
inline constexpr const char* FontItalic = "SI";
inline constexpr const char* FontUnderline = "SU";
inline constexpr const char* FontStrikeOut = "SK";
struct TFontKeys {
    const char* Prefix;
    bool HasCentered;
};
inline constexpr TFontKeys FontTitle1 = {"T1_", true};
inline constexpr TFontKeys FontTitle2 = {"T2_", true};
inline constexpr TFontKeys FontCopyright = {"CP_", false};
inline constexpr TFontKeys FontMenu = {"CM_", false};
// The keys of a font group in the order the writer writes them.
QStringList FontKeyOrder(const TFontKeys& group);

// Menu entry keys: name + entry number from 0, in this order per entry.
inline constexpr std::array<const char*, 6> EntryKeyNames = {"Caption_", "Name_", "Path_",
                                                             "Param_",   "Exit_", "Item_"};
inline constexpr int MaxEntries = 10;
inline constexpr int CaptionRows = 13; // "00" to "12"
inline constexpr int MaxGroups = 50;   // "01" to "50"

// "00", "05", "50": the key of a caption or group row.
QString RowKey(int row);
// `Caption_0`, `Name_9`: the key of an entry value.
QString EntryKey(const char* name, int entry);

// Build mode's fixed names.
inline constexpr const char* BuildStem = "qor";
inline constexpr const char* BuildImageFile = "qor.bmp";
inline constexpr const char* BuildIconFile = "qor.ico";
inline constexpr const char* BuildTableFile = "qor.dbf";
// "qor" followed by the extension of the file name (the text from its last "." on, as typed);
// a name without extension gives "qor". A "." in a folder name is not an extension.
QString BuildFileName(const QString& sourceName);

struct TProjectFont {
    QString Name;
    int Size = 0;         // points
    int Color = 0;        // $00BBGGRR, or negative for a system colour
    bool Centered = true; // only the two titles store it
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TProjectFont&) const = default;
};

struct TSwitchedText {
    bool On = false;
    QString Text;
    bool operator==(const TSwitchedText&) const = default;
};

struct TMenuEntry {
    QString Caption;
    QString Name;  // program, document, address or player command
    QString Path;  // working folder
    QString Param; // parameters
    QString Exit;  // "0": the player stays open after starting the entry
    QString Item;  // "1": the entry shows in the pop-up menu only
    bool operator==(const TMenuEntry&) const = default;
};

struct TProjectGroup {
    QString Title;
    QString Identifier;
    bool operator==(const TProjectGroup&) const = default;
};

// Everything a project file holds; plain values so that windows map their controls to it.
struct TProjectData {
    bool GradientActive = false;
    int GradientStyle = 0;      // 0 vertical, 1 horizontal
    int GradientStartColor = 0; // 0 to 13
    int GradientEndColor = 0;   // 0 black, 1 white

    bool ImageActive = false;
    int ImageMode = 0; // 0 tiled, 1 stretched, 2 centred, 3 normal, 4 coloured
    int ImageBaseColor = 0;
    QString ImageFile;

    bool IconActive = false;
    QString IconFile;
    bool IconTransparent = false;

    bool SoundActive = false;
    QString SoundFile; // not written when empty

    QString AppTitle;
    QString Title1;
    QString Title2; // "\\" stands for a line break
    QString Copyright;
    TProjectFont Title1Font;
    TProjectFont Title2Font;
    TProjectFont CopyrightFont;

    std::array<TSwitchedText, ButtonCount> Buttons; // shown; caption
    QString HelpFile;
    bool RightClick = false;

    QStringList Captions; // rows "00" to "12"; a read leaves at least 13

    bool ListVisible = false;
    bool ListIcons = false;
    bool ListExecute = false;
    bool ListBrowsing = false;
    int ListBackColor = 0;
    int ListTextColor = 0;

    std::array<TSwitchedText, ToolCount> Tools; // present; caption

    std::array<QString, 4> AboutLines;
    QString WebText;
    QString Web;
    QString MailText;
    QString Mail;

    TProjectFont MenuFont;
    QList<TMenuEntry> Entries; // at most MaxEntries are read

    bool DbActive = false;
    bool DbEditable = false;
    QString DbName;
    QString DbTitle;
    // Row n + 1 of the groups grid. The groups are the rows before the first empty title; rows
    // after it are neither written nor changed by a read.
    QList<TProjectGroup> Groups;

    bool operator==(const TProjectData&) const = default;
};

// The number of groups: rows before the first empty title, at most MaxGroups.
int GroupCount(const TProjectData& data);

// What a reader takes for a missing key (or a switch or integer that is not a number). An empty
// optional keeps the value the data already holds, the "current" value of the program's control.
// Keys that default to empty text in both programs, the font name, size and colour (always
// current) and the font styles (always off) are not listed.
struct TProjectKeyDefaults {
    bool GradientActive = true;
    int GradientStyle = 0;
    int GradientStartColor = 0;
    int GradientEndColor = 0;
    bool ImageActive = false;
    int ImageMode = 0;
    std::optional<int> ImageBaseColor;
    bool IconActive = true;
    bool IconTransparent = true;
    bool SoundActive = true;
    std::optional<bool> TitleCentered;
    std::array<bool, ButtonCount> ButtonShown{};
    std::array<std::optional<QString>, ButtonCount> ButtonCaption;
    std::optional<QString> HelpFile;
    bool RightClick = true;
    std::optional<QString> Caption;
    std::optional<bool> ListVisible, ListIcons, ListExecute, ListBrowsing;
    std::optional<int> ListBackColor, ListTextColor;
    std::array<std::optional<bool>, ToolCount> ToolOn;
    std::array<std::optional<QString>, ToolCount> ToolCaption;
    bool DbActive = false;
    bool DbEditable = true;
    QString DbTitle;

    // The editor reads `Image` `BaseColor` too, with its current colour as default, so that a
    // project opened and saved again keeps its own base colour.
    static TProjectKeyDefaults Editor();
    static TProjectKeyDefaults Player();
};

// Writes the complete file in its fixed order, replacing any file of that name; `forBuild`
// puts build mode's fixed file names in. The file is replaced only once it is complete, so a
// failed save leaves the earlier file as it was. Raises EIniFileException ("Unable to write to
// " + file name) when it cannot be written.
void WriteProject(const QString& fileName, const TProjectData& data, bool forBuild);
// The same file in memory, key after key in the written order.
Profile::TProfileText ProjectProfile(const TProjectData& data, bool forBuild);

// Reads the file into `data`; keys that are missing take `defaults`. Entries are replaced by the
// file's (at most MaxEntries), groups are set up to the first missing or empty title, and
// `Captions` gets at least 13 rows. Never fails: a missing file gives the defaults.
void ReadProject(const QString& fileName, TProjectData& data, const TProjectKeyDefaults& defaults);
void ReadProjectProfile(const Profile::TProfileText& profile, TProjectData& data,
                        const TProjectKeyDefaults& defaults);

} // namespace ProjectFile
