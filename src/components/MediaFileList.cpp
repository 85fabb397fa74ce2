// The file commands of the media player: the file list from a dialog or from a folder
// search, and copies of the current file.

#include "components/MediaFile.h"

#include "framework/forms/OpenDialog.h"
#include "framework/forms/WaitCursor.h"
#include "platform/Files.h"
#include "platform/ReplaceFile.h"
#include "platform/Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

TMediaFileDialogHook& dialogHook() {
    static TMediaFileDialogHook hook;
    return hook;
}

qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}

// A mask that ends in ".*" takes names without any extension too ("r*.*" lists "readme"), as
// on the system the masks come from.
QStringList scanFilters(const QString& mask) {
    if (mask.endsWith(QLatin1String(".*")) && mask.size() > 2)
        return {mask, mask.chopped(2)};
    return {mask};
}

bool runQtDialog(TMediaFileDialog& request) {
    QFileDialog dialog(nullptr, request.Title);
    PrepareFileDialog(dialog, request.Filter);
    if (request.Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.MultiSelect ? QFileDialog::ExistingFiles
                                               : QFileDialog::ExistingFile);
    }
    if (!request.FileName.isEmpty())
        dialog.selectFile(request.FileName);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.Files = dialog.selectedFiles();
    return true;
}

} // namespace

TMediaFileDialogHook TMediaFile::SetDialogHook(TMediaFileDialogHook hook) {
    return std::exchange(dialogHook(), std::move(hook));
}

bool TMediaFile::RunDialog(TMediaFileDialog& dialog) {
    const TMediaFileDialogHook hook = dialogHook();
    return hook ? hook(dialog) : runQtDialog(dialog);
}

void TMediaFile::Load() {
    TMediaFileDialog dialog;
    dialog.Title = Text(0, {QString()});
    dialog.Filter = Text(1, {mediaExtensions_});
    dialog.MultiSelect = Multi;
    if (!RunDialog(dialog) || dialog.Files.isEmpty())
        return;
    if (!Multi)
        dialog.Files = dialog.Files.mid(0, 1);
    Files = dialog.Files;
    fileName_ = Files.first();
    if (AutoOpen)
        Open();
}

void TMediaFile::Scan() {
    TWaitCursor cursor;
    error_ = false;
    QString folder;
    QString mask;
    if (!ScanMask.isEmpty()) {
        const qsizetype separator = lastSeparator(ScanMask);
        folder = ScanMask.left(separator + 1);
        mask = ScanMask.mid(separator + 1);
    } else {
        folder = Volumes::VolumeRoot(QDir::currentPath());
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        mask = QStringLiteral("*.*");
    }
    Files.clear();
    ScanDirectory(folder, mask);
    cursor.Restore();
    if (Files.isEmpty())
        return;
    fileName_ = Files.first();
    if (AutoOpen)
        Open();
}

bool TMediaFile::ScanDirectory(const QString& folder, const QString& mask) {
    if (scanDepth_ == 0)
        scanPath_.clear();
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : Files::NativePath(folder));
    // Only a folder that is already being searched further up would make the search endless;
    // one that a sibling link reached before is searched again under its own name.
    const QString canonical = dir.canonicalPath();
    if (!canonical.isEmpty() && scanPath_.contains(canonical))
        return true;
    struct Depth {
        TMediaFile& media;
        Depth(TMediaFile& m, const QString& canonical) : media(m) {
            ++media.scanDepth_;
            media.scanPath_.append(canonical);
        }
        ~Depth() {
            --media.scanDepth_;
            media.scanPath_.removeLast();
        }
    } depth(*this, canonical);

    const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
    if (!mask.isEmpty()) {
        const QFileInfoList files =
            dir.entryInfoList(scanFilters(mask), QDir::Files | QDir::Hidden, order);
        for (const QFileInfo& file : files) {
            // Listed as the file is spelt: another spelling names no file here.
            const QString name = file.fileName();
            if (ScanOptions.testFlag(MediaFiles)) {
                const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
                const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
                if (ExtInList(extension, mediaExtensions_) == 0)
                    continue;
            }
            if (Files.size() >= MaxFiles) {
                if (QGuiApplication::overrideCursor())
                    QGuiApplication::changeOverrideCursor(Qt::ArrowCursor);
                Fail(Text(6, {QString()}));
                return false;
            }
            Files << folder + name;
        }
    }
    if (!ScanOptions.testFlag(Recursive))
        return true;
    const QChar separator = folder.isEmpty() ? QLatin1Char('/') : folder.back();
    const QFileInfoList folders =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, order);
    for (const QFileInfo& sub : folders) {
        if (!ScanDirectory(folder + sub.fileName() + separator, mask))
            return false;
    }
    return true;
}

void TMediaFile::Save() {
    if (fileName_.isEmpty())
        return;
    const QString name = fileName_.mid(lastSeparator(fileName_) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    TMediaFileDialog dialog;
    dialog.Save = true;
    dialog.Title = Text(2, {name});
    dialog.Filter = Text(3, {extension, extension});
    dialog.FileName = name;
    if (!RunDialog(dialog) || dialog.Files.isEmpty())
        return;
    CopyMediaFile(fileName_, dialog.Files.first());
}

bool TMediaFile::CopyMediaFile(const QString& source, const QString& target) {
    error_ = false;
    // The copy takes the target's name only when it is whole, so that a failed copy never
    // stands as the target; a link there keeps leading to the copy, as when a file is saved.
    QFile in(Files::NativePath(source));
    const bool copied =
        in.open(QIODevice::ReadOnly) &&
        TReplaceFile::Write(
            Files::NativePath(target),
            [&in](QFile& out) {
                return Files::CopyContent(in, out, 1 << 16) == Files::TCopyResult::Copied;
            },
            TReplaceFile::Update);
    if (!copied)
        Fail(Text(5, {source}));
    return copied;
}
