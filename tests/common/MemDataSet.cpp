#include "common/MemDataSet.h"

#include "framework/data/BlobStream.h"
#include "framework/data/DateStamp.h"
#include "framework/data/Field.h"
#include "platform/Codepage.h"

#include <algorithm>
#include <cstring>

namespace {

int dataSize(TFieldType type, int size) {
    switch (type) {
    case ftString:
        return size + 1;
    case ftSmallint:
    case ftBoolean:
        return 2;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
        return 8;
    default:
        return 4; // integers, dates, blob numbers
    }
}
} // namespace

class TMemBlobStream : public TBlobStream {
public:
    TMemBlobStream(TMemDataSet* owner, TField* field, TBlobStreamMode mode,
                   const QByteArray& content, TRecordBuffer buffer)
        : TBlobStream(field, mode, content), owner_(owner), buffer_(buffer) {}
    void Commit() override {
        if (Mode() != bmRead)
            owner_->StoreBlob(buffer_, Field()->FieldNo() - 1, Written());
    }

private:
    TMemDataSet* owner_;
    TRecordBuffer buffer_;
};

TMemDataSet::TMemDataSet(std::vector<Column> columns, QObject* owner)
    : TBufferDataSet(owner), columns_(std::move(columns)) {
    for (const Column& c : columns_)
        imageSize_ += StoredSize(c);
}

TMemDataSet::~TMemDataSet() {
    Close();
}

int TMemDataSet::StoredSize(const Column& c) {
    return 1 + dataSize(c.type, c.size);
}

int TMemDataSet::SlotOffset(int column) const {
    int offset = 0;
    for (int i = 0; i < column; ++i)
        offset += StoredSize(columns_[size_t(i)]);
    return offset;
}

int TMemDataSet::IndexOfId(qint32 id) const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].id == id)
            return int(i);
    return -1;
}

void TMemDataSet::AddRow(const std::vector<QString>& values) {
    Row row{nextId_++, QByteArray(imageSize_, '\0')};
    for (size_t c = 0; c < columns_.size() && c < values.size(); ++c) {
        const QString& v = values[c];
        if (v.isEmpty())
            continue;
        char* slot = row.image.data() + SlotOffset(int(c));
        slot[0] = 1;
        char* data = slot + 1;
        const Column& col = columns_[c];
        switch (col.type) {
        case ftString: {
            const QByteArray bytes = Codepage::FromUnicode(v, Codepage::Ansi).left(col.size);
            std::memcpy(data, bytes.constData(), size_t(bytes.size()));
            break;
        }
        case ftSmallint: {
            const qint16 x = qint16(v.toInt());
            std::memcpy(data, &x, 2);
            break;
        }
        case ftBoolean: {
            const qint16 x = v.startsWith('T') ? 1 : 0;
            std::memcpy(data, &x, 2);
            break;
        }
        case ftFloat:
        case ftCurrency: {
            const double x = v.toDouble();
            std::memcpy(data, &x, 8);
            break;
        }
        case ftDate: {
            const qint32 x = DateStamp::DayNumber(QDate::fromString(v, Qt::ISODate));
            std::memcpy(data, &x, 4);
            break;
        }
        case ftMemo:
        case ftBlob:
        case ftGraphic: {
            const qint32 x = nextBlob_++;
            blobs_[x] = Codepage::FromUnicode(v, Codepage::Ansi);
            std::memcpy(data, &x, 4);
            break;
        }
        default: {
            const qint32 x = v.toInt();
            std::memcpy(data, &x, 4);
            break;
        }
        }
    }
    rows_.push_back(row);
}

QString TMemDataSet::StoredString(int row, int column) const {
    const char* slot = rows_.at(size_t(row)).image.constData() + SlotOffset(column);
    if (!slot[0])
        return QString();
    return Codepage::ToUnicode(QByteArray(slot + 1), Codepage::Ansi);
}

QByteArray TMemDataSet::StoredBlob(int row, int column) const {
    const char* slot = rows_.at(size_t(row)).image.constData() + SlotOffset(column);
    qint32 id = 0;
    std::memcpy(&id, slot + 1, 4);
    auto it = blobs_.find(id);
    return slot[0] && it != blobs_.end() ? it->second : QByteArray();
}

TRecordBuffer TMemDataSet::NewRecordBuffer() {
    return AllocateBuffer(imageSize_ + CalcFieldsSize());
}

TGetResult TMemDataSet::FetchRecord(TRecordBuffer buffer, TGetMode mode, bool) {
    ++Fetches;
    const int n = int(rows_.size());
    if (n == 0)
        return grEOF;
    for (;;) {
        if (mode == gmNext) {
            cursor_ = std::min(cursor_ + 1, n);
            if (cursor_ >= n)
                return grEOF;
        } else if (mode == gmPrior) {
            cursor_ = std::max(cursor_ - 1, -1);
            if (cursor_ < 0)
                return grBOF;
        } else if (cursor_ < 0 || cursor_ >= n) {
            return grError;
        }
        const Row& row = rows_[size_t(cursor_)];
        std::memcpy(buffer, &row.id, 4);
        buffer[FlagOffset] = char(bfCurrent);
        std::memcpy(buffer + ImageOffset, row.image.constData(), size_t(imageSize_));
        GetCalcFields(buffer);
        if (AcceptsRecord(buffer))
            return grOK;
        if (mode == gmCurrent)
            return grError;
    }
}

void TMemDataSet::LoadFieldDefs() {
    FieldDefs().Clear();
    for (const Column& c : columns_)
        FieldDefs().Add(c.name, c.type, c.type == ftString ? c.size : 0);
}

void TMemDataSet::OpenTable() {
    LoadFieldDefs();
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    open_ = true;
    cursor_ = -1;
}

void TMemDataSet::CloseTable() {
    BindFields(false);
    if (DefaultFields())
        DestroyFields();
    open_ = false;
}

void TMemDataSet::GotoBookmark(const char* bookmark) {
    qint32 id = 0;
    std::memcpy(&id, bookmark, 4);
    const int i = IndexOfId(id);
    if (i < 0)
        DatabaseError(DbText::RecordNotFound);
    cursor_ = i;
}

void TMemDataSet::SetCursorToBuffer(TRecordBuffer buffer) {
    qint32 id = 0;
    std::memcpy(&id, buffer, 4);
    const int i = IndexOfId(id);
    if (i >= 0)
        cursor_ = i;
}

void TMemDataSet::BlankRecord(TRecordBuffer buffer) {
    std::memset(buffer, 0, size_t(ImageOffset + imageSize_));
    const qint32 none = -1;
    std::memcpy(buffer, &none, 4);
}

void TMemDataSet::PostRecord() {
    if (FailNextPost) {
        FailNextPost = false;
        DatabaseError("Post failed");
    }
    TRecordBuffer buffer = ActiveBuffer();
    const QByteArray image(buffer + ImageOffset, imageSize_);
    const int n = int(rows_.size());
    if (State() == dsInsert) {
        const int at = std::clamp(cursor_, 0, n);
        rows_.insert(rows_.begin() + at, Row{nextId_++, image});
        cursor_ = at;
        std::memcpy(buffer, &rows_[size_t(at)].id, 4);
        buffer[FlagOffset] = char(bfCurrent);
    } else if (cursor_ >= 0 && cursor_ < n) {
        rows_[size_t(cursor_)].image = image;
    } else {
        DatabaseError(DbText::RecordNotFound);
    }
}

void TMemDataSet::DeleteRecord() {
    if (cursor_ < 0 || cursor_ >= int(rows_.size()))
        DatabaseError(DbText::RecordNotFound);
    rows_.erase(rows_.begin() + cursor_);
}

char* TMemDataSet::FieldSlot(TRecordBuffer buffer, TField* field) const {
    if (field->Calculated())
        return buffer + ImageOffset + imageSize_ + field->Offset();
    const int column = field->FieldNo() - 1;
    if (column < 0 || column >= int(columns_.size()))
        DatabaseError(QStringLiteral("Field '%1' is not bound").arg(field->FieldName()));
    return buffer + ImageOffset + SlotOffset(column);
}

bool TMemDataSet::ReadFieldValue(TField* field, void* output) {
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        return false;
    const char* slot = FieldSlot(buffer, field);
    if (!slot[0])
        return false;
    if (field->IsBlob()) {
        qint32 id = 0;
        std::memcpy(&id, slot + 1, 4);
        return id != 0;
    }
    if (output)
        std::memcpy(output, slot + 1, size_t(field->DataSize()));
    return true;
}

void TMemDataSet::WriteFieldValue(TField* field, const void* value) {
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        DatabaseError(DbText::NotEditing);
    char* slot = FieldSlot(buffer, field);
    const size_t size = size_t(field->DataSize());
    std::memset(slot + 1, 0, size);
    slot[0] = 0;
    if (value) {
        if (field->DataType() == ftString) {
            const size_t len = strnlen(static_cast<const char*>(value), size - 1);
            std::memcpy(slot + 1, value, len);
            slot[0] = len > 0 ? 1 : 0;
        } else {
            std::memcpy(slot + 1, value, size);
            slot[0] = 1;
        }
    }
    FieldValueWritten(field);
}

int TMemDataSet::CurrentRecordNumber() {
    UpdateCursorPos();
    return cursor_ + 1;
}

void TMemDataSet::GotoRecordNumber(int n) {
    cursor_ = n - 1;
    Resync(rmExact);
}

bool TMemDataSet::PlaceCursor(int n) {
    cursor_ = std::clamp(n - 1, -1, int(rows_.size()));
    return true;
}

std::unique_ptr<TBlobStream> TMemDataSet::OpenMemoStream(TField* field, TBlobStreamMode mode) {
    TRecordBuffer buffer = CurrentBuffer();
    QByteArray content;
    if (buffer && !field->Calculated()) {
        const char* slot = FieldSlot(buffer, field);
        qint32 id = 0;
        std::memcpy(&id, slot + 1, 4);
        auto it = blobs_.find(id);
        if (slot[0] && it != blobs_.end())
            content = it->second;
    }
    return std::make_unique<TMemBlobStream>(this, field, mode, content, buffer);
}

void TMemDataSet::StoreBlob(TRecordBuffer buffer, int column, const QByteArray& bytes) {
    if (!buffer || column < 0)
        DatabaseError(DbText::NotEditing);
    char* slot = buffer + ImageOffset + SlotOffset(column);
    qint32 id = 0;
    if (!bytes.isEmpty()) {
        id = nextBlob_++;
        blobs_[id] = bytes;
    }
    slot[0] = id != 0 ? 1 : 0;
    std::memcpy(slot + 1, &id, 4);
}
