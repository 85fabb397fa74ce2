#pragma once

#include "framework/data/DataSource.h"

#include <QLineEdit>

// A line edit bound to one field of a data source. Typing puts the dataset into edit mode
// (through the data source) and marks the text modified; the text goes into the field when
// the edit loses the focus or the dataset posts. Escape shows the field's value again. The
// edit is read-only while the field cannot be changed.
class TDBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);
    ~TDBEdit() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    const QString& DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    TField* Field() const { return link_.Field(); }
    // A read-only edit never changes its field, whatever the dataset allows.
    void SetDataReadOnly(bool value);

    // Every character typed, Enter as '\r' and Escape as 27; set the key to 0 to swallow it.
    TKeyPressEvent OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DataChange();
    void UpdateData();
    void UserEdited(const QString& text);
    void UpdateReadOnly();

    TFieldDataLink link_;
};
