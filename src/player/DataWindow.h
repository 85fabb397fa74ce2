#pragma once

#include "framework/dbcontrols/DBNavigator.h"
#include "framework/forms/Form.h"
#include "platform/FileOperation.h"

#include <QString>
#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class TDataSource;
class TDbTable;
class TMediaFile;
class TPathDialog;

// The player's item-table window: the table of items with its groups, preview and find. The
// menu window sets it up from the project and plays the project's sound through its media
// player.
class TData : public TForm {
    Q_OBJECT
public:
    explicit TData(QWidget* parent = nullptr);
    ~TData() override;

    QComboBox* Groups;
    // Identifier of each entry of Groups, same index; the slot after the last group holds the
    // all-groups entry "* * *".
    std::array<QString, 51> GroupIdentifiers;
    QPushButton* SpeedButton1; // copy the record's file
    QPushButton* SpeedButton2; // open the record's file
    QPushButton* SpeedButton4; // picture picker
    QPushButton* SpeedButton5; // file picker
    QPushButton* FindBtn;
    QPushButton* CloseBtn;
    QFrame* Panel3; // preview
    QLabel* Image1;
    QLabel* Label6;
    QLabel* Label7;
    TDBNavigator* DBNavigator1;
    // The player's one media player: the background sound and the previews.
    TMediaFile* MediaFile1;

    // The item table and the source that binds it to the window's controls.
    TDbTable* Table1;
    TDataSource* DataSource1;

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

    // Applies the chosen group to the table and opens it.
    void GroupsChange(QObject* sender);

    // Copies, moves, deletes or renames one existing local file through the shell (operation
    // FO_*, the shell's codes); true on success. Copy and move ask for the target folder, rename
    // for the new name; the shell asks the rest and reports its errors itself.
    bool ShellFileOperation(const QString& file, const QString& caption, int operation);
    // The folder last chosen for a copy or move, kept for the rest of the run.
    QString LastTargetFolder;
    // The menu window's folder dialog, which asks for the target folder; without one the
    // window uses one of its own.
    TPathDialog* PathDialog1 = nullptr;
};
