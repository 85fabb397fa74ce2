#include "EditorTestSupport.h"

#include "common/StartRecorder.h"
#include "components/Gradient.h"
#include "components/Msg.h"
#include "editor/CreateDialog.h"
#include "editor/DataWindow.h"
#include "editor/PictureWindow.h"

#include <QLabel>
#include <QRegularExpression>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>

using namespace Orvello;

namespace {

QStringList pageCaptions(const QTabWidget* pages) {
    QStringList captions;
    for (int i = 0; i < pages->count(); ++i)
        captions << pages->tabText(i);
    return captions;
}

QStringList column(const TStringGrid* grid, int col, int from, int to) {
    QStringList cells;
    for (int row = from; row <= to; ++row)
        cells << grid->Cell(col, row);
    return cells;
}

} // namespace

TEST_F(EditorTest, StartsItsWindowsInOrderWithTheDesignWindowFirst) {
    TForm1* f = Start();
    const std::vector<TForm*>& forms = Application().Forms();
    ASSERT_EQ(forms.size(), 5u);
    EXPECT_EQ(forms[0], f);
    EXPECT_EQ(Application().MainForm(), f);
    EXPECT_TRUE(dynamic_cast<TEntry*>(forms[1]));
    EXPECT_TRUE(dynamic_cast<Orvello::TData*>(forms[2]));
    EXPECT_TRUE(dynamic_cast<Orvello::TPic*>(forms[3]));
    EXPECT_TRUE(dynamic_cast<TCr*>(forms[4]));
    EXPECT_EQ(f->windowTitle(), "Tavolin 1.1");
    EXPECT_EQ(f->Msg1->BoxCaption, "Tavolin 1.1");
    EXPECT_EQ(f->size(), QSize(399, 388));
    EXPECT_EQ(pageCaptions(f->PageControl1),
              (QStringList{"Info", "Background", "Captions", "Layout", "Menu", "Database", "About",
                           "Help"}));
    EXPECT_EQ(f->ProjectFolder, root_ + "/prog/");
    EXPECT_EQ(f->OpenDialog1->InitialDir, root_ + "/prog/project");
    EXPECT_EQ(f->SaveDialog2->InitialDir, root_ + "/prog/project");
    EXPECT_TRUE(f->HelpFileName.isEmpty());
    EXPECT_EQ(f->BitBtn1->text(), "&Save ...");
    EXPECT_EQ(f->BitBtn1->toolTip(), "Save current project under a given name");
}

TEST_F(EditorTest, ANewProjectHasTheDefaultsOnEveryPage) {
    TForm1* f = Start();
    // Background.
    EXPECT_TRUE(f->RadioButton1->isChecked());
    EXPECT_FALSE(f->RadioButton2->isChecked());
    EXPECT_EQ(f->ComboBox1->currentText(), "Blue");
    EXPECT_EQ(f->ComboBox2->currentText(), "Black");
    EXPECT_EQ(f->ComboBox3->currentText(), "horizontal");
    EXPECT_EQ(f->BmpMode->currentText(), "Tiled");
    EXPECT_FALSE(f->BmpMode->isEnabled());
    EXPECT_TRUE(f->ComboBox1->isEnabled());
    EXPECT_EQ(f->Gradient1->StartColor(), scBlue);
    EXPECT_EQ(f->Gradient1->EndColor(), ecBlack);
    EXPECT_EQ(f->Gradient1->Style(), gsHorizontal);
    EXPECT_TRUE(f->Gradient1->Visible());
    EXPECT_TRUE(f->Image4->isHidden());
    EXPECT_TRUE(f->ImageFile->text().isEmpty());
    EXPECT_TRUE(f->IconFile->text().isEmpty());
    EXPECT_TRUE(f->SoundFile->text().isEmpty());
    EXPECT_TRUE(f->CheckBox1->isChecked());
    EXPECT_TRUE(f->CheckBox2->isChecked());
    EXPECT_TRUE(f->CheckBox3->isChecked());
    EXPECT_FALSE(f->Image3->Picture().isNull());
    EXPECT_TRUE(f->Image3->Transparent());
    EXPECT_FALSE(f->Image3->isHidden());
    EXPECT_EQ(f->Image5->Picture(), f->Image3->Picture());
    // The preview's colours follow the blue start colour and the black end colour.
    EXPECT_EQ(ColorOf(f->Title1), clBlue);
    EXPECT_EQ(ColorOf(f->ListBox1), clBlue);
    EXPECT_EQ(ColorOf(f->Panel3), clBlue);
    EXPECT_EQ(ColorOf(f->Copyright), clBlack);
    // Captions.
    EXPECT_EQ(f->Cap->text(), "Application");
    EXPECT_EQ(f->Title1->text(), "Main title ...");
    EXPECT_EQ(f->Title2->text(), "Sub title ...");
    EXPECT_EQ(f->Copyright->text(), QString::fromUtf8("Copyright \u00A9 2000 "));
    EXPECT_TRUE(f->CenterTitle->isChecked());
    EXPECT_TRUE(f->CenterSubTitle->isChecked());
    const ProjectFile::TProjectFont t1 = ProjectFontOf(f->Title1);
    EXPECT_EQ(t1.Name, "Times New Roman");
    EXPECT_EQ(t1.Size, 26);
    EXPECT_EQ(t1.Color, clWhite);
    EXPECT_TRUE(t1.Bold && t1.Italic && !t1.Underline && !t1.StrikeOut);
    EXPECT_EQ(ProjectFontOf(f->Copyright).Name, "MS Sans Serif");
    // Layout.
    EXPECT_TRUE(f->CkExit->isChecked() && f->CKAction->isChecked() && f->CKFind->isChecked() &&
                f->CkFlBox->isChecked() && f->CKAbout->isChecked());
    EXPECT_FALSE(f->CKHelp->isChecked());
    EXPECT_FALSE(f->CKTables->isChecked());
    EXPECT_EQ(f->ExitBtn->text(), "Exit program");
    EXPECT_EQ(f->ActionBtn->text(), "Program functions");
    EXPECT_EQ(f->TablesBtn->text(), "Show/Hide data");
    EXPECT_EQ(f->FindBtn->text(), "Find ...");
    EXPECT_EQ(f->FileListBtn->text(), "Show/Hide files");
    EXPECT_EQ(f->HelpBtn->text(), "Help ...");
    EXPECT_EQ(f->AboutBtn->text(), "About ...");
    EXPECT_EQ(column(f->Caps, 0, 0, 12),
              (QStringList{"Open", "Copy", "Move", "Delete", "Rename", "Find", "\"%s\" not found !",
                           "\"%s\" could not be opened !", "Close", "... more ...",
                           "\"%s\" not found - search from start ?", "Picture/Media file",
                           "Program file/URL"}));
    EXPECT_TRUE(f->FOpenAtStart->isChecked() && f->FShowIcons->isChecked() &&
                f->Fexe->isChecked() && f->FBrowse->isChecked());
    EXPECT_EQ(f->BCPanel->Color(), clWhite);
    EXPECT_EQ(f->TCPanel->Color(), clBlack);
    // Menu.
    EXPECT_TRUE(f->WExplorer->isChecked() && f->WMSINfo->isChecked() && f->WSoftware->isChecked());
    EXPECT_EQ(f->CExplorer->text(), "Explorer");
    EXPECT_EQ(f->CMSInfo->text(), "MS Info");
    EXPECT_EQ(f->CSoftware->text(), "Software");
    EXPECT_EQ(f->ListBox1->count(), 0);
    EXPECT_TRUE(f->EntryNames.isEmpty() && f->EntryPopupFlags.isEmpty());
    // Database.
    EXPECT_FALSE(f->DBCheck->isChecked());
    EXPECT_TRUE(f->DBEditable->isChecked());
    EXPECT_TRUE(f->TableName->text().isEmpty());
    EXPECT_EQ(f->TableTitle->text(), "Data");
    EXPECT_EQ(f->StringGrid1->Cell(1, 0), "Groups");
    EXPECT_EQ(f->StringGrid1->Cell(2, 0), "Identifiers");
    EXPECT_EQ(f->StringGrid1->RowCount(), 51);
    EXPECT_EQ(column(f->StringGrid1, 0, 1, 3), (QStringList{"01", "02", "03"}));
    EXPECT_EQ(f->StringGrid1->Cell(0, 50), "50");
    EXPECT_EQ(column(f->StringGrid1, 1, 1, 50), QStringList(50, QString()));
    EXPECT_EQ(f->StringGrid1->Cell(2, 1), "grp01");
    EXPECT_EQ(f->StringGrid1->Cell(2, 50), "grp50");
    // About and Help.
    EXPECT_TRUE(f->ALine1->text().isEmpty() && f->ALine4->text().isEmpty());
    EXPECT_EQ(f->AWebText->text(), "Homepage :");
    EXPECT_EQ(f->AMailText->text(), "Email :");
    EXPECT_TRUE(f->AWeb->text().isEmpty() && f->AMail->text().isEmpty());
    EXPECT_TRUE(f->HelpFile->text().isEmpty());
    EXPECT_TRUE(f->RMClick->isChecked());
    // The Info page is in front.
    EXPECT_EQ(f->PageControl1->currentWidget(), f->TabSheet8);
    EXPECT_EQ(HelpContextOf(f->PageControl1), 15);
    // The create dialog's switches.
    EXPECT_TRUE(f->Cr->CheckBox1->isChecked());
    EXPECT_FALSE(f->Cr->CheckBox2->isChecked());
}

TEST_F(EditorTest, AResetPutsBackWhatTheAuthorChangedButLeavesTheBaseColour) {
    TForm1* f = Start();
    ChooseItem(f->ComboBox3, 0);
    f->RadioButton2->setChecked(true);
    f->Panel4->SetColor(clRed);
    f->Title1->setText("Mine");
    SetProjectFont(f->Title1, {"Arial", 40, clRed, false, false, true, true, false});
    f->HelpFile->setText("readme.txt");
    f->DBCheck->setChecked(true);
    f->StringGrid1->SetCell(1, 3, "Songs");
    f->StringGrid1->SetCell(2, 3, "song");
    f->StoreEntry(-1, {"A", "a.exe", "", "", "1", "0"});
    f->Cr->CheckBox1->setChecked(false);
    f->Cr->CheckBox2->setChecked(true);
    ASSERT_TRUE(f->CKHelp->isChecked());
    ASSERT_TRUE(f->CKTables->isChecked());

    EXPECT_TRUE(f->ResetProject(nullptr, false));
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_TRUE(f->RadioButton1->isChecked());
    EXPECT_EQ(f->Gradient1->Style(), gsHorizontal);
    EXPECT_EQ(f->Title1->text(), "Main title ...");
    EXPECT_EQ(ProjectFontOf(f->Title1).Name, "Times New Roman");
    EXPECT_EQ(ProjectFontOf(f->Title1).Size, 26);
    EXPECT_FALSE(ProjectFontOf(f->Title1).Underline);
    EXPECT_FALSE(f->CKHelp->isChecked());
    EXPECT_FALSE(f->CKTables->isChecked());
    EXPECT_EQ(f->StringGrid1->Cell(1, 3), "");
    EXPECT_EQ(f->StringGrid1->Cell(2, 3), "grp03");
    EXPECT_EQ(f->EntryCount(), 0);
    EXPECT_TRUE(f->EntryNames.isEmpty());
    EXPECT_TRUE(f->Cr->CheckBox1->isChecked());
    EXPECT_FALSE(f->Cr->CheckBox2->isChecked());
    EXPECT_EQ(f->Panel4->Color(), clRed);
}

TEST_F(EditorTest, TheResetQuestionComesOnlyForAProjectWithAFileAndNoKeepsEverything) {
    TForm1* f = Start();
    f->Title1->setText("Kept");
    f->StoreEntry(-1, {"A", "a.exe", "", "", "1", "0"});
    EXPECT_TRUE(f->ResetProject(nullptr, true)); // no project file: no question
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_EQ(f->Title1->text(), "Main title ...");

    f->Title1->setText("Kept");
    f->StoreEntry(-1, {"A", "a.exe", "", "", "1", "0"});
    f->ProjectFileName = Path("proj/a.qor");
    boxes_.Queue(IDNO);
    EXPECT_FALSE(f->ResetProject(nullptr, true));
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text,
              "Do you want to create/open a project and reset all entries ?");
    EXPECT_EQ(boxes_.Boxes()[0].style, unsigned(MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(f->Title1->text(), "Kept");
    EXPECT_EQ(f->EntryCount(), 1);

    boxes_.Queue(IDYES);
    EXPECT_TRUE(f->ResetProject(nullptr, true));
    EXPECT_EQ(f->Title1->text(), "Main title ...");
    EXPECT_EQ(f->ProjectFileName, Path("proj/a.qor")); // the callers' business
}

TEST_F(EditorTest, AskSetsTheDefaultButtonThatLaterBoxesKeepAndTextsStayLiteral) {
    TForm1* f = Start();
    boxes_.Queue(IDYES);
    EXPECT_TRUE(f->Ask("First ?", "YES"));
    EXPECT_EQ(boxes_.Boxes().back().style & 0xF00, unsigned(MB_DEFBUTTON1));
    boxes_.Queue(IDNO);
    EXPECT_FALSE(f->Ask("Second ?", "Yes"));
    EXPECT_EQ(boxes_.Boxes().back().style & 0xF00, unsigned(MB_DEFBUTTON1));
    boxes_.Queue(IDYES);
    EXPECT_TRUE(f->Ask("Third ?", "maybe"));
    EXPECT_EQ(boxes_.Boxes().back().style & 0xF00, unsigned(MB_DEFBUTTON2));
    EXPECT_EQ(f->Msg1->BoxButton, 2);
    // The default button stays for the next box of the window.
    f->ShowInfo("100% done, %s and %d stay as typed !");
    EXPECT_EQ(boxes_.Boxes().back().style, unsigned(MB_ICONINFORMATION | MB_OK | MB_DEFBUTTON2));
    EXPECT_EQ(boxes_.Boxes().back().text, "100% done, %s and %d stay as typed !");
    EXPECT_EQ(boxes_.Boxes().back().caption, "Tavolin 1.1");
}

TEST_F(EditorTest, TheStatusBarShowsTheLongPartOfTheHint) {
    TForm1* f = Start();
    QStatusTipEvent listTip(HintOf(f->ListBox1));
    QApplication::sendEvent(f->ListBox1, &listTip);
    EXPECT_EQ(f->StatusBar1->text(), " Move entries using drag & drop");
    EXPECT_EQ(f->ListBox1->toolTip(), "");
    QStatusTipEvent buttonTip(HintOf(f->BitBtn5));
    QApplication::sendEvent(f->BitBtn5, &buttonTip);
    EXPECT_EQ(f->StatusBar1->text(), " Create a new project");
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(f->BitBtn5, &leave);
    EXPECT_EQ(f->StatusBar1->text(), " ");
}

TEST_F(EditorTest, F1ShowsTheTopicOfThePageOrOfThePageABottomButtonCameFrom) {
    Write("prog/orvello.hlp", "help");
    TForm1* f = Start();
    EXPECT_EQ(f->HelpFileName, Path("prog/orvello.hlp"));
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));

    f->PageControl1->setCurrentWidget(f->TabSheet1);
    f->Title2->setFocus();
    QTest::keyClick(f->Title2, Qt::Key_F1);
    ASSERT_EQ(help_.size(), 1u);
    EXPECT_EQ(help_[0].file, Path("prog/orvello.hlp"));
    EXPECT_EQ(help_[0].command, unsigned(HELP_CONTEXT));
    EXPECT_EQ(help_[0].data, 6u);

    f->PageControl1->setCurrentWidget(f->TabSheet2);
    QTest::keyClick(f->PageControl1->tabBar(), Qt::Key_F1);
    EXPECT_EQ(help_.back().data, 7u);

    // A bottom button takes the topic of the page that was in front when it got the focus.
    f->BitBtn1->setFocus();
    QTest::keyClick(f->BitBtn1, Qt::Key_F1);
    EXPECT_EQ(help_.back().data, 7u);
    f->PageControl1->setCurrentWidget(f->TabSheet5);
    f->BitBtn4->setFocus();
    QTest::keyClick(f->BitBtn4, Qt::Key_F1);
    EXPECT_EQ(help_.back().data, 10u);
    EXPECT_EQ(HelpContextOf(f->BitBtn1), 7);

    f->BitBtn10Click(f->BitBtn10);
    EXPECT_EQ(help_.back().data, 0u);

    // The entry dialog has its own topic.
    f->Entry->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f->Entry));
    f->Entry->Edit3->setFocus();
    QTest::keyClick(f->Entry->Edit3, Qt::Key_F1);
    EXPECT_EQ(help_.back().data, 12u);
    f->Entry->hide();
}

TEST_F(EditorTest, WithoutAHelpFileNoHelpIsAskedFor) {
    TForm1* f = Start();
    f->BitBtn10Click(f->BitBtn10);
    QTest::keyClick(f->Cap, Qt::Key_F1);
    EXPECT_TRUE(help_.empty());
}

// The editor carries the help of the build folder, and help calls reach the help system itself.
TEST_F(EditorTest, F1OpensTheShippedTopicOfEachPageAndDialog) {
    for (const QString name : {"orvello.hlp", "orvello-help"})
        ASSERT_TRUE(QFile::link(QStringLiteral(ORV_BINARY_DIR "/") + name, Path("prog/" + name)));
    QDir(root_).mkpath("prog/output");
    SetWinHelpHook(nullptr);
    TForm1* f = Start();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    StartRecorder recorder;
    // F1 on the control: the heading of the page that the browser was given.
    const auto headingFor = [&](QWidget* control) {
        QTest::keyClick(control, Qt::Key_F1);
        const std::optional<StartRecorder::Start> start = recorder.Wait();
        QFile page(start && start->args.size() == 1 ? start->args[0] : QString());
        static const QRegularExpression h1(QStringLiteral("<h1>(.*)</h1>"));
        return page.open(QIODevice::ReadOnly) ? h1.match(page.readAll()).captured(1) : "<none>";
    };
    for (int i = 0; i < f->PageControl1->count(); ++i) {
        f->PageControl1->setCurrentIndex(i);
        EXPECT_EQ(headingFor(f->PageControl1->tabBar()),
                  "The " + f->PageControl1->tabText(i) + " page");
    }
    f->BitBtn5->setFocus();
    EXPECT_EQ(headingFor(f->BitBtn5), "The Help page");
    f->BitBtn10->click();
    ASSERT_EQ(recorder.Wait()->args, QStringList{Path("prog/orvello-help/index.html")});

    // A dialog's topic is headed by its caption without the application title and the dots.
    for (QWidget* dialog : std::initializer_list<QWidget*>{f->Entry, f->Data, f->Cr}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        const QString name = dialog->windowTitle().section(" - ", -1).remove(" ..."),
                      heading = headingFor(dialog);
        EXPECT_TRUE(heading.startsWith("The " + name + " ") && !heading.endsWith(" page"))
            << heading.toStdString();
        dialog->close();
    }

    // With nothing to show the topic, the author is told so.
    Shell::SetDesktopOpener(Path("no-browser"));
    QTest::keyClick(f->Cap, Qt::Key_F1);
    ASSERT_FALSE(boxes_.Boxes().empty());
    EXPECT_EQ(boxes_.Boxes().back().text, "The help could not be shown !");
}

TEST_F(EditorTest, ADoubleClickOnTheBannerOpensTheAddressOfItsHint) {
    TForm1* f = Start();
    StartRecorder recorder;
    QTest::mouseDClick(f->Image2, Qt::LeftButton);
    const std::optional<StartRecorder::Start> start = recorder.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, QStringList{HintOf(f->Image2)});
    EXPECT_TRUE(HintOf(f->Image2).startsWith("http://"));
    EXPECT_EQ(HintOf(f->Panel1), HintOf(f->Image1));
}

// On every page and dialog each control lies inside its page or window, the text of each button
// and check box fits it by the font's metrics, and each edit shows the start of its text.
TEST_F(EditorTest, NothingOnThePagesOrTheDialogsIsCut) {
    TForm1* f = Start();
    f->show();
    for (auto [window, pages] : {std::pair<QWidget*, int>{f, 8}, {f->Entry, 1}, {f->Cr, 1}}) {
        for (int page = 0; page < pages; ++page) {
            f->PageControl1->setCurrentIndex(page);
            QCoreApplication::processEvents();
            for (QWidget* w : window->findChildren<QWidget*>()) {
                if (!w->isVisibleTo(window) || w->parentWidget()->layout())
                    continue;
                const std::string name = w->property("text").toString().toStdString();
                EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name << page;
                int need = 0;
                if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
                    need = w->sizeHint().width();
                else if (auto* button = qobject_cast<QPushButton*>(w))
                    need = w->fontMetrics().horizontalAdvance(button->text().remove('&')) + 8 +
                           (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
                else if (auto* edit = qobject_cast<TEdit*>(w))
                    need = edit->cursorPosition() ? w->width() + 1 : 0; // its text's start shows
                EXPECT_LE(need, w->width()) << name << page;
            }
        }
    }
}
