#include "storage/dbtable/DbTable.h"

#include "framework/data/BlobStream.h"
#include "framework/data/Field.h"
#include "platform/Oem.h"
#include "storage/dbase/MemoLayout.h"
#include "storage/dbase/TableText.h"

#include <QByteArrayView>
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

using namespace dbtable;

namespace {

// Lower case in the table's code page, byte by byte, so that the filter keeps lengths.
struct CodePageMaps {
    std::array<char, 256> lowerOem{};

    CodePageMaps() {
        for (int b = 0; b < 256; ++b) {
            lowerOem[size_t(b)] = char(b);
            if (b >= 'A' && b <= 'Z') {
                lowerOem[size_t(b)] = char(b - 'A' + 'a');
            } else if (b >= 0x80) {
                // Letters beyond ASCII fold as the code page's characters do, where the
                // lower-case letter exists in it.
                const QString ch = OemToCharA(QByteArray(1, char(b)));
                const QString lower = ch.toLower();
                if (lower != ch) {
                    const QByteArray back = CharToOemA(lower);
                    if (back.size() == 1 && back[0] != '?')
                        lowerOem[size_t(b)] = back[0];
                }
            }
        }
    }
};

const CodePageMaps& maps() {
    static const CodePageMaps m;
    return m;
}

QByteArray mapBytes(const QByteArray& source, const std::array<char, 256>& map) {
    QByteArray out(source.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < source.size(); ++i)
        out[i] = map[quint8(source[i])];
    return out;
}

// The dataset's field types that a table holds, beside the table's value kinds.
constexpr std::pair<TFieldType, TDbfType> TypePairs[] = {
    {ftString, TDbfType::String},   {ftSmallint, TDbfType::Smallint},
    {ftInteger, TDbfType::Integer}, {ftBoolean, TDbfType::Boolean},
    {ftFloat, TDbfType::Float},     {ftCurrency, TDbfType::Currency},
    {ftDate, TDbfType::Date},       {ftMemo, TDbfType::Memo},
};

TDbfType dbfTypeOf(TFieldType type) {
    for (const auto& [field, dbf] : TypePairs)
        if (field == type)
            return dbf;
    return TDbfType::Other;
}

TFieldType fieldTypeOf(TDbfType type) {
    for (const auto& [field, dbf] : TypePairs)
        if (dbf == type)
            return field;
    return ftUnknown;
}

} // namespace

// A memo field's text for one read or write. What is written is kept with the record buffer
// until the record is posted.
class TDbBlobStream : public TBlobStream {
public:
    TDbBlobStream(TDbTable* table, TField* field, TBlobStreamMode mode, const QByteArray& content,
                  TRecordBuffer buffer, int index)
        : TBlobStream(field, mode, content), table_(table), buffer_(buffer), index_(index) {}

    void Commit() override {
        if (Mode() == bmRead)
            return;
        if (!buffer_)
            DatabaseError(DbText::NotEditing);
        if (const TDbtFile* memo = table_->files_.Memo())
            memolayout::RefuseUnmarkable(memo->DBase3(), Written(), Field()->FieldName());
        table_->pendingMemos_.Put(buffer_, index_, Written());
        // The record now differs from the file: moving off it must post it, not drop it.
        ReportChange();
    }

private:
    TDbTable* table_;
    TRecordBuffer buffer_;
    int index_;
};

TDbTable::TDbTable(QObject* owner) : TBufferDataSet(owner) {}

TDbTable::~TDbTable() {
    try {
        Close();
    } catch (...) {
        // The files are released whatever happened; a destructor cannot report.
    }
}

TTablePaths TDbTable::TablePaths() const {
    return ResolveTablePaths(tableName_, runTimePath_, designTimePath_, false);
}

void TDbTable::SetRecordFilterText(const QString& value) {
    filterText_ = value;
    filterNeedle_ = mapBytes(CharToOemA(value), maps().lowerOem);
    // Every byte that folds to the text's first character: the search looks for these and
    // compares only where one stands.
    filterFirst_.clear();
    if (!filterNeedle_.isEmpty())
        for (int b = 0; b < 256; ++b)
            if (maps().lowerOem[size_t(b)] == filterNeedle_[0])
                filterFirst_.append(char(b));
}

// ---------------------------------------------------------------- buffers

int TDbTable::ImageSize() const {
    return files_.IsOpen() ? Table()->ImageSize() : 0;
}

qint32 TDbTable::RecordNumberOf(TRecordBuffer buffer) const {
    qint32 n = 0;
    std::memcpy(&n, buffer, sizeof n);
    return n;
}

void TDbTable::SetRecordNumber(TRecordBuffer buffer, qint32 n) const {
    std::memcpy(buffer, &n, sizeof n);
}

// The record buffer's bookmark is the record number, counted from 0.
TRecordBuffer TDbTable::NewRecordBuffer() {
    TRecordBuffer buffer = AllocateBuffer(ImageSize() + CalcFieldsSize());
    BlankRecord(buffer);
    return buffer;
}

void TDbTable::DisposeRecordBuffer(TRecordBuffer buffer) {
    ForgetPendingMemos(buffer);
    TBufferDataSet::DisposeRecordBuffer(buffer);
}

void TDbTable::BlankRecord(TRecordBuffer buffer) {
    ForgetPendingMemos(buffer);
    SetRecordNumber(buffer, -1);
    buffer[FlagOffset] = 0;
    std::memset(Image(buffer), ' ', size_t(ImageSize()));
}

int TDbTable::RecordBufferSize() {
    return ImageSize();
}

// ---------------------------------------------------------------- fetching

bool TDbTable::MatchesFilterText(const char* image) const {
    const qsizetype size = ImageSize();
    const qsizetype length = filterNeedle_.size();
    if (length > size)
        return false;
    const auto& lower = maps().lowerOem;
    const char* needle = filterNeedle_.constData();
    const char* last = image + (size - length);
    for (const char first : filterFirst_) {
        for (const char* p = image; p <= last; ++p) {
            p = static_cast<const char*>(std::memchr(p, first, size_t(last - p + 1)));
            if (!p)
                break;
            qsizetype k = 1;
            while (k < length && lower[quint8(p[k])] == needle[k])
                ++k;
            if (k == length)
                return true;
        }
    }
    return false;
}

bool TDbTable::Accepts(TRecordBuffer buffer) {
    const char* image = Image(buffer);
    if (!showDeleted_ && image[0] != ' ')
        return false;
    if (!filterNeedle_.isEmpty() && !MatchesFilterText(image))
        return false;
    return AcceptsRecord(buffer);
}

TGetResult TDbTable::FetchRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) {
    if (!files_.IsOpen())
        return grError;
    // The count as seen last, measured anew wherever it ends the way: another program may
    // have added records to a table it shares with this one.
    int count = Table()->KnownRecordCount();
    if (count == 0)
        count = Table()->RecordCount();
    if (count == 0)
        return grEOF;
    for (;;) {
        if (mode == gmNext) {
            if (current_ + 1 >= count)
                count = Table()->RecordCount();
            if (current_ + 1 >= count) {
                MoveAfterLast();
                return grEOF;
            }
            ++current_;
        } else if (mode == gmPrior) {
            if (current_ - 1 < 0) {
                MoveBeforeFirst();
                return grBOF;
            }
            current_ = std::min(current_, count) - 1;
        }
        // A current request always reads: a buffer that holds the same record number may
        // hold an older state of it (another dataset on the file, or a record deleted since).
        if (current_ >= count)
            count = Table()->RecordCount();
        if (current_ < 0 || current_ >= count) {
            if (doCheck)
                throw EBinaryDataSetError("GetRecord: Invalid record");
            return grError;
        }
        ForgetPendingMemos(buffer);
        Table()->ReadRecordImage(current_, Image(buffer));
        buffer[FlagOffset] = char(bfCurrent);
        SetRecordNumber(buffer, current_);
        ClearCalcArea(buffer);
        GetCalcFields(buffer);
        if (Accepts(buffer))
            return grOK;
        if (mode == gmCurrent)
            return grError;
    }
}

// ---------------------------------------------------------------- cursor

void TDbTable::MoveBeforeFirst() {
    if (files_.IsOpen() && Table()->RecordCount() == 0)
        MoveAfterLast();
    else
        current_ = -1;
}

void TDbTable::MoveAfterLast() {
    current_ = files_.IsOpen() ? Table()->RecordCount() : 0;
}

void TDbTable::GotoBookmark(const char* bookmark) {
    qint32 n = 0;
    std::memcpy(&n, bookmark, sizeof n);
    if (n < 0 || n >= CountRecords())
        throw EBinaryDataSetError(QStringLiteral("Bookmark %1 not found").arg(n));
    current_ = n;
}

void TDbTable::SetCursorToBuffer(TRecordBuffer buffer) {
    if (buffer)
        current_ = RecordNumberOf(buffer);
}

int TDbTable::CountRecords() {
    return files_.IsOpen() ? Table()->RecordCount() : 0;
}

int TDbTable::CurrentRecordNumber() {
    UpdateCursorPos();
    return current_ + 1;
}

void TDbTable::GotoRecordNumber(int n) {
    current_ = n - 1;
    Resync(rmExact);
}

bool TDbTable::PlaceCursor(int n) {
    current_ = std::clamp(n - 1, -1, CountRecords());
    return true;
}

// ---------------------------------------------------------------- opening and closing

void TDbTable::ReadDefinitions() {
    for (const TDbfFieldDef& def : Table()->ReadFieldDescriptors())
        FieldDefs().Add(def.Name, fieldTypeOf(def.Type), def.Size, def.Required);
}

void TDbTable::LoadFieldDefs() {
    FieldDefs().Clear();
    if (files_.IsOpen()) {
        ReadDefinitions();
        return;
    }
    // Only reading: opened sharing everything, so nothing is written when released.
    files_.Open(TablePaths(), true);
    try {
        ReadDefinitions();
    } catch (...) {
        files_.Discard();
        throw;
    }
    files_.Close();
}

void TDbTable::OpenTable() {
    files_.Open(TablePaths(), readOnly_);
    LoadFieldDefs();
    // The descriptors and the record size disagree (the notice said so): the table is read
    // as it stands but never written, its memo and index files neither.
    if (!Table()->RecordsWritable())
        files_.DropWriteAccess();
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    open_ = true;
    MoveBeforeFirst();
}

void TDbTable::CloseFiles(bool complete) {
    if (complete)
        files_.Close();
    else
        files_.Discard();
}

void TDbTable::CloseTable() {
    const bool complete = open_;
    open_ = false;
    current_ = -1;
    pendingMemos_.Clear();
    BindFields(false);
    if (DefaultFields())
        DestroyFields();
    CloseFiles(complete);
}

void TDbTable::CreateTable() {
    CheckInactive();
    if (FieldDefs().Count() == 0) {
        for (TField* f : Fields())
            if (f->FieldKind() == fkData)
                FieldDefs().Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
    }
    QList<TDbfFieldDef> defs;
    for (int i = 0; i < FieldDefs().Count(); ++i) {
        const TFieldDef* d = FieldDefs().Items(i);
        defs.append({d->Name(), dbfTypeOf(d->DataType()), d->Size(), d->Required()});
    }
    TTableFiles files;
    files.Create(TablePaths());
    try {
        files.Table()->WriteFieldDescriptors(defs);
    } catch (...) {
        try {
            files.Close();
        } catch (...) {
        }
        throw;
    }
    files.Close();
}

bool TDbTable::CanChangeData() {
    if (readOnly_)
        return false;
    // Opened read-only, or sharing a file another dataset opened read-only.
    return !files_.IsOpen() || (!files_.ReadOnly() && Table()->Mode() != TPagedMode::Read);
}

// ---------------------------------------------------------------- changing records

void TDbTable::PostRecord() {
    CheckActive();
    CheckCanModify();
    TRecordBuffer buffer = ActiveBuffer();
    char* image = Image(buffer);
    if (!Table()->RecordsWritable())
        throw EBinaryDataSetError("Invalid Record Size, the table can not be written : " +
                                  files_.Paths().Table);
    TDbtFile* memoFile = files_.Memo();
    const memolayout::TMark mark = memoFile ? memoFile->Mark() : memolayout::TMark{};
    const auto store = [&](int index, const QByteArray& text) {
        if (!memoFile)
            throw EBinaryDataSetError("Memo file not found : " + files_.Paths().Memo);
        // The old memo's blocks take the new text when it fits them.
        const quint32 oldBlock = Table()->ReadMemoBlock(index, image);
        qint64 oldStored = 0;
        const qint64 oldSize = memoFile->ReadMemo(oldBlock, &oldStored).size();
        const quint32 block = memoFile->WriteMemo(oldBlock, oldSize, text, oldStored);
        Table()->WriteMemoBlock(index, block, image);
    };
    const auto post = [&] {
        image[0] = ' ';
        if (State() == dsInsert) {
            const int n = Table()->AppendRecordImage(image);
            SetRecordNumber(buffer, n);
            WriteBookmarkFlag(buffer, bfCurrent);
            current_ = n;
        } else {
            current_ = RecordNumberOf(buffer);
            Table()->WriteRecordImage(current_, image);
        }
    };
    pendingMemos_.StoreAll(buffer, image, ImageSize(), store, post, [&] {
        if (memoFile)
            memoFile->CutBack(mark);
    });
}

void TDbTable::DeleteRecord() {
    CheckCanModify();
    TRecordBuffer buffer = ActiveBuffer();
    const qint32 n = RecordNumberOf(buffer);
    if (n < 0 || n >= CountRecords())
        DatabaseError(DbText::RecordNotFound);
    // Only the deletion byte changes: the rest of the record stays as the file holds it.
    QByteArray stored(ImageSize(), ' ');
    Table()->ReadRecordImage(n, stored.data());
    stored[0] = '*';
    Table()->WriteRecordImage(n, stored.constData());
    Image(buffer)[0] = '*';
    current_ = n;
}

void TDbTable::InternalCancel() {
    ForgetPendingMemos(ActiveBuffer());
}

// ---------------------------------------------------------------- field values

int TDbTable::FieldIndex(TField* field) const {
    const int index = field->FieldNo() - 1;
    if (!files_.IsOpen() || index < 0 || size_t(index) >= Table()->Fields().size())
        DatabaseError(QStringLiteral("Field '%1' is not bound").arg(field->FieldName()));
    return index;
}

bool TDbTable::ReadFieldValue(TField* field, void* output) {
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        return false;
    if (field->FieldKind() != fkData)
        return ReadCalcSlot(CalcSlot(buffer, field), field, output);
    const int index = FieldIndex(field);
    if (field->DataType() == ftMemo) {
        if (const QByteArray* memo = pendingMemos_.Find(buffer, index))
            return !memo->isEmpty();
    }
    return Table()->ReadFieldData(index, dbfTypeOf(field->DataType()), output, Image(buffer));
}

void TDbTable::WriteFieldValue(TField* field, const void* value) {
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        DatabaseError(DbText::NotEditing);
    const int size = field->DataSize();
    if (field->FieldKind() != fkData) {
        WriteCalcSlot(CalcSlot(buffer, field), field, value);
    } else if (value && field->DataType() == ftString) {
        // The text ends within the field's slot, whatever the caller handed over.
        const char* text = static_cast<const char*>(value);
        const QByteArray bounded(text, qsizetype(qstrnlen(text, size_t(size))));
        Table()->WriteFieldData(FieldIndex(field), TDbfType::String, bounded.constData(),
                                Image(buffer));
    } else {
        Table()->WriteFieldData(FieldIndex(field), dbfTypeOf(field->DataType()), value,
                                Image(buffer));
    }
    FieldValueWritten(field);
}

QByteArray TDbTable::MemoOf(TRecordBuffer buffer, int index) {
    if (!buffer)
        return QByteArray();
    if (const QByteArray* memo = pendingMemos_.Find(buffer, index))
        return *memo;
    const quint32 block = Table()->ReadMemoBlock(index, Image(buffer));
    if (!files_.Memo()) {
        if (block != 0)
            throw EBinaryDataSetError("Memo file not found : " + files_.Paths().Memo);
        return QByteArray();
    }
    return files_.Memo()->ReadMemo(block);
}

std::unique_ptr<TBlobStream> TDbTable::OpenMemoStream(TField* field, TBlobStreamMode mode) {
    const int index = FieldIndex(field);
    if (mode != bmRead && !files_.Memo())
        throw EBinaryDataSetError("Memo file not found : " + files_.Paths().Memo);
    TRecordBuffer buffer = CurrentBuffer();
    return std::make_unique<TDbBlobStream>(this, field, mode, MemoOf(buffer, index), buffer, index);
}

QByteArray TDbTable::ReadBlobValue(TField* field) {
    CheckActive();
    if (field->DataType() != ftMemo)
        return TDataSet::ReadBlobValue(field);
    return MemoOf(CurrentBuffer(), FieldIndex(field));
}

QString TDbTable::StoredToText(const QByteArray& stored) {
    return tabletext::FromStored(stored.constData(), stored.size());
}

QByteArray TDbTable::TextToStored(TField* field, const QString& text) {
    return tabletext::FieldTextToStored(field, text);
}

bool TDbTable::ReadFieldText(TField* field, QString& text) {
    if (field->FieldKind() != fkData || field->DataType() != ftString)
        return TDataSet::ReadFieldText(field, text);
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        return false;
    const QByteArrayView stored = Table()->FieldText(FieldIndex(field), Image(buffer));
    if (stored.isEmpty())
        return false;
    text = tabletext::FromStored(stored.data(), stored.size());
    return true;
}

void TDbTable::TranslateText(const QByteArray& source, QByteArray& target, bool toOem) {
    if (source.isEmpty()) {
        target = source;
        return;
    }
    target = QByteArray(source.size(), Qt::Uninitialized);
    (toOem ? CharToOemBuffA : OemToCharBuffA)(source.constData(), target.data(), source.size());
}
