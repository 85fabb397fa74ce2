#include "editor/FileListBox.h"

#include "framework/data/Exceptions.h"
#include "framework/forms/Controls.h"
#include "platform/FileCopy.h"
#include "platform/Files.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMouseEvent>

namespace Orvello {

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
}

void TFileListBox::SetDirectory(const QString& folder) {
    if (!Files::DirectoryExists(folder) || !Files::SetCurrentDir(folder)) {
        directory_.clear();
        clear();
        throw EInOutError(QStringLiteral("The folder \"%1\" does not exist.").arg(folder));
    }
    directory_ = folder;
    Update();
}

void TFileListBox::Update() {
    clear();
    if (directory_.isEmpty())
        return;
    const QString folder = Files::NativePath(directory_);
    QStringList names;
    for (const QString& name : Files::FindFiles(folder, Mask))
        if (QFileInfo(folder + QLatin1Char('/') + name).isFile())
            names << name;
    names.sort(Qt::CaseInsensitive);
    const QFileIconProvider icons;
    for (const QString& name : names)
        addItem(new QListWidgetItem(icons.icon(QFileInfo(folder + QLatin1Char('/') + name)), name));
}

QStringList TFileListBox::Items() const {
    QStringList names;
    for (int i = 0; i < count(); ++i)
        names << item(i)->text();
    return names;
}

QString TFileListBox::FileName() const {
    const QListWidgetItem* current = currentItem();
    if (!current || directory_.isEmpty())
        return QString();
    QString folder = directory_;
    if (!Files::IsSeparator(folder.back()))
        folder += QLatin1Char('/');
    return folder + current->text();
}

void TFileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (itemAt(event->position().toPoint()))
        FireControlEvent(this, OnDblClick);
}

} // namespace Orvello
