#include "framework/dbcontrols/DBNavigator.h"

#include "framework/forms/Application.h"

#include "framework/data/DataSet.h"
#include "framework/forms/Glyphs.h"
#include "framework/forms/MessageBox.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

namespace {
// The glyphs are drawn, not taken from a font: no font need have the signs.
struct ButtonLook {
    TGlyph glyph;
    const char* hint;
};
const ButtonLook looks[] = {
    {TGlyph::FirstRecord, "First record"},   {TGlyph::PriorRecord, "Prior record"},
    {TGlyph::NextRecord, "Next record"},     {TGlyph::LastRecord, "Last record"},
    {TGlyph::InsertRecord, "Insert record"}, {TGlyph::DeleteRecord, "Delete record"},
    {TGlyph::EditRecord, "Edit record"},     {TGlyph::PostEdit, "Post edit"},
    {TGlyph::CancelEdit, "Cancel edit"},     {TGlyph::RefreshData, "Refresh data"},
};
} // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < int(buttons_.size()); ++i) {
        auto* b = new QToolButton(this);
        b->setIcon(GlyphIcon(looks[i].glyph));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setObjectName(QString::fromLatin1(looks[i].hint));
        const auto which = TNavigateBtn(i);
        connect(b, &QToolButton::clicked, this, [this, which] {
            Application().SafeCall(this, [this, which] { BtnClick(which); });
        });
        layout->addWidget(b);
        buttons_[size_t(i)] = b;
        visible_.insert(which);
    }
    UpdateButtons();
}

TDBNavigator::~TDBNavigator() {
    link_.SetDataSource(nullptr);
}

void TDBNavigator::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    UpdateButtons();
}

void TDBNavigator::SetVisibleButtons(const TButtonSet& buttons) {
    visible_ = buttons;
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setVisible(visible_.count(TNavigateBtn(i)) > 0);
}

void TDBNavigator::SetShowHint(bool show) {
    showHint_ = show;
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setToolTip(show ? QString::fromLatin1(looks[i].hint) : QString());
}

void TDBNavigator::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        UpdateButtons();
}

void TDBNavigator::UpdateButtons() {
    TDataSet* ds = link_.DataSet();
    const bool active = isEnabled() && link_.Active() && ds;
    const bool canModify = active && ds->CanModify();
    const bool editing = link_.Editing();
    auto set = [this](TNavigateBtn b, bool on) { buttons_[size_t(b)]->setEnabled(on); };
    set(nbFirst, active && !ds->Bof());
    set(nbPrior, active && !ds->Bof());
    set(nbNext, active && !ds->Eof());
    set(nbLast, active && !ds->Eof());
    set(nbDelete, canModify && !(ds->Bof() && ds->Eof()));
    set(nbInsert, canModify);
    set(nbEdit, canModify && !editing);
    set(nbPost, canModify && editing);
    set(nbCancel, canModify && editing);
    set(nbRefresh, active && !editing);
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
    TDataSource* source = link_.DataSource();
    TDataSet* ds = link_.DataSet();
    if (!source || !ds || source->State() == dsInactive)
        return;
    if (BeforeAction)
        BeforeAction(this, button);
    switch (button) {
    case nbFirst:
        ds->First();
        break;
    case nbPrior:
        ds->Prior();
        break;
    case nbNext:
        ds->Next();
        break;
    case nbLast:
        ds->Last();
        break;
    case nbInsert:
        ds->Insert();
        break;
    case nbEdit:
        ds->Edit();
        break;
    case nbPost:
        ds->Post();
        break;
    case nbCancel:
        ds->Cancel();
        break;
    case nbRefresh:
        ds->Refresh();
        break;
    case nbDelete:
        if (!ConfirmDelete || MessageBoxA(window(), DbText::DeleteRecordQuestion, "Confirm",
                                          MB_OKCANCEL | MB_ICONQUESTION) != IDCANCEL)
            ds->Delete();
        break;
    }
}
