// The find of the item-table windows: through the table record by record, field by field.
#include "itemtable/ItemTableWindow.h"

#include "framework/data/Field.h"
#include "framework/forms/WaitCursor.h"
#include "storage/dbtable/DbTable.h"

namespace {

// The characters that bound a whole word, besides the ends of the text.
const QString kWordBounds = QStringLiteral(" ,;.!?()-");

// The bound controls stand still while the search steps through the table and follow it
// again when the search ends, however it ends.
class TControlsStill {
public:
    explicit TControlsStill(TDataSet* dataSet) : dataSet_(dataSet) { dataSet_->DisableControls(); }
    ~TControlsStill() { dataSet_->EnableControls(); }
    TControlsStill(const TControlsStill&) = delete;
    TControlsStill& operator=(const TControlsStill&) = delete;

private:
    TDataSet* dataSet_;
};

} // namespace

bool TItemTableWindow::MatchFindText(const QString& text, const QString& findText,
                                     TFindOptions options) {
    const bool matchCase = options & frMatchCase;
    const QString haystack = matchCase ? text : text.toUpper();
    const QString needle = matchCase ? findText : findText.toUpper();
    if (needle.isEmpty())
        return false;
    const qsizetype at = haystack.indexOf(needle);
    if (at < 0)
        return false;
    if (!(options & frWholeWord))
        return true;
    if (at > 0 && !kWordBounds.contains(haystack[at - 1]))
        return false;
    const qsizetype end = at + needle.size();
    return end >= haystack.size() || kWordBounds.contains(haystack[end]);
}

bool TItemTableWindow::MatchFindText(const QString& text) const {
    return MatchFindText(text, findText_, findOptions_);
}

void TItemTableWindow::ShowFindDialog() {
    if (!Table1->Active())
        return;
    FindDialog1->SetPosition(QPoint(5, 5));
    FindDialog1->Execute();
}

void TItemTableWindow::FindDialog1Find(QObject*) {
    // The dialog may still be up after the table closed; there is nothing to search then.
    if (!Table1->Active())
        return;
    TWaitCursor cursor;
    findOptions_ = FindDialog1->Options();
    const QString typed = FindDialog1->FindText();
    findText_ = (findOptions_ & frMatchCase) ? typed : typed.toUpper();
    const bool down = findOptions_ & frDown;

    const TControlsStill still(Table1);
    for (;;) {
        if (down)
            Table1->Next();
        else
            Table1->Prior();
        if (down ? Table1->Eof() : Table1->Bof()) {
            cursor.Restore();
            if (!AskSearchFromStart(typed)) {
                FindDialog1->CloseDialog();
                return;
            }
            cursor.Resume();
            if (down)
                Table1->First();
            else
                Table1->Last();
        }
        for (TField* field : Table1->Fields())
            if (field->Visible() && MatchFindText(field->AsString()))
                return;
    }
}
