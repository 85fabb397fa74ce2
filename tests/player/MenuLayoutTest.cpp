#include "components/Gradient.h"
#include "components/MediaFile.h"
#include "components/Msg.h"
#include "components/Surface.h"
#include "framework/forms/Glyphs.h"
#include "framework/forms/Stacking.h"
#include "itemtable/Image.h"
#include "player/AboutBox.h"
#include "player/DataWindow.h"
#include "player/MenuControls.h"
#include "player/MenuTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QImageReader>
#include <QMenu>
#include <QPushButton>
#include <QTextDocument>
#include <QWindow>

namespace {

// Tops of the buttons shown, in column order.
std::vector<int> buttonTops(const TForm1* form) {
    std::vector<int> tops;
    for (const QWidget* b : {form->ExitBtn, form->ActionBtn, form->TablesBtn, form->FindBtn,
                             form->HelpBtn, form->AboutBtn, form->FileListBtn})
        if (!b->isHidden())
            tops.push_back(b->y());
    return tops;
}

// The pop-up menu as text: captions, "-" for separators.
QStringList menuText(const QMenu* menu) {
    QStringList items;
    for (const QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return items;
}

QStringList entry(int i, const QString& caption, const QString& name = "x.exe",
                  const QString& item = "0") {
    const QString n = QString::number(i);
    return {"Caption_" + n + "=" + caption,
            "Name_" + n + "=" + name,
            "Path_" + n + "=",
            "Param_" + n + "=",
            "Exit_" + n + "=0",
            "Item_" + n + "=" + item};
}

} // namespace

TEST_F(MenuWindowTest, AProjectWithoutKeysGivesTheDefaultMenu) {
    Project({});
    TForm1* form = Start();
    EXPECT_TRUE(form->Gradient1->Visible());
    EXPECT_EQ(form->Gradient1->Style(), gsVertical);
    EXPECT_EQ(form->Gradient1->StartColor(), scAqua);
    EXPECT_EQ(form->Gradient1->EndColor(), ecBlack);
    EXPECT_FALSE(form->Surface1->Visible());
    EXPECT_TRUE(form->IconImage->isHidden());
    EXPECT_EQ(Application().Title, "");
    EXPECT_EQ(form->Msg1->BoxCaption, "");
    EXPECT_EQ(form->Title1->text(), "");

    EXPECT_EQ(buttonTops(form), (std::vector<int>{17, 46, 75, 104, 133}));
    EXPECT_TRUE(form->TablesBtn->isHidden());
    EXPECT_TRUE(form->HelpBtn->isHidden());
    EXPECT_EQ(form->ExitBtn->text(), "Exit");
    EXPECT_EQ(form->FileListBtn->text(), "Show/Hide file list");
    EXPECT_EQ(form->Panel1->y(), 162);
    EXPECT_EQ(form->FileBox1->height(), 193);
    EXPECT_EQ(form->Panel1->height(), 193 + 29);
    EXPECT_FALSE(form->Panel1->isHidden());
    EXPECT_EQ(form->ListColor, 0);
    EXPECT_EQ(form->ListTextColor, 16777215);
    EXPECT_EQ(form->FileBox1->ViewOptions(),
              TViewOptions(fbShowIcons) | fbOpenFile | fbShowFolders | fbChangeDir);

    // The client area of the 650 by 427 window: the button column keeps the titles' margin
    // of 9 on its right, and the file list ends above the bottom edge.
    EXPECT_EQ(form->size(), QSize(642, 400));
    EXPECT_EQ(form->width() - form->ExitBtn->geometry().right() - 1, form->Title1->x());
    EXPECT_EQ(form->height() - form->Panel1->geometry().bottom() - 1, 400 - 162 - 193 - 29);
    EXPECT_EQ(form->frameGeometry().topLeft(), CentredOnScreen(form->frameGeometry()));
    EXPECT_TRUE(form->WinSoftware->actions().isEmpty());
    EXPECT_EQ(form->CaptionTexts, QStringList(13, QString()));
    EXPECT_EQ(form->Data->Groups->count(), 0);
    EXPECT_FALSE(form->Data->TableActive());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MenuWindowTest, AllSevenButtonsAndTheTable) {
    Write("proj/readme.txt", "read me");
    ItemTable();
    Project({"[Buttons]", "HelpFile=C:\\elsewhere\\readme.txt", "Tables=Data", "[DB]", "Active=1",
             "Name=qor.dbf", "Title=Items", "[DB-Groups]", "01=One", "02=Two", "03=Three",
             "05=Five", "[DB-Identifiers]", "01=g1", "02=g2", "03=g3", "05=g5"});
    TForm1* form = Start();
    EXPECT_EQ(buttonTops(form), (std::vector<int>{14, 43, 72, 101, 130, 159, 188}));
    EXPECT_EQ(form->TablesBtn->text(), "Data");
    EXPECT_EQ(form->Panel1->y(), 217);
    EXPECT_EQ(form->FileBox1->height(), 142);
    // The help file is looked for in the base folder, whatever folder the project names.
    EXPECT_EQ(form->HelpFilePath, root_ + "/proj/readme.txt");

    TData* data = form->Data;
    EXPECT_TRUE(form->DbActive);
    EXPECT_EQ(data->windowTitle(), "Items");
    ASSERT_EQ(data->Groups->count(), 4); // groups after a gap are not read
    EXPECT_EQ(data->Groups->itemText(3), "* * *");
    EXPECT_EQ(data->GroupIdentifiers[2], "g3");
    EXPECT_EQ(data->GroupIdentifiers[3], "* * *");
    EXPECT_EQ(data->GroupIdentifiers[4], "");
    EXPECT_EQ(data->TableName(), root_ + "/proj/qor.dbf");
    EXPECT_EQ(data->RunTimePath(), root_ + "/proj/");
    EXPECT_FALSE(data->TableReadOnly());
    EXPECT_EQ(data->DBNavigator1->VisibleButtons(),
              (TButtonSet{nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbPost, nbCancel}));
    EXPECT_TRUE(data->SpeedButton4->isEnabled());
    EXPECT_EQ(data->Groups->currentIndex(), 0);
    EXPECT_TRUE(data->TableActive());
    EXPECT_EQ(data->RecordFilterText(), "g1");
}

TEST_F(MenuWindowTest, ADamagedTableIsReportedAndTheMenuStillShows) {
    Write("proj/qor.dbf", "not a table");
    Project({"[Titles]", "TC=Damaged", "[DB]", "Active=1", "Name=qor.dbf"});
    TForm1* form = Start();
    EXPECT_EQ(form->size(), QSize(642, 400));
    EXPECT_GT(form->x(), -1000);
    EXPECT_FALSE(form->Data->TableActive());
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].caption, "Damaged");
    EXPECT_FALSE(boxes_.Boxes()[0].text.isEmpty());
}

TEST_F(MenuWindowTest, TheTableIsReadOnlyInCdModeAndOffWithoutItsFile) {
    ItemTable();
    Project({"[DB]", "Active=1", "Name=qor.dbf", "Editable=1"});
    TForm1* form = Start({{"/dev/sr0", root_ + "/proj", "iso9660"}});
    ASSERT_TRUE(form->CdMode);
    EXPECT_TRUE(form->Data->TableReadOnly());
    EXPECT_EQ(form->Data->DBNavigator1->VisibleButtons(),
              (TButtonSet{nbFirst, nbPrior, nbNext, nbLast}));
    EXPECT_FALSE(form->Data->SpeedButton5->isEnabled());
    // Only the all-groups entry: the whole table shows.
    EXPECT_EQ(form->Data->Groups->count(), 1);
    EXPECT_FALSE(form->Data->TableFiltered());
    Application().Reset();

    Project({"[DB]", "Active=1", "Name=missing.dbf"});
    form = Start();
    EXPECT_FALSE(form->DbActive);
    EXPECT_TRUE(form->TablesBtn->isHidden());
    EXPECT_FALSE(form->Data->TableActive());
    EXPECT_EQ(buttonTops(form).size(), 5u);
}

TEST_F(MenuWindowTest, WidthFollowsTheButtonsAndTheFileList) {
    Project({"[Buttons]", "EnExit=0", "EnAction=0", "EnFind=0", "EnAbout=0", "EnFileList=0",
             "EnHelp=0", "[FileList]", "Visible=0"});
    TForm1* form = Start();
    EXPECT_EQ(form->size(), QSize(463, 400));
    EXPECT_TRUE(form->Panel1->isHidden());
    EXPECT_EQ(form->Panel1->y(), 11 + 3);
    EXPECT_EQ(form->FileBox1->height(), 346);
    EXPECT_EQ(form->frameGeometry().topLeft(), CentredOnScreen(form->frameGeometry()));
    Application().Reset();

    // No button, but the list shows: full width.
    Project({"[Buttons]", "EnExit=0", "EnAction=0", "EnFind=0", "EnAbout=0", "EnFileList=0"});
    form = Start();
    EXPECT_EQ(form->width(), 642);
    Application().Reset();

    // One button, the list hidden: full width, and the list is hidden at start.
    Project({"[Buttons]", "EnAction=0", "EnFind=0", "EnAbout=0", "EnFileList=0", "[FileList]",
             "Visible=0", "AIcons=0", "ABrowsing=0", "BGColor=255", "FGColor=0"});
    form = Start();
    EXPECT_EQ(form->width(), 642);
    EXPECT_EQ(buttonTops(form), (std::vector<int>{15}));
    EXPECT_EQ(form->FileBox1->height(), 312);
    EXPECT_TRUE(form->Panel1->isHidden());
    EXPECT_EQ(form->FileBox1->ViewOptions(), TViewOptions(fbOpenFile));
    EXPECT_EQ(form->FileBox1->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_F(MenuWindowTest, ToolsEntriesAndSeparators) {
    QStringList lines{"[Tools]",     "AExplorer=1",        "CExplorer=Files", "AMSInfo=0",
                      "ASoftware=1", "CSoftware=Software", "[Menu]",          "Count=3"};
    lines << entry(0, "First") << entry(1, "") << entry(2, "Third");
    Project(lines);
    TForm1* form = Start();
    EXPECT_EQ(menuText(form->WinSoftware), (QStringList{"Files", "-", "First", "-", "Third"}));
    const QList<QAction*> items = form->WinSoftware->actions();
    EXPECT_EQ(TagOf(items[2]), 1000);
    EXPECT_EQ(TagOf(items[4]), 1002);

    // Every entry has its label; the separator's is blank but takes its line.
    ASSERT_NE(form->EntryLabels[2], nullptr);
    EXPECT_EQ(form->EntryLabels[3], nullptr);
    EXPECT_EQ(form->EntryLabels[0]->text(), QChar(0xB7) + QString("  First"));
    EXPECT_EQ(form->EntryLabels[1]->text(), "");
    EXPECT_EQ(TagOf(form->EntryLabels[2]), 1002);
    EXPECT_EQ(TagOf(form->EntryLabels[1]), -1);
    const int row = form->EntryLabels[0]->height() + 6;
    EXPECT_EQ(form->EntryLabels[1]->y(), form->EntryLabels[0]->y() + row);
    EXPECT_EQ(form->EntryLabels[2]->y(), form->EntryLabels[0]->y() + 2 * row);
    EXPECT_EQ(form->EntryLabels[0]->x(), 47);
    EXPECT_EQ(form->EntryNames, QStringList(3, "x.exe"));
    EXPECT_EQ(form->EntryExitFlags, QStringList(3, "0"));
    Application().Reset();

    // No separator before the entries without tools, none at their start, never two in a
    // row; one may stay last. The system-information tool brings the software tool.
    lines = QStringList{"[Tools]",        "AMSInfo=1", "CMSInfo=Info", "ASoftware=1",
                        "CSoftware=Soft", "[Menu]",    "Count=6"};
    lines << entry(0, "") << entry(1, "a") << entry(2, "") << entry(3, "") << entry(4, "b")
          << entry(5, "");
    Project(lines);
    form = Start();
    EXPECT_EQ(menuText(form->WinSoftware), (QStringList{"Info", "Soft", "-", "a", "-", "b", "-"}));
    Application().Reset();

    lines = QStringList{"[Menu]", "Count=2"};
    lines << entry(0, "") << entry(1, "a");
    Project(lines);
    form = Start();
    EXPECT_EQ(menuText(form->WinSoftware), (QStringList{"a"}));
}

TEST_F(MenuWindowTest, PopupOnlyEntriesTakeNoRow) {
    QStringList lines{"[Menu]", "Count=2"};
    lines << entry(0, "Hidden", "x.exe", "1") << entry(1, "Shown");
    Project(lines);
    TForm1* form = Start();
    EXPECT_EQ(menuText(form->WinSoftware), (QStringList{"Hidden", "Shown"}));
    EXPECT_EQ(form->EntryLabels[0]->text(), "");
    EXPECT_EQ(form->EntryLabels[1]->y(), form->EntryLabels[0]->y());
    EXPECT_EQ(form->EntryPopupFlags, (QStringList{"1", "0"}));
}

TEST_F(MenuWindowTest, ALongEntryCaptionLiesBeneathTheButtonsAndTheFileList) {
    const QString caption = "Install the complete catalogue of all garden tools and seeds now";
    Project(QStringList{"[Menu]", "CM_F=Arial", "CM_S=12", "CM_SB=1", "Count=6"} +
            entry(0, caption) + entry(1, caption) + entry(2, caption) + entry(3, caption) +
            entry(4, caption) + entry(5, caption));
    TForm1* form = Start();
    int crossings = 0;
    for (const TMenuLabel* label : form->EntryLabels)
        for (const QWidget* control : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (const QRect both = label ? label->geometry() & control->geometry() : QRect();
                !both.isEmpty() && control->isVisible() && !IsGraphicControl(control)) {
                ++crossings;
                EXPECT_NE(form->childAt(both.center()), label)
                    << control->objectName().toStdString();
            }
    EXPECT_GE(crossings, 6);
}

TEST_F(MenuWindowTest, TheFirstEntryRowFollowsTheSubTitleUpTo138) {
    QStringList lines{"[Titles]", "T2=One line", "[Menu]", "Count=1"};
    lines << entry(0, "E");
    Project(lines);
    TForm1* form = Start();
    const int oneLine = form->Title2->height();
    EXPECT_EQ(form->EntryLabels[0]->y(), std::min(54 + oneLine + 38, 138));
    Application().Reset();

    lines = QStringList{"[Titles]", "T2=a\\\\b\\\\c", "T2_S=28", "[Menu]", "Count=1"};
    lines << entry(0, "E");
    Project(lines);
    form = Start();
    EXPECT_GT(54 + form->Title2->height() + 38, 138);
    EXPECT_EQ(form->EntryLabels[0]->y(), 138);
}

TEST_F(MenuWindowTest, TitlesAndFonts) {
    Project({"[Titles]", "TC=My menu", "T1=<b>Main</b>", "T2=a\\\\b", "CP=(c) me", "T1_F=Arial",
             "T1_S=20", "T1_C=255", "T1_SB=0", "T1_SU=1", "T2_A=0", "CP_S=12", "CP_SK=1"});
    TForm1* form = Start();
    EXPECT_EQ(Application().Title, "My menu");
    EXPECT_EQ(form->windowTitle(), "My menu");
    EXPECT_EQ(form->Msg1->BoxCaption, "My menu");
    // Captions are text, never markup.
    EXPECT_EQ(form->Title1->text(), "<b>Main</b>");
    EXPECT_EQ(form->Title1->textFormat(), Qt::PlainText);
    EXPECT_EQ(form->Title2->text().split('\n'), (QStringList{"a", "b"}));
    const int line = QFontMetrics(form->Title2->font()).height();
    EXPECT_GE(form->Title2->height(), 2 * line);

    const QFont t1 = form->Title1->font();
    EXPECT_EQ(t1.family(), "Arial");
    EXPECT_EQ(t1.pixelSize(), 27); // 20 points at 96 pixels per inch
    EXPECT_FALSE(t1.bold());
    EXPECT_FALSE(t1.italic()); // the style is built from scratch
    EXPECT_TRUE(t1.underline());
    EXPECT_EQ(form->Title1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(form->Title1->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(form->Title2->alignment() & Qt::AlignLeft);
    EXPECT_EQ(form->Title1->width(), 444);
    EXPECT_EQ(form->Title2->width(), 444);
    // Missing keys keep the label's own font.
    EXPECT_EQ(form->Title2->font().family(), "Times New Roman");
    EXPECT_EQ(form->Title2->font().pixelSize(), 37);
    EXPECT_EQ(form->Copyright->font().pixelSize(), 16);
    EXPECT_TRUE(form->Copyright->font().strikeOut());
    EXPECT_EQ(form->Copyright->x(), 9); // no icon
}

TEST_F(MenuWindowTest, PictureIconAndSound) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(root_ + "/proj/back.bmp"));
    ASSERT_TRUE(picture.save(root_ + "/proj/icon.png"));
    Project({"[Gradient]", "Active=0", "[Image]", "Active=1", "BmpMode=2", "BaseColor=65280",
             "File=D:\\pictures\\back.bmp", "[Icon]", "File=icon.png", "Trans=0", "[Sound]",
             "File=music.wav", "[Buttons]", "RClick=0"});
    TForm1* form = Start();
    EXPECT_FALSE(form->Gradient1->Visible());
    EXPECT_TRUE(form->Surface1->Visible());
    EXPECT_EQ(form->Surface1->Mode(), sfCentered);
    EXPECT_EQ(form->Surface1->Color(), 65280);
    EXPECT_EQ(form->Surface1->Bitmap().size(), QSize(40, 30));
    EXPECT_FALSE(form->IconImage->isHidden());
    EXPECT_EQ(form->Copyright->x(), 49);
    EXPECT_FALSE(Application().Icon.isNull());
    EXPECT_FALSE(form->About->Image1->pixmap().isNull());
    EXPECT_EQ(form->SoundFilePath, root_ + "/proj/music.wav");
    EXPECT_TRUE(media_->Log.contains("open " + root_ + "/proj/music.wav"));
    EXPECT_EQ(form->Data->MediaFile1->State(), TMediaFile::stPlaying);
    // Without right clicks the background has no pop-up menu.
    EXPECT_EQ(form->Gradient1->PopupMenu(), nullptr);
    EXPECT_EQ(form->Title2->PopupMenu(), nullptr);
    Application().Reset();

    Project({"[Image]", "Active=1", "File=missing.bmp", "[Sound]", "Active=0", "File=music.wav"});
    form = Start();
    EXPECT_TRUE(form->Surface1->Visible()); // also without a picture
    EXPECT_TRUE(form->Surface1->Bitmap().isNull());
    EXPECT_TRUE(form->SoundFilePath.isEmpty());
    EXPECT_EQ(form->Gradient1->PopupMenu(), form->WinSoftware);
}

TEST_F(MenuWindowTest, CaptionRowsAndTheAboutBox) {
    QStringList lines{"[Captions]"};
    for (int row = 0; row < 13; ++row)
        lines << QString("%1=row %2").arg(row, 2, 10, QChar('0')).arg(row);
    lines << "[Buttons]"
          << "About=Info"
          << "EnAbout=0";
    lines << "[About]"
          << "Line1=L1"
          << "Line4=L4"
          << "Web=http://example.org"
          << "Mail=";
    Project(lines);
    TForm1* form = Start();
    ASSERT_EQ(form->CaptionTexts.size(), 13);
    EXPECT_EQ(form->CaptionTexts[7], "row 7");
    EXPECT_EQ(menuText(form->PopupMenu1),
              (QStringList{"row 0", "row 1", "row 2", "row 3", "row 4", "row 5"}));
    EXPECT_EQ(form->PopupMenu1->defaultAction(), form->Open1);
    TData* data = form->Data;
    EXPECT_EQ(data->SpeedButton2->text(), "row 0");
    EXPECT_EQ(data->SpeedButton1->text(), "row 1");
    EXPECT_EQ(data->FindBtn->text(), "row 5");
    EXPECT_EQ(data->CloseBtn->text(), "row 8");
    EXPECT_EQ(data->Image1->toolTip(), "row 9");
    EXPECT_EQ(data->Label6->text(), "row 11");
    EXPECT_EQ(data->Label7->text(), "row 12");

    TAbout* about = form->About;
    EXPECT_EQ(about->BitBtn1->text(), "row 8");
    EXPECT_EQ(about->windowTitle(), "Info"); // also with its button hidden
    EXPECT_TRUE(form->AboutBtn->isHidden());
    EXPECT_EQ(about->ALine1->text(), "L1");
    EXPECT_EQ(about->Aline2->text(), "");
    EXPECT_EQ(about->Aline4->text(), "L4");
    EXPECT_EQ(about->AWebText->text(), "Homepage :");
    EXPECT_EQ(about->AWeb->text(), "http://example.org");
    EXPECT_TRUE(bool(about->AWeb->OnClick));
    EXPECT_EQ(about->AMailText->text(), "");
    EXPECT_EQ(about->AMail->text(), "");
    EXPECT_FALSE(bool(about->AMail->OnClick));
    Application().Reset();

    Project({"[About]", "Mail=me@example.org", "MailTxt=Mail:", "WebTxt=Web:"});
    form = Start();
    EXPECT_EQ(form->About->AMail->text(), "mailto:me@example.org");
    EXPECT_EQ(form->About->AMailText->text(), "Mail:");
    EXPECT_EQ(form->About->AWebText->text(), "");
    EXPECT_FALSE(bool(form->About->AWeb->OnClick));
}

TEST_F(MenuWindowTest, HostileProjectsNeverStopThePlayer) {
    const QString longText(100000, 'W');
    Write("proj/bad.bmp", QByteArray("BM") + QByteArray(5000, '\xff'));
    Write("proj/bad.ico", QByteArray(64, '\0'));
    QStringList lines{"[Gradient]",
                      "Style=9",
                      "SColor=99",
                      "EColor=-3",
                      "[Image]",
                      "Active=1",
                      "BmpMode=42",
                      "File=bad.bmp",
                      "BaseColor=-77777",
                      "[Icon]",
                      "File=bad.ico",
                      "[Sound]",
                      "File=nothing.wav",
                      "[Titles]",
                      "TC=" + longText,
                      "T1=" + longText,
                      "T2=" + longText,
                      "T1_S=99999",
                      "T2_S=-40",
                      "CP_C=-1",
                      "[Buttons]",
                      "Exit=" + longText,
                      "HelpFile=" + longText,
                      "[FileList]",
                      "BGColor=-5",
                      "[Menu]",
                      "Count=500",
                      "CM_S=0"};
    for (int i = 0; i < 500; ++i)
        lines << entry(i, i % 7 ? longText.left(200) : QString(), longText);
    lines << "[Captions]"
          << "00=" + longText << "[DB]"
          << "Active=1"
          << "Name=" + longText << "[DB-Groups]"
          << "01=" + longText;
    Project(lines);
    TForm1* form = Start();
    EXPECT_EQ(form->size(), QSize(642, 400));
    EXPECT_EQ(form->Gradient1->StartColor(), scAqua);
    EXPECT_EQ(form->Gradient1->Style(), gsHorizontal);
    EXPECT_EQ(form->Surface1->Mode(), sfTiled);
    EXPECT_TRUE(form->Surface1->Bitmap().isNull());
    EXPECT_TRUE(form->IconImage->isHidden());
    EXPECT_EQ(form->EntryNames.size(), 10); // the window has ten entry slots
    EXPECT_NE(form->EntryLabels[9], nullptr);
    EXPECT_FALSE(form->DbActive);
    EXPECT_EQ(form->SoundFilePath, root_ + "/proj/nothing.wav"); // the media player's matter
    EXPECT_EQ(form->CaptionTexts.size(), 13);
    // The picture and the icon, which hold no picture, are reported by name; the menu shows.
    EXPECT_GT(form->x(), -1000);
    ASSERT_EQ(boxes_.Boxes().size(), 2u);
    EXPECT_TRUE(boxes_.Boxes()[0].text.startsWith("Bitmap image is not valid: " + root_));
    EXPECT_TRUE(boxes_.Boxes()[1].text.startsWith("Icon image is not valid: " + root_));
    for (const MessageBoxAnswerer::Box& box : boxes_.Boxes())
        EXPECT_EQ(box.caption, form->Msg1->BoxCaption); // the project's title
}

TEST(MenuWindowText, MinimizeNameKeepsTheLastFolder) {
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance("1234567890123456789012345");
    EXPECT_EQ(TForm1::MinimizeName("/home/user", metrics, width), "/home/user");
    const QString shortened =
        TForm1::MinimizeName("/home/someone/projects/very-long-folder-name/docs", metrics, width);
    EXPECT_TRUE(shortened.startsWith("/.../")) << shortened.toStdString();
    EXPECT_TRUE(shortened.endsWith("/docs"));
    EXPECT_LE(metrics.horizontalAdvance(shortened), width);
    EXPECT_EQ(TForm1::MinimizeName("C:\\a\\bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb\\c", metrics,
                                   metrics.horizontalAdvance("C:\\...\\c")),
              "C:\\...\\c");
    // A name that does not fit alone is all that is left.
    const QString name(60, 'n');
    EXPECT_EQ(TForm1::MinimizeName("/a/b/" + name, metrics, width), name);
    EXPECT_EQ(TForm1::MinimizeName("", metrics, width), "");
}

// The folder above the list fits its label in the font it is shown in, whatever the width of
// 25 digits in that font: leading folders give way first, then the end of the last name.
TEST_F(MenuWindowTest, TheFolderAboveTheListFitsItsLabel) {
    Project({});
    TForm1* form = Start();
    const QFontMetrics metrics = form->Label1->fontMetrics();
    const int room = form->Label1->width();
    auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= room; };

    // The last folder's name just too long to be shown after "/.../".
    QString name = "d";
    while (fits("/.../" + name))
        name += 'd';
    QDir(root_).mkpath("proj/sub/" + name);
    form->FileBox1->SetDirectory(root_ + "/proj/sub");
    QString shown = form->Label1->text();
    EXPECT_TRUE(fits(shown) && shown.startsWith("/...") && shown.endsWith("/sub"))
        << shown.toStdString();
    form->FileBox1->SetDirectory(root_ + "/proj/sub/" + name);
    shown = form->Label1->text();
    EXPECT_TRUE(fits(shown)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("ddd")) << shown.toStdString();

    const QString huge(200, 'h');
    QDir(root_).mkpath("proj/" + huge);
    form->FileBox1->SetDirectory(root_ + "/proj/" + huge);
    shown = form->Label1->text();
    EXPECT_TRUE(fits(shown)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("hhh")) << shown.toStdString();
}

// The list starts at the root of the drive the menu runs from: the volume that holds the base
// folder, which is the working folder by then.
TEST_F(MenuWindowTest, TheFileListStartsAtTheRootOfTheMenusVolume) {
    Project({});
    TForm1* form = Start({{"/dev/sdz1", root_, "ext4"}});
    EXPECT_EQ(form->FileBox1->Directory(), root_);
    EXPECT_EQ(form->FileBox1->Drive(), root_);
    EXPECT_EQ(form->Label1->text(),
              TForm1::MinimizeName(root_, form->Label1->fontMetrics(), form->Label1->width()));
    // Its " .." leads to the drives, where the menu's volume is one of them.
    form->FileBox1->setCurrentItem(form->FileBox1->topLevelItem(0));
    ASSERT_EQ(form->FileBox1->currentItem()->text(0), " ..");
    form->FileBox1->DblClick();
    EXPECT_EQ(form->FileBox1->Directory(), "");
    EXPECT_FALSE(form->FileBox1->findItems(" " + root_, Qt::MatchExactly).isEmpty());
}

// The icon's bare pixels are the pictures it is drawn as, at every size it comes in.
TEST(PlayerIconTest, ShowsThePicturesItIsMadeFrom) {
    const QIcon icon = PlayerIcon();
    for (int size : {16, 32, 48}) {
        QImageReader reader(QStringLiteral(ORV_ICON_DIR "/menu-%1.png").arg(size));
        const QImage picture = reader.read();
        ASSERT_FALSE(picture.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(icon.pixmap(size, size).toImage(), QPixmap::fromImage(picture).toImage()) << size;
    }
}

// The window's look where the project leaves it open: the player's own icon in the window and
// the about box, a blank caption for an empty title (the window system would show the
// program's name for none), a help symbol on the help button, and a separator that the
// project leaves last in the pop-up menu.
TEST_F(MenuWindowTest, IconCaptionGlyphsAndSeparatorsAsTheProjectLeavesThem) {
    Write("proj/help.txt", "help");
    QStringList lines{"[Buttons]", "HelpFile=help.txt", "[Menu]", "Count=2"};
    lines << entry(0, "a") << entry(1, "");
    Project(lines);
    TForm1* form = Start();

    const QImage own = PlayerIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(own.isNull());
    EXPECT_EQ(form->windowIcon().pixmap(32, 32).toImage(), own);
    EXPECT_EQ(form->About->Image1->pixmap().toImage(), own);

    EXPECT_EQ(form->windowTitle().trimmed(), "");
    ASSERT_NE(form->windowHandle(), nullptr);
    EXPECT_FALSE(form->windowHandle()->title().isEmpty());

    auto glyph = [](const QAbstractButton* b) { return b->icon().pixmap(16, 16).toImage(); };
    ASSERT_FALSE(form->HelpBtn->isHidden());
    EXPECT_EQ(glyph(form->HelpBtn), GlyphIcon(TGlyph::Help).pixmap(16, 16).toImage());
    for (const QAbstractButton* other : {form->ExitBtn, form->ActionBtn, form->TablesBtn,
                                         form->FindBtn, form->AboutBtn, form->FileListBtn})
        EXPECT_NE(glyph(other), glyph(form->HelpBtn)) << other->objectName().toStdString();

    const QList<QAction*> items = form->WinSoftware->actions();
    ASSERT_EQ(items.size(), 2);
    ASSERT_TRUE(items[1]->isSeparator());
    EXPECT_GT(form->WinSoftware->actionGeometry(items[1]).height(), 0);
}

TEST_F(MenuWindowTest, NumbersAtTheEndsOfTheirRangeAreHeldWithinBounds) {
    Project({"[Titles]",
             "T1=a",
             "T1_S=2147483647",
             "T2=b",
             "T2_S=-2147483648",
             "CP_S=2147483647",
             "CP_C=-2147483648",
             "[Image]",
             "Active=1",
             "BmpMode=-2147483648",
             "BaseColor=2147483647",
             "[Gradient]",
             "SColor=-2147483648",
             "EColor=2147483647",
             "Style=-2147483648",
             "[FileList]",
             "BGColor=-2147483648",
             "FGColor=2147483647",
             "[Menu]",
             "Count=2147483647",
             "CM_S=2147483647",
             "Caption_0=x"});
    TForm1* form = Start();
    EXPECT_EQ(form->Title1->font().pixelSize(), 1000);
    EXPECT_EQ(form->Title2->font().pixelSize(), 37); // no size of its own: the design's
    EXPECT_EQ(form->Copyright->font().pixelSize(), 1000);
    EXPECT_EQ(form->EntryLabels[0]->font().pixelSize(), 1000);
    EXPECT_EQ(form->EntryNames.size(), 10);
    EXPECT_EQ(form->size(), QSize(642, 400));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// A caption is text: markup in it is shown as written and never loads what it names (an
// image tag naming a device would read it for ever).
TEST_F(MenuWindowTest, CaptionsThatLookLikeMarkupStayText) {
    const QString text = QStringLiteral("<img src=\"missing.png\"><b>bold</b> & more");
    Project({"[Captions]", "09=" + text, "11=" + text, "12=" + text});
    TForm1* form = Start();
    TData* data = form->Data;
    // Too long for the picture/file row, the captions are whole in their tool tips.
    for (QLabel* label : {data->Label6, data->Label7}) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
    for (QWidget* preview :
         std::initializer_list<QWidget*>{data->Panel3, data->Image1, data->Label6}) {
        QTextDocument shown;
        shown.setHtml(preview->toolTip());
        EXPECT_EQ(shown.toPlainText(), text);
    }
}

// Opening a sound takes a real device long: the background sound starts once the window
// stands at its size, never while it is still parked.
TEST_F(MenuWindowTest, TheSoundStartsOnceTheWindowIsLaidOut) {
    struct Recording : TSimulatedMediaSystem {
        QSize sizeAtOpen;
        std::unique_ptr<TMediaDevice> Open(const QString& element, QString* error) override {
            if (const QWidget* menu = Application().MainForm())
                sizeAtOpen = menu->size();
            return TSimulatedMediaSystem::Open(element, error);
        }
    };
    const auto media = std::make_shared<Recording>();
    SetMediaSystem(media);
    Project({"[Sound]", "File=music.wav"});
    TForm1* form = Start();
    EXPECT_EQ(media->sizeAtOpen, QSize(642, 400));
    EXPECT_EQ(form->Data->MediaFile1->State(), TMediaFile::stPlaying);
    // A click on the project's icon stops it, another one starts it again.
    form->IconImageClick(form->IconImage);
    EXPECT_NE(form->Data->MediaFile1->State(), TMediaFile::stPlaying);
    form->IconImageClick(form->IconImage);
    EXPECT_EQ(form->Data->MediaFile1->State(), TMediaFile::stPlaying);
}

// The item-table window and the sound wait for the menu's first frame: nothing of them shows
// in it, and they cost more than the menu's own controls.
TEST_F(MenuWindowTest, TheItemTableWindowAndTheSoundFollowTheFirstFrame) {
    struct MenuPaints : QObject {
        const QWidget* menu = nullptr;
        int paints = 0;
        bool dataAtFirstPaint = true;
        bool eventFilter(QObject* object, QEvent* event) override {
            if (event->type() == QEvent::Paint && object->isWidgetType() &&
                static_cast<QWidget*>(object)->window() == menu) {
                if (paints++ == 0)
                    dataAtFirstPaint = static_cast<const TForm1*>(menu)->Data != nullptr;
            }
            return false;
        }
    } paints;
    struct Recording : TSimulatedMediaSystem {
        std::function<void()> atOpen;
        std::unique_ptr<TMediaDevice> Open(const QString& element, QString* error) override {
            if (atOpen)
                atOpen();
            return TSimulatedMediaSystem::Open(element, error);
        }
    };
    const auto media = std::make_shared<Recording>();
    SetMediaSystem(media);
    ItemTable();
    Project({"[Sound]", "File=music.wav", "[DB]", "Active=1", "Name=qor.dbf", "Title=Items"});

    TForm1* form = CreatePlayerWindows(Environment({root_ + "/proj/qor.qor"}));
    paints.menu = form;
    int paintsAtOpen = -1;
    media->atOpen = [&] { paintsAtOpen = paints.paints; };
    qApp->installEventFilter(&paints);
    form->show();
    const bool started = ProcessEventsUntil([form] { return form->StartDone; });
    qApp->removeEventFilter(&paints);
    ASSERT_TRUE(started);
    EXPECT_FALSE(paints.dataAtFirstPaint);
    EXPECT_GT(paintsAtOpen, 0);
    EXPECT_EQ(form->Data->MediaFile1->State(), TMediaFile::stPlaying);
    EXPECT_EQ(form->Data->windowTitle(), "Items");
    EXPECT_TRUE(form->Data->TableActive());
    Application().Reset();

    // Asked for before that, it is made at once with the project's settings, and only once.
    form = CreatePlayerWindows(Environment({root_ + "/proj/qor.qor"}));
    ASSERT_TRUE(form->LoadProject(root_ + "/proj/qor.qor"));
    form->DbActive = true;
    TData* data = form->DataWindow();
    EXPECT_EQ(data->windowTitle(), "Items");
    EXPECT_TRUE(data->TableActive());
    form->show();
    ASSERT_TRUE(ProcessEventsUntil([form] { return form->StartDone; }));
    EXPECT_EQ(form->Data, data);
    EXPECT_EQ(Application().Forms().size(), 4u);
}
