#pragma once

#include "framework/forms/Application.h"
#include "platform/Volumes.h"

#include <QFileInfo>
#include <QFlags>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QTreeWidget>
#include <memory>
#include <vector>

enum TCharCase { fbNormal, fbUpperCase, fbLowerCase };

enum TViewOption {
    fbShowIcons = 0x01,
    fbShowFolders = 0x02,
    fbShowSize = 0x04,
    fbShowType = 0x08,
    fbShowTime = 0x10,
    fbOpenFile = 0x20,
    fbChangeDir = 0x40,
};
Q_DECLARE_FLAGS(TViewOptions, TViewOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TViewOptions)
inline constexpr TViewOptions AllViewOptions = TViewOptions(0x7f);

enum TFileAttr {
    ftReadOnly = 0x01,
    ftHidden = 0x02,
    ftSystem = 0x04,
    ftVolumeID = 0x08,
    ftDirectory = 0x10,
    ftArchive = 0x20,
    ftNormal = 0x40,
};
Q_DECLARE_FLAGS(TFileType, TFileAttr)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFileType)

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

// What the desktop knows about files: icons, type names and the mounted volumes. The list
// asks through this so that tests see the same answers on every machine.
class IShellFileInfo {
public:
    virtual ~IShellFileInfo() = default;
    virtual QIcon FileIcon(const QFileInfo& info) = 0;
    virtual QIcon DriveIcon(const QString& root) = 0;
    // The desktop's name for the kind of file; empty when it has none of its own.
    virtual QString TypeName(const QFileInfo& info) = 0;
    virtual std::vector<Volumes::MountEntry> MountTable() = 0;
};

// The desktop's icon theme and MIME database, and this machine's mount table.
std::unique_ptr<IShellFileInfo> DesktopShellInfo();

// A list of one folder's contents: folders first (shown with a leading blank), then the files
// that match the masks; or the list of drives (volumes). Double-clicks move between folders
// and open files through the shell; editing a caption in place renames the file.
//
// Directory and FileName are native paths. A drive is the root folder of a volume, and the
// drive list shows the volumes' roots.
class TFileItem;
class TFileBox : public QTreeWidget {
    Q_OBJECT
public:
    explicit TFileBox(QWidget* owner, std::unique_ptr<IShellFileInfo> shellInfo = nullptr);
    ~TFileBox() override;

    TCharCase CharCase() const { return charCase_; }
    void SetCharCase(TCharCase value);
    const QString& Directory() const { return directory_; }
    void SetDirectory(const QString& value);
    // The root of the volume that holds Directory; empty while the drives are listed.
    QString Drive() const;
    // An empty root lists the drives; another one shows that root.
    void SetDrive(const QString& root);
    const QString& FileName() const { return fileName_; }
    const QString& FileMask() const { return fileMask_; }
    void SetFileMask(const QString& value);
    TViewOptions ViewOptions() const { return viewOptions_; }
    void SetViewOptions(TViewOptions value);
    TFileType FileType() const { return fileType_; }
    void SetFileType(TFileType value);
    QLineEdit* FileEdit() const { return fileEdit_; }
    void SetFileEdit(QLineEdit* edit);
    int FileCount() const { return fileCount_; }
    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle value);
    bool ShowColumnHeaders() const { return showHeaders_; }
    void SetShowColumnHeaders(bool show);
    // Captions cannot be edited in place when set.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);

    TNotifyEvent OnChangeDir;
    TNotifyEvent OnChange;
    TNotifyEvent OnDblClick;

    void ReadDirectory();
    void ShowDrives();
    // What a double-click on the selected item does.
    void DblClick();
    // Renames the item's file to `newCaption` through the shell, which says why when it cannot;
    // on failure `newCaption` becomes the old caption.
    void RenameItem(QTreeWidgetItem* item, QString& newCaption);

    // The first selected item, or none.
    QTreeWidgetItem* Selected() const;
    // The entry's own name (a folder's without its blank, a drive's root), whatever the case
    // of its caption.
    static QString EntryName(const QTreeWidgetItem* item);

    const QStringList& Masks() const { return masks_; }
    // Whether the lower-cased `name` matches any of the lower-cased masks.
    static bool MatchMask(const QStringList& masks, const QString& name);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class TFileItem;

    enum class EntryKind { File, Folder, Drive };

    void updateColumns();
    // Reads the list again when it has been read before; else the first showing reads it.
    void reread();
    // The columns follow the view at the next reading.
    void refreshColumns();
    void addFileItem(const QString& folder, const QFileInfo& entry, const QString& name,
                     bool isFolder);
    bool passesAttributes(const QFileInfo& entry) const;
    TFileItem* newItem(const QString& caption, EntryKind kind, const QString& name);
    QString withSeparator(const QString& folder) const;
    QString volumeOf(const QString& path) const;
    bool isVolumeRoot(const QString& folder);
    // Fires OnChangeDir; a folder change from its handler is ignored.
    void tellDirChanged();
    void selectionMoved();
    void itemEdited(QTreeWidgetItem* item, int column);

    // Shared with the entries, which look their icons up when they are first shown.
    std::shared_ptr<IShellFileInfo> shellInfo_;
    TCharCase charCase_ = fbNormal;
    QString directory_;
    // The folder whose entries are listed (the working folder while Directory is still empty);
    // empty while the drives are listed.
    QString shownFolder_;
    QString fileName_;
    QString fileMask_;
    QStringList masks_;
    TViewOptions viewOptions_;
    TFileType fileType_;
    TViewStyle viewStyle_ = vsReport;
    QPointer<QLineEdit> fileEdit_;
    int fileCount_ = 0;
    bool readOnly_ = false;
    bool showHeaders_ = true;
    bool changingDir_ = false;
    bool listed_ = false;
    bool columnsStale_ = true;
    bool filling_ = false;
    // Icons are looked up only once the list has been painted: until then rows show blankIcon.
    bool iconsDue_ = false;
    bool iconsArmed_ = false;
    QIcon blankIcon() const;
    mutable QIcon blankIcon_;
    int sizeColumn_ = -1, typeColumn_ = -1, timeColumn_ = -1;
};
