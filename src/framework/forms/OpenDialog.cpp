#include "framework/forms/OpenDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <utility>

namespace {

TOpenDialog::THook& hook() {
    static TOpenDialog::THook h;
    return h;
}

// "*.*" means every file, as on the system the masks come from.
QString FileDialogMask(const QString& mask) {
    return mask == QLatin1String("*.*") ? QStringLiteral("*") : mask;
}

} // namespace

QStringList FileDialogNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList masks;
        for (const QString& mask : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            masks << FileDialogMask(mask.trimmed());
        result << parts[i] + " (" + masks.join(QLatin1Char(' ')) + ")";
    }
    return result;
}

bool TOpenDialog::Execute(QWidget* owner) {
    if (hook())
        return hook()(*this);
    QFileDialog dialog(owner ? owner : QApplication::activeWindow(), Title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((Options & ofFileMustExist) ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
    const QStringList filters = FileDialogNameFilters(Filter);
    dialog.setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[FilterIndex - 1]);
    if (!InitialDir.isEmpty())
        dialog.setDirectory(InitialDir);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().first();
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        FilterIndex = int(chosen) + 1;
    return true;
}

TOpenDialog::THook TOpenDialog::SetHook(THook h) {
    return std::exchange(hook(), std::move(h));
}
