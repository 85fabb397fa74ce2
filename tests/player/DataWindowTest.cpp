#include "player/DataWindow.h"
#include "common/ShellAnswerer.h"
#include "common/StartRecorder.h"
#include "components/MediaFile.h"
#include "components/Msg.h"
#include "components/Surface.h"
#include "framework/dbcontrols/DBEdit.h"
#include "framework/dbcontrols/DBGrid.h"
#include "framework/dbcontrols/DBMemo.h"
#include "framework/dbcontrols/DBNavigator.h"
#include "framework/forms/InputBox.h"
#include "itemtable/Image.h"
#include "itemtable/ItemTableTestSupport.h"
#include "itemtable/PictureWindow.h"
#include "player/MenuControls.h"
#include "player/MenuTestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace itemtest;

namespace {

// The project's item table "qor.dbf" with the groups grp01 "One" and grp02 "Two", editable,
// and the caption rows the window reads.
QStringList itemProject(const QStringList& more = {}) {
    return QStringList{"[DB]",
                       "Active=1",
                       "Editable=1",
                       "Name=qor.dbf",
                       "Title=Items",
                       "[DB-Groups]",
                       "01=One",
                       "02=Two",
                       "[DB-Identifiers]",
                       "01=grp01",
                       "02=grp02",
                       "[Captions]",
                       "01=Copy",
                       "06=%s is missing",
                       "09=Click for more",
                       "10=\"%s\" not found - search from start ?"} +
           more;
}

// Shows the item-table window as the Tables button does and waits for its activation.
TData* showData(TForm1* form) {
    TData* data = form->Data;
    QTest::mouseClick(form->TablesBtn, Qt::LeftButton);
    EXPECT_TRUE(ProcessEventsUntil([data] { return data->isVisible() && data->Activated(); }));
    return data;
}

QString caption(TData* data) {
    return data->Table1CAPTION->AsString();
}

} // namespace

TEST_F(MenuWindowTest, PreviewFollowsTheRecord) {
    WritePicture(root_ + "/proj/small.bmp", 100, 50);
    WritePicture(root_ + "/proj/wide.bmp", 174, 50);
    WritePicture(root_ + "/proj/icon.ico", 64, 64);
    WritePicture(root_ + "/proj/back.bmp", 400, 300);
    Write("proj/song.wav", "RIFF");
    Write("proj/notes.txt", "notes");
    WriteItemTable(root_ + "/proj", "qor.dbf",
                   {{"grp01", "Small", "", "", "small.bmp"},
                    {"grp01", "Wide", "", "", "wide.bmp"},
                    {"grp01", "Icon", "", "", "icon.ico"},
                    {"grp01", "Song", "", "", "song.wav"},
                    {"grp01", "Notes", "", "", "notes.txt"},
                    {"grp01", "Missing", "", "", "missing.bmp"},
                    {"grp01", "None"},
                    {"grp01", "Small again", "", "", "small.bmp"}});
    Project(itemProject({"[Image]", "Active=1", "File=back.bmp"}));
    TForm1* form = Start();
    TData* data = showData(form);
    // The menu window's picture is large enough to stand in for a missing one.
    EXPECT_EQ(data->DefaultPicture.size(), QSize(400, 300));
    EXPECT_EQ(data->pos(), form->mapToGlobal(QPoint(8, 8)));
    // Framed, its frame stands there, just inside the menu's client area.
    Framed<TData> framed(form);
    framed.FormActivate(&framed);
    EXPECT_EQ(framed.geometry().topLeft(), form->mapToGlobal(QPoint(8 + 4, 8 + 23)));

    ASSERT_EQ(caption(data), "Small");
    EXPECT_EQ(data->Label9->text(), " ");
    EXPECT_FALSE(data->Image1->Stretch());
    EXPECT_EQ(data->Image1->Picture().size(), QSize(100, 50));
    EXPECT_EQ(data->Image1->toolTip(), "Click for more");
    data->Table1->Next();
    EXPECT_TRUE(data->Image1->Stretch());
    data->Table1->Next();
    EXPECT_FALSE(data->Image1->Stretch());
    EXPECT_EQ(data->Image1->Picture().size(), QSize(64, 64));

    data->Table1->Next(); // a media file: the buttons, the caption, no picture
    EXPECT_EQ(caption(data), "Song");
    EXPECT_FALSE(data->Panel4->isHidden());
    EXPECT_TRUE(data->Image1->isHidden());
    EXPECT_EQ(data->Label9->text(), "Click for more");
    data->Table1->Next(); // any other file: the caption alone
    EXPECT_TRUE(data->Panel4->isHidden());
    EXPECT_EQ(data->Label9->text(), "Click for more");

    data->Table1->Next(); // a missing file shows the default picture
    EXPECT_EQ(caption(data), "Missing");
    EXPECT_TRUE(data->DefaultShown);
    EXPECT_EQ(data->Label9->text(), "");
    EXPECT_FALSE(data->Image1->isHidden());
    EXPECT_TRUE(data->Image1->Stretch());
    EXPECT_EQ(data->Image1->Picture().size(), QSize(400, 300));
    EXPECT_EQ(data->Image1->toolTip(), "");
    data->Table1->Next();
    EXPECT_TRUE(data->DefaultShown);
    data->Table1->Next();
    EXPECT_FALSE(data->DefaultShown);
    EXPECT_EQ(data->Image1->Picture().size(), QSize(100, 50));

    // Hidden, the window does not follow the table.
    data->close();
    data->Table1->First();
    EXPECT_EQ(data->Image1->Picture().size(), QSize(100, 50));
    EXPECT_FALSE(data->Image1->Stretch());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MenuWindowTest, AClickOnThePreviewShowsPlaysOrOpens) {
    WritePicture(root_ + "/proj/photo.bmp", 120, 90);
    Write("proj/song.wav", "RIFF");
    Write("proj/notes.txt", "notes");
    WriteItemTable(root_ + "/proj", "qor.dbf",
                   {{"grp01", "Photo", "", "", "photo.bmp"},
                    {"grp01", "Song", "", "", "song.wav"},
                    {"grp01", "Notes", "", "", "notes.txt"},
                    {"grp01", "None"}});
    Project(itemProject({"[Sound]", "File=qor.wav"}));
    TForm1* form = Start();
    TData* data = showData(form);

    // A bitmap: the picture window at the picture's size, shown modally.
    QSize shownSize;
    QString shownTitle;
    QTimer::singleShot(0, data, [&] {
        shownSize = data->Pic->size();
        shownTitle = data->Pic->windowTitle();
        QTest::mouseClick(data->Pic->Surface1, Qt::LeftButton);
    });
    QTest::mouseClick(data->Label9, Qt::LeftButton);
    EXPECT_EQ(shownSize, QSize(120, 90));
    EXPECT_EQ(shownTitle, "photo.bmp");
    EXPECT_FALSE(data->Pic->isVisible());

    // A media file plays; a click while it plays stops it and does not start it again.
    data->Table1->Next();
    QTest::mouseClick(data->Label9, Qt::LeftButton);
    EXPECT_EQ(data->MediaFile1->FileName(), root_ + "/proj/song.wav");
    EXPECT_EQ(data->MediaFile1->State(), TMediaFile::stPlaying);
    QTest::mouseClick(data->Image1->isHidden() ? static_cast<QWidget*>(data->Panel3)
                                               : static_cast<QWidget*>(data->Image1),
                      Qt::LeftButton);
    EXPECT_EQ(data->MediaFile1->State(), TMediaFile::stStopped);
    QTest::mouseClick(data->Label9, Qt::LeftButton);
    EXPECT_EQ(data->MediaFile1->State(), TMediaFile::stPlaying);

    // Closing the window puts the project's sound back, stopped.
    data->close();
    EXPECT_EQ(data->MediaFile1->FileName(), root_ + "/proj/qor.wav");
    EXPECT_EQ(data->MediaFile1->State(), TMediaFile::stStopped);
    data = showData(form);

    // Any other file is opened by the desktop.
    data->Table1->Next();
    ASSERT_EQ(caption(data), "Notes");
    StartRecorder rec;
    QTest::mouseClick(data->Label9, Qt::LeftButton);
    const std::optional<StartRecorder::Start> start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, QStringList{root_ + "/proj/notes.txt"});

    // A file gone since it was previewed: the missing-file text.
    QFile::remove(root_ + "/proj/notes.txt");
    QTest::mouseClick(data->Label9, Qt::LeftButton);
    EXPECT_EQ(data->Label9->text(), "... is missing");
    // A row whose format does not fit its one text shows as it stands.
    form->CaptionTexts[6] = "%d is missing";
    QTest::mouseClick(data->Label9, Qt::LeftButton);
    EXPECT_EQ(data->Label9->text(), "%d is missing");
    // No picture at all: a click does nothing.
    data->Table1->Next();
    QTest::mouseClick(data->Panel3, Qt::LeftButton);
    EXPECT_EQ(data->Label9->text(), "");
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MenuWindowTest, FindAsksWithTheProjectsQuestion) {
    WriteItemTable(root_ + "/proj", "qor.dbf",
                   {{"grp01", "First", "50% off"}, {"grp01", "Second", "nothing"}});
    Project(itemProject());
    TForm1* form = Start();
    TData* data = showData(form);
    QTest::mouseClick(data->FindBtn, Qt::LeftButton);
    ASSERT_TRUE(data->FindDialog1->isVisible());
    EXPECT_EQ(data->FindDialog1->pos(), QPoint(5, 5));

    data->FindDialog1->SetFindText("50%");
    QTest::mouseClick(data->FindDialog1->FindNextButton(), Qt::LeftButton);
    // Down from the first record: the second does not hold it, so the question comes, with the
    // find text as typed, percent sign and all.
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "\"50%\" not found - search from start ?");
    // Yes (the first button) goes on from the first record, which holds it.
    EXPECT_EQ(caption(data), "First");
    EXPECT_TRUE(data->FindDialog1->isVisible());

    boxes_.Queue(IDNO);
    data->FindDialog1->SetFindText("absent");
    QTest::mouseClick(data->FindDialog1->FindNextButton(), Qt::LeftButton);
    EXPECT_EQ(boxes_.Boxes().size(), 2u);
    EXPECT_EQ(caption(data), "Second");
    EXPECT_FALSE(data->FindDialog1->isVisible());
}

TEST_F(MenuWindowTest, PickersFillTheRecordAndImportShortcuts) {
    WriteItemTable(root_ + "/proj", "qor.dbf", {{"grp01", "First"}});
    WriteShortcut(root_ + "/links/Home.url", "http://example.org/");
    WriteShortcut(root_ + "/links/A name longer than thirty characters.url",
                  "http://example.org/long");
    WriteShortcut(root_ + "/links/Empty.url", "");
    Project(itemProject());
    TForm1* form = Start();
    TData* data = showData(form);
    EXPECT_TRUE(data->DBEdit4->isHidden());

    QList<TOpenDialog> asked;
    QString answer;
    TOpenDialog::SetHook([&](TOpenDialog& dialog) {
        asked << dialog;
        dialog.FileName = answer;
        return !answer.isEmpty();
    });

    // The picture: bitmaps preselected, the project's folder to start in.
    answer = root_ + "/pics/Photo.BMP";
    QTest::mouseClick(data->SpeedButton3, Qt::LeftButton); // the row shows
    QTest::mouseClick(data->SpeedButton4, Qt::LeftButton);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].FilterIndex, 1);
    EXPECT_TRUE(asked[0].Filter.startsWith("(*.BMP)|*.bmp|(*.wav;"));
    EXPECT_TRUE(asked[0].Filter.endsWith("|(*.URL)|*.url|(*.EXE)|*.exe|(*.HTM*;*.TXT;*.DOC)|"
                                         "*.htm*;*.txt;*.doc|(*.*)|*.*"));
    EXPECT_EQ(asked[0].InitialDir, root_ + "/proj/");
    EXPECT_EQ(data->Table1->State(), dsEdit);
    EXPECT_EQ(data->DBEdit4->text(), answer);

    // A program: programs preselected.
    answer = root_ + "/bin/setup.exe";
    QTest::mouseClick(data->SpeedButton5, Qt::LeftButton);
    EXPECT_EQ(asked[1].FilterIndex, 4);
    EXPECT_EQ(data->DBEdit5->text(), answer);
    QTest::mouseClick(data->DBNavigator1->Button(nbPost), Qt::LeftButton);
    EXPECT_EQ(data->Table1PICTURE->AsString(), root_ + "/pics/Photo.BMP");

    // A cancelled dialog changes nothing.
    answer.clear();
    QTest::mouseClick(data->SpeedButton5, Qt::LeftButton);
    EXPECT_EQ(data->Table1->State(), dsBrowse);

    // An internet shortcut: Yes imports the folder's shortcuts into the chosen group.
    data->Groups->setCurrentIndex(1);
    data->GroupsChange(data->Groups);
    answer = root_ + "/links/Home.url";
    QTest::mouseClick(data->SpeedButton5, Qt::LeftButton);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, TItemTableWindow::ShortcutQuestion);
    data->Table1->Close();
    const QList<Row> rows = ReadItemTable(root_ + "/proj", "qor.dbf");
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1].mid(0, 3), (QStringList{"grp02", "A name longer than thirty char ...",
                                              "A name longer than thirty characters"}));
    EXPECT_EQ(rows[2], (Row{"grp02", "Home ...", "Home", "", "", "http://example.org/"}));
    TOpenDialog::SetHook(nullptr);
}

TEST_F(MenuWindowTest, OpenCopyAndTheEnterKey) {
    Write("proj/readme.txt", "read me");
    WriteItemTable(root_ + "/proj", "qor.dbf",
                   {{"grp01", "Readme", "", "", "", "readme.txt"},
                    {"grp01", "Web", "", "", "", "http://example.org//page"}});
    Project(itemProject());
    TForm1* form = Start();
    TData* data = showData(form);

    // Enter in the grid while browsing opens the record's file; so does the Open button.
    StartRecorder rec;
    data->DBGrid1->setFocus();
    QTest::keyClick(data->DBGrid1, Qt::Key_Return);
    std::optional<StartRecorder::Start> start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, QStringList{root_ + "/proj/readme.txt"});
    EXPECT_EQ(start->folder, root_ + "/proj");
    QTest::mouseClick(data->SpeedButton2, Qt::LeftButton);
    ASSERT_TRUE(rec.Wait());

    // Copy asks for the folder with the project's caption; a web address is never copied.
    FolderBrowserAnswerer browsers;
    browsers.Queue(root_ + "/copies");
    QDir(root_).mkpath("copies");
    QTest::mouseClick(data->SpeedButton1, Qt::LeftButton);
    ASSERT_EQ(browsers.Browsers().size(), 1u);
    EXPECT_EQ(browsers.Browsers()[0].title, "Copy : readme.txt ...");
    EXPECT_TRUE(QFileInfo::exists(root_ + "/copies/readme.txt"));
    data->Table1->Next();
    QTest::mouseClick(data->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(browsers.Browsers().size(), 1u);

    // A rename whose answer is empty does nothing.
    SetInputBoxHook([](const QString&, const QString&, const QString&) { return QString(); });
    EXPECT_FALSE(data->ShellFileOperation(root_ + "/proj/readme.txt", "Rename", FO_RENAME));
    EXPECT_TRUE(QFileInfo::exists(root_ + "/proj/readme.txt"));
    SetInputBoxHook(nullptr);

    // Editing, Enter posts; a new record is not posted by Enter. Insert shows the picture and
    // file row, and the new record takes the chosen group.
    data->Table1->Edit();
    data->Table1DESCRIPTOR->SetAsString("changed");
    QTest::keyClick(data->DBGrid1, Qt::Key_Return);
    EXPECT_EQ(data->Table1->State(), dsBrowse);
    EXPECT_TRUE(data->DBEdit4->isHidden());
    QTest::mouseClick(data->DBNavigator1->Button(nbInsert), Qt::LeftButton);
    EXPECT_FALSE(data->DBEdit4->isHidden());
    EXPECT_EQ(data->DBMemo1->height(), 46);
    data->DBEdit1->setFocus();
    QTest::keyClicks(data->DBEdit1, "new");
    QTest::keyClick(data->DBEdit1, Qt::Key_Return);
    EXPECT_EQ(data->Table1->State(), dsInsert);
    QTest::mouseClick(data->DBNavigator1->Button(nbPost), Qt::LeftButton);
    data->Table1->Close();
    const QList<Row> rows = ReadItemTable(root_ + "/proj", "qor.dbf");
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1][2], "changed");
    EXPECT_EQ(rows[2].mid(0, 3), (QStringList{"grp01", "", "new"}));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// The captions of the picture/file row, the window's own and the project's, are shown whole
// beside their edits.
TEST_F(MenuWindowTest, TheFileRowsCaptionsAreShownWhole) {
    TData own;
    Project({"[Captions]", "11=Bild- oder Mediendatei", "12=Programmdatei oder Adresse"});
    TData* data = Start()->DataWindow();
    for (TData* w : {&own, data})
        for (auto [label, edit] : {std::pair{w->Label6, w->DBEdit4}, {w->Label7, w->DBEdit5}}) {
            EXPECT_TRUE(label->toolTip().isEmpty()); // it is not shortened
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
            EXPECT_LT(label->geometry().right(), edit->x()) << label->text().toStdString();
        }
    EXPECT_EQ(own.Label6->text(), "Picture/Media file");
    EXPECT_EQ(data->Label7->text(), "Programmdatei oder Adresse");
}
