#pragma once

#include "framework/dbcontrols/FieldControl.h"

#include <QPlainTextEdit>

// A multi-line edit bound to one field, usually a memo field. It behaves like TDBEdit: a
// change puts the dataset into edit mode, the text goes into the field when the memo loses
// the focus or the dataset posts. Lines are stored separated by CR LF, as the memos of the
// tables hold them.
class TDBMemo : public TFieldControl<QPlainTextEdit> {
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DataChange() override;
    void UpdateData() override;
    void UserChanged();
    void ShowText(const QString& text);

    bool loading_ = false;
};
