#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QFileDialog;
class QWidget;

enum TOpenOption : unsigned {
    ofHideReadOnly = 0x1,
    ofPathMustExist = 0x2,
    ofFileMustExist = 0x4,
};
using TOpenOptions = unsigned;

// The framework's dialog that chooses one file to open. The filter is "text|masks|text|masks"
// (masks separated by ";"), FilterIndex counts its entries from 1; the dialog starts in
// InitialDir and answers the chosen file's full path in FileName and the entry in use in
// FilterIndex.
class TOpenDialog {
public:
    QString Title;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    QString FileName;
    TOpenOptions Options = ofHideReadOnly;

    // Shows the dialog modally; true when the user chose a file.
    bool Execute(QWidget* owner = nullptr);

    // Who answers the open dialogs instead of a person: tests and headless runs install one.
    // It gets the dialog as it would be shown and sets FileName (and FilterIndex) like the
    // user. Returns the previous hook.
    using THook = std::function<bool(TOpenDialog& dialog)>;
    static THook SetHook(THook hook);
};

// One entry of a "text|masks|..." filter: its text and its masks as a file dialog takes them.
struct TFileFilterEntry {
    QString Text;
    QStringList Masks;
};
std::vector<TFileFilterEntry> FileFilterEntries(const QString& filter);

// The entries of a "text|masks|..." filter as the name filters of a file dialog.
QStringList FileDialogNameFilters(const QString& filter);
// Makes a file dialog the framework's own (not the desktop's), with room for its columns, and
// gives it the entries of a filter as its name filters with entry `index` (counted from 1)
// selected. It shows each entry's text as it stands, which names its masks itself
// ("Bitmaps (*.bmp)").
void PrepareFileDialog(QFileDialog& dialog, const QString& filter, int index = 1);
// The entry of the filter that a name filter the dialog reports stands for, counted from 1;
// 0 for none.
int FileFilterIndexOf(const QString& filter, const QString& nameFilter);
