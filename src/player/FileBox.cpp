#include "player/FileBox.h"

#include "platform/Files.h"
#include "platform/Shell.h"
#include "platform/ui/ShellWindows.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace {

enum Role { NameRole = Qt::UserRole, KindRole, CaptionRole };

constexpr int NameWidth = 125, SizeWidth = 60, TypeWidth = 125, TimeWidth = 100;

class TDesktopShellInfo : public IShellFileInfo {
public:
    QIcon FileIcon(const QFileInfo& info) override { return icons_.icon(info); }
    QIcon DriveIcon(const QString& /*root*/) override {
        return icons_.icon(QAbstractFileIconProvider::Drive);
    }
    QString TypeName(const QFileInfo& info) override {
        // By name only, as the desktop's file managers label files; the contents stay unread.
        const QMimeType type = mime_.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
        if (!type.isValid() || type.isDefault())
            return {};
        return type.comment();
    }
    std::vector<Volumes::MountEntry> MountTable() override { return Volumes::MountTable(); }

private:
    QFileIconProvider icons_;
    QMimeDatabase mime_;
};

bool matchOne(const QString& mask, const QString& name) {
    if (mask.isEmpty())
        return false;
    const qsizetype maskDot = mask.indexOf('.');
    const qsizetype n = name.size();
    qsizetype i = 0, j = 0;
    while (i < mask.size()) {
        const QChar c = mask[i];
        if (c == '*') {
            if (maskDot < 0 || i > maskDot)
                return true;
            const qsizetype nameDot = name.indexOf('.');
            if (nameDot < 0)
                return false;
            i = maskDot;
            j = nameDot;
            continue;
        }
        if (c == '?') {
            if (j > n)
                return false;
        } else if (j >= n || name[j] != c) {
            return false;
        }
        ++i;
        ++j;
    }
    return j >= n;
}

QString dateTimeText(const QDateTime& stamp) {
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove('t'); // the time zone is no part of a file's time
    return locale.toString(stamp.date(), QLocale::ShortFormat) + ' ' +
           locale.toString(stamp.time(), timeFormat.trimmed());
}

// The lower-cased extension with its point followed by " File", as a type for files the
// desktop has no name for; nothing for a name without extension or ending in a point.
QString fallbackTypeName(const QString& name) {
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0 || dot == name.size() - 1)
        return {};
    return name.mid(dot).toLower() + QStringLiteral(" File");
}

// The hourglass while a list on screen is read; one that nobody sees needs none, and the
// window system's cursor need not be loaded for it.
struct CursorGuard {
    explicit CursorGuard(const QWidget* list) : shown(list->isVisible()) {
        if (shown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~CursorGuard() {
        if (shown)
            QApplication::restoreOverrideCursor();
    }
    const bool shown;
};

} // namespace

// Sorts by caption, ignoring case, so the leading blank puts folders and drives first.
//
// Its icon is looked up the first time a view asks for it: only the rows that are shown cost
// a look-up. Until the list has been painted once it shows an empty space of the icon's size
// instead, so that the window's first appearance waits for no icon theme.
class TFileItem : public QTreeWidgetItem {
public:
    bool operator<(const QTreeWidgetItem& other) const override {
        return text(0).compare(other.text(0), Qt::CaseInsensitive) < 0;
    }
    void SetIconSource(std::shared_ptr<IShellFileInfo> shell, const QFileInfo& shown, bool drive) {
        shell_ = std::move(shell);
        shown_ = shown;
        drive_ = drive;
    }
    QVariant data(int column, int role) const override {
        if (column != 0 || role != Qt::DecorationRole || !shell_)
            return QTreeWidgetItem::data(column, role);
        if (!iconLooked_) {
            const auto* box = static_cast<const TFileBox*>(treeWidget());
            if (box && !box->iconsDue_)
                return box->blankIcon();
            icon_ = drive_ ? shell_->DriveIcon(shown_.filePath()) : shell_->FileIcon(shown_);
            iconLooked_ = true;
        }
        return icon_;
    }

private:
    std::shared_ptr<IShellFileInfo> shell_;
    QFileInfo shown_;
    bool drive_ = false;
    mutable bool iconLooked_ = false;
    mutable QIcon icon_;
};

std::unique_ptr<IShellFileInfo> DesktopShellInfo() {
    return std::make_unique<TDesktopShellInfo>();
}

bool TFileBox::MatchMask(const QStringList& masks, const QString& name) {
    return std::any_of(masks.begin(), masks.end(),
                       [&](const QString& mask) { return matchOne(mask, name); });
}

TFileBox::TFileBox(QWidget* owner, std::unique_ptr<IShellFileInfo> shellInfo)
    : QTreeWidget(owner), shellInfo_(shellInfo ? std::move(shellInfo) : DesktopShellInfo()),
      fileMask_(QStringLiteral("*.*")), masks_{QStringLiteral("*.*")}, viewOptions_(AllViewOptions),
      fileType_(ftNormal) {
    resize(430, height());
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &TFileBox::selectionMoved);
    connect(this, &QTreeWidget::itemChanged, this, &TFileBox::itemEdited);
    // Columns and header are made, and the list read, when it is first shown (unless a
    // folder is set before): what its owner sets up until then costs nothing.
    setHeaderHidden(true);
}

TFileBox::~TFileBox() = default;

void TFileBox::showEvent(QShowEvent* event) {
    QTreeWidget::showEvent(event);
    if (!listed_)
        ReadDirectory();
}

void TFileBox::paintEvent(QPaintEvent* event) {
    QTreeWidget::paintEvent(event);
    if (iconsDue_ || iconsArmed_)
        return;
    // The rows are on screen now; their icons follow as soon as the first frame is out.
    iconsArmed_ = true;
    QTimer::singleShot(0, this, [this] {
        iconsDue_ = true;
        viewport()->update();
    });
}

QIcon TFileBox::blankIcon() const {
    if (blankIcon_.isNull()) {
        QPixmap blank(32, 32);
        blank.fill(Qt::transparent);
        blankIcon_ = QIcon(blank);
    }
    return blankIcon_;
}

void TFileBox::reread() {
    if (listed_)
        ReadDirectory();
}

void TFileBox::refreshColumns() {
    columnsStale_ = true;
    reread();
}

void TFileBox::SetCharCase(TCharCase value) {
    if (value == charCase_)
        return;
    charCase_ = value;
    reread();
}

void TFileBox::SetFileType(TFileType value) {
    fileType_ = value & ~TFileType(ftVolumeID | ftDirectory);
    reread();
}

void TFileBox::SetViewOptions(TViewOptions value) {
    if (value == viewOptions_)
        return;
    viewOptions_ = value;
    refreshColumns();
}

void TFileBox::SetViewStyle(TViewStyle value) {
    if (value == viewStyle_)
        return;
    viewStyle_ = value;
    refreshColumns();
}

void TFileBox::SetReadOnly(bool value) {
    readOnly_ = value;
    setEditTriggers(value ? QAbstractItemView::NoEditTriggers
                          : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
}

void TFileBox::SetFileEdit(QLineEdit* edit) {
    if (fileEdit_)
        disconnect(fileEdit_, nullptr, this, nullptr);
    fileEdit_ = edit;
    if (edit)
        connect(edit, &QLineEdit::returnPressed, this, [this] {
            if (fileEdit_)
                SetFileMask(fileEdit_->text());
        });
}

QString TFileBox::withSeparator(const QString& folder) const {
    if (folder.isEmpty() || folder.endsWith('/'))
        return folder;
    return folder + '/';
}

QString TFileBox::volumeOf(const QString& path) const {
    QString best = QStringLiteral("/");
    for (const QString& root : Volumes::BrowsableVolumes(shellInfo_->MountTable()))
        if ((path == root || path.startsWith(withSeparator(root))) && root.size() > best.size())
            best = root;
    return best;
}

QString TFileBox::Drive() const {
    return directory_.isEmpty() ? QString() : volumeOf(directory_);
}

bool TFileBox::isVolumeRoot(const QString& folder) {
    return folder == QLatin1String("/") ||
           (!folder.isEmpty() &&
            Volumes::BrowsableVolumes(shellInfo_->MountTable()).contains(folder));
}

void TFileBox::SetDirectory(const QString& value) {
    if (changingDir_ || value == directory_)
        return;
    if (value.isEmpty()) {
        directory_.clear();
        return;
    }
    QString path = value;
    // A Windows path that starts at the root ("\docs") starts at the current volume's root.
    if (path.startsWith('\\') && !path.startsWith(QLatin1String("\\\\")))
        path = withSeparator(volumeOf(QDir::currentPath())) + path.mid(1);
    path = Files::ExistingOrNativePath(path);
    directory_ = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    tellDirChanged();
    ReadDirectory();
    // Another folder is shown from its top.
    scrollToTop();
}

void TFileBox::tellDirChanged() {
    changingDir_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{changingDir_};
    if (OnChangeDir)
        OnChangeDir(this);
}

void TFileBox::SetDrive(const QString& root) {
    if (root == Drive())
        return;
    if (root.isEmpty())
        ShowDrives();
    else
        SetDirectory(root);
}

void TFileBox::SetFileMask(const QString& value) {
    fileMask_ = value;
    masks_.clear();
    QString folder;
    if (value.isEmpty())
        masks_ << QStringLiteral("*.*");
    for (const QString& whole : value.isEmpty() ? QStringList() : value.split(';')) {
        const QString piece = whole.left(255);
        const qsizetype cut = std::max(piece.lastIndexOf('/'), piece.lastIndexOf('\\'));
        folder = piece.left(cut + 1);
        masks_ << piece.mid(cut + 1).toLower();
    }
    const QString before = directory_;
    if (!folder.isEmpty())
        SetDirectory(folder);
    // The new masks apply also when the folder stays the same.
    if (folder.isEmpty() || directory_ == before)
        reread();
}

void TFileBox::updateColumns() {
    columnsStale_ = false;
    const bool report = viewStyle_ == vsReport;
    const int iconExtent = viewStyle_ == vsIcon ? 32 : 16;
    setIconSize(viewOptions_ & fbShowIcons ? QSize(iconExtent, iconExtent) : QSize(0, 0));
    sizeColumn_ = typeColumn_ = timeColumn_ = -1;
    QStringList labels{QStringLiteral("Name")};
    QList<int> widths{NameWidth};
    if (report) {
        if (viewOptions_ & fbShowSize) {
            sizeColumn_ = int(labels.size());
            labels << QStringLiteral("Size");
            widths << SizeWidth;
        }
        if (viewOptions_ & fbShowType) {
            typeColumn_ = int(labels.size());
            labels << QStringLiteral("Type");
            widths << TypeWidth;
        }
        if (viewOptions_ & fbShowTime) {
            timeColumn_ = int(labels.size());
            labels << QStringLiteral("Date Time");
            widths << TimeWidth;
        }
    }
    setColumnCount(int(labels.size()));
    setHeaderLabels(labels);
    for (int c = 0; c < labels.size(); ++c)
        setColumnWidth(c, widths[c]);
    if (sizeColumn_ >= 0)
        headerItem()->setTextAlignment(sizeColumn_, Qt::AlignRight | Qt::AlignVCenter);
    setHeaderHidden(!report || !showHeaders_);
}

void TFileBox::SetShowColumnHeaders(bool show) {
    showHeaders_ = show;
    if (!columnsStale_)
        setHeaderHidden(viewStyle_ != vsReport || !show);
}

TFileItem* TFileBox::newItem(const QString& caption, EntryKind kind, const QString& name) {
    auto* item = new TFileItem;
    item->setText(0, caption);
    item->setData(0, NameRole, name);
    item->setData(0, KindRole, int(kind));
    item->setData(0, CaptionRole, caption);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (kind != EntryKind::Drive && name != QLatin1String(".."))
        flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    return item;
}

void TFileBox::ReadDirectory() {
    CursorGuard cursor(this);
    fileCount_ = 0;
    filling_ = true;
    setUpdatesEnabled(false);
    struct Resume {
        TFileBox* box;
        ~Resume() {
            box->filling_ = false;
            box->setUpdatesEnabled(true);
        }
    } resume{this};
    if (columnsStale_)
        updateColumns();
    clear();
    listed_ = true;
    shownFolder_ = QDir::cleanPath(directory_.isEmpty() ? QDir::currentPath() : directory_);
    const QString folder = withSeparator(shownFolder_);
    const bool folders = viewOptions_ & fbShowFolders;
    // A folder that is not there, names a file or cannot be read has no entries to show.
    const QFileInfo here(shownFolder_);
    const bool readable = here.isDir() && here.isReadable();
    if (folders) {
        // The system lists ".." in every folder but a root; a root gets one that leads to
        // the drives.
        if (isVolumeRoot(shownFolder_))
            addFileItem(folder, QFileInfo(), QStringLiteral(".."), true);
        else if (readable)
            addFileItem(folder, QFileInfo(folder + QStringLiteral("..")), QStringLiteral(".."),
                        true);
    }
    if (readable) {
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        for (const QFileInfo& entry : entries) {
            if (entry.isDir() && !folders)
                continue;
            addFileItem(folder, entry, entry.fileName(), entry.isDir());
        }
    }
    sortItems(0, Qt::AscendingOrder);
}

bool TFileBox::passesAttributes(const QFileInfo& entry) const {
    if (fileType_ & ftNormal)
        return true;
    if (!entry.exists() && entry.filePath().isEmpty())
        return false; // the root's "..": a folder and nothing else
    const bool archive = entry.isFile();
    const bool readOnly = !entry.isWritable();
    const bool hidden = entry.fileName().startsWith('.') && entry.fileName() != QLatin1String("..");
    const bool system = !entry.isFile() && !entry.isDir();
    return (archive && (fileType_ & ftArchive)) || (readOnly && (fileType_ & ftReadOnly)) ||
           (hidden && (fileType_ & ftHidden)) || (system && (fileType_ & ftSystem));
}

void TFileBox::addFileItem(const QString& folder, const QFileInfo& entry, const QString& name,
                           bool isFolder) {
    // The root's ".." has no entry of its own: a folder without attributes, sized 0, dated now.
    const bool synthetic = entry.filePath().isEmpty();
    if (!passesAttributes(entry))
        return;
    if (!MatchMask(masks_, name.toLower()) && !(isFolder && (viewOptions_ & fbShowFolders)))
        return;
    QString caption = isFolder ? ' ' + name : name;
    if (charCase_ == fbUpperCase)
        caption = caption.toUpper();
    else if (charCase_ == fbLowerCase)
        caption = caption.toLower();
    TFileItem* item = newItem(caption, isFolder ? EntryKind::Folder : EntryKind::File, name);

    // ".." shows the icon and type of the folder itself.
    const QFileInfo shown(name == QLatin1String("..") ? folder : folder + name);
    if (viewOptions_ & fbShowIcons)
        item->SetIconSource(shellInfo_, shown, false);
    if (sizeColumn_ >= 0) {
        item->setText(sizeColumn_, QString::number(isFolder ? 0 : entry.size()));
        item->setTextAlignment(sizeColumn_, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (typeColumn_ >= 0) {
        QString type = shellInfo_->TypeName(shown);
        if (type.isEmpty())
            type = fallbackTypeName(name == QLatin1String("..") ? QString() : name);
        item->setText(typeColumn_, type);
    }
    if (timeColumn_ >= 0) {
        const QDateTime stamp = synthetic ? QDateTime() : entry.lastModified();
        item->setText(timeColumn_,
                      dateTimeText(stamp.isValid() ? stamp : QDateTime::currentDateTime()));
    }
    addTopLevelItem(item);
    ++fileCount_;
}

void TFileBox::ShowDrives() {
    if (!(viewOptions_ & fbShowFolders))
        return;
    if (columnsStale_)
        updateColumns();
    filling_ = true;
    clear();
    listed_ = true;
    shownFolder_.clear();
    for (const QString& root : Volumes::BrowsableVolumes(shellInfo_->MountTable())) {
        TFileItem* item = newItem(' ' + root, EntryKind::Drive, root);
        if (viewOptions_ & fbShowIcons)
            item->SetIconSource(shellInfo_, QFileInfo(root), true);
        addTopLevelItem(item);
    }
    sortItems(0, Qt::AscendingOrder);
    filling_ = false;
    // What shows the folder (a header above the list) is told that none is shown now.
    const bool wasFolder = !directory_.isEmpty();
    directory_.clear();
    if (wasFolder)
        tellDirChanged();
    scrollToTop();
}

QTreeWidgetItem* TFileBox::Selected() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

QString TFileBox::EntryName(const QTreeWidgetItem* item) {
    return item ? item->data(0, NameRole).toString() : QString();
}

void TFileBox::selectionMoved() {
    QTreeWidgetItem* item = Selected();
    const bool file = item && EntryKind(item->data(0, KindRole).toInt()) == EntryKind::File;
    if (file)
        fileName_ = withSeparator(shownFolder_) + EntryName(item);
    if (fileEdit_)
        fileEdit_->setText(file ? item->text(0) : fileMask_);
    if (OnChange)
        OnChange(this);
}

void TFileBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    DblClick();
}

void TFileBox::DblClick() {
    QTreeWidgetItem* item = Selected();
    if (item && !item->text(0).isEmpty()) {
        const auto kind = EntryKind(item->data(0, KindRole).toInt());
        const QString name = EntryName(item);
        // A drive's name is its root; the other names lie in the folder shown.
        const QString path = kind == EntryKind::Drive ? name : withSeparator(shownFolder_) + name;
        if (kind != EntryKind::File && (viewOptions_ & fbChangeDir)) {
            if (name == QLatin1String("..") && isVolumeRoot(shownFolder_))
                ShowDrives();
            else
                SetDirectory(path);
            return;
        }
        if (viewOptions_ & fbOpenFile)
            ShellExecuteA(window(), QStringLiteral("open"), path, QString(), shownFolder_,
                          SW_SHOWNORMAL);
    }
    if (OnDblClick)
        OnDblClick(this);
}

void TFileBox::RenameItem(QTreeWidgetItem* item, QString& newCaption) {
    if (!item)
        return;
    const QString oldCaption = item->data(0, CaptionRole).toString();
    const auto kind = EntryKind(item->data(0, KindRole).toInt());
    const QString oldName = EntryName(item);
    // A folder's caption carries its blank; the folder's name does not.
    QString newName = newCaption;
    if (kind == EntryKind::Folder && newName.startsWith(' '))
        newName.remove(0, 1);
    bool renamed = false;
    if (kind != EntryKind::Drive && oldName != QLatin1String("..") && !newName.isEmpty()) {
        // The shell renames, as the Rename command has it do, and says why when it cannot. The
        // new name is one name, whatever it holds.
        SHFILEOPSTRUCTA op;
        op.hwnd = window();
        op.wFunc = FO_RENAME;
        op.pFrom = withSeparator(shownFolder_) + oldName + QChar(0) + QChar(0);
        op.pTo = withSeparator(shownFolder_) + newName + QChar(0) + QChar(0);
        renamed = SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
    }
    if (!renamed) {
        newCaption = oldCaption;
        return;
    }
    if (kind == EntryKind::Folder)
        newCaption = ' ' + newName;
    const bool wasFilling = filling_;
    filling_ = true; // our own bookkeeping is no edit
    item->setData(0, NameRole, newName);
    item->setData(0, CaptionRole, newCaption);
    filling_ = wasFilling;
}

void TFileBox::itemEdited(QTreeWidgetItem* item, int column) {
    if (filling_ || column != 0 || !item)
        return;
    QString caption = item->text(0);
    if (caption == item->data(0, CaptionRole).toString())
        return;
    // The edit committed again while the shell's box is up is this edit still.
    filling_ = true;
    RenameItem(item, caption);
    item->setText(0, caption);
    filling_ = false;
}
