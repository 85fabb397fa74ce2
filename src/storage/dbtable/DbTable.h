#pragma once

#include "framework/data/BufferDataSet.h"
#include "storage/dbase/PendingMemos.h"
#include "storage/dbtable/TableFiles.h"

#include <QByteArray>
#include <QString>

// The dataset over one dBase table (".dbf") with its memo file (".dbt") and, when one lies
// beside it, its index file (".mdx"). Records are always in physical order and numbered from
// 0 as they stand in the file; RecNo is that number + 1. Deleted records stay in the file
// with "*" as their first byte and are hidden unless ShowDeleted is set. New records are
// always written at the end of the file. A group of records is chosen with RecordFilterText:
// a record is shown when its stored image contains the text, letter case ignored.
//
// Memo texts given to a record are kept with its buffer and reach the memo file when the
// record is posted, so that cancelling the record also discards them. A text that a memo file
// of the dBase III form could not give back whole is refused when it is given.
class TDbTable : public TBufferDataSet {
public:
    explicit TDbTable(QObject* owner = nullptr);
    ~TDbTable() override;
    using TDataSet::GotoBookmark;

    static QString ComponentInfo() { return QStringLiteral("TDbDataset V3.7"); }

    // Table file name, absolute or relative to the folder of the table; its extension
    // becomes ".dbf" (".dbt" and ".mdx" for the memo and index files).
    QString TableName() const { return tableName_; }
    void SetTableName(const QString& value) { tableName_ = value; }
    // Folder of the table: absolute, or relative to the program's folder. Default ".".
    QString RunTimePath() const { return runTimePath_; }
    void SetRunTimePath(const QString& value) { runTimePath_ = value; }
    // Folder of the table while the form designer runs (this program has none).
    QString DesignTimePath() const { return designTimePath_; }
    void SetDesignTimePath(const QString& value) { designTimePath_ = value; }
    // A read-only table is opened sharing everything and never written, not even its header.
    // Takes effect at the next open.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool ShowDeleted() const { return showDeleted_; }
    void SetShowDeleted(bool value) { showDeleted_ = value; }
    // Shown are only records whose stored image contains this text (letter case ignored),
    // whatever Filtered says; Filtered gates only OnFilterRecord. Takes effect at the next
    // fetch; the windows close the table, set it and open the table again.
    QString RecordFilterText() const { return filterText_; }
    void SetRecordFilterText(const QString& value);

    // The files of the table as the paths resolve now.
    dbtable::TTablePaths TablePaths() const;
    // Writes a new, empty table with its memo file from the field definitions, or, when
    // there are none, from the dataset's data fields. The dataset must be closed.
    void CreateTable();

    // The open files (none while closed), for checks and tools.
    const dbtable::TTableFiles& Files() const { return files_; }

protected:
    TRecordBuffer NewRecordBuffer() override;
    void DisposeRecordBuffer(TRecordBuffer buffer) override;
    TGetResult FetchRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    int RecordBufferSize() override;
    void OpenTable() override;
    void CloseTable() override;
    bool IsTableOpen() const override { return open_; }
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
    bool PlaceCursor(int n) override;
    bool CanChangeData() override;
    std::unique_ptr<TBlobStream> OpenMemoStream(TField* field, TBlobStreamMode mode) override;
    void TranslateText(const QByteArray& source, QByteArray& target, bool toOem) override;
    // Table text goes between the table's code page and Unicode directly; a character the
    // code page cannot hold is refused with an error naming it and the field.
    QString StoredToText(const QByteArray& stored) override;
    QByteArray TextToStored(TField* field, const QString& text) override;
    bool ReadFieldText(TField* field, QString& text) override;
    QByteArray ReadBlobValue(TField* field) override;

private:
    friend class TDbBlobStream;

    dbtable::TDbfFile* Table() const { return files_.Table(); }
    int ImageSize() const;
    qint32 RecordNumberOf(TRecordBuffer buffer) const;
    void SetRecordNumber(TRecordBuffer buffer, qint32 n) const;
    // The table's index of a stored field, checked against the layout.
    int FieldIndex(TField* field) const;
    bool Accepts(TRecordBuffer buffer);
    bool MatchesFilterText(const char* image) const;
    void ReadDefinitions();
    // Releases the files: with the header rewrite after a complete open, without it after
    // a failed one (a table that could not be read is not written to).
    void CloseFiles(bool complete);
    // The memo of a buffer's field: the text given to the record, else the memo file's.
    QByteArray MemoOf(TRecordBuffer buffer, int index);
    void ForgetPendingMemos(TRecordBuffer buffer) { pendingMemos_.Forget(buffer); }

    QString tableName_;
    QString runTimePath_ = QStringLiteral(".");
    QString designTimePath_;
    bool readOnly_ = false;
    bool showDeleted_ = false;
    QString filterText_;
    QByteArray filterNeedle_; // the filter text in the table's code page, lower-cased
    QByteArray filterFirst_;  // the bytes that fold to the needle's first one

    dbtable::TTableFiles files_;
    bool open_ = false;
    qint32 current_ = -1;
    TPendingMemos pendingMemos_;
};
