#include "editor/CreateDialog.h"

#include "editor/Artwork.h"
#include "editor/AutorunScript.h"
#include "editor/DesignWindow.h"
#include "editor/Dialogs.h"
#include "editor/EditorControls.h"
#include "editor/EditorRules.h"
#include "editor/FileListBox.h"
#include "editor/IconFile.h"
#include "framework/forms/Controls.h"
#include "platform/FileCopy.h"
#include "platform/Files.h"
#include "platform/ProgramImage.h"
#include "platform/Shell.h"
#include "storage/dbtable/TableFiles.h"

#include <QGuiApplication>
#include <QLabel>
#include <tuple>

namespace Orvello {

namespace {

const QString kAutorun = QStringLiteral("autorun.inf");
// Its counterpart for a Linux desktop; both come and go together.
const QString kAutorunScript = QStringLiteral("autorun.sh");
const QString kCdMarker = QStringLiteral("cdtest.qor");
const QString kFindFile = QStringLiteral("qor.fnd");

// The hourglass while files are copied; the default cursor again however the copy ends.
struct TWaitCursor {
    TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

QString withSeparator(const QString& folder) {
    return folder.isEmpty() || Files::IsSeparator(folder.back()) ? folder
                                                                 : folder + QLatin1Char('/');
}

QString withoutSeparator(const QString& folder) {
    // The root keeps its separator: without it, it would name no folder at all.
    if (folder.size() > 1 && Files::IsSeparator(folder.back()))
        return folder.left(folder.size() - 1);
    return folder;
}

void createFindFile(const QString& path) {
    if (!Files::CreateEmptyFile(path))
        throw EInOutError(QStringLiteral("Cannot create file \"%1\"").arg(path));
}

} // namespace

bool CopyOrAskAbort(TForm1* form1, const QString& source, const QString& target) {
    bool copied;
    if (Files::SameFile(source, target))
        copied = true;
    else if (Files::DirectoryExists(source))
        copied = Files::RemoveFolder(target) && Files::CopyFolder(source, target);
    else
        copied = Files::CopyFileA(source, target, false);
    if (copied)
        return true;
    return !form1->Ask(source + QStringLiteral(" could not be created as ...\r\n") + target +
                           QStringLiteral("\r\n\r\nDo you want to abort ?"),
                       QStringLiteral("yes"));
}

TCr::TCr(TForm1* form1, QWidget* parent) : TForm(parent), Form1(form1) {
    SetDialogFrame(this, QStringLiteral("Create ..."), 16, {305, 333});
    CenterOnScreen(this);

    Label1 = new QLabel(
        QStringLiteral(
            "The following project files are currently stored in the output directory ..."),
        this);
    Label1->setGeometry(8, 6, 289, 30);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);

    FileListBox1 = new TFileListBox(this);
    FileListBox1->setGeometry(8, 40, 289, 140);
    FileListBox1->Mask = QStringLiteral("autorun.*;qor.*");
    SetColor(FileListBox1, clBlack);
    QPalette palette = FileListBox1->palette();
    palette.setColor(QPalette::Text, Qt::yellow);
    FileListBox1->setPalette(palette);
    SetHint(FileListBox1, QStringLiteral("|Doubleclick to open the selected file"));
    FileListBox1->OnDblClick = [this](QObject* sender) { FileListBox1DblClick(sender); };

    CheckBox1 = MakeCheckBox(this, QStringLiteral("Create autorun.inf"), {8, 186, 289, 17});
    CheckBox1->setChecked(true);
    CheckBox2 =
        MakeCheckBox(this, QStringLiteral("Simulate CD-ROM environment"), {8, 206, 289, 17});

    BitBtn1 = MakeButton<TBitBtn>(this, QStringLiteral("Create project"), {8, 232, 140, 25});
    QFont bold = BitBtn1->font();
    bold.setBold(true);
    BitBtn1->setFont(bold);
    QPalette maroon = BitBtn1->palette();
    maroon.setColor(QPalette::ButtonText, QColor(0x80, 0, 0));
    BitBtn1->setPalette(maroon);
    BitBtn5 =
        MakeButton<TBitBtn>(this, QStringLiteral("Test current project"), {157, 232, 140, 25});
    BitBtn2 = MakeButton<TBitBtn>(this, QStringLiteral("Copy project files"), {8, 264, 140, 25});
    BitBtn3 = MakeButton<TBitBtn>(this, QStringLiteral("Open explorer"), {157, 264, 140, 25});
    BitBtn4 = MakeButton<TBitBtn>(this, QStringLiteral("Close"), {82, 300, 140, 25});
    SetCancelButton(BitBtn4);
    BitBtn1->OnClick = [this](QObject* sender) { BitBtn1Click(sender); };
    BitBtn5->OnClick = [this](QObject* sender) { BitBtn5Click(sender); };
    BitBtn2->OnClick = [this](QObject* sender) { BitBtn2Click(sender); };
    BitBtn3->OnClick = [this](QObject* sender) { BitBtn3Click(sender); };
    BitBtn4->OnClick = [this](QObject* sender) { BitBtn4Click(sender); };

    SaveDialog1 = new TSaveDialog(this);

    OnShow = [this](QObject* sender) { FormActivate(sender); };
    OnClose = [this](QObject* sender, TCloseAction& action) { FormClose(sender, action); };
}

QString TCr::EditorFolder() const {
    return withSeparator(Files::ExtractFilePath(Form1->Environment().ProgramFile));
}

void TCr::FormActivate(QObject*) {
    SavedCurrentDir = Files::GetCurrentDir();
    OutputDir = EditorFolder() + QStringLiteral("output/");
    FileListBox1->SetDirectory(OutputDir);
    BitBtn1->setFocus();
}

void TCr::FormClose(QObject*, TCloseAction&) {
    FileListBox1->SetDirectory(SavedCurrentDir);
}

void TCr::requireOutputDir() const {
    if (!Files::DirectoryExists(OutputDir))
        throw EInOutError(QStringLiteral("The folder \"%1\" does not exist.").arg(OutputDir));
}

QString TCr::sourceOf(const QString& name) const {
    // A relative name is the project's, whatever folder is current while the dialog is open.
    return Files::IsAbsolutePath(name) ? name : Form1->ProjectFolder + name;
}

QStringList TCr::SyncProjectFiles(const QString& folder, bool clean) {
    QStringList failed;
    // Copying the project into the output folder itself must not take the built files away.
    const bool intoOutput = !clean && Files::SameFile(folder, OutputDir);
    const bool autorun = CheckBox1->isChecked();

    for (const QString& name : {kAutorun, kAutorunScript})
        if (Files::FileExists(folder + name) && !(intoOutput && autorun))
            Files::DeleteFileA(folder + name);
    if (Files::FileExists(folder + kCdMarker) && !Files::DeleteFileA(folder + kCdMarker)) {
        failed << kCdMarker;
        return failed;
    }
    for (const QString& name : {kAutorun, kAutorunScript})
        if (!clean && autorun && !intoOutput && Files::FileExists(OutputDir + name) &&
            !Files::CopyFileA(OutputDir + name, folder + name, false))
            failed << name;

    for (const QString& name : Files::FindFiles(OutputDir, QStringLiteral("qor.*"))) {
        if (clean)
            Files::DeleteFileA(folder + name);
        else if (!Files::CopyFileA(OutputDir + name, folder + name, false))
            failed << name;
    }

    if (clean) {
        Files::RemoveFolder(folder + RuntimeFolder);
    } else if (!intoOutput && Files::DirectoryExists(OutputDir + RuntimeFolder)) {
        if (!Files::RemoveFolder(folder + RuntimeFolder) ||
            !Files::CopyFolder(OutputDir + RuntimeFolder, folder + RuntimeFolder))
            failed << RuntimeFolder;
    }
    return failed;
}

bool TCr::copyProjectFiles() {
    if (!CopyOrAskAbort(Form1, EditorFolder() + PlayerProgram,
                        OutputDir + QStringLiteral("qor.exe")))
        return false;
    if (!CopyOrAskAbort(Form1, EditorFolder() + RuntimeFolder, OutputDir + RuntimeFolder))
        return false;

    const QString image = Form1->ImageFile->text();
    if (Form1->RadioButton2->isChecked() && !image.isEmpty() &&
        !CopyOrAskAbort(Form1, sourceOf(image), OutputDir + QStringLiteral("qor.bmp")))
        return false;

    const QString icon = Form1->IconFile->text();
    if (!icon.isEmpty()) {
        if (!CopyOrAskAbort(Form1, sourceOf(icon), OutputDir + QStringLiteral("qor.ico")))
            return false;
    } else {
        const QIcon own = Application().Icon.isNull() ? ProgramIcon() : Application().Icon;
        const QString target = OutputDir + QStringLiteral("qor.ico");
        if (!Files::WriteWholeFile(target, IconFileBytes(own)))
            throw EInOutError(QStringLiteral("Cannot create file \"%1\"").arg(target));
    }

    for (const QString& name : {Form1->SoundFile->text(), Form1->HelpFile->text()}) {
        if (!name.isEmpty() &&
            !CopyOrAskAbort(Form1, sourceOf(name),
                            OutputDir + QStringLiteral("qor") + ExtractFileExt(name)))
            return false;
    }

    const QString table = Form1->TableName->text();
    if (Form1->DBCheck->isChecked() && !table.isEmpty()) {
        if (!CopyOrAskAbort(Form1, sourceOf(table), OutputDir + QStringLiteral("qor.dbf")) ||
            !CopyOrAskAbort(Form1, dbtable::TableFilePath(sourceOf(table), QStringLiteral(".dbt")),
                            OutputDir + QStringLiteral("qor.dbt")))
            return false;
    }
    return true;
}

void TCr::BitBtn1Click(QObject*) {
    requireOutputDir();
    SyncProjectFiles(OutputDir, true);
    Form1->SaveProject(OutputDir + QStringLiteral("qor.qor"), true);
    Form1->ProjectNeedsSave = true;
    createFindFile(OutputDir + kFindFile);
    if (!copyProjectFiles())
        return;

    const QByteArray lines =
        QByteArrayLiteral("[AutoRun]\r\nopen=qor.exe\r\n") +
        (Form1->CheckBox2->isChecked() ? QByteArrayLiteral("icon=qor.ico\r\n")
                                       : QByteArrayLiteral("icon=qor.exe\r\n"));
    const QByteArray script = AutorunScript(ProgramImage::Loader());
    for (const auto& [wanted, name, bytes] :
         {std::tuple{CheckBox1->isChecked(), kAutorun, lines},
          std::tuple{CheckBox1->isChecked(), kAutorunScript, script},
          std::tuple{CheckBox2->isChecked(), kCdMarker, lines}})
        if (wanted && !Files::WriteWholeFile(OutputDir + name, bytes, name == kAutorunScript))
            throw EInOutError(QStringLiteral("Cannot create file \"%1\"").arg(OutputDir + name));

    FileListBox1->SetDirectory(OutputDir);
}

void TCr::start(const QString& program, const QString& parameters) {
    if (ShellExecuteA(Form1, QString(), program, parameters, OutputDir, SW_SHOWNORMAL) <= 32)
        Form1->ShowInfo(
            QStringLiteral("\"%1\" could not be opened !").arg(ExtractFileName(program)));
}

void TCr::startExplorer(const QString& folder) {
    if (ShellExecuteA(Form1, QString(), QStringLiteral("explorer.exe "), folder, QString(),
                      SW_SHOWNORMAL) <= 32)
        Form1->ShowInfo(QStringLiteral("Windows explorer could not be activated !"));
}

void TCr::BitBtn5Click(QObject*) {
    const QString local = EditorFolder() + QStringLiteral("qor.exe");
    if (Files::FileExists(local))
        start(local, OutputDir + QStringLiteral("qor.qor"));
    else
        start(OutputDir + QStringLiteral("qor.exe"), QString());
}

void TCr::FileListBox1DblClick(QObject*) {
    const QString file = FileListBox1->FileName();
    if (!file.isEmpty())
        start(file, QString());
}

void TCr::BitBtn2Click(QObject*) {
    requireOutputDir();
    if (!Form1->Ask(QStringLiteral("ATTENTION: Each project should go into a project folder of its "
                                   "own !\r\n\r\nWould you like to copy all files of your current "
                                   "project into a project directory ?"),
                    QStringLiteral("yes")))
        return;

    SaveDialog1->Title =
        QStringLiteral("Select or create a folder and press SAVE to store all files into it ...");
    SaveDialog1->Filter = QStringLiteral("*.*|*.*");
    SaveDialog1->DefaultExt = QStringLiteral("yvo");
    SaveDialog1->Options = ofHideReadOnly | ofPathMustExist;
    SaveDialog1->FileName = QStringLiteral("VORA Project_1");
    SaveDialog1->InitialDir = LastProjectFolder.isEmpty()
                                  ? EditorFolder() + QStringLiteral("Project_1")
                                  : LastProjectFolder;
    if (!SaveDialog1->Execute())
        return;

    LastProjectFolder = withoutSeparator(Files::ExtractFilePath(SaveDialog1->FileName));
    const QString folder = withSeparator(LastProjectFolder);
    QStringList failed;
    {
        TWaitCursor wait;
        failed = SyncProjectFiles(folder, false);
        if (!Files::FileExists(folder + kFindFile) && !Files::CreateEmptyFile(folder + kFindFile))
            failed << kFindFile;
    }
    // The find file of the output folder may have failed to copy already.
    failed.removeDuplicates();

    if (!failed.isEmpty()) {
        Form1->ShowInfo(QStringLiteral("These files could not be stored into ") +
                        LastProjectFolder + QStringLiteral(" :\r\n\r\n") +
                        failed.join(QStringLiteral("\r\n")));
        return;
    }
    if (Form1->Ask(QStringLiteral("All files of your current project were stored into ") +
                       LastProjectFolder +
                       QStringLiteral(" !\r\n\r\nWould you like to open the explorer to test your "
                                      "project (qor.exe)\r\nor to copy all its files into the root "
                                      "directory of a CD-ROM ?"),
                   QStringLiteral("yes")))
        startExplorer(LastProjectFolder);
}

void TCr::BitBtn3Click(QObject*) {
    requireOutputDir();
    startExplorer(OutputDir);
}

void TCr::BitBtn4Click(QObject*) {
    close();
}

} // namespace Orvello
