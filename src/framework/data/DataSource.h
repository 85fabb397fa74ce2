#pragma once

#include "framework/data/DataSetTypes.h"
#include "framework/data/Notices.h"

#include <QObject>
#include <functional>
#include <vector>

class TDataLink;

using TDataChangeEvent = std::function<void(QObject* sender, TField* field)>;

// Joins a dataset to the controls that show it: it passes the dataset's events to its data
// links and fires its own events for the window.
class TDataSource : public QObject {
public:
    explicit TDataSource(QObject* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether a control's change puts the dataset into edit mode by itself.
    bool AutoEdit = true;
    // The dataset's state as the controls see it: inactive when disabled or unbound.
    TDataSetState State() const { return state_; }
    // Puts a browsed dataset into edit mode when AutoEdit allows it.
    void Edit();

    // A change of the current record (field none) or of one field's value.
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnStateChange;
    // The controls are asked to store what they hold (before a post).
    TNotifyEvent OnUpdateData;

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent event, TField* field, int info);
    void UpdateState();
    void SetState(TDataSetState state);
    void NotifyLinks(TDataEvent event, TField* field, int info);

    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    TDataSetState state_ = dsInactive;
    std::vector<TDataLink*> dataLinks_;
};

// What a control holds to follow a data source. Subclasses override the notifications.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const;
    bool Active() const { return active_; }
    bool Editing() const { return editing_; }
    bool ReadOnly = false;
    // How many records the control wants buffered; the dataset buffers the most any link
    // asks for.
    int BufferCount() const { return bufferCount_; }
    void SetBufferCount(int count);
    // Buffered records and which of them is active. Setting the active record is for
    // reading the fields of another buffered record; put it back right after.
    int RecordCount() const;
    int ActiveRecord() const;
    void SetActiveRecord(int index);
    // Puts the dataset into edit mode (through the data source); tells whether it is.
    bool Edit();
    // Asks the control to store what it holds into the fields.
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int) { DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField*) {}
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    void DataEvent(TDataEvent event, TField* field, int info);
    void UpdateState();

    TDataSource* dataSource_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
    bool updating_ = false;
    int bufferCount_ = 1;
};

// A control's link to one field of the data source's dataset.
class TFieldDataLink : public TDataLink {
public:
    const QString& FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name);
    // The field, or none while inactive or when the dataset has no field of that name.
    TField* Field() const { return field_; }
    bool CanModify() const;
    bool Edit();
    // The control's text differs from the field from now on.
    void Modified() { modified_ = true; }
    bool IsModified() const { return modified_; }
    // The control shows the field's value again.
    void Reset() { RecordChanged(nullptr); }

    std::function<void()> OnDataChange;
    std::function<void()> OnEditingChange;
    std::function<void()> OnUpdateData;
    std::function<void()> OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void LayoutChanged() override { UpdateField(); }
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* field);

    QString fieldName_;
    TField* field_ = nullptr;
    bool modified_ = false;
};
