#include "editor/OtherWindows.h"

#include "editor/EditorControls.h"

namespace Orvello {

TData::TData(QWidget* parent) : TForm(parent) {
    SetDialogFrame(this, Application().Title + QStringLiteral(" - Database ..."), 13, {644, 398});
}

TPic::TPic(QWidget* parent) : TForm(parent) {
    SetDialogFrame(this, QString(), 0, {355, 104});
}

} // namespace Orvello
