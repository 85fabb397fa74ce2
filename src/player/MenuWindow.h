#pragma once

#include "framework/data/Exceptions.h"
#include "framework/forms/Form.h"
#include "platform/Volumes.h"
#include "player/FileBox.h"

#include <QString>
#include <QStringList>
#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QFontMetrics;
class QFrame;
class QLabel;
class QMenu;
class TAbout;
class TData;
class TGradient;
class TMenuLabel;
class TMsg;
class TPathDialog;
class TSpeedButton;
class TSurface;
namespace ProjectFile {
struct TProjectData;
struct TProjectFont;
} // namespace ProjectFile

// The player's own exception: the text of a launch that failed.
ORV_DECLARE_EXCEPTION(EMyError, Exception)

// Where the player runs: its own program file, the arguments it was started with and the
// volumes of the machine. The program takes them from the process; tests give their own.
struct TPlayerEnvironment {
    QString ProgramFile;
    QStringList Arguments;
    std::vector<Volumes::MountEntry> Mounts;

    static TPlayerEnvironment FromProcess();
};

// What the command line settles before anything else runs.
struct TProjectStart {
    QString BaseFolder;  // full, with a trailing separator
    QString ProjectFile; // full
    bool ProjectNamed = false;
};

// What the path routines need to know: the drive that "?:" stands for, whether every stored
// drive is to be taken as that drive, and the folder that "." means.
struct TPathContext {
    QString BaseDrive;
    bool CdMode = false;
    QString WorkingFolder;
    const std::vector<Volumes::MountEntry>& Mounts;
};

// The player's menu window.
class TForm1 : public TForm {
    Q_OBJECT
public:
    explicit TForm1(TPlayerEnvironment environment = TPlayerEnvironment::FromProcess(),
                    QWidget* parent = nullptr);
    ~TForm1() override;

    void FormCreate(QObject* sender);
    void FormActivate(QObject* sender);
    void FormDestroy(QObject* sender);
    void AppException(QObject* sender, const std::exception& e);

    // Reads the project and lays the window out; true when it got to the end.
    bool LoadProject(const QString& projectFile);
    // Shows the file list's folder above it.
    void FileBox1ChangeDir(QObject* sender);

    // Starts a program, document or address in a working folder with parameters, after the
    // placeholders and the drive marker are resolved; raises EMyError when the start is
    // refused. An empty file starts nothing. What the desktop is given to open may still fail
    // to open: the same error is shown then. `started` runs once the start has worked.
    void RunFile(const QString& file, const QString& folder, const QString& params,
                 std::function<void()> started = {});
    // A menu entry was clicked (its label or its pop-up item).
    void OwnSoftClick(QObject* sender);

    void ExitBtnClick(QObject* sender);
    void ActionBtnClick(QObject* sender);
    void TablesBtnClick(QObject* sender);
    void FindBtnClick(QObject* sender);
    void HelpBtnClick(QObject* sender);
    void AboutBtnClick(QObject* sender);
    void FileListBtnClick(QObject* sender);

    void ExplorerClick(QObject* sender);
    void MSInfoClick(QObject* sender);
    void SoftwareClick(QObject* sender);
    static QString ReadMachineString(const QString& key, const QString& valueName);

    void Open1Click(QObject* sender);
    void Copy1Click(QObject* sender);
    void Move1Click(QObject* sender);
    void Delete1Click(QObject* sender);
    void Rename1Click(QObject* sender);

    void IconImageClick(QObject* sender);
    // Plays the project's background sound from its start, when it has one.
    void StartSound();

    // The find file: the program file with the extension ".fnd".
    QString FindFileName() const;
    // A path shortened to `maxWidth` pixels for display: leading folders give way to "...".
    static QString MinimizeName(const QString& path, const QFontMetrics& metrics, int maxWidth);

    // The path routines on this window's base drive, drive rule and working folder.
    QString ReplaceDriveMarker(const QString& path) const;
    QString ResolvePath(const QString& path) const;
    QString SwapEntryDrive(const QString& name) const;

    // The same routines on given data.
    static QString AddBackslash(const QString& path);
    static QString ReplaceDriveMarker(const QString& path, const QString& baseDrive);
    static QString ResolvePath(const QString& path, const TPathContext& context);
    static QString SwapEntryDrive(const QString& name, const TPathContext& context);
    static TProjectStart SettleProject(const QStringList& arguments, const QString& programFile,
                                       const QString& workingFolder);
    // The drive that "?:" stands for on a base folder: "X:" for a drive-letter folder, the share
    // for a network folder, else the root of its volume without a trailing "/" ("" for "/").
    static QString BaseDriveOf(const QString& baseFolder,
                               const std::vector<Volumes::MountEntry>& mounts);

    const TPlayerEnvironment& Environment() const { return environment_; }

    QString BaseFolder;
    QString BaseDrive;
    bool ProjectNamed = false;
    // The project file as settled at start: a name relative to the folder the player was
    // started in is made full there, before the working folder changes.
    QString ProjectFile;
    bool CdMode = false;
    bool FirstActivationDone = false;

    QStringList EntryNames;
    QStringList EntryPaths;
    QStringList EntryParams;
    QStringList EntryExitFlags;
    QStringList EntryPopupFlags;
    QStringList CaptionTexts;
    std::array<TMenuLabel*, 10> EntryLabels{};

    // Filled by LoadProject.
    int LayoutCursor = 0;
    TViewOptions ListViewOptions;
    int ListColor = 0;
    int ListTextColor = 0;
    bool ListVisibleAtStart = false;
    bool DbActive = false;
    bool DbEditable = false;
    QString TableFileName;
    QString HelpFilePath;
    QString SoundFilePath;

    // The other windows of the player, which this one sets up and shows. The item-table
    // window is made after the menu's first frame, or at its first use if that comes earlier:
    // nothing of it shows in that frame and its controls cost more than the menu's.
    TData* Data = nullptr;
    TAbout* About = nullptr;
    // The item-table window, made and set up to the project when it does not exist yet.
    TData* DataWindow();
    // Set once the start is complete: the item-table window made, the sound started.
    bool StartDone = false;

    // The window's controls, beneath to top.
    TSurface* Surface1;
    TGradient* Gradient1;
    TMenuLabel* Title1;
    TMenuLabel* Copyright;
    TSpeedButton* ExitBtn;
    TSpeedButton* ActionBtn;
    TSpeedButton* TablesBtn;
    TSpeedButton* FindBtn;
    TSpeedButton* HelpBtn;
    TSpeedButton* AboutBtn;
    TSpeedButton* FileListBtn;
    TMenuLabel* Title2;
    TMenuLabel* IconImage;
    TMenuLabel* Dummy;
    QFrame* Panel1;
    QLabel* Label1;
    TFileBox* FileBox1;
    QMenu* WinSoftware;
    TMsg* Msg1;
    // Asks for the target folder of the file list's and the item table's copies and moves.
    TPathDialog* PathDialog1;
    QMenu* PopupMenu1;
    QAction* Open1;
    QAction* Copy1;
    QAction* Move1;
    QAction* Delete1;
    QAction* Rename1;
    QAction* Find1;

private:
    // What failed while the project was read (a picture or icon that holds no picture, an item
    // table that could not be opened): reported once the menu's first frame is out, so that
    // the reports are seen and the menu still works.
    std::vector<std::exception_ptr> startErrors_;
    // Runs a step of the layout; what it raises is kept for the report and the layout goes on.
    void reportLater(const std::function<void()>& step);
    // The project as read, kept for the item-table window that is made after it.
    std::unique_ptr<ProjectFile::TProjectData> project_;
    // What follows the menu's first frame.
    void finishStart();
    // Gives the item-table window the project's title, groups, table and captions.
    void setUpDataWindow(const ProjectFile::TProjectData& data);
    TPathContext pathContext() const;
    void createControls();
    // The steps of LoadProject, in its order.
    void loadBackground(const ProjectFile::TProjectData& data);
    void loadTitles(const ProjectFile::TProjectData& data);
    void loadTable(const ProjectFile::TProjectData& data);
    int placeButtons(const ProjectFile::TProjectData& data);
    void loadAbout(const ProjectFile::TProjectData& data);
    void loadCaptions(const ProjectFile::TProjectData& data);
    void loadTools(const ProjectFile::TProjectData& data);
    void loadEntries(const ProjectFile::TProjectData& data);
    // The values a missing key leaves as they are: the controls' own.
    void currentValues(ProjectFile::TProjectData& data) const;
    void fileListCommand(int operation, int captionRow, bool reread);
    QString selectedPath() const;

    TPlayerEnvironment environment_;
};
