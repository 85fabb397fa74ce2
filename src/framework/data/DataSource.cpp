#include "framework/data/DataSource.h"

#include "framework/data/DataSet.h"
#include "framework/data/Field.h"

#include <algorithm>

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(QObject* owner) : QObject(owner) {}

TDataSource::~TDataSource() {
    OnDataChange = nullptr;
    OnStateChange = nullptr;
    OnUpdateData = nullptr;
    for (TDataLink* link : std::vector<TDataLink*>(dataLinks_))
        link->SetDataSource(nullptr);
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet_ == dataSet)
        return;
    if (dataSet_)
        dataSet_->RemoveDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->AddDataSource(this);
    UpdateState();
}

void TDataSource::SetEnabled(bool enabled) {
    enabled_ = enabled;
    UpdateState();
}

void TDataSource::Edit() {
    if (AutoEdit && state_ == dsBrowse && dataSet_)
        dataSet_->Edit();
}

void TDataSource::UpdateState() {
    SetState(enabled_ && dataSet_ ? dataSet_->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState state) {
    if (state_ == state)
        return;
    const TDataSetState prior = state_;
    state_ = state;
    NotifyLinks(deUpdateState, nullptr, int(prior));
    if (OnStateChange)
        OnStateChange(this);
    if (prior == dsInactive && OnDataChange)
        OnDataChange(this, nullptr);
}

void TDataSource::NotifyLinks(TDataEvent event, TField* field, int info) {
    for (TDataLink* link : std::vector<TDataLink*>(dataLinks_))
        if (std::find(dataLinks_.begin(), dataLinks_.end(), link) != dataLinks_.end())
            link->DataEvent(event, field, info);
}

void TDataSource::DataEvent(TDataEvent event, TField* field, int info) {
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (state_ == dsInactive)
        return;
    NotifyLinks(event, field, info);
    switch (event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange)
            OnDataChange(this, event == deFieldChange ? field : nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData)
            OnUpdateData(this);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() {
    if (dataSource_) {
        std::erase(dataSource_->dataLinks_, this);
        if (dataSource_->dataSet_)
            dataSource_->dataSet_->UpdateBufferCount();
    }
}

void TDataLink::SetDataSource(TDataSource* source) {
    if (dataSource_ == source)
        return;
    if (dataSource_) {
        std::erase(dataSource_->dataLinks_, this);
        if (dataSource_->dataSet_)
            dataSource_->dataSet_->UpdateBufferCount();
    }
    dataSource_ = source;
    if (dataSource_) {
        dataSource_->dataLinks_.push_back(this);
        if (dataSource_->dataSet_)
            dataSource_->dataSet_->UpdateBufferCount();
    }
    UpdateState();
}

TDataSet* TDataLink::DataSet() const {
    return dataSource_ ? dataSource_->DataSet() : nullptr;
}

void TDataLink::SetBufferCount(int count) {
    count = std::max(1, count);
    if (bufferCount_ == count)
        return;
    bufferCount_ = count;
    if (TDataSet* ds = DataSet())
        ds->UpdateBufferCount();
}

int TDataLink::RecordCount() const {
    TDataSet* ds = DataSet();
    return active_ && ds ? ds->recordCount_ : 0;
}

int TDataLink::ActiveRecord() const {
    TDataSet* ds = DataSet();
    return active_ && ds ? ds->activeRecord_ : 0;
}

void TDataLink::SetActiveRecord(int index) {
    TDataSet* ds = DataSet();
    if (active_ && ds && index >= 0 && index < std::max(1, ds->recordCount_))
        ds->activeRecord_ = index;
}

bool TDataLink::Edit() {
    if (!editing_ && dataSource_)
        dataSource_->Edit();
    return editing_;
}

void TDataLink::UpdateRecord() {
    updating_ = true;
    try {
        UpdateData();
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
}

void TDataLink::UpdateState() {
    const bool active = dataSource_ && dataSource_->State() != dsInactive;
    const bool editing = dataSource_ && IsEditState(dataSource_->State());
    if (active_ != active) {
        active_ = active;
        ActiveChanged();
    }
    if (editing_ != editing) {
        editing_ = editing;
        EditingChanged();
    }
}

void TDataLink::DataEvent(TDataEvent event, TField* field, int info) {
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!active_)
        return;
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (!updating_)
            RecordChanged(field);
        break;
    case deDataSetChange:
        DataSetChanged();
        break;
    case deDataSetScroll:
        DataSetScrolled(info);
        break;
    case deLayoutChange:
        LayoutChanged();
        break;
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- TFieldDataLink

void TFieldDataLink::SetFieldName(const QString& name) {
    if (fieldName_ == name)
        return;
    fieldName_ = name;
    UpdateField();
}

bool TFieldDataLink::CanModify() const {
    return !ReadOnly && field_ && field_->CanModify();
}

bool TFieldDataLink::Edit() {
    if (CanModify())
        TDataLink::Edit();
    return Editing();
}

void TFieldDataLink::UpdateField() {
    TDataSet* ds = DataSet();
    SetField(Active() && ds && !fieldName_.isEmpty() ? ds->FindField(fieldName_) : nullptr);
}

void TFieldDataLink::SetField(TField* field) {
    if (field_ == field)
        return;
    field_ = field;
    EditingChanged();
    RecordChanged(nullptr);
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    if (OnActiveChange)
        OnActiveChange();
}

void TFieldDataLink::EditingChanged() {
    if (OnEditingChange)
        OnEditingChange();
}

void TFieldDataLink::RecordChanged(TField* field) {
    if (field && field != field_)
        return;
    if (OnDataChange)
        OnDataChange();
    modified_ = false;
}

void TFieldDataLink::UpdateData() {
    if (!modified_)
        return;
    if (field_ && OnUpdateData)
        OnUpdateData();
    modified_ = false;
}
