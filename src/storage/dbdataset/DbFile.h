#pragma once

#include "storage/dbdataset/DbCursor.h"
#include "storage/dbdataset/DbFieldDef.h"

#include <memory>

namespace dbdataset {

// While true, string values lose their blanks on both sides when read; while false, only on
// the right. False at start.
extern bool TrimFieldStrings;

// A dBase table file: the 32-byte header and the field descriptors in the header region, the
// rows as records. Five families are told apart by the version byte (Level):
//   0x83                              2   32-byte descriptors from offset 32
//   0x03, 0x7B, 0x8B, 0x8E and others 3   32-byte descriptors from offset 32
//   0x04, 0x8C                        5   48-byte descriptors from offset 68
//   0xF5                              6   48-byte descriptors from offset 68
//   0x30                              7   48-byte descriptors from offset 68
//   (a file this open created)        0   32-byte descriptors from offset 32
// Levels 5 to 7 keep the next value of each auto-increment field in its descriptor. Record
// images are RecordSize bytes: the deletion byte (blank or "*") and the fields at their
// offsets. Nothing is cached: every record read and write goes to the file.
class TDbfFile : public TPagedFile {
public:
    // Opens the table, reading its header and descriptors; a file this open created, or
    // recreate 1, is left for CreateStructure. A header whose sizes cannot describe a table
    // is refused with EDbfFileError, and the file is not kept open. Header counts that the
    // file contradicts are shown in the plain message box and the open goes on with the
    // counts the file gives; a record size other than the fields' sum leaves the table open
    // for reading only (records are then read at the fields' size). Fields are read at the
    // size and decimals their descriptors state.
    TDbfFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly);
    ~TDbfFile() override;

    quint8 Level() const { return level_; }
    static quint8 LevelOfVersion(quint8 version);
    TDbfFieldDefs& FieldDefs() { return *fieldDefs_; }

    // Fills FieldDefs from the descriptors.
    void ReadFieldDefs();
    // Copies the table's definitions into target by name, size, decimals and, last, dataset
    // type, so the copy's letter follows from its type.
    void CopyFieldDefs(TDbfFieldDefs& target);
    // Writes a new empty table (32-byte descriptors; version 0x03, or 0x8B with memo fields,
    // whose memo file then takes the dBase IV form) from defs. Definitions the
    // format cannot hold are refused before anything is written.
    void CreateStructure(const TDbfFieldDefs& defs);
    // Stamps today's date and the record count into the header, writes it, stores the
    // auto-increment counters (levels 5 to 7) and the end mark after the last record.
    void WriteHeader() override;
    void StoreAutoIncCounters();
    // Whether a record was written, or the header's record count found wrong, since the table
    // was opened or its header last written: a table is brought up to date on closing only
    // then, never because it was opened.
    bool Changed() const { return changed_; }
    void MarkChanged() { changed_ = true; }
    TDbfFieldDef* FindFieldDef(const QString& name) const;

    // Reads field fieldNo (counted from 0) of a record image as a value of the dataset type
    // into dest (which may be null, to test for a value); false when the field has none.
    // Destinations: ftString Size + 1 bytes; ftSmallint, ftBoolean 16 bits; ftInteger,
    // ftAutoInc, ftDate 32 bits; ftFloat, ftCurrency a double. Fields stored as binary
    // integers give 32 bits (16 to a 16-bit destination).
    bool GetFieldValue(int fieldNo, TFieldType fieldType, const char* record, void* dest) const;
    // Stores the value at source (null for no value) into field fieldNo of a record image. A
    // value too long for a field that is not a string raises EDbfFileError and leaves the
    // image as it was; strings are cut.
    void SetFieldValue(int fieldNo, TFieldType fieldType, const void* source, char* record) const;

    // The text of a field stored as text, converted from the table's code page; false when
    // the field holds none.
    bool GetFieldText(int fieldNo, const char* record, QString& text) const;
    // Stores a text into a field, converted to the table's code page; a character that the
    // code page cannot hold is refused with EDbfFileError naming it and the field.
    void SetFieldText(int fieldNo, const QString& text, char* record) const;

    void AdvanceAutoInc();
    // Writes the next value of every auto-increment field into a record image.
    void FillAutoIncFields(char* record) const;

private:
    const TDbfFieldDef& FieldDef(int fieldNo, int width) const;
    int HeaderWord(int offset) const;

    quint8 level_ = 0;
    bool changed_ = false;
    std::unique_ptr<TDbfFieldDefs> fieldDefs_;
};

// Walks the records of a table file in physical order. RecNo is 0 before the first record and
// RecordCount + 1 after the last; no operation checks a range.
class TDbfCursor : public TVirtualCursor {
public:
    explicit TDbfCursor(TDbfFile* file) : TVirtualCursor(file) {}

    int RecNo = 0;

    bool Next() override;
    bool Prior() override;
    void First() override;
    void Last() override;
    int GetPhysicalRecNo() override { return RecNo; }
    int GetRecordCount() override;
    int GetRecNo() override { return RecNo; }
    void SetPhysicalRecNo(int recNo) override { RecNo = recNo; }
    int GetBookmark() override { return RecNo; }
    void GotoBookmark(int bookmark) override { RecNo = bookmark; }
    void Insert(int recNo, const char* record) override;
    void Update(int, const char*, const char*) override {}
};

} // namespace dbdataset
