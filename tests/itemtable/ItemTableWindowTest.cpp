#include "itemtable/ItemTableTestSupport.h"

#include "common/EventLoop.h"
#include "components/MediaFile.h"
#include "components/Surface.h"
#include "framework/dbcontrols/DBEdit.h"
#include "framework/dbcontrols/DBGrid.h"
#include "itemtable/Image.h"
#include "itemtable/ItemTableWindow.h"
#include "itemtable/PictureWindow.h"
#include "platform/media/MediaDevice.h"
#include "platform/media/SimulatedMediaSystem.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <deque>

using namespace itemtest;

namespace {

// The shared window with answers given by the test and stored paths taken as they stand.
class TestWindow : public TItemTableWindow {
public:
    TestWindow() {
        resize(443, 361);
        Panel3->setGeometry(257, 44, 178, 112);
        Image1->setGeometry(2, 2, 174, 108);
        DBGrid1->setGeometry(8, 44, 238, 112);
    }

    std::deque<bool> searchAnswers; // answers beyond these are No
    QStringList searchQuestions;
    bool importAll = false;
    int opened = 0;

    void DataSource1DataChange(QObject*, TField*) override {}
    void Label9Click(QObject*) override {}

    using TItemTableWindow::ApplyGroup;
    using TItemTableWindow::ImportChosenShortcut;
    using TItemTableWindow::PreviewBitmapFile;
    using TItemTableWindow::PreviewClickGoesOn;
    using TItemTableWindow::PreviewDefaultPicture;
    using TItemTableWindow::PreviewIconFile;
    using TItemTableWindow::PreviewOtherFile;
    using TItemTableWindow::ShowFindDialog;

    // Opens the table on the group with this identifier.
    void Choose(const QString& identifier) {
        const int index =
            int(std::find(GroupIdentifiers.begin(), GroupIdentifiers.end(), identifier) -
                GroupIdentifiers.begin());
        Groups->setCurrentIndex(index);
        ApplyGroup();
    }
    QString Caption() const { return Table1CAPTION->AsString(); }
    // Asks the find dialog for the text with the options.
    void Find(const QString& text, TFindOptions options) {
        FindDialog1->SetFindText(text);
        FindDialog1->SetOptions(options);
        FindDialog1->FindNext();
    }

protected:
    QString ResolveStoredPath(const QString& stored) const override { return stored; }
    void OpenRecordFile() override { ++opened; }
    bool AskSearchFromStart(const QString& findText) override {
        searchQuestions << findText;
        if (searchAnswers.empty())
            return false;
        const bool answer = searchAnswers.front();
        searchAnswers.pop_front();
        return answer;
    }
    bool AskImportFolder() override { return importAll; }
};

class ItemTableWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path();
        previousMedia_ = SetMediaSystem(media_);
    }
    void TearDown() override { SetMediaSystem(previousMedia_); }

    // The window on a table of these rows, with the groups grp01 "One", grp02 "Two" and the
    // all-groups entry.
    std::unique_ptr<TestWindow> Open(const QList<Row>& rows) {
        WriteItemTable(folder_, "items", rows);
        auto w = std::make_unique<TestWindow>();
        w->Groups->addItems({"One", "Two", TItemTableWindow::AllGroups});
        w->GroupIdentifiers[0] = "grp01";
        w->GroupIdentifiers[1] = "grp02";
        w->GroupIdentifiers[2] = TItemTableWindow::AllGroups;
        w->Table1->SetRunTimePath(folder_);
        w->Table1->SetTableName("items");
        w->Choose("grp01");
        return w;
    }
    QString Path(const QString& name) const { return folder_ + "/" + name; }

    QTemporaryDir dir_;
    QString folder_;
    std::shared_ptr<TSimulatedMediaSystem> media_ = std::make_shared<TSimulatedMediaSystem>();
    std::shared_ptr<TMediaSystem> previousMedia_;
};

} // namespace

TEST_F(ItemTableWindowTest, GroupsFilterTheTableAndGiveNewRecordsTheirGroup) {
    auto w = Open({{"grp01", "First"}, {"grp02", "Second"}, {"grp01", "Third"}});
    EXPECT_EQ(w->Table1->RecordFilterText(), "grp01");
    EXPECT_TRUE(w->Table1->Filtered());
    EXPECT_EQ(w->Caption(), "First");
    w->Table1->Next();
    EXPECT_EQ(w->Caption(), "Third");

    w->Choose("grp02");
    EXPECT_EQ(w->Caption(), "Second");
    w->Table1->Insert(); // takes the chosen group
    w->Table1CAPTION->SetAsString("Fourth");
    w->Table1->Post();

    // The all-groups entry shows every record, unfiltered; a new record there has no group.
    w->Choose(TItemTableWindow::AllGroups);
    EXPECT_EQ(w->Table1->RecordFilterText(), "");
    EXPECT_FALSE(w->Table1->Filtered());
    EXPECT_EQ(w->CurrentGroupIdentifier(), "");
    w->Table1->Append();
    w->Table1CAPTION->SetAsString("Fifth");
    w->Table1->Post();
    w->Table1->Close();

    const QList<Row> rows = ReadItemTable(folder_, "items");
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[3].mid(0, 2), (QStringList{"grp02", "Fourth"}));
    EXPECT_EQ(rows[4].mid(0, 2), (QStringList{"", "Fifth"}));
}

TEST(MatchFindText, CaseWholeWordAndOnlyTheFirstOccurrence) {
    auto match = [](const QString& text, const QString& findText, TFindOptions options) {
        return TItemTableWindow::MatchFindText(text, findText, options);
    };
    // Without match case any case matches; with it only the exact one.
    EXPECT_TRUE(match("The Internet", "internet", 0));
    EXPECT_FALSE(match("The Internet", "internet", frMatchCase));
    EXPECT_TRUE(match("The Internet", "Internet", frMatchCase));
    // A whole word is bounded by the text's ends or one of " ,;.!?()-".
    EXPECT_TRUE(match("net, and more", "net", frWholeWord));
    EXPECT_TRUE(match("(net)", "NET", frWholeWord));
    EXPECT_TRUE(match("a-net", "net", frWholeWord));
    EXPECT_FALSE(match("nets", "net", frWholeWord));
    EXPECT_FALSE(match("a_net", "net", frWholeWord));
    EXPECT_TRUE(match("nets", "net", 0));
    // Only the first occurrence is judged, even when a later one is a whole word.
    EXPECT_FALSE(match("internet, net", "net", frWholeWord));
    // With match case the first occurrence in that case is the one judged.
    EXPECT_TRUE(match("NETwork and net", "net", frWholeWord | frMatchCase));
    // Nothing to look for finds nothing.
    EXPECT_FALSE(match("anything", "", 0));
}

TEST(IsMediaExtension, OnlyAWholeFirstEntryCounts) {
    const QString list = "*.wav;*.mid;*.mpeg;*.mp";
    EXPECT_EQ(TItemTableWindow::IsMediaExtension(".wav", list), 2);
    EXPECT_GT(TItemTableWindow::IsMediaExtension(".mid", list), 0);
    EXPECT_GT(TItemTableWindow::IsMediaExtension(".mp", "*.wav;*.mp"), 0); // ends the list
    // ".mp" first occurs inside ".mpeg", followed by "e": not a media extension, even though a
    // later entry would fit.
    EXPECT_EQ(TItemTableWindow::IsMediaExtension(".mp", list), 0);
    EXPECT_EQ(TItemTableWindow::IsMediaExtension(".wa", list), 0);
    EXPECT_EQ(TItemTableWindow::IsMediaExtension("", list), 0);
}

TEST_F(ItemTableWindowTest, FindStepsToTheNextMatchAndAsksAtTheEnd) {
    auto w = Open({{"grp01", "Alpha", "the internet"},
                   {"grp01", "Beta", "a net, cast wide", "", "net.bmp"},
                   {"grp02", "Gamma", "net"},
                   {"grp01", "Delta", "", "net in the comments"}});
    w->show();
    // GROUP, PICTURE and FILE are not searched once hidden.
    w->Table1PICTURE->SetVisible(false);

    w->Find("net", frDown | frWholeWord);
    EXPECT_EQ(w->Caption(), "Beta");
    EXPECT_TRUE(w->searchQuestions.isEmpty());
    w->Find("net", frDown | frWholeWord);
    EXPECT_EQ(w->Caption(), "Delta"); // the memo is searched; Gamma is in another group

    // At the end the question comes with the text as typed; No leaves the last record and
    // closes the dialog.
    w->ShowFindDialog();
    ASSERT_TRUE(w->FindDialog1->isVisible());
    w->Find("Net", frDown | frWholeWord);
    EXPECT_EQ(w->searchQuestions, QStringList{"Net"});
    EXPECT_EQ(w->Caption(), "Delta");
    EXPECT_FALSE(w->FindDialog1->isVisible());

    // Yes goes on from the first record; the current record is tested last.
    w->searchAnswers = {true};
    w->Find("NET", frDown | frWholeWord);
    EXPECT_EQ(w->Caption(), "Beta");
    EXPECT_EQ(w->searchQuestions.size(), 2);

    // Upwards; match case finds nothing: the question once per pass while the answer is Yes.
    w->searchQuestions.clear();
    w->searchAnswers = {true, true};
    w->Find("NET", frMatchCase);
    EXPECT_EQ(w->searchQuestions.size(), 3);
    EXPECT_EQ(w->Caption(), "Alpha"); // where the last step up left it
    // The controls follow the table again after the search.
    EXPECT_FALSE(w->Table1->ControlsDisabled());
}

TEST_F(ItemTableWindowTest, ShortcutsOfAFolderBecomeRecordsOfTheGroup) {
    auto w = Open({{"grp01", "Existing"}});
    w->Choose("grp02");
    const QString longName = "A shortcut whose name is rather long";
    WriteShortcut(Path("links/" + longName + ".url"), "http://example.org/long");
    WriteShortcut(Path("links/Home page.URL"), "http://example.org/");
    WriteShortcut(Path("links/No address.url"), "");
    WriteFile(Path("links/notes.txt"), "URL=http://not.a.shortcut/");

    w->importAll = true;
    w->ImportChosenShortcut(Path("links/Home page.URL"));
    w->Table1->Close();
    QList<Row> rows = ReadItemTable(folder_, "items");
    ASSERT_EQ(rows.size(), 3); // the one without an address is skipped
    EXPECT_EQ(rows[1], (Row{"grp02", "A shortcut whose name is rathe ...", longName, "", "",
                            "http://example.org/long"}));
    EXPECT_EQ(rows[2], (Row{"grp02", "Home page ...", "Home page", "", "", "http://example.org/"}));

    // Just the one chosen, into the current record.
    w->Choose("grp01");
    w->importAll = false;
    w->ImportChosenShortcut(Path("links/Home page.URL"));
    w->ImportChosenShortcut(Path("links/No address.url")); // changes nothing
    w->Table1->Close();
    rows = ReadItemTable(folder_, "items");
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (Row{"grp01", "Home page ...", "Home page", "", "", "http://example.org/"}));
}

TEST_F(ItemTableWindowTest, PreviewOfBitmapsIconsMediaAndTheDefault) {
    auto w = Open({{"grp01", "First"}});
    WritePicture(Path("small.bmp"), 100, 50);
    WritePicture(Path("wide.bmp"), 174, 50);
    WritePicture(Path("big.ico"), 256, 256);
    WriteFile(Path("broken.bmp"), "BM not really");
    ASSERT_EQ(w->Image1->size(), QSize(174, 108));

    // Smaller than the preview both ways: at its own size, centred.
    EXPECT_TRUE(w->PreviewBitmapFile(Path("small.bmp")));
    EXPECT_EQ(w->Label9->text(), " ");
    EXPECT_FALSE(w->Image1->Stretch());
    EXPECT_EQ(w->Image1->PictureRect(), QRect(37, 29, 100, 50));
    EXPECT_TRUE(w->PreviewBitmapFile(Path("wide.bmp")));
    EXPECT_TRUE(w->Image1->Stretch());
    EXPECT_EQ(w->Image1->PictureRect(), w->Image1->rect());
    // A file that holds no bitmap leaves the preview as it was.
    EXPECT_FALSE(w->PreviewBitmapFile(Path("broken.bmp")));
    EXPECT_EQ(w->PreviewBitmap.width(), 174);
    // An icon is never stretched, whatever its size.
    w->PreviewIconFile(Path("big.ico"));
    EXPECT_FALSE(w->Image1->Stretch());
    EXPECT_FALSE(w->Image1->Picture().isNull());

    // A media file: the buttons, the caption in maroon, no picture.
    w->PreviewOtherFile("click me", Path("song.WAV"));
    EXPECT_FALSE(w->Panel4->isHidden());
    EXPECT_TRUE(w->Image1->isHidden());
    EXPECT_EQ(w->Label9->text(), "click me");
    EXPECT_EQ(w->Label9->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
    w->Panel4->hide();
    w->PreviewOtherFile("click me", Path("notes.txt"));
    EXPECT_TRUE(w->Panel4->isHidden());

    // The default picture, once: a second record without a picture does not reload it.
    w->DefaultShown = false;
    w->DefaultPicture = QImage(300, 200, QImage::Format_RGB32);
    w->PreviewDefaultPicture();
    EXPECT_TRUE(w->DefaultShown);
    EXPECT_TRUE(w->Image1->Stretch());
    EXPECT_FALSE(w->Image1->isHidden());
    EXPECT_EQ(w->Image1->Picture().size(), QSize(300, 200));
    w->Image1->SetPicture(QImage());
    w->PreviewDefaultPicture();
    EXPECT_TRUE(w->Image1->Picture().isNull());
    // Without a default picture the preview is empty.
    w->DefaultShown = false;
    w->DefaultPicture = QImage();
    w->PreviewDefaultPicture();
    EXPECT_TRUE(w->Image1->isHidden());
}

TEST_F(ItemTableWindowTest, MediaButtonsAndAClickOnAPlayingPreview) {
    auto w = Open({{"grp01", "Song", "", "", "song.wav"}, {"grp01", "Silent"}});
    // Stored paths are taken as they stand here: relative to the working folder.
    const QString saved = QDir::currentPath();
    QDir::setCurrent(folder_);
    WriteFile(Path("song.wav"), "RIFF");

    w->BtnPlayClick(w->BtnPlay);
    EXPECT_EQ(w->MediaFile1->FileName(), Path("song.wav"));
    EXPECT_EQ(w->MediaFile1->State(), TMediaFile::stPlaying);
    w->BtnStop->click();
    EXPECT_EQ(w->MediaFile1->State(), TMediaFile::stStopped);

    // A click while this very file plays only stops it.
    w->Label9->setText("click");
    w->MediaFile1->Play();
    EXPECT_FALSE(w->PreviewClickGoesOn("song.wav"));
    EXPECT_EQ(w->MediaFile1->State(), TMediaFile::stStopped);
    EXPECT_TRUE(w->PreviewClickGoesOn("song.wav"));
    // Nothing on the preview: a click does nothing more.
    w->Label9->clear();
    EXPECT_FALSE(w->PreviewClickGoesOn("song.wav"));

    // A record without a picture: the buttons do nothing.
    w->Table1->Next();
    w->MediaFile1->Close();
    w->BtnPlayClick(w->BtnPlay);
    EXPECT_EQ(w->MediaFile1->State(), TMediaFile::stClosed);
    QDir::setCurrent(saved);
}

TEST_F(ItemTableWindowTest, EnterPostsAnEditedRecordOrOpensTheFile) {
    auto w = Open({{"grp01", "First"}});
    QChar enter(13);
    w->DBGrid1KeyPress(w->DBGrid1, enter);
    EXPECT_TRUE(enter.isNull()); // swallowed
    EXPECT_EQ(w->opened, 1);

    w->Table1->Edit();
    w->Table1DESCRIPTOR->SetAsString("changed");
    enter = QChar(13);
    w->DBEdit1KeyPress(w->DBEdit1, enter);
    EXPECT_EQ(w->Table1->State(), dsBrowse);
    EXPECT_EQ(w->opened, 1);

    // A new record is posted by the navigator only.
    w->Table1->Insert();
    w->Table1CAPTION->SetAsString("New");
    enter = QChar(13);
    w->DBEdit1KeyPress(w->DBEdit1, enter);
    EXPECT_EQ(w->Table1->State(), dsInsert);
    enter = QChar(13);
    w->DBGrid1KeyPress(w->DBGrid1, enter);
    EXPECT_EQ(w->Table1->State(), dsInsert);
    w->Table1->Cancel();

    QChar other('x');
    w->DBGrid1KeyPress(w->DBGrid1, other);
    EXPECT_EQ(other, QChar('x'));
}

TEST(PictureWindow, TakesThePicturesSizeAndClosesOnAClick) {
    QTemporaryDir dir;
    WritePicture(dir.filePath("Photo.BMP"), 320, 200);
    TPic pic;
    EXPECT_FALSE(pic.LoadPicture(dir.filePath("missing.bmp")));
    EXPECT_EQ(pic.size(), QSize(355, 104));
    // A stored path may name its folders with backslashes; the caption is the name alone.
    ASSERT_TRUE(pic.LoadPicture(dir.filePath("Photo.BMP").replace('/', '\\')));
    EXPECT_EQ(pic.size(), QSize(320, 200));
    EXPECT_EQ(pic.windowTitle(), "Photo.BMP");
    pic.show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return pic.isVisible(); }));
    pic.Surface1Click(pic.Surface1);
    EXPECT_FALSE(pic.isVisible());
}
