#include "player/DataWindow.h"

#include "framework/forms/InputBox.h"
#include "platform/Files.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <utility>

namespace {

TFolderChoice& folderHook() {
    static TFolderChoice hook;
    return hook;
}

std::optional<QString> chooseFolder(const QString& title, const QString& startFolder) {
    if (folderHook())
        return folderHook()(title, startFolder);
    const QString folder = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), title,
        startFolder.isEmpty() ? QDir::currentPath() : Files::NativePath(startFolder));
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

// A name typed for a rename stays a name in the file's own folder.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

} // namespace

bool TData::ShellFileOperation(const QString& file, const QString& caption, int operation) {
    if (file.isEmpty() || file.contains(QLatin1String("//")))
        return false;
    const QFileInfo source(Files::NativePath(file));
    if (!source.isFile())
        return false;
    const QString title =
        caption + QStringLiteral(" : ") + source.fileName() + QStringLiteral(" ...");

    QString target;
    switch (operation) {
    case FO_COPY:
    case FO_MOVE: {
        // The window stays on top otherwise and would cover the folder question.
        if (isVisible() && Application().MainForm() && Application().MainForm()->isActiveWindow())
            lower();
        const std::optional<QString> folder = chooseFolder(title, LastTargetFolder);
        if (!folder)
            return false;
        LastTargetFolder = *folder;
        target = QDir(Files::NativePath(*folder)).filePath(source.fileName());
        break;
    }
    case FO_RENAME: {
        const QString name = InputBox(Application().Title, title, QString());
        if (!isPlainName(name))
            return false;
        target = source.dir().filePath(name);
        break;
    }
    case FO_DELETE:
        // Into the trash, so that the user can take it back.
        return QFile::moveToTrash(source.filePath());
    default:
        return false;
    }

    // Nothing is ever overwritten, and a file is never copied or moved onto itself.
    if (QFileInfo::exists(target) ||
        QFileInfo(target).absoluteFilePath() == source.absoluteFilePath())
        return false;
    if (operation == FO_COPY)
        return QFile::copy(source.filePath(), target);
    return QFile::rename(source.filePath(), target);
}

TFolderChoice TData::SetFolderChoiceHook(TFolderChoice hook) {
    return std::exchange(folderHook(), std::move(hook));
}
