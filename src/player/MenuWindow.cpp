#include "player/MenuWindow.h"

#include "components/MediaFile.h"
#include "components/Msg.h"
#include "framework/forms/Colors.h"
#include "framework/forms/MessageBox.h"
#include "itemtable/PictureWindow.h"
#include "platform/Files.h"
#include "player/DataWindow.h"
#include "player/MenuControls.h"
#include "player/PathDialog.h"
#include "storage/project/ProjectFile.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <utility>

namespace {

// The name a built project gives its project file, beside the player.
const QString kProjectFileName = QStringLiteral("qor.qor");
// Beside the player's program file it makes the player behave as if it ran from a CD.
const QString kCdMarkerName = QStringLiteral("cdtest.qor");

// The drive of a path as the path routines see it. A path that already lies on the base drive
// has that drive, whatever the mount table says about it.
std::optional<QString> driveOf(const QString& path, const TPathContext& context) {
    const QString& base = context.BaseDrive;
    if (base.size() > 2 && path.startsWith(base) &&
        (path.size() == base.size() || Files::IsSeparator(path[base.size()])))
        return base;
    return Files::ExtractFileDrive(path, context.Mounts);
}

} // namespace

TPlayerEnvironment TPlayerEnvironment::FromProcess() {
    return {Files::ProgramFile(), Files::Arguments(), Volumes::MountTable()};
}

TForm1::TForm1(TPlayerEnvironment environment, QWidget* parent)
    : TForm(parent), environment_(std::move(environment)) {
    createControls();
    PathDialog1 = new TPathDialog(this);
    OnCreate = [this](QObject* sender) { FormCreate(sender); };
    OnActivate = [this](QObject* sender) { FormActivate(sender); };
    OnDestroy = [this](QObject* sender) { FormDestroy(sender); };
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(QObject*) {
    Application().OnException = [this](QObject* sender, const std::exception& e) {
        AppException(sender, e);
    };

    const TProjectStart start =
        SettleProject(environment_.Arguments, environment_.ProgramFile, Files::GetCurrentDir());
    BaseFolder = start.BaseFolder;
    ProjectFile = start.ProjectFile;
    ProjectNamed = start.ProjectNamed;
    BaseDrive = BaseDriveOf(BaseFolder, environment_.Mounts);

    // Without its project the player has nothing to show: it leaves before any window exists.
    if (!Files::FileExists(ProjectFile))
        Application().Halt(0);

    EntryNames.clear();
    EntryPaths.clear();
    EntryParams.clear();
    EntryExitFlags.clear();
    EntryPopupFlags.clear();
    CaptionTexts.clear();
}

void TForm1::FormActivate(QObject*) {
    if (FirstActivationDone)
        return;
    FirstActivationDone = true;

    const QString projectFile = ProjectFile;
    if (!Files::SetCurrentDir(BaseFolder)) {
        // Nothing of the project can be reached; a menu left parked off screen would only keep
        // running unseen, so the player ends once the error has been shown.
        Application().HandleException(
            this, EInOutError(QStringLiteral("Cannot change to folder %1").arg(BaseFolder)));
        Application().Terminate();
        return;
    }

    const QString root = Volumes::VolumeRoot(Files::CanonicalPath(BaseFolder), environment_.Mounts);
    CdMode = Volumes::DriveTypeOf(root, environment_.Mounts) == Volumes::DRIVE_CDROM;
    if (!CdMode)
        CdMode =
            Files::FileExists(Files::ExtractFilePath(environment_.ProgramFile) + kCdMarkerName);

    LoadProject(projectFile);

    // LoadProject has given the application the project's title.
    Msg1->BoxCaption = Application().Title;

    FileBox1->SetViewOptions(ListViewOptions);
    QPalette palette = FileBox1->palette();
    palette.setColor(QPalette::Base, ColorToQColor(ListColor));
    palette.setColor(QPalette::Text, ColorToQColor(ListTextColor));
    FileBox1->setPalette(palette);
    // The list starts at the root of the current drive: the volume of the working folder,
    // which is now the base folder.
    FileBox1->SetFileMask(QStringLiteral("\\*.*"));
    FileBox1ChangeDir(FileBox1);
    Panel1->setVisible(ListVisibleAtStart);

    AfterNextFrame([this] { finishStart(); });
}

void TForm1::finishStart() {
    DataWindow();
    StartSound();
    StartDone = true;
    for (const std::exception_ptr& error : std::exchange(startErrors_, {})) {
        try {
            std::rethrow_exception(error);
        } catch (...) {
            Application().HandleCurrentException(this);
        }
    }
}

TData* TForm1::DataWindow() {
    if (!Data) {
        Data = Application().CreateForm<TData>(this);
        Data->PathDialog1 = PathDialog1;
        Data->Pic = Application().CreateForm<TPic>();
        if (project_)
            setUpDataWindow(*project_);
    }
    return Data;
}

void TForm1::StartSound() {
    if (SoundFilePath.isEmpty())
        return;
    TMediaFile* media = DataWindow()->MediaFile1;
    media->SetFileName(Files::NativePath(SoundFilePath));
    media->Play();
}

void TForm1::FormDestroy(QObject*) {
    EntryNames.clear();
    EntryPaths.clear();
    EntryParams.clear();
    EntryExitFlags.clear();
    EntryPopupFlags.clear();
    CaptionTexts.clear();
    for (TMenuLabel*& label : EntryLabels) {
        delete label;
        label = nullptr;
    }
}

void TForm1::AppException(QObject*, const std::exception& e) {
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    const QString text = ExceptionMessage(e);
    if (text.isEmpty())
        return;
    Application().MessageBox(text, Application().Title, MB_OK | MB_ICONINFORMATION);
}

TPathContext TForm1::pathContext() const {
    return {BaseDrive, CdMode, Files::GetCurrentDir(), environment_.Mounts};
}

QString TForm1::ReplaceDriveMarker(const QString& path) const {
    return ReplaceDriveMarker(path, BaseDrive);
}

QString TForm1::ResolvePath(const QString& path) const {
    return ResolvePath(path, pathContext());
}

QString TForm1::SwapEntryDrive(const QString& name) const {
    return SwapEntryDrive(name, pathContext());
}

QString TForm1::AddBackslash(const QString& path) {
    if (path.isEmpty() || Files::IsSeparator(path.back()))
        return path;
    // A native path goes on with its own separator.
    const bool native = path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\'));
    return path + (native ? QLatin1Char('/') : QLatin1Char('\\'));
}

QString TForm1::ReplaceDriveMarker(const QString& path, const QString& baseDrive) {
    if (path.size() < 2)
        return path;
    QString result;
    result.reserve(path.size() + baseDrive.size());
    qsizetype i = 0;
    while (i < path.size()) {
        if (i + 1 < path.size() && path[i] == QLatin1Char('?') && path[i + 1] == QLatin1Char(':')) {
            result += baseDrive;
            i += 2;
        } else {
            result += path[i];
            ++i;
        }
    }
    return result;
}

QString TForm1::ResolvePath(const QString& path, const TPathContext& context) {
    if (path.isEmpty())
        return path;
    QString result = ReplaceDriveMarker(path, context.BaseDrive);
    if (context.CdMode)
        if (const std::optional<QString> drive = driveOf(result, context))
            result = context.BaseDrive + result.mid(drive->size());
    if (result.startsWith(QLatin1Char('.')))
        result = Files::ExpandFileName(result, context.WorkingFolder);
    return result;
}

QString TForm1::SwapEntryDrive(const QString& name, const TPathContext& context) {
    if (!context.CdMode)
        return name;
    const std::optional<QString> drive = driveOf(name, context);
    if (!drive || name.size() <= drive->size())
        return name;
    return context.BaseDrive + name.mid(drive->size());
}

TProjectStart TForm1::SettleProject(const QStringList& arguments, const QString& programFile,
                                    const QString& workingFolder) {
    TProjectStart start;
    const QString programFolder = Files::ExtractFilePath(programFile);
    if (!arguments.isEmpty()) {
        start.ProjectNamed = true;
        start.ProjectFile = arguments.first();
        start.BaseFolder = Files::ExtractFilePath(start.ProjectFile);
        if (start.BaseFolder.isEmpty())
            start.BaseFolder = programFolder;
    } else {
        start.BaseFolder = programFolder;
        start.ProjectFile = start.BaseFolder + kProjectFileName;
    }
    // Both are used after the working folder has become the base folder, so whatever is
    // relative to the folder the player was started in is made full now.
    if (!start.BaseFolder.isEmpty() && !Files::IsAbsolutePath(start.BaseFolder))
        start.BaseFolder = Files::ExpandFileName(start.BaseFolder, workingFolder);
    if (!start.ProjectFile.isEmpty() && !Files::IsAbsolutePath(start.ProjectFile))
        start.ProjectFile = Files::ExpandFileName(start.ProjectFile, workingFolder);
    return start;
}

QString TForm1::BaseDriveOf(const QString& baseFolder,
                            const std::vector<Volumes::MountEntry>& mounts) {
    // A folder reached through a symbolic link lies on the volume the link leads to.
    const bool native = !baseFolder.isEmpty() && baseFolder[0] == QLatin1Char('/') &&
                        !(baseFolder.size() > 1 && Files::IsSeparator(baseFolder[1]));
    const QString folder = native ? Files::CanonicalPath(baseFolder) : baseFolder;
    return Files::ExtractFileDrive(folder, mounts).value_or(QString());
}
