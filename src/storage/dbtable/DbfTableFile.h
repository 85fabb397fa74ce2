#pragma once

#include "storage/dbtable/TablePagedFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <vector>

namespace dbtable {

// A dBase table file: the 32-byte header, the field descriptors, and records made of a
// deletion byte (" " live, "*" deleted) and each field's text. The header is read once at
// open and written back by WriteHeader.
//
// The record spacing on disk is always the header's record size. When the descriptors add up
// to another size the table is reported and still read; record images then have ImageSize()
// bytes (fields beyond a record read as blanks), but records are written only when every
// field fits in the spacing on disk, so a neighbouring record is never overwritten.
class TDbfFile : public TPagedFile {
public:
    static constexpr int HeaderLength = 32;

    // Other modes read the header (a file shorter than it raises the stream read error) and
    // report a record count that disagrees with the file size. Create starts an empty
    // header for WriteFieldDescriptors.
    TDbfFile(const QString& path, TPagedMode mode);

    // The descriptor and memo form: 0 (dBase III memo), 1 (dBase IV memo) or 2 (level 7
    // descriptors, dBase IV memo).
    int Level() const { return level_; }
    static int LevelOfVersion(quint8 version);
    quint8 Version() const { return quint8(header_[0]); }
    const QByteArray& Header() const { return header_; }

    // The record count kept in the header copy: the count settled at open plus one for each
    // record appended.
    quint32 HeaderRecordCount() const;

    // Fills the field layout from the descriptors and returns the dataset's definitions.
    QList<TDbfFieldDef> ReadFieldDescriptors();
    // Writes a new table's structure and header; the file is emptied first.
    void WriteFieldDescriptors(const QList<TDbfFieldDef>& defs);
    const std::vector<TMyFieldInfo>& Fields() const { return fields_; }
    static TDbfType TypeOfField(char letter, int length, int decimals);

    // Bytes of a record image: the header's record size, or more when the descriptors need it.
    int ImageSize() const;
    // Whether records can be written without touching a neighbouring record.
    bool RecordsWritable() const;
    // Whether a record was written since the open, or the header's record count was
    // corrected: only then has the header anything new.
    bool Changed() const { return changed_; }
    // Reads record n into an image of ImageSize() bytes; what the file does not hold is blank.
    void ReadRecordImage(int n, char* image);
    // Writes record n (0 to RecordCount()) from an image of ImageSize() bytes.
    void WriteRecordImage(int n, const char* image);
    // Writes a record after the last one and returns its number (the header's count, which
    // grows only once the record is written). A write that fails leaves the table as it was.
    int AppendRecordImage(const char* image);

    // Field `field` (counted from 0) of an image of ImageSize() bytes. Reading answers
    // whether the field holds a value and, with an output given, converts it (String output
    // needs the field's length + 1 bytes). Writing with no value stores blanks.
    bool ReadFieldData(int field, TDbfType type, void* output, const char* image) const;
    // The field's bytes in the image without the blanks around them (empty: no value).
    QByteArrayView FieldText(int field, const char* image) const;
    void WriteFieldData(int field, TDbfType type, const void* value, char* image) const;

    // The memo block a memo field refers to (0 for none), and storing one.
    quint32 ReadMemoBlock(int field, const char* image) const;
    void WriteMemoBlock(int field, quint32 block, char* image) const;

    // Writes the header with today's date and the kept record count, and the end mark.
    void WriteHeader();

private:
    const TMyFieldInfo& field(int index) const;

    QByteArray header_;
    int level_ = 0;
    int layoutSize_ = 0;
    bool changed_ = false;
    std::vector<TMyFieldInfo> fields_;
};

// Day numbers of the dataset's dates: 1 January of year 1 is day 1. Returns 0 for a
// combination that is no date of the years 1 to 9999.
int DayNumber(int year, int month, int day);
// The date of a day number; false for day numbers outside the years 1 to 9999.
bool DecodeDayNumber(int dayNumber, int& year, int& month, int& day);

} // namespace dbtable
