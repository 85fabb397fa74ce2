#include "EditorTestSupport.h"

#include "components/Msg.h"
#include "platform/Profile.h"

#include <QTest>

using namespace Orvello;

TEST_F(EditorTest, SavingAProjectNamesItAndOpeningItAgainLoadsIt) {
    TForm1* f = Start();
    f->Title1->setText("Saved");
    f->ProjectNeedsSave = true;
    f->SaveDialog1->FilterIndex = 2;
    Choose(Path("proj/Menu One.qor"));
    f->BitBtn1->click();
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].title, "Save configuration as ...");
    EXPECT_EQ(seen_[0].filterIndex, 1);
    EXPECT_EQ(f->ProjectFileName, Path("proj/Menu One.qor"));
    EXPECT_EQ(f->windowTitle(), "Tavolin 1.1 - Menu One.qor");
    EXPECT_FALSE(f->ProjectNeedsSave);
    EXPECT_EQ(f->ProjectFolder, root_ + "/prog/"); // saving moves no folder

    // Opening asks before it resets a project that has a file, then loads the chosen one.
    f->Title1->setText("Changed");
    Choose(Path("proj/Menu One.qor"));
    boxes_.Queue(IDNO);
    f->BitBtn4->click();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(seen_.back().title, "Open configuration file or template file ...");
    EXPECT_EQ(f->Title1->text(), "Saved");
    EXPECT_EQ(f->ProjectFileName, Path("proj/Menu One.qor"));
    EXPECT_EQ(f->SaveDialog1->FileName, Path("proj/Menu One.qor"));
    EXPECT_EQ(f->windowTitle(), "Tavolin 1.1 - Menu One.qor");
    EXPECT_EQ(f->ProjectFolder, Path("proj") + "/");
    EXPECT_EQ(QDir::currentPath(), Path("proj"));

    // The next save proposes the opened file.
    Cancel();
    f->BitBtn1->click();
    EXPECT_EQ(seen_.back().fileName, Path("proj/Menu One.qor"));
}

TEST_F(EditorTest, ATemplateOpensAsAnUntitledProject) {
    TForm1* f = Start();
    f->Title1->setText("From the template");
    f->ProjectNeedsSave = true;
    Choose(Path("proj/Basic.ZUN"));
    f->BitBtn1->click();
    // Saved as a template: no project file, the need to save stays.
    EXPECT_TRUE(Profile::LoadProfile(Path("proj/Basic.ZUN")).HasSection("Titles"));
    EXPECT_TRUE(f->ProjectFileName.isEmpty());
    EXPECT_TRUE(f->SaveDialog1->FileName.isEmpty());
    EXPECT_EQ(f->windowTitle(), "Tavolin 1.1");
    EXPECT_TRUE(f->ProjectNeedsSave);

    boxes_.Queue(IDNO);
    f->BitBtn5->click(); // without a project file New asks only to save the changed work
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(f->Title1->text(), "Main title ...");
    EXPECT_FALSE(f->ProjectNeedsSave);

    f->ProjectFileName = Path("proj/other.qor");
    f->SaveDialog1->FileName = Path("proj/other.qor");
    Choose(Path("proj/Basic.ZUN"));
    f->BitBtn4->click(); // the reset question is answered yes
    EXPECT_EQ(f->Title1->text(), "From the template");
    EXPECT_TRUE(f->ProjectFileName.isEmpty());
    EXPECT_EQ(f->windowTitle(), "Tavolin 1.1");
    EXPECT_TRUE(f->SaveDialog1->FileName.isEmpty());
    EXPECT_EQ(f->ProjectFolder, Path("proj") + "/");
    Cancel();
    f->BitBtn1->click();
    EXPECT_TRUE(seen_.back().fileName.isEmpty());
}

TEST_F(EditorTest, NewAndOpenAskToSaveChangedWorkAndResetOnlyWhenTheAuthorGoesOn) {
    TForm1* f = Start();
    f->ProjectFileName = Path("proj/mine.qor");
    f->ProjectNeedsSave = true;
    f->Title1->setText("Mine");
    boxes_.Queue(IDCANCEL);
    f->BitBtn5->click();
    EXPECT_EQ(boxes_.Boxes().at(0).text, "Save current project first ?");
    EXPECT_EQ(f->Title1->text(), "Mine");
    EXPECT_EQ(f->ProjectFileName, Path("proj/mine.qor"));
    EXPECT_TRUE(f->ProjectNeedsSave);

    boxes_.Queue(IDCANCEL);
    f->BitBtn4->click();
    EXPECT_TRUE(seen_.empty()); // no file dialog after a cancel
    EXPECT_EQ(f->Title1->text(), "Mine");

    // Going on and then cancelling the file dialog leaves the project as it was.
    boxes_.Queue(IDNO);
    Cancel();
    f->BitBtn4->click();
    EXPECT_EQ(f->Title1->text(), "Mine");
    EXPECT_EQ(f->ProjectFileName, Path("proj/mine.qor"));

    boxes_.Queue(IDYES); // saves the work first
    Choose(Path("proj/mine.qor"));
    f->BitBtn5->click();
    EXPECT_EQ(Profile::GetPrivateProfileString("Titles", "T1", "", Path("proj/mine.qor")), "Mine");
    EXPECT_TRUE(f->ProjectFileName.isEmpty());
    EXPECT_FALSE(f->ProjectNeedsSave);
    EXPECT_EQ(f->windowTitle(), "Tavolin 1.1");
}

TEST_F(EditorTest, ClosingAfterABuildAsksToSaveFirst) {
    TForm1* f = Start();
    f->show();
    f->ProjectNeedsSave = true;

    boxes_.Queue(IDCANCEL);
    EXPECT_FALSE(f->close());
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Save current project first ?");
    EXPECT_EQ(boxes_.Boxes()[0].style & 0xFF, unsigned(MB_ICONQUESTION | MB_YESNOCANCEL));

    // Yes saves and stays open, even when the file is saved; the next close asks nothing.
    boxes_.Queue(IDYES);
    Choose(Path("proj/built.qor"));
    EXPECT_FALSE(f->close());
    EXPECT_TRUE(QFile::exists(Path("proj/built.qor")));
    EXPECT_FALSE(f->ProjectNeedsSave);
    EXPECT_TRUE(f->isVisible());

    // Saved as a template, the build still needs saving.
    f->ProjectNeedsSave = true;
    boxes_.Queue(IDYES);
    Choose(Path("proj/built.zun"));
    EXPECT_FALSE(f->close());
    EXPECT_TRUE(f->ProjectNeedsSave);

    boxes_.Queue(IDNO);
    EXPECT_TRUE(f->close());
    EXPECT_EQ(boxes_.Boxes().size(), 4u);
}

TEST_F(EditorTest, WithNothingToSaveTheEditorClosesWithoutAQuestion) {
    TForm1* f = Start();
    f->show();
    f->BitBtn2->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(EditorTest, AnyChangeSinceOpenAsksBeforeClosingUntilItIsSaved) {
    const std::function<void(TForm1*)> changes[] = {
        [](TForm1* f) { QTest::keyClicks(f->Title1, "!"); },
        [](TForm1* f) { f->CKHelp->click(); },
        [](TForm1* f) {
            f->StoreEntry(-1, {"Go", "go.exe", "", "", "1", "0"});
        },
        [](TForm1* f) { f->StringGrid1->SetCell(1, 1, "Songs"); },
        [this](TForm1* f) {
            Answer([](TCommonDialog& d) { return static_cast<TFontDialog&>(d).Font.Size = 9; });
            f->SpeedButton1->click();
        },
    };
    Project("proj/p.qor", {"[Titles]", "T1=Hello", "[Menu]", "Count=1", "Caption_0=Start"});
    for (const auto& change : changes) {
        TForm1* f = Start();
        f->show();
        Choose(Path("proj/p.qor"));
        f->BitBtn4->click();
        EXPECT_FALSE(f->ProjectNeedsSave);
        change(f);
        EXPECT_TRUE(f->ProjectNeedsSave);
        boxes_.Queue(IDCANCEL);
        EXPECT_FALSE(f->close());
        Choose(Path("proj/saved.qor"));
        f->BitBtn1->click();
        EXPECT_TRUE(f->close());
        Application().Reset();
    }
    EXPECT_EQ(boxes_.Boxes().size(), std::size(changes));
}
