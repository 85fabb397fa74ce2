#include "storage/project/ProjectFile.h"

#include "framework/data/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ProjectFile;

namespace {

TProjectData SampleProject() {
    TProjectData d;
    d.GradientActive = true;
    d.GradientStyle = 1;
    d.GradientStartColor = 5;
    d.ImageMode = 2;
    d.ImageBaseColor = 0x00FF8040;
    d.ImageFile = "C:\\pics\\back.bmp";
    d.IconActive = true;
    d.IconFile = "?:\\app.ico";
    d.SoundFile = "D:\\my.music\\theme.MID";
    d.SoundActive = true;
    d.AppTitle = "Application";
    d.Title1 = "Main title ...";
    d.Title2 = "a\\\\b";
    d.Copyright = "Copyright \u00a9 2000 ";
    d.Title1Font = {"Times New Roman", 28, 16777215, true, true, true, false, false};
    d.Title2Font = {"Arial", 12, 255, false, false, false, true, true};
    d.CopyrightFont = {"MS Sans Serif", 8, -16777201, true, false, false, false, false};
    d.MenuFont = {"Tahoma", 10, 0, true, true, false, false, false};
    const char* captions[] = {"Exit program",    "Program functions", "Show/Hide data", "Find ...",
                              "Show/Hide files", "About ...",         "Help ..."};
    for (int i = 0; i < ButtonCount; ++i)
        d.Buttons[i] = {i != pbTables, captions[i]};
    d.HelpFile = "readme.txt";
    d.RightClick = true;
    for (int r = 0; r < CaptionRows; ++r)
        d.Captions << QString("caption %1").arg(r);
    d.ListVisible = d.ListIcons = true;
    d.ListBackColor = 16777215;
    d.Tools[ptMSInfo] = {true, "System info"};
    d.AboutLines = {"one", "", "three", "four"};
    d.Web = "http://example.invalid";
    d.WebText = "Homepage :";
    d.Entries = {{"Setup", "?:\\setup.exe", "?:\\", "", "1", "0"},
                 {"", "", "", "", "0", "0"},
                 {"Read me", "*open selected file", "", "<##>", "0", "1"}};
    d.DbActive = true;
    d.DbEditable = false;
    d.DbName = "C:\\data\\items.dbf";
    d.DbTitle = "Data";
    for (int n = 1; n <= MaxGroups; ++n)
        d.Groups << TProjectGroup{QString("Group %1").arg(n), QString("grp%1").arg(n)};
    return d;
}

bool SameFont(const TProjectFont& a, const TProjectFont& b) {
    return a.Name == b.Name && a.Size == b.Size && a.Color == b.Color && a.Centered == b.Centered &&
           a.Bold == b.Bold && a.Italic == b.Italic && a.Underline == b.Underline &&
           a.StrikeOut == b.StrikeOut;
}

// "key=value" lines of the written file, in order, with their section.
QStringList Lines(const Profile::TProfileText& p) {
    return QString::fromLatin1(p.ToBytes()).split("\r\n", Qt::SkipEmptyParts);
}

class ProjectFileTest : public testing::Test {
protected:
    QString Path() const { return dir_.filePath("p.qor"); }
    void Put(const QByteArray& bytes) const {
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir dir_;
};

} // namespace

TEST(ProjectKeys, RowEntryAndFontKeys) {
    EXPECT_EQ(RowKey(0), "00");
    EXPECT_EQ(RowKey(5), "05");
    EXPECT_EQ(RowKey(50), "50");
    EXPECT_EQ(EntryKey("Caption_", 0), "Caption_0");
    EXPECT_EQ(EntryKey("Item_", 9), "Item_9");
    EXPECT_EQ(FontKeyOrder(FontTitle1),
              (QStringList{"T1_F", "T1_A", "T1_S", "T1_C", "T1_SB", "T1_SI", "T1_SU", "T1_SK"}));
    EXPECT_EQ(FontKeyOrder(FontMenu),
              (QStringList{"CM_F", "CM_S", "CM_C", "CM_SB", "CM_SI", "CM_SU", "CM_SK"}));
}

TEST(ProjectKeys, BuildFileNames) {
    EXPECT_EQ(BuildFileName("C:\\snd\\theme.WAV"), "qor.WAV");
    EXPECT_EQ(BuildFileName("theme.tar.mid"), "qor.mid");
    EXPECT_EQ(BuildFileName(""), "qor");
    EXPECT_EQ(BuildFileName("README"), "qor");
    EXPECT_EQ(BuildFileName("C:\\my.dir\\README"), "qor"); // a folder's dot is no extension
    EXPECT_EQ(BuildFileName("/home/a.b/x.txt"), "qor.txt");
}

TEST(ProjectWriter, SectionsAndKeysInOrder) {
    const Profile::TProfileText p = ProjectProfile(SampleProject(), false);
    QStringList expected;
    for (const char* s : SectionOrder)
        expected << s;
    EXPECT_EQ(p.SectionNames(), expected);
    EXPECT_EQ(p.KeyNames(SecGradient), (QStringList{"Active", "Style", "SColor", "EColor"}));
    EXPECT_EQ(p.KeyNames(SecImage), (QStringList{"Active", "BmpMode", "BaseColor", "File"}));
    EXPECT_EQ(p.KeyNames(SecIcon), (QStringList{"Active", "File", "Trans"}));
    EXPECT_EQ(p.KeyNames(SecSound), (QStringList{"Active", "File"}));
    QStringList titles{"TC", "T1", "T2", "CP"};
    titles << FontKeyOrder(FontTitle1) << FontKeyOrder(FontTitle2) << FontKeyOrder(FontCopyright);
    EXPECT_EQ(p.KeyNames(SecTitles), titles);
    EXPECT_EQ(p.KeyNames(SecButtons),
              (QStringList{"EnExit", "Exit", "EnAction", "Action", "EnTables", "Tables", "EnFind",
                           "Find", "EnFileList", "FileList", "EnAbout", "About", "EnHelp", "Help",
                           "HelpFile", "RClick"}));
    EXPECT_EQ(p.KeyNames(SecCaptions).size(), 13);
    EXPECT_EQ(p.KeyNames(SecCaptions).last(), "12");
    EXPECT_EQ(p.KeyNames(SecFileList),
              (QStringList{"Visible", "AIcons", "AExe", "ABrowsing", "BGColor", "FGColor"}));
    EXPECT_EQ(p.KeyNames(SecTools), (QStringList{"AExplorer", "CExplorer", "AMSInfo", "CMSInfo",
                                                 "ASoftware", "CSoftware"}));
    EXPECT_EQ(p.KeyNames(SecAbout), (QStringList{"Line1", "Line2", "Line3", "Line4", "WebTxt",
                                                 "Web", "MailTxt", "Mail"}));
    QStringList menu = FontKeyOrder(FontMenu);
    menu << "Count";
    for (int i = 0; i < 3; ++i)
        for (const char* k : EntryKeyNames)
            menu << EntryKey(k, i);
    EXPECT_EQ(p.KeyNames(SecMenu), menu);
    EXPECT_EQ(p.KeyNames(SecDb), (QStringList{"Active", "Editable", "Name", "Title"}));
    EXPECT_EQ(p.KeyNames(SecDbGroups).size(), 50);

    const QStringList lines = Lines(p);
    EXPECT_EQ(lines.mid(0, 5),
              (QStringList{"[Gradient]", "Active=1", "Style=1", "SColor=5", "EColor=0"}));
    EXPECT_TRUE(lines.contains("T1_C=16777215"));
    EXPECT_TRUE(lines.contains("CP_C=-16777201"));
    EXPECT_TRUE(lines.contains("Line2="));
    EXPECT_TRUE(lines.contains("Title=Data"));
    EXPECT_TRUE(lines.contains("T2=a\\\\b"));
}

TEST(ProjectWriter, SoundHelpAndBuildModeNames) {
    TProjectData d = SampleProject();
    Profile::TProfileText normal = ProjectProfile(d, false);
    Profile::TProfileText build = ProjectProfile(d, true);
    EXPECT_EQ(normal.ReadString(SecSound, KeyFile, "-"), d.SoundFile);
    EXPECT_EQ(build.ReadString(SecImage, KeyFile, "-"), "qor.bmp");
    EXPECT_EQ(build.ReadString(SecIcon, KeyFile, "-"), "qor.ico");
    EXPECT_EQ(build.ReadString(SecSound, KeyFile, "-"), "qor.MID");
    EXPECT_EQ(build.ReadString(SecButtons, KeyHelpFile, "-"), "qor.txt");
    EXPECT_EQ(build.ReadString(SecDb, KeyName, "-"), "qor.dbf");
    EXPECT_EQ(normal.ToBytes().size() - build.ToBytes().size(),
              QByteArray("C:\\pics\\back.bmp?:\\app.icoD:\\my.music\\theme.MIDreadme.txt"
                         "C:\\data\\items.dbf")
                      .size() -
                  QByteArray("qor.bmpqor.icoqor.MIDqor.txtqor.dbf").size());

    d.SoundFile.clear();
    d.HelpFile.clear();
    d.ImageFile.clear();
    d.IconFile.clear();
    for (bool forBuild : {false, true}) {
        const Profile::TProfileText p = ProjectProfile(d, forBuild);
        EXPECT_EQ(p.KeyNames(SecSound), QStringList{"Active"});
        EXPECT_EQ(p.ReadString(SecButtons, KeyHelpFile, "-"), forBuild ? "qor" : "");
        EXPECT_EQ(p.ReadString(SecImage, KeyFile, "-"), forBuild ? "qor.bmp" : "");
    }
}

TEST(ProjectWriter, GroupsStopAtFirstEmptyTitle) {
    TProjectData d = SampleProject();
    d.Groups[3].Title.clear(); // rows 5 to 50 still have titles
    Profile::TProfileText p = ProjectProfile(d, false);
    EXPECT_EQ(p.KeyNames(SecDbGroups), (QStringList{"01", "02", "03"}));
    EXPECT_EQ(p.KeyNames(SecDbIdentifiers), (QStringList{"01", "02", "03"}));
    const QStringList lines = Lines(p);
    EXPECT_EQ(lines.mid(lines.indexOf("[DB-Groups]")),
              (QStringList{"[DB-Groups]", "01=Group 1", "02=Group 2", "03=Group 3",
                           "[DB-Identifiers]", "01=grp1", "02=grp2", "03=grp3"}));

    d.Groups[0].Title.clear();
    p = ProjectProfile(d, false);
    EXPECT_FALSE(p.HasSection(SecDbGroups));
    EXPECT_FALSE(p.HasSection(SecDbIdentifiers));
    EXPECT_EQ(p.SectionNames().last(), "DB");
}

TEST_F(ProjectFileTest, RoundTripThroughTheEditorReader) {
    const TProjectData written = SampleProject();
    WriteProject(Path(), written, false);
    TProjectData read;
    read.Groups.resize(MaxGroups);
    ReadProject(Path(), read, TProjectKeyDefaults::Editor());
    EXPECT_EQ(read.GradientStartColor, 5);
    EXPECT_EQ(read.ImageBaseColor, written.ImageBaseColor);
    EXPECT_EQ(read.ImageFile, written.ImageFile);
    EXPECT_EQ(read.SoundFile, written.SoundFile);
    EXPECT_EQ(read.Copyright, written.Copyright); // trailing blank kept
    EXPECT_EQ(read.Title2, written.Title2);
    EXPECT_TRUE(SameFont(read.Title1Font, written.Title1Font));
    EXPECT_TRUE(SameFont(read.Title2Font, written.Title2Font));
    EXPECT_TRUE(SameFont(read.CopyrightFont, written.CopyrightFont));
    EXPECT_TRUE(SameFont(read.MenuFont, written.MenuFont));
    for (int i = 0; i < ButtonCount; ++i) {
        EXPECT_EQ(read.Buttons[i].On, written.Buttons[i].On);
        EXPECT_EQ(read.Buttons[i].Text, written.Buttons[i].Text);
    }
    EXPECT_EQ(read.Captions, written.Captions);
    EXPECT_EQ(read.Tools[ptMSInfo].Text, "System info");
    EXPECT_EQ(read.AboutLines, written.AboutLines);
    ASSERT_EQ(read.Entries.size(), 3);
    EXPECT_EQ(read.Entries[2].Param, "<##>");
    EXPECT_EQ(read.Entries[2].Item, "1");
    EXPECT_EQ(read.Entries[1].Caption, "");
    EXPECT_FALSE(read.DbEditable);
    EXPECT_EQ(read.Groups.size(), 50);
    EXPECT_EQ(read.Groups[49].Identifier, "grp50");
}

TEST_F(ProjectFileTest, SavingReplacesAnOlderFileWhole) {
    TProjectData d = SampleProject();
    d.Entries.clear();
    for (int i = 0; i < 8; ++i)
        d.Entries << TMenuEntry{QString("e%1").arg(i), "x.exe", "", "", "1", "0"};
    WriteProject(Path(), d, false);
    d.Entries.resize(3);
    d.Groups.clear();
    WriteProject(Path(), d, false);
    const Profile::TProfileText p = Profile::LoadProfile(Path());
    EXPECT_FALSE(p.Value(SecMenu, "Caption_3").has_value());
    EXPECT_EQ(p.ReadInt(SecMenu, KeyCount, -1), 3);
    EXPECT_FALSE(p.HasSection(SecDbGroups));
}

TEST_F(ProjectFileTest, SaveFailureRaisesAndKeepsOldFile) {
    const QString folder = dir_.path();
    try {
        WriteProject(folder, SampleProject(), true);
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, "Unable to write to " + folder);
    }
}

TEST_F(ProjectFileTest, EditorDefaultsAndCurrentValues) {
    Put("[DB]\r\nTitle=\r\n[Buttons]\r\nEnTables=2\r\n[Gradient]\r\nStyle=0x1F\r\nSColor=red\r\n");
    TProjectData d;
    d.Title1Font = {"Arial", 30, 123, false, true, true, true, true};
    d.Buttons[pbExit].Text = "Exit program";
    d.HelpFile = "help.hlp";
    d.Captions = QStringList{"current 0"};
    d.ListTextColor = 77;
    d.Tools[ptExplorer] = {true, "Explorer"};
    d.AboutLines[0] = "about";
    d.ImageBaseColor = 99;
    d.Entries << TMenuEntry{"stale", "", "", "", "", ""};
    ReadProject(Path(), d, TProjectKeyDefaults::Editor());
    EXPECT_EQ(d.DbTitle, ""); // empty value: empty title
    EXPECT_TRUE(d.Buttons[pbTables].On);
    EXPECT_EQ(d.GradientStyle, 31);
    EXPECT_EQ(d.GradientStartColor, 0);
    EXPECT_TRUE(d.GradientActive);
    EXPECT_FALSE(d.ImageActive);
    EXPECT_EQ(d.ImageBaseColor, 99);
    EXPECT_TRUE(d.IconActive && d.IconTransparent && d.SoundActive && d.RightClick);
    EXPECT_EQ(d.Title1Font.Name, "Arial");
    EXPECT_EQ(d.Title1Font.Size, 30);
    EXPECT_FALSE(d.Title1Font.Centered);
    EXPECT_FALSE(d.Title1Font.Italic || d.Title1Font.Underline || d.Title1Font.StrikeOut);
    EXPECT_EQ(d.Buttons[pbExit].Text, "Exit program");
    EXPECT_TRUE(d.Buttons[pbExit].On);
    EXPECT_EQ(d.HelpFile, "help.hlp");
    ASSERT_EQ(d.Captions.size(), 13);
    EXPECT_EQ(d.Captions[0], "current 0");
    EXPECT_EQ(d.ListTextColor, 77);
    EXPECT_TRUE(d.Tools[ptExplorer].On);
    EXPECT_EQ(d.AboutLines[0], "about");
    EXPECT_TRUE(d.Entries.isEmpty());
    EXPECT_TRUE(d.DbEditable);

    Put("[DB]\r\nActive=1\r\n");
    ReadProject(Path(), d, TProjectKeyDefaults::Editor());
    EXPECT_EQ(d.DbTitle, "Data"); // missing key: the editor's default
}

TEST_F(ProjectFileTest, PlayerDefaultsForAnEmptyFile) {
    Put("");
    TProjectData d;
    d.Title1Font = {"Times New Roman", 28, 16777215, false, true, true, false, false};
    d.AboutLines[1] = "kept";
    d.WebText = "Homepage :";
    ReadProject(Path(), d, TProjectKeyDefaults::Player());
    EXPECT_TRUE(d.GradientActive);
    EXPECT_EQ(d.GradientStyle, 0);
    EXPECT_FALSE(d.ImageActive);
    EXPECT_EQ(d.ImageBaseColor, 0);
    EXPECT_TRUE(d.Title1Font.Centered);
    EXPECT_EQ(d.Title1Font.Name, "Times New Roman");
    EXPECT_FALSE(d.Title1Font.Bold);
    const char* captions[] = {"Exit",  "Action", "Tables", "Find", "Show/Hide file list",
                              "About", "Help"};
    for (int i = 0; i < ButtonCount; ++i) {
        EXPECT_TRUE(d.Buttons[i].On);
        EXPECT_EQ(d.Buttons[i].Text, captions[i]);
    }
    EXPECT_EQ(d.Captions, QStringList(13));
    EXPECT_TRUE(d.ListVisible && d.ListIcons && d.ListExecute && d.ListBrowsing);
    EXPECT_EQ(d.ListBackColor, 0);
    EXPECT_EQ(d.ListTextColor, 16777215);
    for (const TSwitchedText& t : d.Tools)
        EXPECT_FALSE(t.On);
    EXPECT_EQ(d.AboutLines[1], "kept");
    EXPECT_EQ(d.WebText, "Homepage :");
    EXPECT_FALSE(d.DbActive);
    EXPECT_TRUE(d.DbEditable);
    EXPECT_EQ(d.DbTitle, "");
    EXPECT_TRUE(d.Groups.isEmpty());
    EXPECT_TRUE(d.Entries.isEmpty());
}

TEST_F(ProjectFileTest, PlayerReadsHandWrittenProject) {
    Put("[menu]\r\ncount=99\r\nCaption_0=First\r\nExit_0=0\r\nCaption_10=eleventh\r\n"
        "[DB-GROUPS]\r\n01=  Music \r\n02=\"Videos\"\r\n04=after gap\r\n"
        "[DB-Identifiers]\r\n01=mus\r\n[FileList]\r\nVisible=0\r\nBGColor=0xFF\r\n");
    TProjectData d;
    ReadProject(Path(), d, TProjectKeyDefaults::Player());
    ASSERT_EQ(d.Entries.size(), MaxEntries);
    EXPECT_EQ(d.Entries[0].Caption, "First");
    EXPECT_EQ(d.Entries[0].Exit, "0");
    EXPECT_EQ(d.Entries[9].Caption, "");
    ASSERT_EQ(d.Groups.size(), 2);
    EXPECT_EQ(d.Groups[0].Title, "Music");
    EXPECT_EQ(d.Groups[0].Identifier, "mus");
    EXPECT_EQ(d.Groups[1].Title, "Videos");
    EXPECT_EQ(d.Groups[1].Identifier, "");
    EXPECT_EQ(GroupCount(d), 2);
    EXPECT_FALSE(d.ListVisible);
    EXPECT_EQ(d.ListBackColor, 255);

    Put("[Menu]\r\nCount=-3\r\n");
    ReadProject(Path(), d, TProjectKeyDefaults::Player());
    EXPECT_TRUE(d.Entries.isEmpty());
}

TEST_F(ProjectFileTest, EditorKeepsGridRowsAfterTheLastGroup) {
    Put("[DB-Groups]\r\n01=One\r\n02=\r\n03=Three\r\n[DB-Identifiers]\r\n01=id1\r\n");
    TProjectData d;
    for (int n = 1; n <= MaxGroups; ++n)
        d.Groups << TProjectGroup{QString(), QString("grp%1").arg(n, 2, 10, QChar('0'))};
    ReadProject(Path(), d, TProjectKeyDefaults::Editor());
    ASSERT_EQ(d.Groups.size(), 50);
    EXPECT_EQ(d.Groups[0].Title, "One");
    EXPECT_EQ(d.Groups[0].Identifier, "id1");
    EXPECT_EQ(d.Groups[1].Identifier, "grp02");
    EXPECT_EQ(d.Groups[2].Title, "");
    EXPECT_EQ(GroupCount(d), 1);
}
