#pragma once

#include "framework/data/BufferDataSet.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <vector>

// A dataset over records held in memory, for the tests of the dataset layer and the bound
// controls. Stored values: per field a has-value byte, then the binary form of its type
// (blob fields: the 32-bit number of a blob in a separate store, as a memo file would hold
// it). The record buffer: the 32-bit record id (the bookmark), the bookmark flag, the record
// image, the calculated-field area. An empty string counts as no value, as in dBase tables.
class TMemDataSet : public TBufferDataSet {
public:
    struct Column {
        QString name;
        TFieldType type;
        int size = 0;
    };

    explicit TMemDataSet(std::vector<Column> columns, QObject* owner = nullptr);
    ~TMemDataSet() override;
    // The public bookmark jump beside the slot of the same name overridden below.
    using TDataSet::GotoBookmark;

    bool ReadOnly = false;
    // Records in order, for checks: the stored image of each.
    int StoredCount() const { return int(rows_.size()); }
    // Adds a stored record directly (while closed or open), values as texts by column.
    void AddRow(const std::vector<QString>& values);
    // The stored text of a string column of a stored record.
    QString StoredString(int row, int column) const;
    QByteArray StoredBlob(int row, int column) const;
    int BlobCount() const { return int(blobs_.size()); }
    // How often the storage was asked for each kind of work.
    int Fetches = 0;
    // Makes the next post fail with an EDatabaseError.
    bool FailNextPost = false;

protected:
    TRecordBuffer NewRecordBuffer() override;
    TGetResult FetchRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    int RecordBufferSize() override { return imageSize_; }
    void OpenTable() override;
    void CloseTable() override;
    bool IsTableOpen() const override { return open_; }
    void LoadFieldDefs() override;
    void MoveBeforeFirst() override { cursor_ = -1; }
    void MoveAfterLast() override { cursor_ = int(rows_.size()); }
    void GotoBookmark(const char* bookmark) override;
    void SetCursorToBuffer(TRecordBuffer buffer) override;
    void BlankRecord(TRecordBuffer buffer) override;
    void PostRecord() override;
    void DeleteRecord() override;
    bool ReadFieldValue(TField* field, void* output) override;
    void WriteFieldValue(TField* field, const void* value) override;
    int CountRecords() override { return int(rows_.size()); }
    int CurrentRecordNumber() override;
    void GotoRecordNumber(int n) override;
    bool PlaceCursor(int n) override;
    bool CanChangeData() override { return !ReadOnly; }
    std::unique_ptr<TBlobStream> OpenMemoStream(TField* field, TBlobStreamMode mode) override;

private:
    friend class TMemBlobStream;
    struct Row {
        qint32 id;
        QByteArray image;
    };
    static int StoredSize(const Column& c);
    int SlotOffset(int column) const;
    int IndexOfId(qint32 id) const;
    void StoreBlob(TRecordBuffer buffer, int column, const QByteArray& bytes);
    char* FieldSlot(TRecordBuffer buffer, TField* field) const;

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    std::map<qint32, QByteArray> blobs_;
    qint32 nextId_ = 1;
    qint32 nextBlob_ = 1;
    int imageSize_ = 0;
    int cursor_ = -1;
    bool open_ = false;
};
