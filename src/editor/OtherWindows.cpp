#include "editor/OtherWindows.h"

#include "editor/EditorControls.h"

#include <QLabel>

namespace Orvello {

namespace {

void dialogFrame(TForm* form, const QString& caption, int helpContext, QSize size) {
    form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    form->setWindowTitle(caption);
    form->setFixedSize(size);
    SetHelpContext(form, helpContext);
}

} // namespace

TData::TData(QWidget* parent) : TForm(parent) {
    dialogFrame(this, Application().Title + QStringLiteral(" - Database ..."), 13, {644, 398});
}

TPic::TPic(QWidget* parent) : TForm(parent) {
    dialogFrame(this, QString(), 0, {355, 104});
}

TCr::TCr(QWidget* parent) : TForm(parent) {
    dialogFrame(this, QStringLiteral("Create ..."), 16, {340, 150});
    auto* note = new QLabel(QStringLiteral("Building projects is not available yet."), this);
    note->setGeometry(8, 8, 324, 40);
    note->setWordWrap(true);
    CheckBox1 = MakeCheckBox(this, QStringLiteral("Create autorun.inf"), {8, 56, 324, 20});
    CheckBox1->setChecked(true);
    CheckBox2 = MakeCheckBox(this, QStringLiteral("Simulate CD-ROM environment"), {8, 80, 324, 20});
    auto* close = MakeButton<TBitBtn>(this, QStringLiteral("Close"), {260, 116, 72, 25});
    close->OnClick = [this](QObject*) { this->close(); };
}

} // namespace Orvello
