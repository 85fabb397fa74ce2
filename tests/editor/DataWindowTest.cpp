#include "editor/DataWindow.h"
#include "EditorTestSupport.h"
#include "common/StartRecorder.h"
#include "components/MediaFile.h"
#include "components/Surface.h"
#include "editor/PictureWindow.h"
#include "framework/dbcontrols/DBEdit.h"
#include "framework/dbcontrols/DBGrid.h"
#include "framework/dbcontrols/DBMemo.h"
#include "framework/dbcontrols/DBNavigator.h"
#include "framework/forms/FindDialog.h"
#include "itemtable/Image.h"
#include "itemtable/ItemTableTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace Orvello;
using namespace itemtest;

// The item-table window as the Database page shows it: the table "items.dbf" in the project
// folder with the groups Songs (song) and Videos (video); a CD volume is mounted at "cd".
class DataWindowTest : public EditorTest {
protected:
    TForm1* StartWithTable(const QList<Row>& rows) {
        WriteItemTable(Path("proj"), "items.dbf", rows);
        QDir(root_).mkpath("cd");
        TForm1* f = Start(Volumes::ParseMountTable(
            QString("/dev/sr0 %1 iso9660 ro 0 0\n").arg(Path("cd")).toUtf8()));
        f->TableName->setText(Path("proj/items.dbf"));
        f->StringGrid1->SetCell(1, 1, "Songs");
        f->StringGrid1->SetCell(2, 1, "song");
        f->StringGrid1->SetCell(1, 2, "Videos");
        f->StringGrid1->SetCell(2, 2, "video");
        return f;
    }
    // Runs `body` while the window is up through "Edit data"; closes it after.
    void EditData(TForm1* f, const std::function<void(TData*)>& body) {
        bool ran = false;
        WhenModal([&] {
            ASSERT_TRUE(f->Data->isVisible());
            body(f->Data);
            ran = true;
            f->Data->close();
        });
        f->BitBtn9->click();
        EXPECT_TRUE(ran);
    }
    static void Type(QWidget* edit, const QString& text) {
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    static void Post(TData* data) {
        QTest::mouseClick(data->DBNavigator1->Button(nbPost), Qt::LeftButton);
    }
    static QColor CaptionColor(const TData* data) {
        return data->Label9->palette().color(QPalette::WindowText);
    }
};

TEST_F(DataWindowTest, EveryFieldIsShownAndEditedAndEnterPostsOnlyAChangedRecord) {
    TForm1* f = StartWithTable({{"song", "Tune"}});
    EditData(f, [](TData* data) {
        QStringList columns;
        for (int i = 0; i < data->DBGrid1->ShownColumnCount(); ++i)
            columns << data->DBGrid1->ColumnField(i)->FieldName();
        EXPECT_EQ(columns, (QStringList{"CAPTION", "DESCRIPTOR", "PICTURE", "FILE"}));
        for (QWidget* edit :
             {static_cast<QWidget*>(data->DBEdit2), static_cast<QWidget*>(data->DBEdit3),
              static_cast<QWidget*>(data->DBEdit1), static_cast<QWidget*>(data->DBMemo1),
              static_cast<QWidget*>(data->DBEdit4), static_cast<QWidget*>(data->DBEdit5)})
            EXPECT_FALSE(edit->isHidden());
        EXPECT_EQ(data->DBEdit2->text(), "song");

        // A new record starts in the chosen group; Enter does not post it, the navigator does.
        QTest::mouseClick(data->DBNavigator1->Button(nbInsert), Qt::LeftButton);
        EXPECT_EQ(data->DBEdit2->text(), "song");
        Type(data->DBEdit3, "Hymn");
        QTest::keyClick(data->DBEdit3, Qt::Key_Return);
        EXPECT_EQ(data->Table1->State(), dsInsert);
        Type(data->DBEdit1, "Old hymn");
        Type(data->DBMemo1, "Sung loudly");
        Type(data->DBEdit4, "hymn.wav");
        Type(data->DBEdit5, "http://hymn.example");
        Type(data->DBEdit2, "s");
        Post(data);
        EXPECT_EQ(data->Table1->State(), dsBrowse);

        // A record being changed is posted by Enter, in any of the five edits.
        data->Table1->First();
        Type(data->DBEdit3, "!");
        EXPECT_EQ(data->Table1->State(), dsEdit);
        QTest::keyClick(data->DBEdit3, Qt::Key_Return);
        EXPECT_EQ(data->Table1->State(), dsBrowse);
        Type(data->DBEdit2, "x");
        QTest::keyClick(data->DBEdit2, Qt::Key_Return);
        EXPECT_EQ(data->Table1->State(), dsBrowse);
    });
    const QList<Row> rows = ReadItemTable(Path("proj"), "items.dbf");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].mid(0, 2), (QStringList{"songx", "Tune!"}));
    EXPECT_EQ(rows[1],
              (Row{"songs", "Hymn", "Old hymn", "Sung loudly", "hymn.wav", "http://hymn.example"}));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DataWindowTest, ARecordBeingChangedIsKeptWhenTheGroupChangesOrTheWindowCloses) {
    TForm1* f = StartWithTable({{"song", "Tune"}, {"video", "Clip"}});
    EditData(f, [this](TData* data) {
        // Another group: the change is stored first; a new record left untouched is not.
        QTest::mouseClick(data->DBNavigator1->Button(nbInsert), Qt::LeftButton);
        ChooseItem(data->Groups, 1);
        ChooseItem(data->Groups, 0);
        Type(data->DBEdit3, "!");
        ChooseItem(data->Groups, 1);
        EXPECT_EQ(data->Panel1->text(), "video");
        EXPECT_EQ(data->Table1CAPTION->AsString(), "Clip");

        // A change that cannot be stored keeps the group, the record and the window.
        data->Table1->BeforePost = [](TDataSet*) { DatabaseError("Disk full"); };
        Type(data->DBEdit3, "?");
        ChooseItem(data->Groups, 0);
        ASSERT_EQ(boxes_.Boxes().size(), 1u);
        EXPECT_EQ(boxes_.Boxes()[0].text, "Disk full");
        EXPECT_EQ(data->Groups->currentIndex(), 1);
        EXPECT_EQ(data->Panel1->text(), "video");
        EXPECT_EQ(data->Table1->State(), dsEdit);
        data->close();
        EXPECT_EQ(boxes_.Boxes().size(), 2u);
        EXPECT_TRUE(data->isVisible());
        EXPECT_TRUE(data->Table1->Active());

        // Once it can be, closing stores it.
        data->Table1->BeforePost = nullptr;
    });
    EXPECT_FALSE(f->Data->Table1->Active());
    const QList<Row> rows = ReadItemTable(Path("proj"), "items.dbf");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].mid(0, 2), (QStringList{"song", "Tune!"}));
    EXPECT_EQ(rows[1].mid(0, 2), (QStringList{"video", "Clip?"}));
}

TEST_F(DataWindowTest, PickersMarkFilesOnTheCdAndImportShortcuts) {
    TForm1* f = StartWithTable({{"song", "Tune"}});
    WriteShortcut(Path("links/Home page.url"), "http://example.org/");
    WriteShortcut(Path("links/A name longer than thirty characters.url"), "http://example.org/l");
    WriteShortcut(Path("links/Empty.url"), "");
    EditData(f, [this](TData* data) {
        EXPECT_TRUE(
            data->OpenDialog1.Filter.startsWith("Bitmaps (*.bmp)|*.bmp|Mediafiles (*.wav;"));
        EXPECT_TRUE(data->OpenDialog1.Filter.endsWith(
            "|URLs (*.url)|*.url|EXE files (*.exe)|*.exe|Text files(*.htm*;*.txt;*.doc)|"
            "*.htm*;*.txt;*.doc|All files (*.*)|*.*"));

        // The picture on the CD is stored with the marker, the name as it is spelt.
        ChooseInData(Path("cd/pics/Photo.BMP"));
        data->SpeedButton1->click();
        EXPECT_EQ(seen_.back().title, "Select file ...");
        EXPECT_EQ(seen_.back().filterIndex, 1);
        EXPECT_EQ(data->Table1->State(), dsEdit);
        EXPECT_EQ(data->DBEdit4->text(), "?:/pics/Photo.BMP");
        // A program elsewhere as chosen.
        ChooseInData(Path("disk/setup.exe"));
        data->SpeedButton2->click();
        EXPECT_EQ(seen_.back().filterIndex, 4);
        EXPECT_EQ(data->DBEdit5->text(), Path("disk/setup.exe"));
        Post(data);
        // A cancelled dialog changes nothing.
        ChooseInData(QString());
        data->SpeedButton2->click();
        EXPECT_EQ(data->Table1->State(), dsBrowse);

        // A shortcut, answered No (the default): only this one, into the current record.
        ChooseInData(Path("links/Home page.url"));
        boxes_.Queue(IDNO);
        data->SpeedButton2->click();
        ASSERT_EQ(boxes_.Boxes().size(), 1u);
        EXPECT_EQ(boxes_.Boxes()[0].text, TData::ShortcutQuestion);
        EXPECT_EQ(boxes_.Boxes()[0].style & 0xF00, unsigned(MB_DEFBUTTON2));
        EXPECT_EQ(data->Table1CAPTION->AsString(), "Home page ...");

        // Yes under the all-groups entry: every shortcut of the folder, without a group.
        ChooseItem(data->Groups, 2);
        ChooseInData(Path("links/Empty.url"));
        boxes_.Queue(IDYES);
        data->SpeedButton2->click();
    });
    const QList<Row> rows = ReadItemTable(Path("proj"), "items.dbf");
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (Row{"song", "Home page ...", "Home page", "", "?:/pics/Photo.BMP",
                            "http://example.org/"}));
    EXPECT_EQ(rows[1].mid(0, 3), (QStringList{"", "A name longer than thirty char ...",
                                              "A name longer than thirty characters"}));
    EXPECT_EQ(rows[2], (Row{"", "Home page ...", "Home page", "", "", "http://example.org/"}));
}

TEST_F(DataWindowTest, ThePreviewFindsCdPicturesAndKeepsWhatItShowedForAMissingFile) {
    WritePicture(Path("cd/pics/small.bmp"), 100, 50);
    WritePicture(Path("cd/pics/wide.bmp"), 172, 50);
    WritePicture(Path("proj/disc.ico"), 64, 64);
    Write("proj/song.wav", "RIFF");
    Write("proj/notes.txt", "notes");
    TForm1* f = StartWithTable({{"song", "Small", "", "", "?:/pics/small.bmp"},
                                {"song", "Wide", "", "", "?:/pics/wide.bmp"},
                                {"song", "Icon", "", "", Path("proj/disc.ico")},
                                {"song", "Sound", "", "", Path("proj/song.wav")},
                                {"song", "Missing", "", "", Path("proj/gone.bmp")},
                                {"song", "Notes", "", "", Path("proj/notes.txt")},
                                {"song", "None"}});
    EXPECT_EQ(CaptionColor(f->Data), ColorToQColor(clYellow));
    EditData(f, [](TData* data) {
        EXPECT_EQ(data->Image1->size(), QSize(172, 106));
        EXPECT_EQ(data->Label9->text(), " ");
        EXPECT_FALSE(data->Image1->Stretch());
        EXPECT_EQ(data->Image1->Picture().size(), QSize(100, 50));
        data->Table1->Next();
        EXPECT_TRUE(data->Image1->Stretch());
        data->Table1->Next();
        EXPECT_FALSE(data->Image1->Stretch());
        EXPECT_EQ(data->Image1->Picture().size(), QSize(64, 64));

        data->Table1->Next(); // a media file: the caption in maroon, the media buttons
        EXPECT_EQ(data->Label9->text(), TData::MoreText);
        EXPECT_EQ(CaptionColor(data), ColorToQColor(clMaroon));
        EXPECT_FALSE(data->Panel4->isHidden());
        EXPECT_TRUE(data->Image1->isHidden());

        // A file that is not there keeps the preview, without the buttons; a click says so.
        data->Table1->Next();
        EXPECT_EQ(data->Label9->text(), TData::MoreText);
        EXPECT_TRUE(data->Panel4->isHidden());
        EXPECT_FALSE(data->DefaultShown);
        QTest::mouseClick(data->Label9, Qt::LeftButton);
        EXPECT_EQ(data->Label9->text(), TData::NotFoundText);

        data->Table1->Next(); // any other file: the caption alone
        EXPECT_EQ(data->Label9->text(), TData::MoreText);
        EXPECT_TRUE(data->Panel4->isHidden());
        data->Table1->Next(); // no picture: the empty default
        EXPECT_TRUE(data->DefaultShown);
        EXPECT_EQ(data->Label9->text(), "");
        EXPECT_TRUE(data->Image1->isHidden());
        // A click on nothing does nothing.
        QTest::mouseClick(data->Panel3, Qt::LeftButton);
        EXPECT_EQ(data->Label9->text(), "");
    });
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DataWindowTest, ClicksShowThePictureBesidePlayMediaAndOpenFilesAndAddresses) {
    WritePicture(Path("cd/pics/Photo.BMP"), 120, 90);
    Write("proj/song.wav", "RIFF");
    Write("proj/notes.txt", "notes");
    Write("cd/readme.txt", "read me");
    Write("proj/broken.bmp", "not a picture");
    TForm1* f =
        StartWithTable({{"song", "Photo", "", "", "?:/pics/Photo.BMP"},
                        {"song", "Sound", "", "", Path("proj/song.wav")},
                        {"song", "Notes", "", "", Path("proj/notes.txt"), "?:/readme.txt"},
                        {"song", "Web", "", "", Path("proj/broken.bmp"), "http://example.org/page"},
                        {"song", "Lost", "", "", "", "/nowhere/at/all.txt"}});
    EditData(f, [this](TData* data) {
        auto* pic = static_cast<Orvello::TPic*>(data->Pic);
        // A bitmap: the picture window beside the modal one, at the picture's size, named as
        // the file is spelt; the two take turns at the top.
        QTest::mouseClick(data->Label9, Qt::LeftButton);
        ASSERT_TRUE(pic->isVisible());
        EXPECT_EQ(pic->size(), QSize(120, 90));
        EXPECT_EQ(pic->windowTitle(), "Photo.BMP");
        pic->DoActivate();
        EXPECT_TRUE(pic->IsTopmost());
        data->DoActivate();
        EXPECT_FALSE(pic->IsTopmost());
        pic->DoActivate();
        EXPECT_TRUE(pic->IsTopmost());
        QTest::mouseClick(pic->Surface1, Qt::LeftButton);
        EXPECT_FALSE(pic->isVisible());

        // A sound plays; a click while it plays stops it, the next one plays it again.
        data->Table1->Next();
        QTest::mouseClick(data->Label9, Qt::LeftButton);
        EXPECT_EQ(data->MediaFile1->FileName(), Path("proj/song.wav"));
        EXPECT_EQ(data->MediaFile1->State(), TMediaFile::stPlaying);
        QTest::mouseClick(data->Panel3, Qt::LeftButton);
        EXPECT_EQ(data->MediaFile1->State(), TMediaFile::stStopped);
        QTest::mouseClick(data->Label9, Qt::LeftButton);
        EXPECT_EQ(data->MediaFile1->State(), TMediaFile::stPlaying);
        QTest::mouseClick(data->BtnStop, Qt::LeftButton);
        EXPECT_EQ(data->MediaFile1->State(), TMediaFile::stStopped);

        // Any other file goes to the desktop in its own folder; so does the record's file,
        // found on the CD, and an address.
        data->Table1->Next();
        StartRecorder rec;
        QTest::mouseClick(data->Label9, Qt::LeftButton);
        std::optional<StartRecorder::Start> start = rec.Wait();
        ASSERT_TRUE(start);
        EXPECT_EQ(start->args, QStringList{Path("proj/notes.txt")});
        EXPECT_EQ(start->folder, Path("proj"));
        data->SpeedButton4->click();
        start = rec.Wait();
        ASSERT_TRUE(start);
        EXPECT_EQ(start->args, QStringList{Path("cd/readme.txt")});
        data->Table1->Next();
        data->DBGrid1->setFocus();
        QTest::keyClick(data->DBGrid1, Qt::Key_Return);
        start = rec.Wait();
        ASSERT_TRUE(start);
        EXPECT_EQ(start->args, QStringList{"http://example.org/page"});
        EXPECT_TRUE(boxes_.Boxes().empty());

        // What cannot be opened is said, with its full path: a bitmap file without a picture,
        // a file that is not there.
        QTest::mouseClick(data->Label9, Qt::LeftButton);
        EXPECT_FALSE(pic->isVisible());
        data->Table1->Next();
        data->SpeedButton4->click();
        ASSERT_EQ(boxes_.Boxes().size(), 2u);
        EXPECT_EQ(boxes_.Boxes()[0].text,
                  "\" " + Path("proj/broken.bmp") + " \" could not be opened !");
        EXPECT_EQ(boxes_.Boxes()[1].text, "\" /nowhere/at/all.txt \" could not be opened !");

        // Closing stops the sound and closes the picture window and the table.
        data->Table1->First();
        QTest::mouseClick(data->Label9, Qt::LeftButton);
        data->Table1->Next();
        QTest::mouseClick(data->Label9, Qt::LeftButton);
        ASSERT_TRUE(pic->isVisible());
        ASSERT_EQ(data->MediaFile1->State(), TMediaFile::stPlaying);
    });
    EXPECT_FALSE(f->Pic->isVisible());
    EXPECT_EQ(f->Data->MediaFile1->State(), TMediaFile::stStopped);
    EXPECT_FALSE(f->Data->Table1->Active());
}

TEST_F(DataWindowTest, FindSearchesEveryFieldAndAsksItsOwnQuestion) {
    TForm1* f = StartWithTable(
        {{"song", "First", "", "", "", "http://net.example"}, {"song", "Second", "internet, net"}});
    EditData(f, [this](TData* data) {
        data->OpenBtn->click();
        ASSERT_TRUE(data->FindDialog1->isVisible());
        EXPECT_EQ(data->FindDialog1->pos(), QPoint(5, 5));

        // Down from the first record, the second does not hold it: the question, then the
        // first record, whose address holds it.
        boxes_.Queue(IDYES);
        data->FindDialog1->SetFindText("EXAMPLE");
        data->FindDialog1->FindNext();
        ASSERT_EQ(boxes_.Boxes().size(), 1u);
        EXPECT_EQ(boxes_.Boxes()[0].text, "\"EXAMPLE\" not found - search from start ?");
        EXPECT_EQ(boxes_.Boxes()[0].caption, "Confirm");
        EXPECT_EQ(boxes_.Boxes()[0].style & 0xFF, unsigned(MB_ICONQUESTION | MB_YESNO));
        EXPECT_EQ(data->Table1CAPTION->AsString(), "First");

        // A whole word judged at its first place only: not found; No closes the dialog.
        boxes_.Queue(IDNO);
        data->FindDialog1->SetOptions(frDown | frWholeWord);
        data->FindDialog1->SetFindText("net");
        data->FindDialog1->FindNext();
        EXPECT_EQ(boxes_.Boxes().size(), 2u);
        EXPECT_FALSE(data->FindDialog1->isVisible());
    });
    // Closed, the table is not searched.
    f->Data->OpenBtn->click();
    EXPECT_FALSE(f->Data->FindDialog1->isVisible());
}
