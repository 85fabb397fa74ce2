#pragma once

#include "framework/forms/Colors.h"
#include "framework/forms/Controls.h"
#include "framework/forms/FindDialog.h"
#include "framework/forms/Form.h"
#include "framework/forms/OpenDialog.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QString>
#include <array>
#include <optional>

class QComboBox;
class QToolButton;
class TDBEdit;
class TDBGrid;
class TDBMemo;
class TDBNavigator;
class TDataSet;
class TDataSource;
class TDbTable;
class TField;
class TImage;
class TMediaFile;
class TPic;

// What the item-table windows of both programs have alike: the item table with its groups,
// the bound grid, edits, memo and navigator, the preview of a record's picture or media file
// with its media buttons, the find, and the import of internet shortcuts. Each program's
// window places the controls and adds what it does differently: how stored paths are
// resolved, what a click on the preview does, how the questions are asked.
class TItemTableWindow : public TForm {
    Q_OBJECT
public:
    explicit TItemTableWindow(QWidget* parent = nullptr);
    ~TItemTableWindow() override;

    // The group entry that stands for all records.
    static const QString AllGroups;

    // ---- the table and its groups
    TDbTable* Table1;
    TField* Table1GROUP;
    TField* Table1CAPTION;
    TField* Table1DESCRIPTOR;
    TField* Table1COMMENTS;
    TField* Table1PICTURE;
    TField* Table1FILE;
    TDataSource* DataSource1;
    QComboBox* Groups;
    // Identifier of each entry of Groups, same index; the slot after the last group holds
    // the all-groups entry.
    std::array<QString, 51> GroupIdentifiers;
    // The chosen group's identifier; empty for the all-groups entry (and with none chosen).
    QString CurrentGroupIdentifier() const;

    // ---- the bound controls
    TDBGrid* DBGrid1;
    TDBEdit* DBEdit1; // DESCRIPTOR
    TDBMemo* DBMemo1; // COMMENTS
    TDBEdit* DBEdit4; // PICTURE
    TDBEdit* DBEdit5; // FILE
    TDBNavigator* DBNavigator1;

    // ---- the preview
    TClickable<QFrame>* Panel3;
    TImage* Image1;
    TClickable<QLabel>* Label9;
    TClickable<QFrame>* Panel4; // the media buttons
    QToolButton* BtnPlay;
    QToolButton* BtnPause;
    QToolButton* BtnStop;
    QToolButton* BtnStep;
    QToolButton* BtnBack;
    QToolButton* BtnFinish;
    QToolButton* BtnStart;
    // The window's media player: the previews' sound and video.
    TMediaFile* MediaFile1;
    // The bitmap loaded for the last bitmap preview, the preview's picture as designed, and
    // the picture shown for a record without a usable one.
    QImage PreviewBitmap;
    QImage DesignPicture;
    QImage DefaultPicture;
    // The default picture is on the preview now.
    bool DefaultShown = true;
    // The window that shows a bitmap at its own size.
    TPic* Pic = nullptr;

    // ---- dialogs
    TFindDialog* FindDialog1;
    TOpenDialog OpenDialog1;

    // ---- the window's events, as each program handles them
    virtual void FormCreate(QObject*) {}
    virtual void FormActivate(QObject*) {}
    virtual void FormClose(QObject*, TCloseAction&) {}
    virtual void FormDestroy(QObject*) {}
    // A group chosen in Groups: the table reopened on it.
    virtual void GroupsChange(QObject*) { ApplyGroup(); }

    // ---- what each window does its own way
    // The preview follows the current record.
    virtual void DataSource1DataChange(QObject* sender, TField* field) = 0;
    // A click on the preview: shows, plays or opens the record's picture or media file.
    virtual void Label9Click(QObject* sender) = 0;

    // ---- what both windows do alike
    // New record: its group is the chosen group.
    void Table1NewRecord(TDataSet* dataSet);
    // The seven media buttons: the button's command on the record's picture or media file.
    void BtnPlayClick(QObject* sender);
    // Enter in the grid posts an edited record, else opens the record's file; Enter in an
    // edit posts an edited record only. A new record is posted by the navigator alone.
    void DBGrid1KeyPress(QObject* sender, QChar& key);
    void DBEdit1KeyPress(QObject* sender, QChar& key);
    // One request of the find dialog: from the record after (or before) the current one to
    // the first record whose visible fields hold the text, asking at each end of the table
    // whether to go on from the other end.
    void FindDialog1Find(QObject* sender);
    // Whether a field's text holds the find text under the running search's options.
    bool MatchFindText(const QString& text) const;
    // The same with the options given: only the first occurrence is judged; a whole word is
    // bounded by the text's ends or one of " ,;.!?()-".
    static bool MatchFindText(const QString& text, const QString& findText, TFindOptions options);
    // Position (from 1) of the extension in a list of "*.ext;" entries; 0 unless its first
    // occurrence is a whole entry.
    static int IsMediaExtension(const QString& extension, const QString& list);
    // A shortcut as a record (new, or the current one): caption, description and address
    // (InternetShortcut.h). A shortcut without an address changes nothing.
    void ImportInternetShortcut(const QString& path, bool asNewRecord);
    // Every internet shortcut of a folder as a new record, in name order.
    void ImportFolderShortcuts(const QString& folder);

    // The question asked when the chosen file is an internet shortcut.
    static const QString ShortcutQuestion;

protected:
    // ---- what each program does its own way
    // A stored PICTURE or FILE value as a path to use.
    virtual QString ResolveStoredPath(const QString& stored) const = 0;
    // Opens the current record's file (Enter in the grid, a double click).
    virtual void OpenRecordFile() = 0;
    // Whether to go on searching from the other end of the table.
    virtual bool AskSearchFromStart(const QString& findText) = 0;
    // Whether to import every shortcut of the chosen one's folder.
    virtual bool AskImportFolder() = 0;
    // A file chosen with a picker as the record stores it.
    virtual QString StoredPathOf(const QString& chosen) const { return chosen; }

    // ---- pieces of the window's own handlers
    // The colour of the preview's caption.
    void SetLabel9Color(TColor color);
    // Applies the chosen group: the table reopened with the group's filter, or unfiltered.
    void ApplyGroup();
    // The current record's text of a field ("" without a record).
    QString RecordText(TField* field) const;
    // The extension of a stored or native path, lower-cased, without its dot.
    static QString ExtensionOf(const QString& path);
    // The preview: a bitmap (false when the file holds none; the preview then stays), an
    // icon, any other file (with the media buttons when it is a media file), the default
    // picture.
    bool PreviewBitmapFile(const QString& path);
    void PreviewIconFile(const QString& path);
    void PreviewOtherFile(const QString& caption, const QString& pictureText);
    // The preview chosen by the file's extension; `otherCaption` is shown for any other file.
    void PreviewFile(const QString& path, const QString& otherCaption);
    void PreviewDefaultPicture();
    // The first steps of a click on the preview: stops a playing media file; false when the
    // click ends there (nothing shown, or the click stopped this very file).
    bool PreviewClickGoesOn(const QString& path);
    // A stored path as the media player is given it.
    static QString MediaPath(const QString& path);
    // Plays a media file of the preview.
    void PlayMediaFile(const QString& path);
    // The picture window on a bitmap file; false when the file holds no picture.
    bool ShowPictureWindow(const QString& path, bool modal);
    // Runs the open dialog with the given filter entry; the chosen file, or none.
    std::optional<QString> ChooseFile(int filterIndex);
    // A path chosen for an edit's field: the record goes into edit mode and the field takes
    // it; the user posts later.
    void SetPickedPath(TDBEdit* edit, const QString& path);
    // A chosen internet shortcut: the whole folder or just this one.
    void ImportChosenShortcut(const QString& path);
    // The pickers beside the PICTURE and FILE edits: the open dialog on bitmaps, or on
    // programs, and the chosen file into the record; an internet shortcut chosen for FILE is
    // imported instead.
    void SelectPictureFile();
    void SelectRecordFile();
    // Shows the find dialog at the top left of the screen when the table is open.
    void ShowFindDialog();
    // Closes the find dialog and the picture window.
    void CloseCompanions();

private:
    // The entry of Groups whose records the table holds.
    int shownGroup_ = -1;
    TFindOptions findOptions_ = frDown;
    QString findText_;
};
