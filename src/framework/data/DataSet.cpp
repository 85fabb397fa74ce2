#include "framework/data/DataSet.h"

#include "framework/data/BlobStream.h"
#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/data/Fields.h"
#include "framework/data/Notices.h"
#include "platform/Codepage.h"

#include <algorithm>
#include <cstring>

TDataSet::TDataSet(QObject* owner) : QObject(owner), fieldDefs_(this) {}

TDataSet::~TDataSet() {
    // Active here means the subclass did not close: its slots are gone, so the buffers can
    // only be forgotten.
    destroying_ = true;
    for (TDataSource* source : std::vector<TDataSource*>(dataSources_))
        source->SetDataSet(nullptr);
}

// ---------------------------------------------------------------- opening and closing

void TDataSet::CheckActive() const {
    if (!Active())
        DatabaseError(DbText::DataSetClosed);
}

void TDataSet::CheckInactive() const {
    if (state_ != dsInactive)
        DatabaseError(DbText::DataSetOpen);
}

void TDataSet::SetActive(bool value) {
    if (Active() == value)
        return;
    if (value) {
        Fire(BeforeOpen);
        OpenCursor();
        SetState(dsBrowse);
        Fire(AfterOpen);
        if (!IsEmpty())
            Fire(AfterScroll);
    } else {
        Fire(BeforeClose);
        SetState(dsInactive);
        CloseCursor();
        Fire(AfterClose);
    }
}

void TDataSet::OpenCursor() {
    state_ = dsOpening;
    try {
        defaultFields_ = fields_.empty();
        OpenTable();
        openComplete_ = true;
        ClearBuffers();
        UpdateBufferCount();
        bof_ = true;
    } catch (...) {
        // A failed open leaves the dataset closed, with whatever the subclass opened so far
        // released again.
        state_ = dsInactive;
        try {
            CloseCursor();
        } catch (...) {
        }
        throw;
    }
}

void TDataSet::CloseCursor() {
    openComplete_ = false;
    modified_ = false;
    ClearBuffers();
    SetBufferCount(0);
    CloseTable();
    calcFieldsSize_ = 0;
}

void TDataSet::SetState(TDataSetState state) {
    if (state_ == state)
        return;
    state_ = state;
    modified_ = false;
    DataEvent(deUpdateState);
}

// ---------------------------------------------------------------- fields

std::vector<TField*> TDataSet::Fields() const {
    std::vector<TField*> list;
    for (const auto& f : fields_)
        list.push_back(f.get());
    return list;
}

TField* TDataSet::FindField(const QString& name) const {
    for (const auto& f : fields_)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const {
    TField* f = FindField(name);
    if (!f)
        DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

TField* TDataSet::AddField(std::unique_ptr<TField> field) {
    if (state_ != dsOpening)
        CheckInactive();
    if (FindField(field->FieldName()))
        DatabaseError(QStringLiteral("Duplicate field name '%1'").arg(field->FieldName()));
    field->dataSet_ = this;
    field->defaultField_ = state_ == dsOpening;
    fields_.push_back(std::move(field));
    return fields_.back().get();
}

void TDataSet::RemoveField(TField* field) {
    CheckInactive();
    std::erase_if(fields_, [field](const std::unique_ptr<TField>& f) { return f.get() == field; });
}

void TDataSet::CreateFields() {
    for (int i = 0; i < fieldDefs_.Count(); ++i)
        fieldDefs_.Items(i)->CreateField(this);
}

void TDataSet::DestroyFields() {
    std::erase_if(fields_, [](const std::unique_ptr<TField>& f) { return f->defaultField_; });
}

void TDataSet::BindFields(bool binding) {
    calcFieldsSize_ = 0;
    for (const auto& f : fields_) {
        if (!binding) {
            f->fieldNo_ = 0;
            continue;
        }
        if (f->FieldKind() == fkData) {
            const TFieldDef* def = fieldDefs_.Find(f->FieldName());
            if (def->DataType() != f->DataType())
                DatabaseError(
                    QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                        .arg(f->FieldName(), FieldTypeName(f->DataType()),
                             FieldTypeName(def->DataType())));
            // The buffer slot is as wide as the table says, whatever the persistent field
            // was given: a narrower field would let the storage write past its buffer.
            if (f->DataType() == ftString)
                f->size_ = def->Size();
            f->fieldNo_ = def->FieldNo();
        } else {
            f->fieldNo_ = -1;
            f->offset_ = calcFieldsSize_;
            calcFieldsSize_ += f->DataSize() + 1;
        }
    }
}

// ---------------------------------------------------------------- buffers

void TDataSet::UpdateBufferCount() {
    if (destroying_ || !openComplete_ || !IsTableOpen())
        return;
    int count = 1;
    for (TDataSource* source : dataSources_)
        for (TDataLink* link : source->dataLinks_)
            count = std::max(count, link->BufferCount());
    SetBufferCount(count);
}

void TDataSet::SetBufferCount(int value) {
    if (value != bufferCount_) {
        if (value < recordCount_) {
            // Keep the active record: drop records before it first, then after it.
            const int fromFront = std::min(recordCount_ - value, activeRecord_);
            std::rotate(buffers_.begin(), buffers_.begin() + fromFront,
                        buffers_.begin() + recordCount_);
            activeRecord_ -= fromFront;
            recordCount_ = value;
            CursorPosChanged();
        }
        const size_t size = value > 0 ? size_t(value) + 1 : 0;
        while (buffers_.size() > size) {
            DisposeRecordBuffer(buffers_.back());
            buffers_.pop_back();
        }
        while (buffers_.size() < size)
            buffers_.push_back(NewRecordBuffer());
        bufferCount_ = value;
        if (recordCount_ == 0)
            activeRecord_ = 0;
    }
    if (bufferCount_ > 0 && IsTableOpen()) {
        GetNextRecords();
        GetPriorRecords();
    }
}

void TDataSet::ClearBuffers() {
    recordCount_ = 0;
    activeRecord_ = 0;
    currentRecord_ = -1;
    bof_ = true;
    eof_ = true;
}

void TDataSet::ActivateBuffers() {
    recordCount_ = 1;
    activeRecord_ = 0;
    currentRecord_ = 0;
    bof_ = false;
    eof_ = false;
}

void TDataSet::MoveBuffer(int from, int to) {
    if (from == to)
        return;
    TRecordBuffer b = buffers_[size_t(from)];
    buffers_.erase(buffers_.begin() + from);
    buffers_.insert(buffers_.begin() + to, b);
}

TRecordBuffer TDataSet::ActiveBuffer() const {
    return buffers_.empty() ? nullptr : buffers_[size_t(activeRecord_)];
}

TRecordBuffer TDataSet::CurrentBuffer() const {
    switch (state_) {
    case dsBrowse:
    case dsBlockRead:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsSetKey:
    case dsNewValue:
    case dsOldValue:
    case dsCurValue:
        return ActiveBuffer();
    case dsCalcFields:
    case dsInternalCalc:
        return calcBuffer_;
    case dsFilter:
        return filterBuffer_;
    default:
        return nullptr;
    }
}

void TDataSet::SetCurrentRecord(int index) {
    if (currentRecord_ == index)
        return;
    TRecordBuffer b = buffers_[size_t(index)];
    switch (ReadBookmarkFlag(b)) {
    case bfCurrent:
    case bfInserted:
        SetCursorToBuffer(b);
        break;
    case bfBOF:
        MoveBeforeFirst();
        break;
    case bfEOF:
        MoveAfterLast();
        break;
    }
    currentRecord_ = index;
}

void TDataSet::UpdateCursorPos() {
    if (recordCount_ > 0)
        SetCurrentRecord(activeRecord_);
}

bool TDataSet::GetNextRecord() {
    TGetMode mode = gmNext;
    if (recordCount_ > 0) {
        SetCurrentRecord(recordCount_ - 1);
        // After a record being inserted comes the record it stands before, where the
        // cursor now is: that one is fetched, not the one after it.
        if (state_ == dsInsert && currentRecord_ == activeRecord_ &&
            ReadBookmarkFlag(ActiveBuffer()) == bfInserted)
            mode = gmCurrent;
    }
    const bool ok = FetchRecord(buffers_[size_t(recordCount_)], mode, true) == grOK;
    if (ok) {
        if (recordCount_ == 0)
            ActivateBuffers();
        else if (recordCount_ < bufferCount_)
            ++recordCount_;
        else
            MoveBuffer(0, recordCount_);
        currentRecord_ = recordCount_ - 1;
    } else {
        CursorPosChanged();
    }
    return ok;
}

bool TDataSet::GetPriorRecord() {
    if (recordCount_ > 0)
        SetCurrentRecord(0);
    const bool ok = FetchRecord(buffers_[size_t(recordCount_)], gmPrior, true) == grOK;
    if (ok) {
        if (recordCount_ == 0) {
            ActivateBuffers();
        } else {
            MoveBuffer(recordCount_, 0);
            if (recordCount_ < bufferCount_) {
                ++recordCount_;
                ++activeRecord_;
            }
        }
        currentRecord_ = 0;
    } else {
        CursorPosChanged();
    }
    return ok;
}

int TDataSet::GetNextRecords() {
    int n = 0;
    while (recordCount_ < bufferCount_ && GetNextRecord())
        ++n;
    return n;
}

int TDataSet::GetPriorRecords() {
    int n = 0;
    while (recordCount_ < bufferCount_ && GetPriorRecord())
        ++n;
    return n;
}

void TDataSet::Resync(TResyncMode mode) {
    CheckActive();
    TRecordBuffer spare = buffers_[size_t(recordCount_)];
    if (mode & rmExact) {
        CursorPosChanged();
        if (FetchRecord(spare, gmCurrent, true) != grOK)
            DatabaseError(DbText::RecordNotFound);
    } else if (FetchRecord(spare, gmCurrent, false) != grOK &&
               FetchRecord(spare, gmNext, false) != grOK &&
               FetchRecord(spare, gmPrior, false) != grOK) {
        ClearBuffers();
        DataEvent(deDataSetChange);
        return;
    }
    int before = (mode & rmCenter) ? (bufferCount_ - 1) / 2 : activeRecord_;
    MoveBuffer(recordCount_, 0);
    ActivateBuffers();
    try {
        while (before > 0 && GetPriorRecord())
            --before;
        GetNextRecords();
        GetPriorRecords();
    } catch (...) {
        DataEvent(deDataSetChange);
        throw;
    }
    DataEvent(deDataSetChange);
}

// ---------------------------------------------------------------- navigation

void TDataSet::First() {
    CheckBrowseMode();
    Fire(BeforeScroll);
    ClearBuffers();
    try {
        MoveBeforeFirst();
        GetNextRecord();
        GetNextRecords();
    } catch (...) {
        bof_ = true;
        DataEvent(deDataSetChange);
        throw;
    }
    bof_ = true;
    DataEvent(deDataSetChange);
    Fire(AfterScroll);
}

void TDataSet::Last() {
    CheckBrowseMode();
    Fire(BeforeScroll);
    ClearBuffers();
    try {
        MoveAfterLast();
        GetPriorRecord();
        GetPriorRecords();
    } catch (...) {
        eof_ = true;
        DataEvent(deDataSetChange);
        throw;
    }
    eof_ = true;
    DataEvent(deDataSetChange);
    Fire(AfterScroll);
}

int TDataSet::MoveBy(int distance) {
    CheckBrowseMode();
    int moved = 0;
    Fire(BeforeScroll);
    if ((distance > 0 && !eof_) || (distance < 0 && !bof_)) {
        bof_ = false;
        eof_ = false;
        const int oldRecordCount = recordCount_;
        int scrolled = 0;
        auto notify = [&] {
            if (recordCount_ != oldRecordCount)
                DataEvent(deDataSetChange);
            else
                DataEvent(deDataSetScroll, nullptr, scrolled);
        };
        try {
            for (; distance > 0; --distance, ++moved) {
                if (activeRecord_ < recordCount_ - 1) {
                    ++activeRecord_;
                    continue;
                }
                const bool full = recordCount_ >= bufferCount_;
                if (!GetNextRecord()) {
                    eof_ = true;
                    break;
                }
                activeRecord_ = recordCount_ - 1;
                if (full)
                    --scrolled;
            }
            for (; distance < 0; ++distance, --moved) {
                if (activeRecord_ > 0) {
                    --activeRecord_;
                    continue;
                }
                const bool full = recordCount_ >= bufferCount_;
                if (!GetPriorRecord()) {
                    bof_ = true;
                    break;
                }
                activeRecord_ = 0;
                if (full)
                    ++scrolled;
            }
        } catch (...) {
            notify();
            throw;
        }
        notify();
    }
    Fire(AfterScroll);
    return moved;
}

int TDataSet::RecNo() {
    CheckActive();
    return CurrentRecordNumber();
}

void TDataSet::SetRecNo(int value) {
    CheckBrowseMode();
    Fire(BeforeScroll);
    GotoRecordNumber(value);
    Fire(AfterScroll);
}

bool TDataSet::MoveNear(int recNo) {
    CheckBrowseMode();
    Fire(BeforeScroll);
    const bool placed = PlaceCursor(recNo);
    // Not exact: a record that is filtered out or deleted gives way to its neighbours.
    if (placed)
        Resync(rmCenter);
    Fire(AfterScroll);
    return placed;
}

int TDataSet::RecordCount() {
    CheckActive();
    return CountRecords();
}

void TDataSet::SetFiltered(bool value) {
    if (Active())
        CheckBrowseMode();
    if (filtered_ == value)
        return;
    filtered_ = value;
    if (Active())
        First();
}

// ---------------------------------------------------------------- filter and calculation

TDataSetState TDataSet::SetTempState(TDataSetState state) {
    const TDataSetState old = state_;
    state_ = state;
    ++disableCount_;
    return old;
}

void TDataSet::RestoreState(TDataSetState state) {
    state_ = state;
    --disableCount_;
}

bool TDataSet::AcceptsRecord(TRecordBuffer buffer) {
    if (!filtered_ || !OnFilterRecord)
        return true;
    bool accept = true;
    TRecordBuffer savedBuffer = filterBuffer_;
    filterBuffer_ = buffer;
    const TDataSetState saved = SetTempState(dsFilter);
    try {
        OnFilterRecord(this, accept);
    } catch (...) {
        RestoreState(saved);
        filterBuffer_ = savedBuffer;
        throw;
    }
    RestoreState(saved);
    filterBuffer_ = savedBuffer;
    return accept;
}

void TDataSet::GetCalcFields(TRecordBuffer buffer) {
    if (calcFieldsSize_ == 0)
        return;
    TRecordBuffer savedBuffer = calcBuffer_;
    calcBuffer_ = buffer;
    const TDataSetState saved = SetTempState(dsCalcFields);
    try {
        ClearCalcArea(buffer);
        Fire(OnCalcFields);
    } catch (...) {
        RestoreState(saved);
        calcBuffer_ = savedBuffer;
        throw;
    }
    RestoreState(saved);
    calcBuffer_ = savedBuffer;
}

void TDataSet::UpdateCalcFields() {
    if (calcFieldsSize_ > 0 && (state_ == dsEdit || state_ == dsInsert))
        GetCalcFields(ActiveBuffer());
}

// ---------------------------------------------------------------- default slots

void TDataSet::AddRecord(const void*, bool) {}

void TDataSet::ClearCalcArea(TRecordBuffer) {}

std::unique_ptr<TBlobStream> TDataSet::OpenMemoStream(TField* field, TBlobStreamMode) {
    DatabaseError(QStringLiteral("Cannot access field '%1' as type Blob").arg(field->FieldName()));
}

void TDataSet::TranslateText(const QByteArray& source, QByteArray& target, bool) {
    target = source;
}

QString TDataSet::StoredToText(const QByteArray& stored) {
    return Codepage::ToUnicode(Translate(stored, false), Codepage::Ansi);
}

QByteArray TDataSet::TextToStored(TField*, const QString& text) {
    return Translate(Codepage::FromUnicode(text, Codepage::Ansi), true);
}

QByteArray TDataSet::ReadBlobValue(TField* field) {
    std::unique_ptr<TBlobStream> stream = CreateBlobStream(field, bmRead);
    return stream ? stream->readAll() : QByteArray();
}

bool TDataSet::ReadFieldText(TField* field, QString& text) {
    QByteArray buffer(field->DataSize(), '\0');
    if (!ReadFieldValue(field, buffer.data()))
        return false;
    buffer[field->Size()] = '\0'; // whatever the subclass wrote, the text ends inside the buffer
    text = StoredToText(QByteArray(buffer.constData()));
    return true;
}

void TDataSet::HandleDataError() {
    HandleCurrentException(this);
}

bool TDataSet::LocateRecord(const QString&, const QVariant&, TLocateOptions) {
    return false;
}

int TDataSet::CompareBookmarkValues(const TBookmark& a, const TBookmark& b) {
    if (a.IsNull() || b.IsNull())
        return a.IsNull() == b.IsNull() ? 0 : (a.IsNull() ? 1 : -1);
    // Four-byte bookmarks are record numbers; anything else orders by its bytes.
    if (a.Data.size() == 4 && b.Data.size() == 4) {
        qint32 x = 0;
        qint32 y = 0;
        std::memcpy(&x, a.Data.constData(), 4);
        std::memcpy(&y, b.Data.constData(), 4);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const int c = std::memcmp(a.Data.constData(), b.Data.constData(),
                              size_t(std::min(a.Data.size(), b.Data.size())));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return a.Data.size() < b.Data.size() ? -1 : (a.Data.size() > b.Data.size() ? 1 : 0);
}

std::unique_ptr<TBlobStream> TDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
    if (!field || field->DataSet() != this)
        DatabaseError(QStringLiteral("Field does not belong to this dataset"));
    CheckActive();
    if (!field->IsBlob())
        DatabaseError(
            QStringLiteral("Cannot access field '%1' as type Blob").arg(field->FieldName()));
    if (mode != bmRead && !IsEditState(state_))
        DatabaseError(DbText::NotEditing);
    std::unique_ptr<TBlobStream> stream = OpenMemoStream(field, mode);
    if (!stream)
        DatabaseError(
            QStringLiteral("Cannot access field '%1' as type Blob").arg(field->FieldName()));
    stream->seek(0);
    return stream;
}

QByteArray TDataSet::Translate(const QByteArray& text, bool toOem) {
    QByteArray target;
    TranslateText(text, target, toOem);
    return target;
}

// ---------------------------------------------------------------- data sources

void TDataSet::AddDataSource(TDataSource* source) {
    dataSources_.push_back(source);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* source) {
    std::erase(dataSources_, source);
    UpdateBufferCount();
}

void TDataSet::DataEvent(TDataEvent event, TField* field, int info) {
    if (event == deFieldChange) {
        if (field && field->FieldKind() == fkData)
            modified_ = true;
        UpdateCalcFields();
    }
    if (!ControlsDisabled()) {
        for (TDataSource* source : std::vector<TDataSource*>(dataSources_))
            source->DataEvent(event, field, info);
    } else if ((event == deUpdateState && state_ == dsInactive) || event == deLayoutChange) {
        enableEvent_ = deLayoutChange;
    }
}

void TDataSet::DisableControls() {
    if (disableCount_ == 0) {
        disableState_ = state_;
        enableEvent_ = deDataSetChange;
    }
    ++disableCount_;
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0)
        return;
    if (--disableCount_ > 0)
        return;
    if (disableState_ != state_)
        DataEvent(deUpdateState);
    if (disableState_ != dsInactive && state_ != dsInactive)
        DataEvent(enableEvent_);
}
