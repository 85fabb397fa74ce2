#include "editor/EntryDialog.h"

#include "editor/DesignWindow.h"
#include "editor/Dialogs.h"
#include "editor/EditorControls.h"
#include "editor/EditorRules.h"
#include "framework/forms/Controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace Orvello {

const QStringList TEntry::Commands = {
    QStringLiteral("http://"),
    QStringLiteral("mailto:"),
    QStringLiteral("*open selected file"),
    QStringLiteral("*copy selected file"),
    QStringLiteral("*move selected file"),
    QStringLiteral("*delete selected file"),
    QStringLiteral("*rename selected file"),
    QStringLiteral("*exit program"),
    QStringLiteral("*functions menu"),
    QStringLiteral("*show/hide data"),
    QStringLiteral("*find files"),
    QStringLiteral("*help"),
    QStringLiteral("*about"),
    QStringLiteral("*show/hide filelist"),
    QStringLiteral("*select datagroup, defined  in parameters"),
};

TEntry::TEntry(TForm1* form1, QWidget* parent) : TForm(parent), Form1(form1) {
    SetDialogFrame(this, QStringLiteral("Menu entry ..."), 12, {377, 236});

    MakeLabel(this, QStringLiteral("Menu entry ..."), 8, 6);
    Edit0 = MakeEdit(this, {8, 22, 361, 21}, QStringLiteral("Enter function name"));

    MakeLabel(this, QStringLiteral("Program name and path / predef. function..."), 8, 48);
    Edit1 = new QComboBox(this);
    Edit1->setEditable(true);
    Edit1->setInsertPolicy(QComboBox::NoInsert);
    Edit1->addItems(Commands);
    Edit1->setCurrentIndex(-1);
    Edit1->setGeometry(8, 64, 281, 21);
    SetHint(Edit1, QStringLiteral("Enter program path or one of the predefined functions"));
    BitBtn1 = MakeButton<TBitBtn>(this, QStringLiteral("Select ..."), {297, 62, 72, 25},
                                  QStringLiteral("Select file ..."));

    MakeLabel(this, QStringLiteral("Working directory ..."), 8, 90);
    Edit2 =
        MakeEdit(this, {8, 106, 361, 21}, QStringLiteral("Enter working directory or leave blank"));
    MakeLabel(this, QStringLiteral("Parameters ..."), 8, 132);
    Edit3 = MakeEdit(this, {8, 148, 361, 21}, QStringLiteral("Enter parameters or leave blank"));

    CheckBox1 = MakeCheckBox(
        this, QStringLiteral("Exit interface after this function was executed"), {8, 174, 361, 17});
    CheckBox2 =
        MakeCheckBox(this, QStringLiteral("Only visible as popup menu item"), {8, 192, 361, 17});

    BitBtn2 = MakeButton<TBitBtn>(this, QStringLiteral("OK"), {217, 208, 72, 25},
                                  QStringLiteral("OK and close"));
    BitBtn2->setDefault(true);
    BitBtn3 = MakeButton<TBitBtn>(this, QStringLiteral("Abort"), {297, 208, 72, 25},
                                  QStringLiteral("Abort and close"));
    SetCancelButton(BitBtn3);

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Title = QStringLiteral("Select file ...");
    OpenDialog1->Filter = QStringLiteral("EXE files (*.exe)|*.exe|All files (*.*)|*.*");
    OpenDialog1->DefaultExt = QStringLiteral("exe");
    OpenDialog1->Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;

    BitBtn1->OnClick = [this](QObject* sender) { BitBtn1Click(sender); };
    BitBtn2->OnClick = [this](QObject* sender) { BitBtn2Click(sender); };
    BitBtn3->OnClick = [this](QObject* sender) { BitBtn3Click(sender); };
}

void TEntry::BitBtn1Click(QObject*) {
    if (!OpenDialog1->Execute())
        return;
    Edit1->setEditText(Form1->MarkCdDrive(OpenDialog1->FileName));
    Edit2->setText(EntryFolderOf(Edit1->currentText()));
    Edit3->clear();
}

void TEntry::BitBtn2Click(QObject*) {
    // Commands of the menu itself run in no folder.
    if (Edit1->currentText().startsWith(QLatin1Char('*')))
        Edit2->clear();
    const ProjectFile::TMenuEntry entry = {
        Edit0->text(),
        Edit1->currentText(),
        Edit2->text(),
        Edit3->text(),
        CheckBox1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
        CheckBox2->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
    };
    Form1->StoreEntry(EditIndex, entry);
    finish(mrOk);
}

void TEntry::BitBtn3Click(QObject*) {
    finish(mrCancel);
}

void TEntry::finish(int result) {
    SetModalResult(result);
    if (!Modal())
        hide();
}

} // namespace Orvello
