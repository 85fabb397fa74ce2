#pragma once

#include "framework/data/DataSource.h"
#include "framework/dbcontrols/DataControls.h"

class QWidget;

// What every control bound to one field of a data source shares: the link, the field it
// names, and a read-only state that follows the dataset. The control shows the field's value
// in DataChange and hands its text to the field in UpdateData.
template <class Widget> class TFieldControl : public Widget {
public:
    explicit TFieldControl(QWidget* parent) : Widget(parent) {
        BindFieldControl(
            link_, [this] { DataChange(); }, [this] { UpdateReadOnly(); },
            [this] { UpdateData(); });
        UpdateReadOnly();
    }
    // The link lets go of the control before the control goes, so no late notice reaches it.
    ~TFieldControl() override { UnbindFieldControl(link_); }

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    const QString& DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    TField* Field() const { return link_.Field(); }
    // A read-only control never changes its field, whatever the dataset allows.
    void SetDataReadOnly(bool value) {
        link_.ReadOnly = value;
        UpdateReadOnly();
    }

protected:
    virtual void DataChange() = 0;
    virtual void UpdateData() = 0;
    void UpdateReadOnly() { this->setReadOnly(!link_.CanModify()); }

    TFieldDataLink link_;
};
