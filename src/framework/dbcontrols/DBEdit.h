#pragma once

#include "framework/dbcontrols/FieldControl.h"

#include <QLineEdit>

// A line edit bound to one field of a data source. Typing puts the dataset into edit mode
// (through the data source) and marks the text modified; the text goes into the field when
// the edit loses the focus or the dataset posts. Escape shows the field's value again. The
// edit is read-only while the field cannot be changed.
class TDBEdit : public TFieldControl<QLineEdit> {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);

    // Every character typed, Enter as '\r' and Escape as 27; set the key to 0 to swallow it.
    TKeyPressEvent OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DataChange() override;
    void UpdateData() override;
    void UserEdited(const QString& text);
};
