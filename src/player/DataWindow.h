#pragma once

#include "framework/dbcontrols/DBNavigator.h"
#include "itemtable/ItemTableWindow.h"
#include "platform/FileOperation.h"

#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class TForm1;
class TPathDialog;

// The player's item-table window: the project's items group by group with a preview of each
// item's picture or media file; it opens and copies the item's file, finds text and, when the
// project allows it, lets the user edit the items. The menu window sets it up from the project
// and plays the project's sound through its media player.
class TData : public TItemTableWindow {
    Q_OBJECT
public:
    // The menu window whose state and routines the window uses; without one the window
    // stands alone (no paths are resolved, nothing is started, no question is asked).
    explicit TData(TForm1* menuWindow = nullptr, QWidget* parent = nullptr);
    ~TData() override;

    TForm1* Form1;

    QFrame* Panel2;            // carries every control
    QPushButton* SpeedButton1; // copy the record's file
    QPushButton* SpeedButton2; // open the record's file
    QPushButton* SpeedButton3; // show the picture/file row
    QPushButton* SpeedButton4; // picture picker
    QPushButton* SpeedButton5; // file picker
    QPushButton* SpeedButton6; // hide the picture/file row
    QPushButton* FindBtn;
    QPushButton* CloseBtn;
    QLabel* Label6;
    QLabel* Label7;

    // The item table as the menu window sets it up.
    QString TableName() const;
    QString RunTimePath() const;
    bool TableReadOnly() const;
    bool TableActive() const;
    QString RecordFilterText() const;
    bool TableFiltered() const;

    void CloseTable();
    void SetTableFile(const QString& tableName, const QString& runTimePath);
    // Browse-only or editable: the table's read-only state, the navigator's buttons and the
    // two file pickers follow it.
    void SetTableEditable(bool editable);
    // The hint of the preview (a caption row of the project).
    void SetPreviewHint(const QString& hint);
    // The captions of the picture/file row (caption rows of the project). The edits give way
    // to them; one too long even so is shortened, and shown whole as its tool tip.
    void SetFileRowCaptions(const QString& picture, const QString& file);

    void FormCreate(QObject* sender) override;
    void FormActivate(QObject* sender) override;
    void FormClose(QObject* sender, TCloseAction& action) override;
    void FormDestroy(QObject* sender) override;
    // Applies the chosen group to the table and opens it.
    void GroupsChange(QObject* sender) override;
    void DataSource1DataChange(QObject* sender, TField* field) override;
    void Label9Click(QObject* sender) override;
    void SpeedButton1Click(QObject* sender);
    void SpeedButton2Click(QObject* sender);
    void SpeedButton3Click(QObject* sender);
    void SpeedButton4Click(QObject* sender);
    void SpeedButton5Click(QObject* sender);
    void SpeedButton6Click(QObject* sender);
    void DBNavigator1BeforeAction(QObject* sender, TNavigateBtn button);
    void FindBtnClick(QObject* sender);
    void CloseBtnClick(QObject* sender);

    // Copies, moves, deletes or renames one existing local file through the shell (operation
    // FO_*, the shell's codes); true on success. Copy and move ask for the target folder, rename
    // for the new name; the shell asks the rest and reports its errors itself.
    bool ShellFileOperation(const QString& file, const QString& caption, int operation);
    // The folder last chosen for a copy or move, kept for the rest of the run.
    QString LastTargetFolder;
    // The menu window's folder dialog, which asks for the target folder; without one the
    // window uses one of its own.
    TPathDialog* PathDialog1 = nullptr;

protected:
    QString ResolveStoredPath(const QString& stored) const override;
    void OpenRecordFile() override { SpeedButton2Click(this); }
    bool AskSearchFromStart(const QString& findText) override;
    bool AskImportFolder() override;

private:
    void createControls();
    // A caption row of the project ("" without one), and the same as a format with one
    // argument; a row whose format does not fit shows as it stands.
    QString CaptionRow(int row) const;
    QString FormatCaptionRow(int row, const QString& argument) const;
    bool firstActivation_ = true;
};
