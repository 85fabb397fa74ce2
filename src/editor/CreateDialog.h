#pragma once

#include "framework/forms/Form.h"

#include <QString>
#include <QStringList>

class QLabel;
class TCheckBox;

namespace Orvello {

class TBitBtn;
class TFileListBox;
class TForm1;
class TSaveDialog;

// The folder beside the player that holds the libraries and plugins it runs with. A build
// carries it into every built project, beside "qor.exe".
inline const QString RuntimeFolder = QStringLiteral("qor-runtime");
// The player's program file beside the editor.
inline const QString PlayerProgram = QStringLiteral("menu");

// Copies a file (or a folder with everything in it) over the target. When the copy fails, the
// design window asks whether to abort the build: false when the author says yes, true when the
// copy succeeded or the author chose to go on.
bool CopyOrAskAbort(TForm1* form1, const QString& source, const QString& target);

// The create dialog: builds the project of the design window into the folder "output" beside
// the editor, starts the built menu for a test, copies the built project into a project folder
// of the author's choice and opens the desktop's file manager on the output folder.
class TCr : public TForm {
    Q_OBJECT
public:
    explicit TCr(TForm1* form1, QWidget* parent = nullptr);

    // Runs each time the dialog is shown; returning from one of its own message boxes is no new
    // activation.
    void FormActivate(QObject* sender);
    void FormClose(QObject* sender, TCloseAction& action);
    void BitBtn1Click(QObject* sender); // Create project
    void BitBtn5Click(QObject* sender); // Test current project
    void BitBtn2Click(QObject* sender); // Copy project files
    void BitBtn3Click(QObject* sender); // Open explorer
    void BitBtn4Click(QObject* sender); // Close
    void FileListBox1DblClick(QObject* sender);

    // Clean mode empties `folder` of a built project (autorun.inf and autorun.sh, cdtest.qor,
    // every "qor.*" file of the output folder and the runtime folder); copy mode brings the
    // built project of the output folder there. `folder` ends with a separator. Returns what
    // could not be removed or copied in copy mode (names within `folder`).
    QStringList SyncProjectFiles(const QString& folder, bool clean);

    // The editor program's folder, with a trailing separator.
    QString EditorFolder() const;

    TForm1* Form1;
    // The output folder, with a trailing separator; set on every activation.
    QString OutputDir;
    // The working folder when the dialog was shown, restored when it closes.
    QString SavedCurrentDir;
    // The folder last chosen with "Copy project files", for the rest of the run.
    static inline QString LastProjectFolder;

    QLabel* Label1;
    TFileListBox* FileListBox1;
    TCheckBox* CheckBox1; // "Create autorun.inf"
    TCheckBox* CheckBox2; // "Simulate CD-ROM environment"
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn5;
    TBitBtn* BitBtn2;
    TBitBtn* BitBtn3;
    TBitBtn* BitBtn4;
    TSaveDialog* SaveDialog1;

private:
    // Steps of the build that copy; false when the author aborted.
    bool copyProjectFiles();
    // Where a media or table name of the design window is read from.
    QString sourceOf(const QString& name) const;
    // Raises the error of a missing output folder.
    void requireOutputDir() const;
    void start(const QString& program, const QString& parameters);
    void startExplorer(const QString& folder);
};

} // namespace Orvello
