#include "platform/ui/FolderBrowser.h"

#include "platform/Volumes.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kReadRole = Qt::UserRole + 1;

QString pathOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPathRole).toString() : QString();
}

// Where `path` lies at or below `folder`.
bool within(const QString& path, const QString& folder) {
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

TFolderBrowser::TFolderBrowser(QWidget* owner, TRoot root, const QString& title, bool showStatus)
    : QDialog(owner) {
    setWindowTitle(QStringLiteral("Browse for Folder"));
    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(title, this);
    title_->setTextFormat(Qt::PlainText);
    title_->setWordWrap(true);
    layout->addWidget(title_);
    status_ = new QLabel(this);
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    status_->setVisible(showStatus);
    layout->addWidget(status_);
    tree_ = new QTreeWidget(this);
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    layout->addWidget(tree_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    QTreeWidgetItem* top = nullptr;
    if (root == Computer) {
        top = AddFolder(nullptr, QStringLiteral("Computer"), QString());
        top->setIcon(0, style()->standardIcon(QStyle::SP_ComputerIcon));
        // The same volumes as the file list's drives.
        for (const QString& volume : Volumes::BrowsableVolumes(Volumes::MountTable()))
            AddFolder(top, volume, volume);
        top->setData(0, kReadRole, true);
    } else {
        top = AddFolder(nullptr, QStringLiteral("Home"), QDir::homePath());
    }
    top->setExpanded(true);
    Populate(top);
    tree_->setCurrentItem(top);
    ok_->setEnabled(!pathOf(top).isEmpty());

    connect(tree_, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { Populate(item); });
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { CurrentChanged(item); });
    resize(340, 420);
}

QTreeWidgetItem* TFolderBrowser::AddFolder(QTreeWidgetItem* parent, const QString& label,
                                           const QString& path) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    item->setText(0, label);
    item->setData(0, kPathRole, path);
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void TFolderBrowser::Populate(QTreeWidgetItem* item) {
    if (!item || item->data(0, kReadRole).toBool())
        return;
    item->setData(0, kReadRole, true);
    const QDir dir(pathOf(item));
    const QFileInfoList folders = dir.entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& folder : folders)
        AddFolder(item, folder.fileName(), dir.filePath(folder.fileName()));
    if (item->childCount() == 0)
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* TFolderBrowser::Child(QTreeWidgetItem* parent, const QString& name) {
    Populate(parent);
    const QString path = QDir(pathOf(parent)).filePath(name);
    for (int i = 0; i < parent->childCount(); ++i)
        if (pathOf(parent->child(i)) == path)
            return parent->child(i);
    // A hidden folder is not listed, but it can be chosen by its path.
    if (!QFileInfo(path).isDir())
        return nullptr;
    return AddFolder(parent, name, path);
}

void TFolderBrowser::SetSelection(const QString& path) {
    if (path.isEmpty())
        return;
    const QString target = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    // The deepest item under the root that holds the folder, then down from there.
    QTreeWidgetItem* top = tree_->topLevelItem(0);
    QTreeWidgetItem* start = nullptr;
    if (pathOf(top).isEmpty()) {
        for (int i = 0; i < top->childCount(); ++i) {
            QTreeWidgetItem* volume = top->child(i);
            if (within(target, pathOf(volume)) &&
                (!start || pathOf(volume).size() > pathOf(start).size()))
                start = volume;
        }
    } else if (within(target, pathOf(top))) {
        start = top;
    }
    if (!start)
        return;
    QTreeWidgetItem* item = start;
    const QString rest = target.mid(pathOf(start).size());
    for (const QString& name : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        item = Child(item, name);
        if (!item)
            return;
    }
    for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
        up->setExpanded(true);
    tree_->setCurrentItem(item);
    tree_->scrollToItem(item);
}

void TFolderBrowser::SetStatusText(const QString& text) {
    status_->setText(text);
}

QString TFolderBrowser::Title() const {
    return title_->text();
}

QString TFolderBrowser::StatusText() const {
    return status_->text();
}

QString TFolderBrowser::SelectedPath() const {
    return pathOf(tree_->currentItem());
}

void TFolderBrowser::CurrentChanged(QTreeWidgetItem* item) {
    const QString path = pathOf(item);
    ok_->setEnabled(!path.isEmpty());
    emit SelectionChanged(path);
}

void TFolderBrowser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // Told once the dialog runs, as the shell's browser sends its first message.
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit Opened();
            opened_ = true;
        },
        Qt::QueuedConnection);
}
