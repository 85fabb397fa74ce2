#pragma once

#include "framework/data/DataSetTypes.h"
#include "framework/data/FieldDefs.h"

#include <QObject>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class TBlobStream;
class TDataSource;
class TDataLink;

// The framework's dataset: a cursor over records with states, a ring of record buffers
// around the active record, fields, bookmarks, events and the data sources that bound
// controls listen to. A subclass supplies the storage through the protected virtual slots;
// this class keeps the buffers, the states and the order of events.
//
// The buffer ring holds BufferCount records (as many as the largest data link asks for, at
// least one) plus one spare buffer into which records are fetched. ActiveRecord indexes the
// active buffer; the subclass's cursor is brought to the active record lazily
// (UpdateCursorPos) before every operation that relies on it.
//
// A subclass's destructor must call Close(): the base destructor can no longer reach the
// slots that release the buffers and the storage. A subclass that overrides the slot
// GotoBookmark(const char*) adds `using TDataSet::GotoBookmark;` to keep the public one.
class TDataSet : public QObject {
public:
    explicit TDataSet(QObject* owner = nullptr);
    ~TDataSet() override;

    // ---- opening and state
    bool Active() const { return state_ != dsInactive && state_ != dsOpening; }
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return state_; }
    bool Modified() const { return modified_; }
    bool CanModify() { return CanChangeData(); }
    // "Cannot perform this operation on a closed/open dataset" unless it is open/closed.
    void CheckActive() const;
    void CheckInactive() const;

    // ---- fields
    TFieldDefs& FieldDefs() { return fieldDefs_; }
    int FieldCount() const { return int(fields_.size()); }
    TField* Field(int index) const { return fields_.at(size_t(index)).get(); }
    std::vector<TField*> Fields() const;
    TField* FindField(const QString& name) const;
    // As FindField, but raises "Field 'x' not found".
    TField* FieldByName(const QString& name) const;
    // Adds a persistent field (only while closed); the dataset owns it from now on.
    TField* AddField(std::unique_ptr<TField> field);
    template <class T> T* AddField(const QString& name) {
        return static_cast<T*>(AddField(std::make_unique<T>(name)));
    }
    // Removes and frees a persistent field (only while closed).
    void RemoveField(TField* field);
    int CalcFieldsSize() const { return calcFieldsSize_; }

    // ---- navigation
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves up to distance records and returns how many it moved (negative backwards).
    int MoveBy(int distance);
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const { return activeRecord_ >= recordCount_; }
    int RecNo();
    void SetRecNo(int value);
    // For scroll bars, which know only a position: goes to the record numbered recNo when it
    // is shown, else to the nearest shown record after it, else to the nearest before it.
    // False, and nothing moved, for a dataset that has no record numbers.
    bool MoveNear(int recNo);
    int RecordCount();
    bool Filtered() const { return filtered_; }
    virtual void SetFiltered(bool value);

    // ---- editing
    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void Refresh();
    // Posts a modified record being edited or inserted, cancels an unmodified one.
    void CheckBrowseMode();
    // Lets the bound controls store what they hold into the fields.
    void UpdateRecord();
    // Fills the buffers anew around the cursor's record.
    void Resync(TResyncMode mode);

    // ---- bookmarks
    TBookmark GetBookmark();
    void GotoBookmark(const TBookmark& bookmark);
    void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }
    bool BookmarkValid(const TBookmark& bookmark);
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) {
        return CompareBookmarkValues(a, b);
    }
    bool Locate(const QString& keyFields, const QVariant& keyValues, TLocateOptions options) {
        return LocateRecord(keyFields, keyValues, options);
    }

    // ---- controls
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // ---- what fields and data sources use
    bool GetFieldData(TField* field, void* buffer) { return ReadFieldValue(field, buffer); }
    void SetFieldData(TField* field, const void* buffer) { WriteFieldValue(field, buffer); }
    std::unique_ptr<TBlobStream> CreateBlobStream(TField* field, TBlobStreamMode mode);
    QByteArray Translate(const QByteArray& text, bool toOem);
    // The program's text of a string or memo field's stored bytes, and the bytes to store for
    // a text (raising when the store cannot hold one of its characters).
    QString DecodeFieldText(const QByteArray& stored) { return StoredToText(stored); }
    QByteArray EncodeFieldText(TField* field, const QString& text) {
        return TextToStored(field, text);
    }
    // The text of a string field in the current record; false when it holds no value.
    bool GetFieldText(TField* field, QString& text) { return ReadFieldText(field, text); }
    // The whole value of a blob field in the current record.
    QByteArray GetBlobValue(TField* field) { return ReadBlobValue(field); }
    // Tells the data sources; a field change also marks the record modified and refreshes
    // the calculated fields.
    void DataEvent(TDataEvent event, TField* field = nullptr, int info = 0);
    void UpdateBufferCount();

    // ---- events
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;
    TDataSetErrorEvent OnDeleteError, OnEditError, OnPostError;

protected:
    // ---- the slots a subclass implements (storage side)
    virtual TRecordBuffer NewRecordBuffer() = 0;
    virtual void DisposeRecordBuffer(TRecordBuffer buffer) = 0;
    virtual void ReadBookmark(TRecordBuffer buffer, char* data) = 0;
    virtual TBookmarkFlag ReadBookmarkFlag(TRecordBuffer buffer) = 0;
    virtual void WriteBookmark(TRecordBuffer buffer, const char* data) = 0;
    virtual void WriteBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) = 0;
    // Fills buffer with the current, next or prior record and moves the cursor there.
    virtual TGetResult FetchRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) = 0;
    virtual int RecordBufferSize() = 0;
    virtual void AddRecord(const void* buffer, bool append);
    virtual void OpenTable() = 0;
    virtual void CloseTable() = 0;
    virtual bool IsTableOpen() const = 0;
    virtual void LoadFieldDefs() = 0;
    virtual void MoveBeforeFirst() = 0;
    virtual void MoveAfterLast() = 0;
    virtual void GotoBookmark(const char* bookmark) = 0;
    virtual void SetCursorToBuffer(TRecordBuffer buffer) = 0;
    virtual void BlankRecord(TRecordBuffer buffer) = 0;
    virtual void PostRecord() = 0;
    virtual void DeleteRecord() = 0;
    virtual bool ReadFieldValue(TField* field, void* output) = 0;
    virtual void WriteFieldValue(TField* field, const void* value) = 0;
    // Optional slots with defaults.
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalCancel() {}
    virtual void InternalRefresh() {}
    virtual void ClearCalcArea(TRecordBuffer buffer);
    virtual int CountRecords() { return -1; }
    virtual int CurrentRecordNumber() { return -1; }
    // Makes record n current and resynchronises.
    virtual void GotoRecordNumber(int) {}
    // Puts the cursor at record number n (clamped to the records) without reading it; false
    // when the dataset has no record numbers.
    virtual bool PlaceCursor(int) { return false; }
    virtual bool CanChangeData() { return true; }
    virtual int CompareBookmarkValues(const TBookmark& a, const TBookmark& b);
    virtual bool LocateRecord(const QString& keyFields, const QVariant& keyValues,
                              TLocateOptions options);
    virtual std::unique_ptr<TBlobStream> OpenMemoStream(TField* field, TBlobStreamMode mode);
    virtual void TranslateText(const QByteArray& source, QByteArray& target, bool toOem);
    // Stored bytes and text. By default the bytes are Windows-1252 text once TranslateText
    // has made them so (a character Windows-1252 lacks is stored as "?"); a dataset whose
    // store uses a code page of its own converts directly, without losing the characters the
    // other one lacks.
    virtual QString StoredToText(const QByteArray& stored);
    virtual QByteArray TextToStored(TField* field, const QString& text);
    // By default the value read with ReadFieldValue, as StoredToText makes it.
    virtual bool ReadFieldText(TField* field, QString& text);
    // By default read through a blob stream.
    virtual QByteArray ReadBlobValue(TField* field);
    // Reports the exception being handled; the default hands it to the application.
    virtual void HandleDataError();

    // ---- services for subclasses
    TRecordBuffer ActiveBuffer() const;
    TRecordBuffer CalcBuffer() const { return calcBuffer_; }
    TRecordBuffer FilterBuffer() const { return filterBuffer_; }
    // The buffer that field values of the current state live in: the record being filtered,
    // the record being calculated, else the active record (none when there is no record).
    TRecordBuffer CurrentBuffer() const;
    int BookmarkSize() const { return bookmarkSize_; }
    void SetBookmarkSize(int size) { bookmarkSize_ = size; }
    // "Cannot modify a read-only dataset" unless the data may change.
    void CheckCanModify();
    // Whether the filter event (when Filtered) accepts the record in buffer.
    bool AcceptsRecord(TRecordBuffer buffer);
    // Clears and computes the calculated fields of a buffer (OnCalcFields).
    void GetCalcFields(TRecordBuffer buffer);
    TDataSetState SetTempState(TDataSetState state);
    void RestoreState(TDataSetState state);
    // Field objects: whether the open made them from the definitions, making them, binding
    // the fields to the definitions by name, and freeing the ones made.
    bool DefaultFields() const { return defaultFields_; }
    void CreateFields();
    void BindFields(bool binding);
    void DestroyFields();
    // The cursor no longer stands at any buffered record.
    void CursorPosChanged() { currentRecord_ = -1; }
    void UpdateCursorPos();
    void SetModified(bool value) { modified_ = value; }

private:
    friend class TDataSource;
    friend class TDataLink;

    void SetState(TDataSetState state);
    void OpenCursor();
    void CloseCursor();
    void SetBufferCount(int value);
    void ClearBuffers();
    void ActivateBuffers();
    void MoveBuffer(int from, int to);
    void SetCurrentRecord(int index);
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    void InitRecord(TRecordBuffer buffer);
    void BeginInsertAppend();
    void EndInsertAppend();
    bool BookmarkAvailable();
    void UpdateCalcFields();
    void CheckOperation(const std::function<void()>& operation, const TDataSetErrorEvent& onError);
    void Fire(const TDataSetNotifyEvent& event) {
        if (event)
            event(this);
    }
    void AddDataSource(TDataSource* source);
    void RemoveDataSource(TDataSource* source);

    TDataSetState state_ = dsInactive;
    bool modified_ = false;
    bool filtered_ = false;
    bool bof_ = true;
    bool eof_ = true;
    bool defaultFields_ = false;
    bool openComplete_ = false;
    bool destroying_ = false;

    TFieldDefs fieldDefs_;
    std::vector<std::unique_ptr<TField>> fields_;
    int calcFieldsSize_ = 0;
    int bookmarkSize_ = 0;

    std::vector<TRecordBuffer> buffers_; // bufferCount_ + 1 while open
    int bufferCount_ = 0;
    int recordCount_ = 0;
    int activeRecord_ = 0;
    int currentRecord_ = -1;
    TRecordBuffer calcBuffer_ = nullptr;
    TRecordBuffer filterBuffer_ = nullptr;

    int disableCount_ = 0;
    TDataSetState disableState_ = dsInactive;
    TDataEvent enableEvent_ = deDataSetChange;
    std::vector<TDataSource*> dataSources_;
};
