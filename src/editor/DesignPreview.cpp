// The live preview of the Background and Captions pages, and the page handlers that choose
// colours, fonts and files.
#include "editor/DesignPreview.h"

#include "components/Gradient.h"
#include "editor/DesignWindow.h"
#include "editor/Dialogs.h"
#include "editor/EditorControls.h"
#include "editor/EditorRules.h"
#include "framework/forms/Controls.h"

#include <QTabWidget>

namespace Orvello {

void TForm1::SetPreviewBaseColor(TColor color) {
    SetColor(Title1, color);
    SetColor(Title2, color);
    if (RadioButton2->isChecked() || Gradient1->Style() == gsVertical)
        SetColor(Copyright, color);
    else
        ComboBox2Change(ComboBox2);
    SetColor(ListBox1, color);
    SetColor(Panel3, color);
}

void TForm1::ComboBox1Change(QObject*) {
    const int i = ComboBox1->currentIndex();
    if (i < 0 || i >= int(StartColorValues.size()))
        return;
    Gradient1->SetStartColor(TStartColor(i));
    SetPreviewBaseColor(StartColorValues[size_t(i)]);
}

void TForm1::ComboBox2Change(QObject*) {
    const int i = ComboBox2->currentIndex();
    if (i < 0)
        return;
    const TEndColor end = i == 0 ? ecBlack : ecWhite;
    Gradient1->SetEndColor(end);
    const TColor background = end == ecWhite ? clWhite : clBlack;
    SetColor(Copyright, background);
    // Text the colour of its background would vanish. A project being opened keeps the colour
    // it was saved with.
    ProjectFile::TProjectFont font = ProjectFontOf(Copyright);
    if (!Loading && font.Color == background) {
        font.Color = background == clWhite ? clBlack : clWhite;
        SetProjectFont(Copyright, font);
    }
}

void TForm1::ComboBox3Change(QObject*) {
    Gradient1->SetStyle(ComboBox3->currentIndex() == 0 ? gsVertical : gsHorizontal);
}

void TForm1::RadioButton2Click(QObject* sender) {
    const bool gradient = RadioButton1->isChecked();
    Gradient1->SetVisible(gradient);
    Image4->setVisible(RadioButton2->isChecked());
    for (QWidget* control : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(ComboBox2),
                             static_cast<QWidget*>(ComboBox3)})
        control->setEnabled(gradient);
    for (QWidget* control : {static_cast<QWidget*>(BmpMode), static_cast<QWidget*>(SpeedButton4),
                             static_cast<QWidget*>(ImageFile), static_cast<QWidget*>(Panel4)})
        control->setEnabled(!gradient);
    if (sender == RadioButton1)
        ComboBox1Change(ComboBox1);
    else
        SetPreviewBaseColor(Panel4->Color());
    Panel3->update();
}

void TForm1::Panel4Click(QObject* sender) {
    if (sender == Panel4)
        BCPanelClick(sender);
    SetPreviewBaseColor(Panel4->Color());
}

void TForm1::BCPanelClick(QObject* sender) {
    auto* panel = qobject_cast<TColorPanel*>(sender);
    if (panel && ColorDialog1->Execute()) {
        panel->SetColor(ColorDialog1->Color);
        NoteProjectChange();
    }
}

void TForm1::SpeedButton1Click(QObject* sender) {
    QWidget* target = Copyright;
    if (sender == SpeedButton9)
        target = ListBox1;
    else if (sender == SpeedButton1)
        target = Title1;
    else if (sender == SpeedButton2)
        target = Title2;
    FontDialog1->Font = ProjectFontOf(target);
    if (FontDialog1->Execute()) {
        SetProjectFont(target, FontDialog1->Font);
        NoteProjectChange();
    }
    PageControl1->setFocus();
}

void TForm1::SpeedButton4Click(QObject*) {
    OpenPictureDialog1->FilterIndex = 2;
    if (!OpenPictureDialog1->Execute())
        return;
    const QString file = OpenPictureDialog1->FileName;
    // Only bitmaps make a background; the name keeps its spelling, since the file system tells
    // letter cases apart.
    if (!HasExtension(file, QStringLiteral(".bmp")))
        return;
    ImageFile->setText(file);
    const QImage bitmap = ReadPictureFile(file, QStringLiteral("Bitmap"));
    Image4->SetPicture(bitmap);
    SetHint(Image4,
            QStringLiteral("Picture size: %1 x %2").arg(bitmap.width()).arg(bitmap.height()));
}

void TForm1::SpeedButton8Click(QObject*) {
    OpenPictureDialog1->FilterIndex = 3;
    if (!OpenPictureDialog1->Execute())
        return;
    IconFile->setText(OpenPictureDialog1->FileName);
    showIcon(OpenPictureDialog1->FileName);
}

void TForm1::SpeedButton12Click(QObject*) {
    OpenDialog3->FilterIndex = 3;
    if (OpenDialog3->Execute())
        SoundFile->setText(OpenDialog3->FileName);
}

void TForm1::SelectHlpBtnClick(QObject*) {
    OpenDialog3->FilterIndex = 1;
    if (OpenDialog3->Execute())
        HelpFile->setText(OpenDialog3->FileName);
}

void TForm1::CheckBox1Click(QObject*) {
    Image3->SetTransparent(CheckBox1->isChecked());
}

void TForm1::CheckBox2Click(QObject*) {
    Image3->setVisible(CheckBox2->isChecked());
}

void TForm1::HelpFileChange(QObject*) {
    if (!Loading)
        CKHelp->setChecked(!HelpFile->text().isEmpty());
}

void TForm1::DBCheckClick(QObject*) {
    if (!Loading)
        CKTables->setChecked(DBCheck->isChecked());
}

void TForm1::PageControl1Change(QObject*) {
    if (QWidget* page = PageControl1->currentWidget())
        SetHelpContext(PageControl1, HelpContextOf(page));
    PageControl1->setFocus();
}

void TForm1::Panel2Enter(QObject* sender) {
    if (QWidget* page = PageControl1->currentWidget())
        SetHelpContext(sender, HelpContextOf(page));
}

} // namespace Orvello
