// The design window's start-up, its reset to a new project and the services it offers the
// editor's other windows.
#include "editor/DesignWindow.h"

#include "components/Msg.h"
#include "editor/Artwork.h"
#include "editor/CreateDialog.h"
#include "editor/DataWindow.h"
#include "editor/Dialogs.h"
#include "editor/EditorControls.h"
#include "editor/EditorRules.h"
#include "editor/EntryDialog.h"
#include "editor/HelpKeys.h"
#include "editor/PictureWindow.h"
#include "framework/data/Format.h"
#include "framework/forms/Controls.h"
#include "framework/forms/MessageBox.h"
#include "platform/Files.h"
#include "platform/Help.h"

#include <QApplication>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTabWidget>

namespace Orvello {

namespace {

const char* const kCaptionRows[] = {
    "Open",
    "Copy",
    "Move",
    "Delete",
    "Rename",
    "Find",
    "\"%s\" not found !",
    "\"%s\" could not be opened !",
    "Close",
    "... more ...",
    "\"%s\" not found - search from start ?",
    "Picture/Media file",
    "Program file/URL",
};

// The message box reads its text as a format text; these texts are shown as they are.
QString literal(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('%'), QLatin1String("%%"));
    return escaped;
}

} // namespace

void TForm1::FormCreate(QObject*) {
    setWindowTitle(Application().Title);
    ProjectFolder = Files::ExtractFilePath(environment_.ProgramFile);
    Application().OnHint = [this](QObject* sender) { DisplayHint(sender); };
    Msg1->BoxCaption = Application().Title;

    QString help = environment_.ProgramFile;
    const QString ext = ExtractFileExt(help);
    help = help.left(help.size() - ext.size()) + QStringLiteral(".hlp");
    HelpFileName = Files::FileExists(help) ? help : QString();
    helpKeys_ = new THelpKeys([this](int context) { ShowHelpContext(context); });

    const QString projectDir = ProjectFolder + QStringLiteral("project");
    for (TOpenDialog* dialog :
         {static_cast<TOpenDialog*>(OpenDialog1), static_cast<TOpenDialog*>(SaveDialog1),
          static_cast<TOpenDialog*>(OpenPictureDialog1), OpenDialog3, OpenDialog2,
          static_cast<TOpenDialog*>(SaveDialog2)})
        dialog->InitialDir = projectDir;

    StringGrid1->SetCell(1, 0, QStringLiteral("Groups"));
    StringGrid1->SetCell(2, 0, QStringLiteral("Identifiers"));

    DefaultTitle1Font = ProjectFontOf(Title1);
    DefaultTitle2Font = ProjectFontOf(Title2);
    DefaultCopyrightFont = ProjectFontOf(Copyright);
    DefaultMenuFont = ProjectFontOf(ListBox1);

    clearEntryLists();

    ResetProject(nullptr, false);
}

void TForm1::showIcon(const QString& fileName) {
    const QImage icon = ReadPictureFile(fileName, QStringLiteral("Icon"));
    Image3->SetPicture(icon);
    Image5->SetPicture(Image3->Picture());
}

void TForm1::showApplicationIcon() {
    const QIcon icon = Application().Icon.isNull() ? ProgramIcon() : Application().Icon;
    const QImage image = icon.pixmap(32, 32).toImage();
    Image3->SetPicture(image);
    Image5->SetPicture(image);
}

bool TForm1::askReset() {
    return ProjectFileName.isEmpty() ||
           Ask(QStringLiteral("Do you want to create/open a project and reset all entries ?"),
               QStringLiteral("no"));
}

bool TForm1::ResetProject(QObject*, bool confirm) {
    if (confirm && !askReset())
        return false;

    const QScopedValueRollback<bool> resetting(resetting_, true);

    RadioButton1->setChecked(true);
    BCPanel->SetColor(clWhite);
    TCPanel->SetColor(clBlack);
    ImageFile->clear();
    BmpMode->setCurrentIndex(0);
    IconFile->clear();
    showApplicationIcon();
    Image3->SetTransparent(true);
    Image3->show();
    CheckBox1->setChecked(true);
    CheckBox2->setChecked(true);
    CheckBox3->setChecked(true);
    SoundFile->clear();
    Cap->setText(QStringLiteral("Application"));
    CenterTitle->setChecked(true);
    CenterSubTitle->setChecked(true);
    Title1->setText(QStringLiteral("Main title ..."));
    Title2->setText(QStringLiteral("Sub title ..."));
    Copyright->setText(QStringLiteral("Copyright \u00A9 2000 "));
    for (TCheckBox* box : {CkExit, CKAction, CKFind, CkFlBox, CKAbout})
        box->setChecked(true);
    CKHelp->setChecked(false);
    ExitBtn->setText(QStringLiteral("Exit program"));
    ActionBtn->setText(QStringLiteral("Program functions"));
    TablesBtn->setText(QStringLiteral("Show/Hide data"));
    FindBtn->setText(QStringLiteral("Find ..."));
    FileListBtn->setText(QStringLiteral("Show/Hide files"));
    HelpBtn->setText(QStringLiteral("Help ..."));
    HelpFile->clear();
    RMClick->setChecked(true);
    AboutBtn->setText(QStringLiteral("About ..."));

    if (Cr) {
        Cr->CheckBox1->setChecked(true);
        Cr->CheckBox2->setChecked(false);
    }

    for (int row = 0; row < ProjectFile::CaptionRows; ++row)
        Caps->SetCell(0, row, QLatin1String(kCaptionRows[row]));

    ComboBox1->setCurrentIndex(1);
    ComboBox1Change(ComboBox1);
    ComboBox2->setCurrentIndex(0);
    ComboBox2Change(ComboBox2);
    ComboBox3->setCurrentIndex(1);
    ComboBox3Change(ComboBox3);

    SetProjectFont(Title1, DefaultTitle1Font);
    SetProjectFont(Title2, DefaultTitle2Font);
    SetProjectFont(Copyright, DefaultCopyrightFont);
    SetProjectFont(ListBox1, DefaultMenuFont);

    for (TCheckBox* box : {FOpenAtStart, FShowIcons, Fexe, FBrowse})
        box->setChecked(true);
    WExplorer->setChecked(true);
    CExplorer->setText(QStringLiteral("Explorer"));
    WMSINfo->setChecked(true);
    CMSInfo->setText(QStringLiteral("MS Info"));
    WSoftware->setChecked(true);
    CSoftware->setText(QStringLiteral("Software"));

    for (TEdit* line : {ALine1, ALine2, ALine3, ALine4})
        line->clear();
    AWebText->setText(QStringLiteral("Homepage :"));
    AWeb->clear();
    AMailText->setText(QStringLiteral("Email :"));
    AMail->clear();

    ListBox1->clear();
    clearEntryLists();

    ResetGroupsGrid();

    PageControl1->setCurrentIndex(0);
    SetHelpContext(PageControl1, HelpContextOf(TabSheet8));
    PageControl1->setFocus();
    rememberProject();
    return true;
}

void TForm1::ResetGroupsGrid() {
    DBCheck->setChecked(false);
    DBEditable->setChecked(true);
    TableName->clear();
    TableTitle->setText(QStringLiteral("Data"));
    for (int r = 1; r < StringGrid1->RowCount(); ++r) {
        const QString number = Format(QStringLiteral("%02.02d"), {r});
        StringGrid1->SetCell(0, r, number);
        StringGrid1->SetCell(1, r, QString());
        StringGrid1->SetCell(2, r, QStringLiteral("grp") + number);
    }
}

void TForm1::DisplayHint(QObject*) {
    StatusBar1->setText(QStringLiteral(" ") + LongHint(Application().Hint));
}

void TForm1::ShowInfo(const QString& text) {
    Msg1->ShowMsg(mbInformation, literal(text));
}

bool TForm1::Ask(const QString& text, const QString& defaultWord) {
    Msg1->BoxButton = defaultWord.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 ? 1 : 2;
    return Msg1->ShowMsg(mbConfirmation, literal(text)) == IDYES;
}

QString TForm1::MarkCdDrive(const QString& path) const {
    return Orvello::MarkCdDrive(path, environment_.Mounts);
}

QString TForm1::FindOnCdDrive(const QString& path) const {
    return Orvello::FindOnCdDrive(path, environment_.Mounts, CachedCdDriveLetter);
}

void TForm1::ShowHelpContext(int context) {
    // F1 that does nothing at all would leave the author wondering; the help system shows no
    // message of its own.
    if (!HelpFileName.isEmpty() && !WinHelpA(this, HelpFileName, HELP_CONTEXT, unsigned(context)))
        ShowInfo(QStringLiteral("The help could not be shown !"));
}

TForm1* CreateEditorWindows(TEditorEnvironment environment) {
    if (Application().Icon.isNull())
        Application().Icon = ProgramIcon();
    QApplication::setWindowIcon(Application().Icon);
    TForm1* form1 = Application().CreateForm<TForm1>(std::move(environment));
    form1->Entry = Application().CreateForm<TEntry>(form1);
    form1->Data = Application().CreateForm<TData>(form1);
    form1->Pic = Application().CreateForm<TPic>();
    form1->Data->SetPictureWindow(form1->Pic);
    form1->Cr = Application().CreateForm<TCr>(form1);
    return form1;
}

} // namespace Orvello
