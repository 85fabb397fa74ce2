#include "EditorTestSupport.h"
#include "common/FileSizeLimit.h"

#include "components/Gradient.h"
#include "platform/Profile.h"

#include <QTest>

using namespace Orvello;

namespace {

struct KeyValue {
    const char* section;
    const char* key;
    QString value;
};

} // namespace

TEST_F(EditorTest, SavingWritesEveryControlUnderItsKey) {
    TForm1* f = Start();
    DesignSample(f);
    f->SaveProject(Path("proj/sample.qor"), false);
    const Profile::TProfileText p = Profile::LoadProfile(Path("proj/sample.qor"));
    const KeyValue expected[] = {
        {"Gradient", "Active", "1"},
        {"Gradient", "Style", "0"},
        {"Gradient", "SColor", "11"},
        {"Gradient", "EColor", "1"},
        {"Image", "Active", "0"},
        {"Image", "BmpMode", "2"},
        {"Image", "BaseColor", QString::number(0x123456)},
        {"Image", "File", "back ground.bmp"},
        {"Icon", "Active", "0"},
        {"Icon", "File", "disc.ico"},
        {"Icon", "Trans", "0"},
        {"Sound", "Active", "0"},
        {"Sound", "File", "Tune.MID"},
        {"Titles", "TC", "My CD"},
        {"Titles", "T1", "Welcome"},
        {"Titles", "T2", "Line one\\\\Line two"},
        {"Titles", "CP", "  \"(c) 2024\" Me  "},
        {"Titles", "T1_F", "Arial"},
        {"Titles", "T1_A", "0"},
        {"Titles", "T1_S", "20"},
        {"Titles", "T1_C", QString::number(clYellow)},
        {"Titles", "T1_SB", "1"},
        {"Titles", "T1_SI", "0"},
        {"Titles", "T1_SU", "1"},
        {"Titles", "T1_SK", "0"},
        {"Titles", "T2_A", "1"},
        {"Titles", "T2_SK", "1"},
        {"Titles", "CP_F", "Verdana"},
        {"Titles", "CP_S", "9"},
        {"Titles", "CP_C", QString::number(clWhite)},
        {"Buttons", "EnExit", "0"},
        {"Buttons", "Exit", "Quit"},
        {"Buttons", "EnAction", "1"},
        {"Buttons", "Action", "Menu"},
        {"Buttons", "EnTables", "1"},
        {"Buttons", "Tables", "Data"},
        {"Buttons", "EnFind", "0"},
        {"Buttons", "Find", "Search"},
        {"Buttons", "EnFileList", "1"},
        {"Buttons", "FileList", "Files"},
        {"Buttons", "EnAbout", "0"},
        {"Buttons", "About", "Info"},
        {"Buttons", "EnHelp", "1"},
        {"Buttons", "Help", "Help me"},
        {"Buttons", "HelpFile", "manual.txt"},
        {"Buttons", "RClick", "0"},
        {"Captions", "00", "Open"},
        {"Captions", "06", "Not found: %s"},
        {"Captions", "12", "Program"},
        {"FileList", "Visible", "0"},
        {"FileList", "AIcons", "1"},
        {"FileList", "AExe", "0"},
        {"FileList", "ABrowsing", "1"},
        {"FileList", "BGColor", QString::number(0x00FF00)},
        {"FileList", "FGColor", QString::number(0x0000FF)},
        {"Tools", "AExplorer", "0"},
        {"Tools", "CExplorer", "Files"},
        {"Tools", "AMSInfo", "1"},
        {"Tools", "CMSInfo", "System"},
        {"Tools", "ASoftware", "0"},
        {"Tools", "CSoftware", "Programs"},
        {"About", "Line1", "Line A"},
        {"About", "Line4", QString::fromUtf8("Zoë & Łukasz")},
        {"About", "WebTxt", "Web:"},
        {"About", "Web", "http://x.example"},
        {"About", "MailTxt", "Mail:"},
        {"About", "Mail", "me@x.example"},
        {"Menu", "CM_F", "Georgia"},
        {"Menu", "CM_S", "13"},
        {"Menu", "CM_SB", "1"},
        {"Menu", "Count", "4"},
        {"Menu", "Caption_0", "Start"},
        {"Menu", "Name_0", "?:/setup.exe"},
        {"Menu", "Path_0", "?:"},
        {"Menu", "Param_0", "/S"},
        {"Menu", "Exit_0", "1"},
        {"Menu", "Item_0", "0"},
        {"Menu", "Caption_1", ""},
        {"Menu", "Name_2", "*help"},
        {"Menu", "Item_2", "1"},
        {"Menu", "Name_3", "http://x.example"},
        {"DB", "Active", "1"},
        {"DB", "Editable", "0"},
        {"DB", "Name", "items.dbf"},
        {"DB", "Title", "Items"},
        {"DB-Groups", "01", "Songs"},
        {"DB-Identifiers", "01", "song"},
        {"DB-Groups", "02", "Videos"},
        {"DB-Identifiers", "02", "video"},
    };
    for (const KeyValue& kv : expected)
        EXPECT_EQ(p.Value(kv.section, kv.key).value_or("<missing>"), kv.value)
            << kv.section << " " << kv.key;
    // Groups end at the first empty title.
    EXPECT_EQ(p.KeyNames("DB-Groups"), (QStringList{"01", "02"}));
    EXPECT_EQ(p.SectionNames(), (QStringList{"Gradient", "Image", "Icon", "Sound", "Titles",
                                             "Buttons", "Captions", "FileList", "Tools", "About",
                                             "Menu", "DB", "DB-Groups", "DB-Identifiers"}));

    // Build mode puts the fixed names in.
    f->SaveProject(Path("proj/qor.qor"), true);
    const Profile::TProfileText b = Profile::LoadProfile(Path("proj/qor.qor"));
    EXPECT_EQ(b.ReadString("Image", "File", "-"), "qor.bmp");
    EXPECT_EQ(b.ReadString("Icon", "File", "-"), "qor.ico");
    EXPECT_EQ(b.ReadString("Sound", "File", "-"), "qor.MID");
    EXPECT_EQ(b.ReadString("Buttons", "HelpFile", "-"), "qor.txt");
    EXPECT_EQ(b.ReadString("DB", "Name", "-"), "qor.dbf");
}

TEST_F(EditorTest, OpeningAProjectAndSavingItAgainGivesTheSameBytes) {
    TForm1* f = Start();
    DesignSample(f);
    f->SaveProject(Path("proj/a.qor"), false);
    const QByteArray first = Read("proj/a.qor");

    Application().Reset();
    Application().Title = "Tavolin 1.1";
    f = Start();
    ASSERT_TRUE(f->ResetProject(nullptr, false));
    EXPECT_TRUE(f->LoadProject(Path("proj/a.qor")));
    EXPECT_FALSE(f->Loading);
    f->SaveProject(Path("proj/b.qor"), false);
    EXPECT_EQ(Read("proj/b.qor"), first);

    // What came back is what was designed, including what the handlers might have changed.
    EXPECT_EQ(f->Panel4->Color(), 0x123456);
    EXPECT_EQ(ProjectFontOf(f->Copyright).Color, clWhite);
    EXPECT_FALSE(f->CheckBox3->isChecked()); // "Play" off stays off
    EXPECT_EQ(f->Gradient1->StartColor(), scTeal);
    EXPECT_EQ(f->Gradient1->EndColor(), ecWhite);
    EXPECT_EQ(f->Gradient1->Style(), gsVertical);
    EXPECT_EQ(f->EntryNames, (QStringList{"?:/setup.exe", "", "*help", "http://x.example"}));
    EXPECT_EQ(f->ListBox1->Items(), (QStringList{"Start", "", "Help", "Web"}));
    EXPECT_EQ(f->EntryPopupFlags, (QStringList{"0", "0", "1", "0"}));
    EXPECT_EQ(f->StringGrid1->Cell(1, 2), "Videos");
    EXPECT_EQ(f->StringGrid1->Cell(2, 3), "grp03");
}

TEST_F(EditorTest, TheCaptionsPageAfterOpeningAProjectShowsWhatItShowedWhenSaved) {
    TForm1* f = Start();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    f->RadioButton2->click();
    Answer([](TCommonDialog& d) { return static_cast<TColorDialog&>(d).Color = 16512; });
    QTest::mouseClick(f->Panel4, Qt::LeftButton);
    f->Title1->setFocus();
    QTest::keyClicks(f->Title1, "Install the complete catalogue of garden tools");
    Choose(Path("proj/look.qor"));
    QTest::mouseClick(f->BitBtn1, Qt::LeftButton);
    const QImage saved = f->TabSheet1->grab().toImage();
    Application().Reset();
    f = Start();
    Choose(Path("proj/look.qor"));
    f->BitBtn4->click();
    EXPECT_EQ(f->TabSheet1->grab().toImage(), saved);
}

TEST_F(EditorTest, SavingOverAProjectWithMoreEntriesLeavesNoneOfTheOldOnes) {
    TForm1* f = Start();
    for (int i = 0; i < 8; ++i)
        f->StoreEntry(-1, {QString("E%1").arg(i), "x.exe", "", "", "1", "0"});
    f->StringGrid1->SetCell(1, 1, "G");
    f->SaveProject(Path("proj/p.qor"), false);
    ASSERT_TRUE(Profile::LoadProfile(Path("proj/p.qor")).Value("Menu", "Caption_7"));

    for (int i = 0; i < 5; ++i) {
        f->ListBox1->setCurrentRow(3);
        boxes_.Queue(IDYES);
        f->SpeedButton6->click();
    }
    f->StringGrid1->SetCell(1, 1, "");
    f->SaveProject(Path("proj/p.qor"), false);
    const Profile::TProfileText p = Profile::LoadProfile(Path("proj/p.qor"));
    EXPECT_EQ(p.ReadInt("Menu", "Count", -1), 3);
    for (int i = 3; i < 8; ++i)
        for (const char* key : ProjectFile::EntryKeyNames)
            EXPECT_FALSE(p.Value("Menu", QString(key) + QString::number(i))) << key << i;
    EXPECT_FALSE(p.HasSection("DB-Groups"));
    EXPECT_FALSE(p.HasSection("DB-Identifiers"));
}

TEST_F(EditorTest, NumbersOutsideTheListsLeaveThemWithoutSelectionAndAreWrittenBack) {
    Project("proj/odd.qor", {"[Gradient]", "Active=1", "Style=7", "SColor=99", "EColor=-4",
                             "[Image]", "BmpMode=0x1F"});
    TForm1* f = Start();
    ChooseItem(f->ComboBox1, 5); // Lime
    ASSERT_TRUE(f->LoadProject(Path("proj/odd.qor")));
    EXPECT_EQ(f->ComboBox1->currentIndex(), -1);
    EXPECT_EQ(f->ComboBox2->currentIndex(), -1);
    EXPECT_EQ(f->ComboBox3->currentIndex(), -1);
    EXPECT_EQ(f->BmpMode->currentIndex(), -1);
    // The preview keeps its colours; a style without a choice is horizontal.
    EXPECT_EQ(f->Gradient1->StartColor(), scLime);
    EXPECT_EQ(ColorOf(f->Title1), clLime);
    EXPECT_EQ(f->Gradient1->Style(), gsHorizontal);
    f->SaveProject(Path("proj/odd2.qor"), false);
    const Profile::TProfileText p = Profile::LoadProfile(Path("proj/odd2.qor"));
    for (const char* key : {"Style", "SColor", "EColor"})
        EXPECT_EQ(p.ReadString("Gradient", key, "?"), "-1") << key;
    EXPECT_EQ(p.ReadString("Image", "BmpMode", "?"), "-1");
}

TEST_F(EditorTest, BothBackgroundSwitchesOffLeaveBothUnchecked) {
    Project("proj/none.qor", {"[Gradient]", "Active=0", "[Image]", "Active=0"});
    TForm1* f = Start();
    ASSERT_TRUE(f->LoadProject(Path("proj/none.qor")));
    EXPECT_FALSE(f->RadioButton1->isChecked());
    EXPECT_FALSE(f->RadioButton2->isChecked());
    EXPECT_TRUE(f->Gradient1->Visible()); // the preview as it was
    f->SaveProject(Path("proj/none2.qor"), false);
    const Profile::TProfileText p = Profile::LoadProfile(Path("proj/none2.qor"));
    EXPECT_EQ(p.ReadString("Gradient", "Active", "?"), "0");
    EXPECT_EQ(p.ReadString("Image", "Active", "?"), "0");
}

TEST_F(EditorTest, OpeningKeepsTheButtonSwitchesTheFileSays) {
    Project("proj/switches.qor",
            {"[Buttons]", "EnHelp=0", "HelpFile=manual.hlp", "EnTables=0", "[DB]", "Active=1"});
    Project("proj/switches2.qor",
            {"[Buttons]", "EnHelp=1", "HelpFile=", "EnTables=1", "[DB]", "Active=0"});
    TForm1* f = Start();
    ASSERT_TRUE(f->LoadProject(Path("proj/switches.qor")));
    EXPECT_EQ(f->HelpFile->text(), "manual.hlp");
    EXPECT_FALSE(f->CKHelp->isChecked());
    EXPECT_TRUE(f->DBCheck->isChecked());
    EXPECT_FALSE(f->CKTables->isChecked());
    ASSERT_TRUE(f->ResetProject(nullptr, false));
    ASSERT_TRUE(f->LoadProject(Path("proj/switches2.qor")));
    EXPECT_TRUE(f->CKHelp->isChecked());
    EXPECT_TRUE(f->CKTables->isChecked());
    EXPECT_FALSE(f->DBCheck->isChecked());
    // Once opened, the coupling works again.
    f->HelpFile->setText("x.txt");
    EXPECT_TRUE(f->CKHelp->isChecked());
}

TEST_F(EditorTest, MissingKeysKeepTheControlsOrTakeTheEditorsDefaults) {
    Project("proj/few.qor", {"[Titles]", "T1_F=Arial", "[DB]", "Title="});
    Project("proj/fewer.qor", {"[Menu]", "Count=0"});
    TForm1* f = Start();
    f->show();
    f->ExitBtn->setText("Leave");
    f->Caps->SetCell(0, 3, "Erase");
    f->AWebText->setText("Site:");
    f->BCPanel->SetColor(clRed);
    ASSERT_TRUE(f->LoadProject(Path("proj/few.qor")));
    EXPECT_EQ(f->ExitBtn->text(), "Leave");
    EXPECT_EQ(f->Caps->Cell(0, 3), "Erase");
    EXPECT_EQ(f->AWebText->text(), "Site:");
    EXPECT_EQ(f->BCPanel->Color(), clRed);
    const ProjectFile::TProjectFont t1 = ProjectFontOf(f->Title1);
    EXPECT_EQ(t1.Name, "Arial");
    EXPECT_EQ(t1.Size, 26); // current
    EXPECT_FALSE(t1.Bold);  // styles are off unless the file says otherwise
    EXPECT_FALSE(t1.Italic);
    EXPECT_TRUE(f->RadioButton1->isChecked());
    EXPECT_EQ(f->ComboBox3->currentIndex(), 1); // horizontal
    EXPECT_EQ(f->ComboBox1->currentIndex(), 0); // Aqua
    EXPECT_EQ(Painted(f->ListBox1), clAqua);
    EXPECT_FALSE(f->CKTables->isChecked());
    EXPECT_TRUE(f->CKHelp->isChecked());
    EXPECT_EQ(f->TableTitle->text(), "");
    ASSERT_TRUE(f->LoadProject(Path("proj/fewer.qor")));
    EXPECT_EQ(f->TableTitle->text(), "Data");
}

TEST_F(EditorTest, OpeningMakesTheProjectsFolderCurrentAndShowsItsPictures) {
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::green);
    ASSERT_TRUE(icon.save(Path("proj/disc.ico"), "ICO"));
    QImage back(10, 20, QImage::Format_RGB32);
    back.fill(Qt::blue);
    ASSERT_TRUE(back.save(Path("proj/back.bmp"), "BMP"));
    Project("proj/pics.qor", {"[Icon]", "File=disc.ico", "[Image]", "Active=1", "File=back.bmp"});
    TForm1* f = Start();
    ASSERT_TRUE(f->LoadProject(Path("proj/pics.qor")));
    EXPECT_EQ(QDir::currentPath(), Path("proj"));
    EXPECT_EQ(f->Image3->Picture().pixelColor(3, 3), QColor(Qt::green));
    EXPECT_EQ(f->Image5->Picture(), f->Image3->Picture());
    EXPECT_EQ(f->Image4->Picture().size(), QSize(10, 20));
    EXPECT_FALSE(f->Image4->isHidden());
}

TEST_F(EditorTest, AHostileProjectOpensWithoutHarmAndItsTextsStayText) {
    const QString longText = QString(1100, 'L');
    const QString markup = "<b>bold</b><img src=\"/etc/passwd\">%s%d%n%%";
    QStringList lines = {"[Gradient]",
                         "Active=2",
                         "Style=-2147483648",
                         "SColor=2147483647",
                         "EColor=0xFFFFFFFF",
                         "[Image]",
                         "Active=yes",
                         "BmpMode=12345678901",
                         "BaseColor=-99",
                         "File=" + longText,
                         "[Icon]",
                         "File=" + markup,
                         "[Titles]",
                         "TC=" + markup,
                         "T1=" + longText,
                         "T2=" + longText,
                         "T1_S=2147483647",
                         "T1_C=-2147483648",
                         "T2_S=-5",
                         "CP_F=" + longText,
                         "[Buttons]",
                         "Exit=" + markup,
                         "[Captions]",
                         "00=" + markup,
                         "[FileList]",
                         "BGColor=0x7FFFFFFF",
                         "[Menu]",
                         "Count=1000",
                         "CM_S=0"};
    for (int i = 0; i < 12; ++i)
        lines << QString("Caption_%1=%2").arg(i).arg(markup)
              << QString("Name_%1=%2").arg(i).arg(longText);
    lines << "[DB-Groups]"
          << "01=" + markup << "02=" + longText;
    Project("proj/hostile.qor", lines);

    TForm1* f = Start();
    Choose(Path("proj/hostile.qor"));
    f->BitBtn4->click();
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_EQ(f->ProjectFileName, Path("proj/hostile.qor"));
    EXPECT_EQ(f->Cap->text(), markup);
    EXPECT_EQ(f->Title1->text(), QString(1023, 'L'));
    EXPECT_EQ(f->Title2->text(), QString(1023, 'L'));
    EXPECT_EQ(f->ExitBtn->text(), markup);
    EXPECT_EQ(f->Caps->Cell(0, 0), markup);
    EXPECT_EQ(f->EntryCount(), 10);
    EXPECT_EQ(f->ListBox1->item(0)->text(), markup);
    EXPECT_EQ(f->StringGrid1->Cell(1, 1), markup);
    EXPECT_EQ(f->ComboBox1->currentIndex(), -1);
    EXPECT_EQ(ProjectFontOf(f->Title1).Size, 2147483647);
    f->show();
    QTest::qWait(0); // one round of painting with every value in place

    // A caption with markup and format characters is asked about as it stands.
    f->ListBox1->setCurrentRow(0);
    boxes_.Queue(IDNO);
    f->SpeedButton6->click();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Do you want to delete \" " + markup + " \" ?");
    EXPECT_EQ(f->EntryCount(), 10);

    f->SaveProject(Path("proj/hostile2.qor"), false);
    const Profile::TProfileText p = Profile::LoadProfile(Path("proj/hostile2.qor"));
    EXPECT_EQ(p.ReadString("Titles", "TC", ""), markup);
    EXPECT_EQ(p.ReadInt("Menu", "Count", 0), 10);
    EXPECT_EQ(p.ReadInt("Titles", "T1_S", 0), 2147483647);
}

TEST_F(EditorTest, AProjectThatCannotBeWrittenLeavesTheOldFileAndSaysWhy) {
    TForm1* f = Start();
    DesignSample(f);
    Write("proj/keep.qor", "[Gradient]\r\nActive=1\r\n");
    Choose(Path("proj/keep.qor"));
    {
        const FileSizeLimit limit(64);
        f->BitBtn1->click();
    }
    EXPECT_EQ(Read("proj/keep.qor"), "[Gradient]\r\nActive=1\r\n");
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Unable to write to " + Path("proj/keep.qor"));
    EXPECT_EQ(boxes_.Boxes()[0].style & 0xFF, unsigned(MB_ICONSTOP | MB_OK));
    EXPECT_TRUE(f->ProjectFileName.isEmpty());
    EXPECT_EQ(f->windowTitle(), "Tavolin 1.1");
    EXPECT_EQ(QDir(Path("proj")).entryList(QDir::Files), (QStringList{"keep.qor"}));
}
