#include "framework/data/BufferDataSet.h"

#include "framework/data/Field.h"

#include <cstring>

TBufferDataSet::TBufferDataSet(QObject* owner) : TDataSet(owner) {
    SetBookmarkSize(BookmarkLength);
}

TRecordBuffer TBufferDataSet::AllocateBuffer(qsizetype size) {
    const size_t total = size_t(ImageOffset + size);
    auto* buffer = new char[total];
    std::memset(buffer, 0, total);
    return buffer;
}

void TBufferDataSet::DisposeRecordBuffer(TRecordBuffer buffer) {
    delete[] buffer;
}

void TBufferDataSet::ReadBookmark(TRecordBuffer buffer, char* data) {
    std::memcpy(data, buffer, BookmarkLength);
}

TBookmarkFlag TBufferDataSet::ReadBookmarkFlag(TRecordBuffer buffer) {
    return TBookmarkFlag(buffer[FlagOffset]);
}

void TBufferDataSet::WriteBookmark(TRecordBuffer buffer, const char* data) {
    std::memcpy(buffer, data, BookmarkLength);
}

void TBufferDataSet::WriteBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) {
    buffer[FlagOffset] = char(flag);
}

void TBufferDataSet::ClearCalcArea(TRecordBuffer buffer) {
    std::memset(Image(buffer) + RecordBufferSize(), 0, size_t(CalcFieldsSize()));
}

void TBufferDataSet::FieldValueWritten(TField* field) {
    const TDataSetState s = State();
    if (s != dsCalcFields && s != dsFilter && s != dsNewValue)
        DataEvent(deFieldChange, field);
}

char* TBufferDataSet::CalcSlot(TRecordBuffer buffer, TField* field) {
    return Image(buffer) + RecordBufferSize() + field->Offset();
}

bool ReadCalcSlot(const char* slot, TField* field, void* output) {
    if (!slot[0])
        return false;
    if (output)
        std::memcpy(output, slot + 1, size_t(field->DataSize()));
    return true;
}

void WriteCalcSlot(char* slot, TField* field, const void* value) {
    const int size = field->DataSize();
    slot[0] = value ? 1 : 0;
    std::memset(slot + 1, 0, size_t(size));
    const size_t length = !value ? 0
                          : field->DataType() == ftString
                              ? qstrnlen(static_cast<const char*>(value), size_t(size - 1))
                              : size_t(size);
    if (length > 0)
        std::memcpy(slot + 1, value, length);
}
