#include "storage/DbDataset.h"

#include "framework/data/BlobStream.h"
#include "framework/data/Fields.h"
#include "platform/Files.h"
#include "platform/Oem.h"

#include <QByteArrayView>
#include <QDir>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <utility>

namespace dbdataset {

namespace {

// Record buffer: the bookmark, the bookmark flag, the record image, the calculated-field
// area, then the record number the buffer holds (counted from 1, -1 for a new record).
constexpr int FlagOffset = 4;
constexpr int ImageOffset = 5;
constexpr int RecordNumberSize = 4;
constexpr double VersionNumber = 4.006;
// The memo field's text names its first block in at most this many characters.
constexpr int MemoNumberText = 32;

// The program's text (ANSI) and the table's (OEM) have one byte per character: both
// directions are mapped byte by byte, so that lengths stay and memo texts may hold NULs.
struct TOemMaps {
    std::array<char, 256> toOem{};
    std::array<char, 256> fromOem{};

    TOemMaps() {
        for (int b = 0; b < 256; ++b) {
            const char in[2] = {char(b), '\0'};
            char out[2] = {char(b), '\0'};
            if (b != 0)
                CharToOemA(in, out);
            toOem[size_t(b)] = out[0];
            out[0] = char(b);
            if (b != 0)
                OemToCharA(in, out);
            fromOem[size_t(b)] = out[0];
        }
    }
};

const TOemMaps& oemMaps() {
    static const TOemMaps maps;
    return maps;
}

QString& defaultFolder() {
    static QString folder;
    return folder;
}

// The dataset reads string values without the blanks around them, from the start.
const bool trimmedStrings = [] {
    TrimFieldStrings = true;
    return true;
}();

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool sameText(const QString& a, const QString& b, bool ignoreCase) {
    if (a.size() != b.size())
        return false;
    if (!ignoreCase)
        return a == b;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QChar x = a[i].unicode() < 128 ? QChar(upperAscii(char(a[i].unicode()))) : a[i];
        const QChar y = b[i].unicode() < 128 ? QChar(upperAscii(char(b[i].unicode()))) : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// A folder full and with a trailing separator: an absolute one as it is, any other below the
// default folder.
QString resolveFolder(const QString& path) {
    QString folder = Files::IsAbsolutePath(path) ? path : DefaultFolder() + path;
    folder = Files::ExpandFileName(folder, Files::GetCurrentDir());
    if (!folder.isEmpty() && !Files::IsSeparator(folder.back()))
        folder += '/';
    return Files::NativePath(folder);
}

bool equalValue(TField* field, const QVariant& value) {
    if (field->IsNull() || value.isNull())
        return field->IsNull() && value.isNull();
    switch (field->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: {
        bool ok = false;
        const qlonglong v = value.toLongLong(&ok);
        return ok && v == field->AsInteger();
    }
    case ftFloat:
    case ftCurrency: {
        bool ok = false;
        const double v = value.toDouble(&ok);
        return ok && v == field->AsFloat();
    }
    case ftBoolean:
        return value.toBool() == field->AsBoolean();
    case ftDate:
        return value.toDate() == static_cast<TDateField*>(field)->AsDate();
    case ftDateTime:
        return value.toDateTime() == field->AsDateTime();
    default:
        return value.toString() == field->AsString();
    }
}

} // namespace

QString DefaultFolder() {
    if (defaultFolder().isEmpty())
        defaultFolder() = Files::ProgramFolder();
    return defaultFolder();
}

void SetDefaultFolder(const QString& folder) {
    defaultFolder() = folder;
}

// ---------------------------------------------------------------- index definitions

TDbfIndexDef* TDbfIndexCollection::Add() {
    items_.push_back(std::make_unique<TDbfIndexDef>(this));
    return items_.back().get();
}

void TDbfIndexCollection::Assign(const TDbfIndexCollection& other) {
    if (&other == this)
        return;
    items_.clear();
    for (const auto& item : other.items_) {
        TDbfIndexDef* copy = Add();
        copy->SetIndexFile(item->IndexFile());
        copy->SetSortField(item->SortField());
    }
}

// ---------------------------------------------------------------- memo streams

// One memo field's text for one read or write. What is written waits with the record buffer
// until the record is posted.
class TMyBlobFile : public TBlobStream {
public:
    TMyBlobFile(TDbDataset* dataset, TField* field, TBlobStreamMode mode, const QByteArray& content,
                TRecordBuffer buffer, int fieldNo)
        : TBlobStream(field, mode, content), dataset_(dataset), buffer_(buffer), fieldNo_(fieldNo) {
    }

    void Commit() override {
        if (Mode() != bmWrite)
            return;
        if (!buffer_)
            DatabaseError(DbText::NotEditing);
        dataset_->pendingMemos_[buffer_][fieldNo_] = Written();
    }

private:
    TDbDataset* dataset_;
    TRecordBuffer buffer_;
    int fieldNo_;
};

// ---------------------------------------------------------------- the dataset

TDbDataset::TDbDataset(QObject* owner)
    : TDataSet(owner), engine_(std::make_unique<TDbfEngine>(this)),
      indexes_(std::make_unique<TDbfIndexCollection>(this)),
      fieldDefs_(std::make_unique<TDbfFieldDefs>(this)) {
    (void)trimmedStrings;
    SetBookmarkSize(4);
}

TDbDataset::~TDbDataset() {
    indexName_.clear();
    try {
        Close();
    } catch (...) {
        // The files are released whatever happened; a destructor cannot report.
    }
}

QString TDbDataset::Version() const {
    return QStringLiteral("TDbDataset v") + QString::asprintf("%2.3f", VersionNumber);
}

QString TDbDataset::ComponentInfo() const {
    return QStringLiteral("TDbDataset V") + "4" + "." + "6";
}

void TDbDataset::SetFieldDefs(const TDbfFieldDefs& value) {
    fieldDefs_->Assign(value);
}

// ---------------------------------------------------------------- paths

void TDbDataset::SetFilePath(const QString& value) {
    CheckInactive();
    filePath_ = value;
}

QString TDbDataset::AbsolutePath() const {
    return resolveFolder(filePath_);
}

void TDbDataset::SetTableName(const QString& value) {
    const QString folder = Files::ExtractFilePath(value);
    tableName_ = value.mid(folder.size());
    if (folder.isEmpty())
        return;
    // Kept relative to the default folder where both lie on the native tree.
    QString path = resolveFolder(folder);
    const QString base = resolveFolder(QString());
    if (path.startsWith('/') && base.startsWith('/')) {
        const QString relative = QDir(base).relativeFilePath(path);
        path = relative == "." ? QString() : relative + '/';
    }
    SetFilePath(path);
}

QString TDbDataset::TablePath() const {
    return AbsolutePath() + tableName_;
}

QString TDbDataset::FullIndexFileName(const QString& name) const {
    const QString folder = Files::ExtractFilePath(name);
    return resolveFolder(folder) + name.mid(folder.size());
}

void TDbDataset::SetIndexName(const QString& value) {
    if (Active())
        CheckBrowseMode();
    indexName_ = value;
    engine_->SelectIndex(FullIndexFileName(value).toUpper());
}

void TDbDataset::OrderChanged() {
    const qint32 n = IsEmpty() ? -1 : RecordNumberOf(ActiveBuffer());
    if (n >= 1)
        engine_->SyncCursor(n);
    else
        engine_->Cursor()->First();
    Resync(0);
}

// ---------------------------------------------------------------- buffers

char* TDbDataset::Image(TRecordBuffer buffer) {
    return buffer + ImageOffset;
}

qint32 TDbDataset::RecordNumberOf(TRecordBuffer buffer) const {
    qint32 n = 0;
    std::memcpy(&n, Image(buffer) + ImageSize() + CalcFieldsSize(), sizeof n);
    return n;
}

void TDbDataset::SetRecordNumber(TRecordBuffer buffer, qint32 n) const {
    std::memcpy(Image(buffer) + ImageSize() + CalcFieldsSize(), &n, sizeof n);
}

TRecordBuffer TDbDataset::NewRecordBuffer() {
    const size_t size = size_t(ImageOffset + ImageSize() + CalcFieldsSize() + RecordNumberSize);
    auto* buffer = new char[size];
    std::memset(buffer, 0, size);
    return buffer;
}

void TDbDataset::DisposeRecordBuffer(TRecordBuffer buffer) {
    pendingMemos_.erase(buffer);
    delete[] buffer;
}

void TDbDataset::ReadBookmark(TRecordBuffer buffer, char* data) {
    std::memcpy(data, buffer, 4);
}

TBookmarkFlag TDbDataset::ReadBookmarkFlag(TRecordBuffer buffer) {
    return TBookmarkFlag(buffer[FlagOffset]);
}

void TDbDataset::WriteBookmark(TRecordBuffer buffer, const char* data) {
    std::memcpy(buffer, data, 4);
}

void TDbDataset::WriteBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) {
    buffer[FlagOffset] = char(flag);
}

void TDbDataset::BlankRecord(TRecordBuffer buffer) {
    pendingMemos_.erase(buffer);
    const qint32 none = -1;
    std::memcpy(buffer, &none, 4);
    buffer[FlagOffset] = 0;
    SetRecordNumber(buffer, -1);
    char* image = Image(buffer);
    std::memset(image, ' ', size_t(ImageSize()));
    TDbfFile* table = engine_->DbfFile();
    if (!table)
        return;
    // Binary fields hold no value as zero bytes: blanks would read as a number.
    const TDbfFieldDefs& defs = table->FieldDefs();
    for (int i = 0; i < defs.Count(); ++i) {
        const TDbfFieldDef* def = defs.Items(i);
        const char letter = def->NativeFieldType();
        const bool binary = letter == 'I' || letter == '+' || letter == 'O' || letter == '@';
        if (binary && def->Offset >= 1 && def->Offset + def->Size() <= ImageSize())
            std::memset(image + def->Offset, 0, size_t(def->Size()));
    }
    if (table->Level() >= 5)
        table->FillAutoIncFields(image);
}

void TDbDataset::ClearCalcArea(TRecordBuffer buffer) {
    // No calculated field has a value until the calculation gives it one.
    std::memset(Image(buffer) + ImageSize(), 0, size_t(CalcFieldsSize()));
}

int TDbDataset::RecordBufferSize() {
    return ImageSize();
}

// ---------------------------------------------------------------- fetching

bool TDbDataset::Accepts(TRecordBuffer buffer) {
    if (OnFilterRecord && Filtered())
        return AcceptsRecord(buffer);
    if (RecordFilterText.isEmpty())
        return true;
    const char* image = Image(buffer);
    const int size = ImageSize();
    filterImage_.resize(size);
    for (int i = 0; i < size; ++i)
        filterImage_[i] = upperAscii(image[i]);
    return QByteArrayView(filterImage_).indexOf(QByteArrayView(CharToOemA(RecordFilterText))) >= 0;
}

TGetResult TDbDataset::FetchRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) {
    if (!engine_->Active)
        return grError;
    for (;;) {
        const TGetResult result = engine_->ReadVisibleRecord(Image(buffer), mode, doCheck);
        if (result != grOK)
            return result;
        if (Accepts(buffer))
            break;
        if (mode == gmCurrent)
            return grError;
    }
    pendingMemos_.erase(buffer);
    TVirtualCursor* cursor = engine_->Cursor();
    const qint32 bookmark = cursor->GetBookmark();
    const qint32 recNo = cursor->GetPhysicalRecNo();
    auto mark = [&] {
        buffer[FlagOffset] = char(bfCurrent);
        std::memcpy(buffer, &bookmark, 4);
        SetRecordNumber(buffer, recNo);
    };
    try {
        ClearCalcArea(buffer);
        GetCalcFields(buffer);
    } catch (...) {
        mark();
        throw;
    }
    mark();
    return grOK;
}

// ---------------------------------------------------------------- cursor

void TDbDataset::MoveBeforeFirst() {
    if (engine_->Cursor())
        engine_->Cursor()->First();
}

void TDbDataset::MoveAfterLast() {
    if (engine_->Cursor())
        engine_->Cursor()->Last();
}

void TDbDataset::GotoBookmark(const char* bookmark) {
    qint32 value = 0;
    std::memcpy(&value, bookmark, 4);
    engine_->Cursor()->GotoBookmark(value);
}

void TDbDataset::SetCursorToBuffer(TRecordBuffer buffer) {
    if (ReadBookmarkFlag(buffer) == bfInserted)
        return;
    GotoBookmark(buffer);
    // A position in an index names the record only while the tree keeps its shape: the
    // buffer's own record is found again by its entry.
    engine_->SyncCursor(RecordNumberOf(buffer));
}

int TDbDataset::CountRecords() {
    return engine_->Cursor() ? engine_->Cursor()->GetRecordCount() : 0;
}

int TDbDataset::CurrentRecordNumber() {
    UpdateCursorPos();
    return engine_->Cursor() ? engine_->Cursor()->GetRecNo() : 0;
}

void TDbDataset::GotoRecordNumber(int n) {
    engine_->Cursor()->SetPhysicalRecNo(n);
    Resync(0);
}

// ---------------------------------------------------------------- opening and closing

void TDbDataset::FillFieldDefsFromFields() {
    for (TField* f : Fields())
        if (f->FieldKind() == fkData)
            fieldDefs_->AddFieldDef(f->FieldName(), f->DataType(), f->Size(), f->Required());
}

void TDbDataset::OpenTable() {
    if (fieldDefs_->Count() == 0)
        FillFieldDefsFromFields();
    const bool create = openMode_ == omAutoCreate || openMode_ == omTemporary;
    engine_->OpenTableFile(*fieldDefs_, TablePath(), 0, create, readOnly_);
    engine_->PublishFieldDefs(*fieldDefs_);
    if (DefaultFields())
        CreateFields();
    BindFields(true);
    const TFieldDefs& defs = TDataSet::FieldDefs();
    for (int i = 0; i < defs.Count(); ++i) {
        const TFieldType type = defs.Items(i)->DataType();
        if (type == ftMemo || type == ftGraphic || type == ftBlob) {
            engine_->OpenMemoFile(TablePath(), 0, create, readOnly_);
            break;
        }
    }
    for (int i = 0; i < indexes_->Count(); ++i) {
        const TDbfIndexDef* def = indexes_->Items(i);
        engine_->OpenIndexFile(FullIndexFileName(def->IndexFile()), def->SortField(), 0, 1,
                               readOnly_);
    }
    engine_->SelectIndex(FullIndexFileName(indexName_).toUpper());
    engine_->Active = true;
    MoveBeforeFirst();
}

void TDbDataset::CloseTable() {
    pendingMemos_.clear();
    BindFields(false);
    if (DefaultFields())
        DestroyFields();
    engine_->CloseFiles();
}

void TDbDataset::LoadFieldDefs() {
    CheckInactive();
    fieldDefs_->Clear();
    FillFieldDefsFromFields();
    engine_->OpenTableFile(*fieldDefs_, TablePath(), 0, false, true);
    try {
        engine_->PublishFieldDefs(*fieldDefs_);
    } catch (...) {
        engine_->CloseFiles();
        throw;
    }
    engine_->CloseFiles();
}

bool TDbDataset::CanChangeData() {
    if (readOnly_)
        return false;
    // Sharing a table another dataset opened for reading only.
    const TDbfFile* table = engine_->DbfFile();
    return !table || !table->IsReadOnly();
}

void TDbDataset::SetFiltered(bool value) {
    TDataSet::SetFiltered(value);
    if (Active())
        Resync(0);
}

// ---------------------------------------------------------------- changing records

void TDbDataset::StorePendingMemos(TRecordBuffer buffer) {
    auto it = pendingMemos_.find(buffer);
    if (it == pendingMemos_.end())
        return;
    TDBTFile* memo = engine_->MemoFile();
    TDbfFile* table = engine_->DbfFile();
    char* image = Image(buffer);
    for (const auto& [fieldNo, text] : it->second) {
        if (!memo)
            throw EDbfEngineError("Memo file not found : " + TablePath());
        QByteArray number(table->FieldDefs().Items(fieldNo)->Size() + 1, '\0');
        quint32 block = 0;
        if (table->GetFieldValue(fieldNo, ftString, image, number.data()))
            block = quint32(std::clamp<qlonglong>(
                QByteArray(number.constData()).left(MemoNumberText).toLongLong(), 0, INT_MAX));
        const qint64 oldSize = block ? memo->ReadMemo(block).size() : 0;
        const qint32 stored = qint32(memo->WriteMemo(block, oldSize, text));
        table->SetFieldValue(fieldNo, ftInteger, &stored, image);
    }
    pendingMemos_.erase(it);
}

void TDbDataset::PostRecord() {
    CheckActive();
    if (!CanChangeData())
        DatabaseError(DbText::DataSetReadOnly);
    TRecordBuffer buffer = ActiveBuffer();
    char* image = Image(buffer);
    image[0] = ' ';
    if (State() == dsEdit) {
        const qint32 n = RecordNumberOf(buffer);
        engine_->SyncCursor(n);
        if (n < 1 || engine_->Cursor()->GetPhysicalRecNo() != n)
            DatabaseError(DbText::RecordNotFound);
        StorePendingMemos(buffer);
        engine_->UpdateRecord(image);
    } else {
        StorePendingMemos(buffer);
        engine_->AppendRecord(image);
    }
}

void TDbDataset::DeleteRecord() {
    if (!CanChangeData())
        DatabaseError(DbText::DataSetReadOnly);
    TRecordBuffer buffer = ActiveBuffer();
    const qint32 n = RecordNumberOf(buffer);
    TDbfFile* table = engine_->DbfFile();
    if (n < 1 || n > table->RecordCount())
        DatabaseError(DbText::RecordNotFound);
    engine_->SyncCursor(n);
    // Only the deletion byte changes: the rest of the record stays as the file holds it.
    QByteArray stored(ImageSize(), ' ');
    table->ReadRecord(n, stored.data());
    stored[0] = '*';
    table->WriteRecord(n, stored.constData());
    Image(buffer)[0] = '*';
}

void TDbDataset::InternalCancel() {
    pendingMemos_.erase(ActiveBuffer());
}

// ---------------------------------------------------------------- field values

bool TDbDataset::ReadFieldValue(TField* field, void* output) {
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        return false;
    if (field->IsBlob() && field->FieldNo() >= 1) {
        auto it = pendingMemos_.find(buffer);
        if (it != pendingMemos_.end()) {
            auto memo = it->second.find(field->FieldNo() - 1);
            if (memo != it->second.end())
                return !memo->second.isEmpty();
        }
    }
    return engine_->ReadField(field, Image(buffer), output);
}

void TDbDataset::WriteFieldValue(TField* field, const void* value) {
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        DatabaseError(DbText::NotEditing);
    const int size = field->DataSize();
    if (field->FieldNo() < 1) {
        char* slot = Image(buffer) + ImageSize() + field->Offset();
        slot[0] = value ? 1 : 0;
        std::memset(slot + 1, 0, size_t(size));
        // A text is copied up to its end only: the caller's text may be shorter than the slot.
        const size_t length =
            !value ? 0
                   : (field->DataType() == ftString
                          ? qstrnlen(static_cast<const char*>(value), size_t(size - 1))
                          : size_t(size));
        if (length > 0)
            std::memcpy(slot + 1, value, length);
    } else if (value && field->DataType() == ftString) {
        // The text ends within the field's slot, whatever the caller handed over.
        const char* text = static_cast<const char*>(value);
        const QByteArray bounded(text, qsizetype(qstrnlen(text, size_t(size))));
        engine_->DbfFile()->SetFieldValue(field->FieldNo() - 1, ftString, bounded.constData(),
                                          Image(buffer));
    } else {
        engine_->DbfFile()->SetFieldValue(field->FieldNo() - 1, field->DataType(), value,
                                          Image(buffer));
    }
    const TDataSetState s = State();
    if (s != dsCalcFields && s != dsFilter && s != dsNewValue)
        DataEvent(deFieldChange, field);
}

std::unique_ptr<TBlobStream> TDbDataset::OpenMemoStream(TField* field, TBlobStreamMode mode) {
    const int fieldNo = field->FieldNo() - 1;
    TDbfFile* table = engine_->DbfFile();
    if (fieldNo < 0 || !table || fieldNo >= table->FieldDefs().Count())
        DatabaseError(QStringLiteral("Field '%1' is not bound").arg(field->FieldName()));
    TDBTFile* memo = engine_->MemoFile();
    if (mode != bmRead && !memo)
        throw EDbfEngineError("Memo file not found : " + TablePath());
    TRecordBuffer buffer = CurrentBuffer();
    QByteArray content;
    if (buffer) {
        auto it = pendingMemos_.find(buffer);
        const bool pending = it != pendingMemos_.end() && it->second.count(fieldNo) > 0;
        if (pending) {
            content = it->second[fieldNo];
        } else {
            QByteArray number(table->FieldDefs().Items(fieldNo)->Size() + 1, '\0');
            if (table->GetFieldValue(fieldNo, ftString, Image(buffer), number.data())) {
                const qlonglong block =
                    QByteArray(number.constData()).left(MemoNumberText).toLongLong();
                if (block > 0 && block <= qlonglong(UINT32_MAX) && memo)
                    content = memo->ReadMemo(quint32(block));
            }
        }
    }
    return std::make_unique<TMyBlobFile>(this, field, mode, content, buffer, fieldNo);
}

void TDbDataset::TranslateText(const QByteArray& source, QByteArray& target, bool toOem) {
    if (source.isEmpty())
        return;
    if (OnTranslate) {
        OnTranslate(this, source, target, toOem);
        return;
    }
    const auto& map = toOem ? oemMaps().toOem : oemMaps().fromOem;
    target = QByteArray(source.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < source.size(); ++i)
        target[i] = map[quint8(source[i])];
}

// ---------------------------------------------------------------- searching

bool TDbDataset::MatchesRecord(const std::vector<TField*>& fields, const QVariantList& values,
                               TLocateOptions options) {
    const bool ignoreCase = options & loCaseInsensitive;
    for (size_t i = 0; i < fields.size(); ++i) {
        TField* field = fields[i];
        const QVariant& value = values[qsizetype(i)];
        bool match;
        if (field->DataType() == ftString) {
            const QString text = field->AsString();
            const QString wanted = value.toString();
            match = sameText(text, wanted, ignoreCase);
            if (!match && (options & loPartialKey) && i + 1 == fields.size())
                match =
                    wanted.isEmpty() || (wanted.size() < text.size() &&
                                         sameText(text.left(wanted.size()), wanted, ignoreCase));
        } else {
            match = equalValue(field, value);
        }
        if (!match)
            return false;
    }
    return true;
}

bool TDbDataset::LocateRecord(const QString& keyFields, const QVariant& keyValues,
                              TLocateOptions options) {
    if (BeforeScroll)
        BeforeScroll(this);
    CheckBrowseMode();
    std::vector<TField*> fields;
    for (const QString& name : keyFields.split(';', Qt::SkipEmptyParts))
        fields.push_back(FieldByName(name.trimmed()));
    QVariantList values;
    const int type = keyValues.typeId();
    if (type == QMetaType::QVariantList || type == QMetaType::QStringList)
        values = keyValues.toList();
    else if (fields.size() == 1)
        values.append(keyValues);
    if (fields.empty() || size_t(values.size()) != fields.size())
        return false;

    // The walk to a match scrolls nobody: the scroll events are held back until it ends.
    const TBookmark start = GetBookmark();
    const TDataSetNotifyEvent before = std::exchange(BeforeScroll, nullptr);
    const TDataSetNotifyEvent after = std::exchange(AfterScroll, nullptr);
    DisableControls();
    bool found = false;
    try {
        for (First(); !Eof(); Next())
            if (MatchesRecord(fields, values, options)) {
                found = true;
                break;
            }
        if (!found && !start.IsNull())
            GotoBookmark(start);
    } catch (...) {
        BeforeScroll = before;
        AfterScroll = after;
        EnableControls();
        throw;
    }
    BeforeScroll = before;
    AfterScroll = after;
    EnableControls();
    if (found && AfterScroll)
        AfterScroll(this);
    return found;
}

} // namespace dbdataset
