#pragma once

#include "framework/data/DataSetTypes.h"
#include "storage/dbdataset/DbFile.h"
#include "storage/dbdataset/DbIndex.h"
#include "storage/dbdataset/DbMemo.h"

#include <QByteArray>
#include <memory>
#include <vector>

class TField;

namespace dbdataset {

class TDbDataset;

// The files of one table behind a TDbDataset: the table file, its memo file and any number
// of index files, each shared by name with every other engine of the process, and the cursors
// that walk them: one in physical order and one per index file, one of which is current.
// Records are never cached: every read and write goes to the files.
class TDbfEngine {
public:
    explicit TDbfEngine(TDbDataset* owner);
    ~TDbfEngine();
    TDbfEngine(const TDbfEngine&) = delete;
    TDbfEngine& operator=(const TDbfEngine&) = delete;

    // Opens the table, or takes the one open in the process under that name. A file this
    // open created, or recreate 1, receives the structure of fieldDefs (a file this open
    // created is removed again when that fails); otherwise fieldDefs receive the table's.
    void OpenTableFile(TDbfFieldDefs& fieldDefs, const QString& fileName, int recreate,
                       bool autoCreate, bool readOnly);
    // Opens the memo file beside the table: its name with ".dbt" (TableFilePath).
    void OpenMemoFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly);
    // Opens, shares or creates one index file and its cursor. A missing file, or create 1,
    // builds the index from every record of the table (deleted ones too). An index whose key
    // field the table lacks, whose keys are longer than the split rule allows, whose key
    // length is not its field's size, or whose tree is damaged anywhere is refused with
    // EDbfEngineError. Index files are opened
    // for reading and writing; on a medium that allows no writing, a read-only table's index
    // is read as it is.
    void OpenIndexFile(const QString& fileName, const QString& sortField, int create, int flag,
                       bool readOnly);
    // The cursor of the index file registered as fileName (upper-cased, exactly) becomes
    // current; any other name selects physical order. An active dataset then shows its
    // records in the new order, standing where it stood.
    void SelectIndex(const QString& fileName);
    // Writes the table header when the table is writable and was changed, and releases every
    // file and cursor.
    void CloseFiles();

    int GetRecordSize() const;
    // Moves the current cursor and reads the record there into buffer, passing over deleted
    // records in the modes next and prior unless ShowDeleted; mode current on a deleted
    // record, or a position outside the table, gives grError.
    TGetResult ReadVisibleRecord(char* buffer, TGetMode mode, bool doCheck);
    // One field of a dataset record buffer's image; the calculated-field area lies right
    // behind the image.
    bool ReadField(TField* field, const char* record, void* dest);
    // Writes the image as a new record and adds its key to every index. An index found
    // damaged, before or during the change, is refused with EDbfEngineError naming its file.
    void AppendRecord(const char* record);
    // Rewrites the record the current cursor stands on and keeps every index in step.
    void UpdateRecord(const char* record);
    // Fills the dataset's framework field definitions from the table.
    void PublishFieldDefs(TDbfFieldDefs& fieldDefs);

    // Puts the current cursor on record recNo; with an index selected, on that record's own
    // entry (found by its key), or on no record when the index holds none.
    void SyncCursor(int recNo);

    TDbfFile* DbfFile() const { return dbfFile_; }
    TDBTFile* MemoFile() const { return memoFile_.get(); }
    TVirtualCursor* Cursor() const { return cursor_; }
    TDbfCursor* PhysicalCursor() const { return physicalCursor_.get(); }
    const std::vector<std::unique_ptr<TIndexCursor>>& IndexCursors() const { return indexCursors_; }
    int IndexNo() const { return indexNo_; }

    bool Active = false;
    bool ShowDeleted = false;
    bool ReadOnly = false;

private:
    void BuildIndex(TIndexCursor* cursor);
    // A change is refused before it touches the table when an index is known to be damaged.
    void RefuseDamagedIndexes() const;

    TDbDataset* owner_;
    TDbfFile* dbfFile_ = nullptr;
    int indexNo_ = -1;
    std::vector<std::unique_ptr<TIndexCursor>> indexCursors_;
    TVirtualCursor* cursor_ = nullptr;
    std::unique_ptr<TDbfCursor> physicalCursor_;
    TFileRef<TDBTFile> memoFile_;
    QByteArray recordBuffer_;
};

} // namespace dbdataset
