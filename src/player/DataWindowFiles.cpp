#include "player/DataWindow.h"

#include "framework/forms/InputBox.h"
#include "platform/Files.h"
#include "platform/ui/ShellWindows.h"
#include "player/PathDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

bool TData::ShellFileOperation(const QString& file, const QString& caption, int operation) {
    if (file.isEmpty() || file.contains(QLatin1String("//")))
        return false;
    const QFileInfo source(Files::ExistingOrNativePath(file));
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
        if (!PathDialog1)
            PathDialog1 = new TPathDialog(this);
        PathDialog1->OwnerHandle = QApplication::activeWindow();
        PathDialog1->Title = title;
        PathDialog1->SetDirectory(LastTargetFolder);
        if (!PathDialog1->Execute())
            return false;
        target = PathDialog1->Directory();
        LastTargetFolder = target;
        break;
    }
    case FO_RENAME: {
        const QString name = InputBox(Application().Title, title, QString());
        if (name.isEmpty())
            return false;
        // The shell keeps the new name in the file's own folder.
        target = source.dir().filePath(name);
        break;
    }
    case FO_DELETE:
        break;
    default:
        return false;
    }

    SHFILEOPSTRUCTA op;
    op.hwnd = QApplication::activeWindow();
    op.wFunc = unsigned(operation);
    op.pFrom = Shell::ToNameList(source.filePath());
    op.pTo = Shell::ToNameList(target);
    op.fFlags = FOF_ALLOWUNDO;
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}
