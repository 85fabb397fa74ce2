#pragma once

#include "framework/data/BufferDataSet.h"
#include "framework/data/Notices.h"
#include "storage/dbase/PendingMemos.h"
#include "storage/dbdataset/DbEngine.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace dbdataset {

class TDbDataset;
class TDbfIndexCollection;

// One index of a dataset: the index file and the field whose values are its keys, used when
// the file has to be built.
class TDbfIndexDef {
public:
    explicit TDbfIndexDef(TDbfIndexCollection* collection) : collection_(collection) {}

    // The file name as given: file names keep their spelling, and the engine tells open files
    // apart by the files they are.
    const QString& IndexFile() const { return indexFile_; }
    void SetIndexFile(const QString& value) { indexFile_ = value; }
    const QString& SortField() const { return sortField_; }
    void SetSortField(const QString& value) { sortField_ = value; }
    TDbfIndexCollection* Collection() const { return collection_; }

private:
    TDbfIndexCollection* collection_;
    QString indexFile_;
    QString sortField_;
};

class TDbfIndexCollection {
public:
    explicit TDbfIndexCollection(TDbDataset* owner) : owner_(owner) {}
    TDbfIndexCollection(const TDbfIndexCollection&) = delete;
    TDbfIndexCollection& operator=(const TDbfIndexCollection&) = delete;

    TDbDataset* GetOwner() const { return owner_; }
    int Count() const { return int(items_.size()); }
    TDbfIndexDef* Items(int index) const { return items_.at(size_t(index)).get(); }
    TDbfIndexDef* Add();
    void Clear() { items_.clear(); }
    // Copies the items of another collection.
    void Assign(const TDbfIndexCollection& other);

private:
    TDbDataset* owner_;
    std::vector<std::unique_ptr<TDbfIndexDef>> items_;
};

enum TDbfOpenMode { omNormal, omAutoCreate, omTemporary };
enum TDbfStorage { stoMemory, stoAuto, stoFile };

using TOnIndexFilter = std::function<void(TDbDataset* sender, const QString& first,
                                          const QString& last, bool& accept)>;
// Converts a text between the program's code page and the table's: toOem when storing.
using TTranslateEvent =
    std::function<void(TDbDataset* dbf, const QByteArray& source, QByteArray& target, bool toOem)>;

// The folder relative table folders and index names start from: the program's folder, with a
// trailing separator, unless set otherwise.
QString DefaultFolder();
void SetDefaultFolder(const QString& folder);

// The dataset of the second-generation engine over one dBase table, its memo file and any
// number of single-key index files, one of which (IndexName) may order the records. A missing
// table is created from FieldDefs (or the persistent fields) unless OpenMode is omNormal.
// Records are numbered from 1; with an index selected, record numbers and bookmarks are
// approximate positions in the index, and the dataset finds its records by their own index
// entries whenever it returns to them. Memo texts given to a record reach the memo file when
// the record is posted, so that cancelling the record discards them; one that a memo file of
// the dBase III form could not give back whole is refused when it is given.
class TDbDataset : public TBufferDataSet {
public:
    explicit TDbDataset(QObject* owner = nullptr);
    ~TDbDataset() override;
    using TDataSet::GotoBookmark;

    QString Version() const;
    // The version is the component's own: assigning changes nothing.
    void SetVersion(const QString&) {}
    QString ComponentInfo() const;

    TDbfIndexCollection& Indexes() { return *indexes_; }
    void SetIndexes(const TDbfIndexCollection& value) { indexes_->Assign(value); }
    // The index file that orders the records; empty (or a name no open index has) for
    // physical order. Takes effect at once on an open dataset.
    const QString& IndexName() const { return indexName_; }
    void SetIndexName(const QString& value);
    TDbfOpenMode OpenMode() const { return openMode_; }
    void SetOpenMode(TDbfOpenMode value) { openMode_ = value; }
    TDbfStorage Storage() const { return storage_; }
    void SetStorage(TDbfStorage value) { storage_ = value; }
    // The table's structure: the definitions a new table is made from, and after opening
    // the table's own. (The framework's definitions are TDataSet::FieldDefs.)
    TDbfFieldDefs& FieldDefs() { return *fieldDefs_; }
    void SetFieldDefs(const TDbfFieldDefs& value);
    // File name of the table; a folder given with it becomes FilePath, relative to the
    // default folder where it can be.
    const QString& TableName() const { return tableName_; }
    void SetTableName(const QString& value);
    // Folder of the table, absolute or relative to the default folder. Only while closed.
    const QString& FilePath() const { return filePath_; }
    void SetFilePath(const QString& value);
    // The folder the table lies in, full, with a trailing separator.
    QString AbsolutePath() const;
    // The table, memo and index files opened for reading only; the dataset refuses changes.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool ShowDeleted() const { return engine_->ShowDeleted; }
    void SetShowDeleted(bool value) { engine_->ShowDeleted = value; }

    // Shown are only records whose upper-cased stored image contains this text (in the
    // table's code page); the text itself is taken as it is, so only capitals match letters.
    QString RecordFilterText;
    TOnIndexFilter OnIndexFilter; // kept; never called
    TNotifyEvent OnCompareRecord; // kept; never called
    TTranslateEvent OnTranslate;

    void SetFiltered(bool value) override;
    // The full name of an index file as the engine registers it.
    QString FullIndexFileName(const QString& name) const;
    TDbfEngine& Engine() { return *engine_; }

protected:
    TRecordBuffer NewRecordBuffer() override;
    void DisposeRecordBuffer(TRecordBuffer buffer) override;
    TGetResult FetchRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    int RecordBufferSize() override;
    void OpenTable() override;
    void CloseTable() override;
    bool IsTableOpen() const override { return engine_->Active; }
    void LoadFieldDefs() override;
    void MoveBeforeFirst() override;
    void MoveAfterLast() override;
    void GotoBookmark(const char* bookmark) override;
    void SetCursorToBuffer(TRecordBuffer buffer) override;
    void BlankRecord(TRecordBuffer buffer) override;
    void PostRecord() override;
    void DeleteRecord() override;
    bool ReadFieldValue(TField* field, void* output) override;
    void WriteFieldValue(TField* field, const void* value) override;
    void InternalCancel() override;
    int CountRecords() override;
    int CurrentRecordNumber() override;
    void GotoRecordNumber(int n) override;
    bool CanChangeData() override;
    bool LocateRecord(const QString& keyFields, const QVariant& keyValues,
                      TLocateOptions options) override;
    std::unique_ptr<TBlobStream> OpenMemoStream(TField* field, TBlobStreamMode mode) override;
    void TranslateText(const QByteArray& source, QByteArray& target, bool toOem) override;
    // Unless OnTranslate converts, table text goes between the table's code page and Unicode
    // directly, as in TDbTable; a character the code page cannot hold is refused with an
    // error naming it and the field.
    QString StoredToText(const QByteArray& stored) override;
    QByteArray TextToStored(TField* field, const QString& text) override;

private:
    friend class TDbfEngine;
    friend class TMyBlobFile;

    QString TablePath() const;
    int ImageSize() const { return engine_->GetRecordSize(); }
    // The record a buffer holds, counted from 1; -1 for a new record.
    qint32 RecordNumberOf(TRecordBuffer buffer) const;
    void SetRecordNumber(TRecordBuffer buffer, qint32 n) const;
    bool Accepts(TRecordBuffer buffer);
    void FillFieldDefsFromFields();
    void CloseEngine();
    // The engine's cursor was switched: the records show in the new order from the one
    // shown now on.
    void OrderChanged();
    // The block a record's memo field names; 0 for none or a number no block can have.
    quint32 MemoBlockOf(int fieldNo, const char* image) const;
    bool MatchesRecord(const std::vector<TField*>& fields, const QVariantList& values,
                       TLocateOptions options);

    std::unique_ptr<TDbfEngine> engine_;
    std::unique_ptr<TDbfIndexCollection> indexes_;
    std::unique_ptr<TDbfFieldDefs> fieldDefs_;
    QString indexName_;
    TDbfOpenMode openMode_ = omAutoCreate;
    TDbfStorage storage_ = stoFile;
    QString tableName_;
    QString filePath_;
    QString absolutePath_;
    bool readOnly_ = false;
    QByteArray filterImage_;
    TPendingMemos pendingMemos_;
};

} // namespace dbdataset
