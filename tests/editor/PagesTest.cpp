#include "EditorTestSupport.h"

#include "components/Gradient.h"

#include <QApplication>
#include <QDialog>
#include <QFontComboBox>
#include <QImage>
#include <QTest>

using namespace Orvello;

namespace {

void saveImage(const QString& path, QSize size, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(path, format));
}

} // namespace

TEST_F(EditorTest, TheCopyrightLineTakesTheBaseColourOnlyOverAVerticalGradientOrAPicture) {
    TForm1* f = Start();
    f->show();
    // Horizontal: the copyright line stays on the end colour.
    ChooseItem(f->ComboBox1, 4); // Green
    EXPECT_EQ(f->Gradient1->StartColor(), scGreen);
    EXPECT_EQ(ColorOf(f->Title1), clGreen);
    EXPECT_EQ(ColorOf(f->Title2), clGreen);
    EXPECT_EQ(Painted(f->ListBox1), clGreen);
    EXPECT_EQ(ColorOf(f->Panel3), clGreen);
    EXPECT_EQ(ColorOf(f->Copyright), clBlack);
    ChooseItem(f->ComboBox2, 1); // White
    EXPECT_EQ(ColorOf(f->Copyright), clWhite);
    ChooseItem(f->ComboBox1, 10); // Red
    EXPECT_EQ(ColorOf(f->Copyright), clWhite);

    // Vertical, then a start colour: the copyright line takes the base colour. Choosing the
    // style alone does not recolour it.
    ChooseItem(f->ComboBox3, 0);
    EXPECT_EQ(f->Gradient1->Style(), gsVertical);
    EXPECT_EQ(ColorOf(f->Copyright), clWhite);
    ChooseItem(f->ComboBox1, 7); // Navy
    EXPECT_EQ(ColorOf(f->Copyright), clNavy);
    ChooseItem(f->ComboBox3, 1);
    EXPECT_EQ(f->Gradient1->Style(), gsHorizontal);
    EXPECT_EQ(ColorOf(f->Copyright), clNavy);
}

TEST_F(EditorTest, CopyrightTextTheColourOfItsBackgroundTurnsToTheOtherOne) {
    TForm1* f = Start();
    ProjectFile::TProjectFont font = ProjectFontOf(f->Copyright);
    ASSERT_EQ(font.Color, clWhite);
    ChooseItem(f->ComboBox2, 1); // white text on white turns black
    EXPECT_EQ(ProjectFontOf(f->Copyright).Color, clBlack);
    ChooseItem(f->ComboBox2, 0); // black on black turns white
    EXPECT_EQ(ProjectFontOf(f->Copyright).Color, clWhite);
    font.Color = clRed;
    SetProjectFont(f->Copyright, font);
    ChooseItem(f->ComboBox2, 1);
    EXPECT_EQ(ProjectFontOf(f->Copyright).Color, clRed);
    ChooseItem(f->ComboBox2, 0);
    EXPECT_EQ(ProjectFontOf(f->Copyright).Color, clRed);
}

TEST_F(EditorTest, SwitchingBetweenGradientAndImageSwitchesControlsAndColours) {
    TForm1* f = Start();
    f->Panel4->SetColor(clOlive);
    f->RadioButton2->click();
    EXPECT_FALSE(f->RadioButton1->isChecked());
    for (QWidget* w : {static_cast<QWidget*>(f->ComboBox1), static_cast<QWidget*>(f->ComboBox2),
                       static_cast<QWidget*>(f->ComboBox3)})
        EXPECT_FALSE(w->isEnabled());
    for (QWidget* w : {static_cast<QWidget*>(f->BmpMode), static_cast<QWidget*>(f->SpeedButton4),
                       static_cast<QWidget*>(f->ImageFile), static_cast<QWidget*>(f->Panel4)})
        EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(f->Gradient1->Visible());
    EXPECT_FALSE(f->Image4->isHidden());
    for (QWidget* w : {static_cast<QWidget*>(f->Title1), static_cast<QWidget*>(f->Title2),
                       static_cast<QWidget*>(f->Copyright), static_cast<QWidget*>(f->ListBox1),
                       static_cast<QWidget*>(f->Panel3)})
        EXPECT_EQ(ColorOf(w), clOlive);

    f->RadioButton1->click();
    EXPECT_TRUE(f->ComboBox1->isEnabled());
    EXPECT_FALSE(f->BmpMode->isEnabled());
    EXPECT_TRUE(f->Gradient1->Visible());
    EXPECT_TRUE(f->Image4->isHidden());
    EXPECT_EQ(ColorOf(f->Title1), clBlue);
    EXPECT_EQ(ColorOf(f->Copyright), clBlack);
}

TEST_F(EditorTest, TheColourDialogOpensWithTheColourChosenLastNotThePanels) {
    TForm1* f = Start();
    f->show();
    std::vector<TColor> offered;
    Answer([&](TCommonDialog& d) {
        auto& dialog = static_cast<TColorDialog&>(d);
        offered.push_back(dialog.Color);
        dialog.Color = clPurple;
        return true;
    });
    QTest::mouseClick(f->BCPanel, Qt::LeftButton);
    EXPECT_EQ(f->BCPanel->Color(), clPurple);
    Answer([&](TCommonDialog& d) {
        offered.push_back(static_cast<TColorDialog&>(d).Color);
        return false;
    });
    QTest::mouseClick(f->TCPanel, Qt::LeftButton);
    EXPECT_EQ(f->TCPanel->Color(), clBlack);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[1], clPurple);

    // The base colour: a cancelled choice still applies the panel's colour to the preview.
    f->RadioButton2->click();
    f->Panel4->SetColor(clTeal);
    Cancel();
    QTest::mouseClick(f->Panel4, Qt::LeftButton);
    EXPECT_EQ(ColorOf(f->Title1), clTeal);
    Answer([](TCommonDialog& d) {
        static_cast<TColorDialog&>(d).Color = clMaroon;
        return true;
    });
    QTest::mouseClick(f->Panel4, Qt::LeftButton);
    EXPECT_EQ(f->Panel4->Color(), clMaroon);
    EXPECT_EQ(Painted(f->ListBox1), clMaroon);
}

TEST_F(EditorTest, EachFontButtonChangesItsOwnTargetAndCancelChangesNothing) {
    TForm1* f = Start();
    const ProjectFile::TProjectFont chosen{"Arial", 30, clYellow, true, true, false, true, false};
    ProjectFile::TProjectFont offered;
    Answer([&](TCommonDialog& d) {
        auto& dialog = static_cast<TFontDialog&>(d);
        offered = dialog.Font;
        dialog.Font = chosen;
        return true;
    });
    f->SpeedButton2->click();
    EXPECT_EQ(offered.Name, "Times New Roman");
    EXPECT_EQ(offered.Size, 14);
    const ProjectFile::TProjectFont title2 = ProjectFontOf(f->Title2);
    EXPECT_EQ(title2.Name, "Arial");
    EXPECT_EQ(title2.Size, 30);
    EXPECT_EQ(title2.Color, clYellow);
    EXPECT_TRUE(title2.Bold && !title2.Italic && title2.Underline && !title2.StrikeOut);
    EXPECT_EQ(ProjectFontOf(f->Title1).Name, "Times New Roman");

    Answer([&](TCommonDialog& d) {
        static_cast<TFontDialog&>(d).Font = chosen;
        return true;
    });
    f->SpeedButton9->click();
    EXPECT_EQ(ProjectFontOf(f->ListBox1).Size, 30);
    EXPECT_EQ(ProjectFontOf(f->Copyright).Name, "MS Sans Serif");

    Answer([&](TCommonDialog& d) {
        static_cast<TFontDialog&>(d).Font = chosen;
        return false;
    });
    f->SpeedButton3->click();
    EXPECT_EQ(ProjectFontOf(f->Copyright).Name, "MS Sans Serif");
    // The dialog itself keeps the project's font name unless the author chooses another.
    SetDialogHook(nullptr);
    for (const auto& [chosen, stored] :
         {std::pair{"", "Times New Roman"}, std::pair{"Nimbus Roman [urw]", "Nimbus Roman"}}) {
        TFontDialog dialog(nullptr);
        dialog.Font.Name = "Times New Roman";
        WhenModal([&] {
            QWidget* shown = QApplication::activeModalWidget();
            if (*chosen)
                shown->findChild<QFontComboBox*>()->setEditText(chosen);
            static_cast<QDialog*>(shown)->accept();
        });
        ASSERT_TRUE(dialog.Execute());
        EXPECT_EQ(dialog.Font.Name.toStdString(), stored);
    }
}

TEST_F(EditorTest, ThePicturePickerTakesBitmapsWhateverTheCaseOfTheirExtension) {
    TForm1* f = Start();
    f->RadioButton2->click();
    saveImage(Path("proj/Sky Blue.BMP"), {64, 40}, "BMP");
    saveImage(Path("proj/Logo.ico"), {32, 32}, "ICO");

    Choose(Path("proj/Sky Blue.BMP"));
    f->SpeedButton4->click();
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].title, "Select picture file ...");
    EXPECT_EQ(seen_[0].filterIndex, 2);
    EXPECT_EQ(f->ImageFile->text(), Path("proj/Sky Blue.BMP"));
    EXPECT_EQ(f->Image4->Picture().size(), QSize(64, 40));
    EXPECT_EQ(HintOf(f->Image4), "Picture size: 64 x 40");

    // An icon chosen through the picture button, and a cancelled choice, change nothing.
    Choose(Path("proj/Logo.ico"));
    f->SpeedButton4->click();
    Cancel();
    f->SpeedButton4->click();
    EXPECT_EQ(f->ImageFile->text(), Path("proj/Sky Blue.BMP"));
    EXPECT_EQ(f->Image4->Picture().size(), QSize(64, 40));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(EditorTest, TheIconPickerShowsTheIconHereAndOnTheAboutPage) {
    TForm1* f = Start();
    saveImage(Path("proj/Disc.ICO"), {32, 32}, "ICO");
    Choose(Path("proj/Disc.ICO"));
    f->SpeedButton8->click();
    EXPECT_EQ(seen_.back().filterIndex, 3);
    EXPECT_EQ(f->IconFile->text(), Path("proj/Disc.ICO"));
    EXPECT_EQ(f->Image3->Picture().pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(f->Image5->Picture(), f->Image3->Picture());
}

TEST_F(EditorTest, APictureThatIsNoPictureIsReportedWithItsNameAlreadyInTheField) {
    TForm1* f = Start();
    f->RadioButton2->click();
    Write("proj/broken 100%s.bmp", "BM this is not a bitmap");
    Choose(Path("proj/broken 100%s.bmp"));
    f->SpeedButton4->click();
    EXPECT_EQ(f->ImageFile->text(), Path("proj/broken 100%s.bmp"));
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].style & 0xFF, unsigned(MB_ICONSTOP | MB_OK));
    EXPECT_EQ(boxes_.Boxes()[0].text,
              "Bitmap image is not valid: " + Path("proj/broken 100%s.bmp"));
    EXPECT_TRUE(f->Image4->Picture().isNull());
}

TEST_F(EditorTest, TheIconSwitchesTouchOnlyThePreviewAndPlayOnlyItself) {
    TForm1* f = Start();
    f->CheckBox1->click();
    EXPECT_FALSE(f->Image3->Transparent());
    EXPECT_FALSE(f->Image3->isHidden());
    f->CheckBox2->click();
    EXPECT_TRUE(f->Image3->isHidden());
    EXPECT_FALSE(f->Image3->Transparent());
    f->CheckBox2->click();
    f->CheckBox1->click();
    EXPECT_TRUE(f->Image3->Transparent());
    EXPECT_FALSE(f->Image3->isHidden());

    f->CheckBox3->click();
    EXPECT_FALSE(f->CheckBox3->isChecked());
    EXPECT_TRUE(f->CheckBox1->isChecked());
    EXPECT_TRUE(f->CheckBox2->isChecked());
    EXPECT_TRUE(f->Image3->Transparent());
}

TEST_F(EditorTest, TheHelpFileFieldSwitchesTheHelpButtonAndThePickersFillTheirFields) {
    TForm1* f = Start();
    QTest::keyClicks(f->HelpFile, "read.me");
    EXPECT_TRUE(f->CKHelp->isChecked());
    f->HelpFile->clear();
    EXPECT_FALSE(f->CKHelp->isChecked());

    Choose(Path("proj/Manual.HLP"));
    f->SelectHlpBtn->click();
    EXPECT_EQ(seen_.back().title, "Select helpfile/readme file ...");
    EXPECT_EQ(seen_.back().filterIndex, 1);
    EXPECT_EQ(f->HelpFile->text(), Path("proj/Manual.HLP"));
    EXPECT_TRUE(f->CKHelp->isChecked());

    Choose(Path("proj/Tune.MID"));
    f->SpeedButton12->click();
    EXPECT_EQ(seen_.back().filterIndex, 3);
    EXPECT_EQ(f->SoundFile->text(), Path("proj/Tune.MID"));

    f->DBCheck->click();
    EXPECT_TRUE(f->CKTables->isChecked());
    f->DBCheck->click();
    EXPECT_FALSE(f->CKTables->isChecked());
}

TEST_F(EditorTest, TheSubTitleTakesNoMoreTypingPastItsLimitButKeepsALongerText) {
    TForm1* f = Start();
    f->Title2->setText(QString(254, 'a'));
    QTest::keyClick(f->Title2, Qt::Key_B);
    EXPECT_EQ(f->Title2->text().size(), 254);
    const QString loaded(1023, 'x');
    f->Title2->setText(loaded);
    EXPECT_EQ(f->Title2->text(), loaded);
    f->Title2->end(false);
    QTest::keyClick(f->Title2, Qt::Key_Backspace);
    EXPECT_EQ(f->Title2->text().size(), 1022);
}

TEST_F(EditorTest, GridsKeepWhatIsBeingTypedAndMoveWholeRows) {
    TForm1* f = Start();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    f->PageControl1->setCurrentWidget(f->TabSheet2);
    // A cell still being edited when the project is saved is saved with what it shows.
    f->Caps->setCurrentCell(5, 0);
    f->Caps->editItem(f->Caps->item(5, 0));
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && f->Caps->isAncestorOf(editor));
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Suchen");
    EXPECT_EQ(f->ProjectData().Captions[5], "Suchen");

    f->StringGrid1->SetCell(1, 1, "First");
    f->StringGrid1->SetCell(2, 1, "one");
    f->StringGrid1->MoveRow(1, 3);
    EXPECT_EQ(f->StringGrid1->Cell(0, 1), "02");
    EXPECT_EQ(f->StringGrid1->Cell(0, 3), "01");
    EXPECT_EQ(f->StringGrid1->Cell(1, 3), "First");
    EXPECT_EQ(f->StringGrid1->Cell(2, 3), "one");
    EXPECT_EQ(f->StringGrid1->Cell(2, 1), "grp02");
    EXPECT_EQ(f->StringGrid1->Cell(1, 0), "Groups"); // the header row stays
}
