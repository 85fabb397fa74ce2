#include "framework/forms/OpenDialog.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QSplitter>
#include <QTreeView>
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

std::vector<TFileFilterEntry> FileFilterEntries(const QString& filter) {
    std::vector<TFileFilterEntry> entries;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList masks;
        for (const QString& mask : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            masks << FileDialogMask(mask.trimmed());
        entries.push_back({parts[i], masks});
    }
    return entries;
}

QStringList FileDialogNameFilters(const QString& filter) {
    QStringList result;
    for (const TFileFilterEntry& e : FileFilterEntries(filter))
        result << e.Text + QStringLiteral(" (") + e.Masks.join(QLatin1Char(' ')) + QLatin1Char(')');
    return result;
}

void PrepareFileDialog(QFileDialog& dialog, const QString& filter, int index) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // At its own size the dialog cuts the names of the places and the columns of the files.
    dialog.resize(dialog.sizeHint().expandedTo(QSize(780, 460)));
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({150, dialog.width() - 150});
    if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QString date =
            QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
        files->header()->resizeSection(3, files->fontMetrics().horizontalAdvance(date) + 24);
    }
    // The dialog takes the masks from the name filter's last brackets and would show them
    // again after the entry's text.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = FileDialogNameFilters(filter);
    dialog.setNameFilters(filters);
    if (index >= 1 && index <= filters.size())
        dialog.selectNameFilter(filters[index - 1]);
}

int FileFilterIndexOf(const QString& filter, const QString& nameFilter) {
    // Without its masks shown the dialog reports an entry by the text it shows.
    const QStringList filters = FileDialogNameFilters(filter);
    const std::vector<TFileFilterEntry> entries = FileFilterEntries(filter);
    for (qsizetype i = 0; i < filters.size(); ++i)
        if (nameFilter == filters[i] || nameFilter == entries[size_t(i)].Text.simplified())
            return int(i) + 1;
    return 0;
}

bool TOpenDialog::Execute(QWidget* owner) {
    if (hook())
        return hook()(*this);
    QFileDialog dialog(owner ? owner : QApplication::activeWindow(), Title);
    PrepareFileDialog(dialog, Filter, FilterIndex);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((Options & ofFileMustExist) ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
    if (!InitialDir.isEmpty())
        dialog.setDirectory(InitialDir);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().first();
    if (const int chosen = FileFilterIndexOf(Filter, dialog.selectedNameFilter()))
        FilterIndex = chosen;
    return true;
}

TOpenDialog::THook TOpenDialog::SetHook(THook h) {
    return std::exchange(hook(), std::move(h));
}
