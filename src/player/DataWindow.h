#pragma once

#include "framework/dbcontrols/DBNavigator.h"
#include "framework/forms/Form.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class TDataSource;
class TDbTable;
class TMediaFile;

// Operation codes of ShellFileOperation, the shell's own.
enum : int { FO_MOVE = 1, FO_COPY = 2, FO_DELETE = 3, FO_RENAME = 4 };

// Asks for the folder a file is copied or moved to: the title to show and the folder to start
// in (empty: the working folder). None when the user cancels.
using TFolderChoice =
    std::function<std::optional<QString>(const QString& title, const QString& startFolder)>;

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

    // Copies, moves, deletes or renames one existing local file (operation FO_*); true on
    // success. Copy and move ask for the target folder, rename for the new name.
    bool ShellFileOperation(const QString& file, const QString& caption, int operation);
    // The folder last chosen for a copy or move, kept for the rest of the run.
    QString LastTargetFolder;

    // Replaces the folder question (tests answer it); null restores the dialog. Returns the
    // previous one.
    static TFolderChoice SetFolderChoiceHook(TFolderChoice hook);
};
