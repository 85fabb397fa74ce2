#pragma once

#include "framework/Exceptions.h"
#include "framework/Form.h"
#include "platform/Volumes.h"

#include <QString>
#include <QStringList>
#include <array>
#include <exception>
#include <vector>

class QLabel;

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
    std::array<QLabel*, 10> EntryLabels{};

    // Caption of the window's message boxes. Stands in for the message component's
    // BoxCaption until that component sits on this window.
    QString Msg1BoxCaption;

private:
    TPathContext pathContext() const;

    TPlayerEnvironment environment_;
};
