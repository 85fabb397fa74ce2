#pragma once

#include "framework/data/DataSource.h"

#include <QPlainTextEdit>

// A multi-line edit bound to one field, usually a memo field. It behaves like TDBEdit: a
// change puts the dataset into edit mode, the text goes into the field when the memo loses
// the focus or the dataset posts. Lines are stored separated by CR LF, as the memos of the
// tables hold them.
class TDBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr);
    ~TDBMemo() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    const QString& DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    TField* Field() const { return link_.Field(); }
    void SetDataReadOnly(bool value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DataChange();
    void UpdateData();
    void UserChanged();
    void UpdateReadOnly();
    void ShowText(const QString& text);

    TFieldDataLink link_;
    bool loading_ = false;
};
