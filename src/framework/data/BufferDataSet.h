#pragma once

#include "framework/data/DataSet.h"

// A dataset whose record buffers begin with the record's bookmark (4 bytes) and its bookmark
// flag, followed by the record's image of RecordBufferSize() bytes and then the slots of the
// calculated fields: at the field's offset a byte that says whether it holds a value, then
// the value.
class TBufferDataSet : public TDataSet {
public:
    explicit TBufferDataSet(QObject* owner = nullptr);

protected:
    static constexpr int BookmarkLength = 4;
    static constexpr int FlagOffset = 4;
    static constexpr int ImageOffset = 5;

    static char* Image(TRecordBuffer buffer) { return buffer + ImageOffset; }
    // A buffer of zero bytes: the bookmark and its flag, then `size` bytes.
    static TRecordBuffer AllocateBuffer(qsizetype size);
    void DisposeRecordBuffer(TRecordBuffer buffer) override;
    void ReadBookmark(TRecordBuffer buffer, char* data) override;
    TBookmarkFlag ReadBookmarkFlag(TRecordBuffer buffer) override;
    void WriteBookmark(TRecordBuffer buffer, const char* data) override;
    void WriteBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) override;
    // No calculated field has a value until the calculation gives it one.
    void ClearCalcArea(TRecordBuffer buffer) override;
    // Tells the controls that a field's value was written, unless the value came from a
    // calculation, a filter or the new-value state, which change no record.
    void FieldValueWritten(TField* field);
    // The slot of a calculated field in a buffer.
    char* CalcSlot(TRecordBuffer buffer, TField* field);
};

// A calculated field's value in its slot: false when it holds none; `output` (when given)
// receives the field's DataSize bytes.
bool ReadCalcSlot(const char* slot, TField* field, void* output);
// Stores a value (none for nullptr). A text is copied up to its end only, and always keeps
// its terminating NUL within the slot, whatever the caller handed over.
void WriteCalcSlot(char* slot, TField* field, const void* value);
