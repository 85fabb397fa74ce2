#include "framework/dbcontrols/DBEdit.h"

#include "framework/data/Field.h"
#include "framework/dbcontrols/DataControls.h"

#include <QKeyEvent>

TDBEdit::TDBEdit(QWidget* parent) : TFieldControl(parent) {
    connect(this, &QLineEdit::textEdited, this, &TDBEdit::UserEdited);
}

void TDBEdit::DataChange() {
    TField* f = link_.Field();
    QString text;
    if (f) {
        setMaxLength(f->DataType() == ftString && f->Size() > 0 ? f->Size() : 32767);
        try {
            text = hasFocus() && link_.CanModify() ? f->Text() : f->DisplayText();
        } catch (const Exception&) {
            // A value that cannot be shown leaves the edit empty rather than failing each
            // time the record changes.
        }
    }
    setText(text);
    UpdateReadOnly();
}

void TDBEdit::UpdateData() {
    if (TField* f = link_.Field())
        f->SetText(text());
}

void TDBEdit::UserEdited(const QString& typed) {
    if (!link_.Editing()) {
        const int pos = cursorPosition();
        if (!BeginFieldEdit(link_, this))
            return;
        // Going into edit mode showed the field's value again; the typed text stays.
        if (text() != typed) {
            setText(typed);
            setCursorPosition(pos);
        }
    }
    link_.Modified();
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
    const QChar key = KeyPressChar(event);
    if (KeySwallowed(OnKeyPress, this, key)) {
        event->accept();
        return;
    }
    if (key.unicode() == 27 && link_.IsModified()) {
        link_.Reset();
        selectAll();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!link_.IsModified())
        DataChange();
}

void TDBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (StoreFieldText(link_, this) && !link_.IsModified())
        DataChange();
}
