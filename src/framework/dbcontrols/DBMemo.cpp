#include "framework/dbcontrols/DBMemo.h"

#include "framework/data/Field.h"
#include "framework/dbcontrols/DataControls.h"

#include <QKeyEvent>
#include <QTextCursor>

TDBMemo::TDBMemo(QWidget* parent) : TFieldControl(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, &TDBMemo::UserChanged);
}

void TDBMemo::ShowText(const QString& text) {
    loading_ = true;
    setPlainText(text);
    loading_ = false;
}

void TDBMemo::DataChange() {
    QString text;
    if (TField* f = link_.Field()) {
        try {
            text = f->IsBlob() ? f->AsString() : f->Text();
        } catch (const Exception&) {
            // Shown empty rather than failing at every record change.
        }
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ShowText(text);
    UpdateReadOnly();
}

void TDBMemo::UpdateData() {
    TField* f = link_.Field();
    if (!f)
        return;
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (f->IsBlob())
        f->SetAsString(text);
    else
        f->SetText(text);
}

void TDBMemo::UserChanged() {
    if (loading_)
        return;
    if (!link_.Editing()) {
        const QString typed = toPlainText();
        const int pos = textCursor().position();
        if (!BeginFieldEdit(link_, this))
            return;
        if (toPlainText() != typed) {
            ShowText(typed);
            QTextCursor c = textCursor();
            c.setPosition(std::min(pos, int(typed.size())));
            setTextCursor(c);
        }
    }
    link_.Modified();
}

void TDBMemo::keyPressEvent(QKeyEvent* event) {
    if (KeyPressChar(event).unicode() == 27 && link_.IsModified()) {
        link_.Reset();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TDBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    StoreFieldText(link_, this);
}
