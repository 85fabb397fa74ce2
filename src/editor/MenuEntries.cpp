// The menu list on the Menu page: adding, editing, deleting and reordering entries, each
// change made in the list of captions and the five lists of values alike.
#include "editor/DesignWindow.h"
#include "editor/EditorControls.h"
#include "editor/EntryDialog.h"
#include "framework/forms/Controls.h"

#include <QComboBox>

namespace Orvello {

std::array<QStringList*, 5> TForm1::entryLists() {
    return {&EntryNames, &EntryPaths, &EntryParams, &EntryExitFlags, &EntryPopupFlags};
}

void TForm1::clearEntryLists() {
    for (QStringList* list : entryLists())
        list->clear();
}

int TForm1::EntryCount() const {
    return ListBox1->count();
}

void TForm1::StoreEntry(int index, const ProjectFile::TMenuEntry& entry) {
    const auto lists = entryLists();
    const QString values[] = {entry.Name, entry.Path, entry.Param, entry.Exit, entry.Item};
    if (index < 0 || index >= EntryCount()) {
        ListBox1->addItem(entry.Caption);
        for (size_t k = 0; k < lists.size(); ++k)
            lists[k]->append(values[k]);
    } else {
        ListBox1->item(index)->setText(entry.Caption);
        for (size_t k = 0; k < lists.size(); ++k)
            (*lists[k])[index] = values[k];
    }
    NoteProjectChange();
}

void TForm1::SpeedButton5Click(QObject*) {
    if (EntryCount() >= ProjectFile::MaxEntries) {
        ShowInfo(QStringLiteral("You can only store up to 10 menu entries !"));
        return;
    }
    Entry->Edit0->clear();
    Entry->Edit1->setCurrentIndex(-1);
    Entry->Edit1->setEditText(QString());
    Entry->Edit2->clear();
    Entry->Edit3->clear();
    Entry->CheckBox1->setChecked(false);
    Entry->CheckBox2->setChecked(false);
    Entry->Edit0->setFocus();
    Entry->EditIndex = -1;
    Entry->ShowModal();
}

void TForm1::SpeedButton7Click(QObject*) {
    const int i = ListBox1->currentRow();
    if (i < 0 || i >= EntryCount())
        return;
    Entry->Edit0->setText(ListBox1->item(i)->text());
    Entry->Edit1->setEditText(EntryNames.value(i));
    Entry->Edit2->setText(EntryPaths.value(i));
    Entry->Edit3->setText(EntryParams.value(i));
    Entry->CheckBox1->setChecked(EntryExitFlags.value(i) == QLatin1String("1"));
    Entry->CheckBox2->setChecked(EntryPopupFlags.value(i) == QLatin1String("1"));
    Entry->EditIndex = i;
    Entry->ShowModal();
}

void TForm1::SpeedButton6Click(QObject*) {
    const int i = ListBox1->currentRow();
    if (i < 0 || i >= EntryCount())
        return;
    if (!Ask(QStringLiteral("Do you want to delete \" ") + ListBox1->item(i)->text() +
                 QStringLiteral(" \" ?"),
             QStringLiteral("no")))
        return;
    delete ListBox1->takeItem(i);
    for (QStringList* list : entryLists())
        if (i < list->size())
            list->removeAt(i);
    NoteProjectChange();
}

void TForm1::ListBox1MouseDown(QObject*, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                               int y) {
    // Ctrl or Shift with the left button select; they never drag.
    if (button == Qt::LeftButton && (shift == Qt::ControlModifier || shift == Qt::ShiftModifier))
        return;
    DragIndex = ListBox1->ItemAtPos(QPoint(x, y));
    if (DragIndex >= 0)
        ListBox1->BeginDrag(false);
}

void TForm1::ListBox1DragOver(QObject*, QObject*, int, int, bool& accept) {
    accept = true;
    ListBox1->DragCursor = Qt::DragMoveCursor;
}

void TForm1::ListBox1DragDrop(QObject*, QObject*, int x, int y) {
    if (DragIndex < 0)
        return;
    ListBox1->viewport()->unsetCursor();
    const int target = ListBox1->ItemAtPos(QPoint(x, y));
    if (target < 0)
        return;
    MoveEntry(DragIndex, target);
}

void TForm1::MoveEntry(int from, int to) {
    if (from < 0 || to < 0 || from >= EntryCount() || to >= EntryCount() || from == to)
        return;
    ListBox1->insertItem(to, ListBox1->takeItem(from));
    ListBox1->setCurrentRow(to);
    for (QStringList* list : entryLists())
        if (from < list->size() && to < list->size())
            list->move(from, to);
    NoteProjectChange();
}

} // namespace Orvello
