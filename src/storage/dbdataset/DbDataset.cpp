#include "storage/dbdataset/DbDataset.h"

#include "framework/data/BlobStream.h"
#include "framework/data/Fields.h"
#include "platform/Files.h"
#include "platform/Oem.h"
#include "storage/dbase/TableText.h"

#include <QByteArrayView>
#include <QDir>
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <utility>

namespace dbdataset {

namespace {

// Behind the calculated-field area a record buffer holds the record number (counted from 1,
// -1 for a new record).
constexpr int RecordNumberSize = 4;
constexpr double VersionNumber = 4.006;
// The memo field's text names its first block in at most this many characters.
constexpr int MemoNumberText = 32;

// Never destroyed, so that a dataset that lives as long as the program finds it to the end.
QString& defaultFolder() {
    static auto* folder = new QString;
    return *folder;
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
        if (const TDBTFile* memo = dataset_->engine_->MemoFile())
            memolayout::RefuseUnmarkable(memo->DBase3(), Written(), Field()->FieldName());
        dataset_->pendingMemos_.Put(buffer_, fieldNo_, Written());
    }

private:
    TDbDataset* dataset_;
    TRecordBuffer buffer_;
    int fieldNo_;
};

// ---------------------------------------------------------------- the dataset

TDbDataset::TDbDataset(QObject* owner)
    : TBufferDataSet(owner), engine_(std::make_unique<TDbfEngine>(this)),
      indexes_(std::make_unique<TDbfIndexCollection>(this)),
      fieldDefs_(std::make_unique<TDbfFieldDefs>(this)) {
    (void)trimmedStrings;
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

qint32 TDbDataset::RecordNumberOf(TRecordBuffer buffer) const {
    qint32 n = 0;
    std::memcpy(&n, Image(buffer) + ImageSize() + CalcFieldsSize(), sizeof n);
    return n;
}

void TDbDataset::SetRecordNumber(TRecordBuffer buffer, qint32 n) const {
    std::memcpy(Image(buffer) + ImageSize() + CalcFieldsSize(), &n, sizeof n);
}

TRecordBuffer TDbDataset::NewRecordBuffer() {
    return AllocateBuffer(ImageSize() + CalcFieldsSize() + RecordNumberSize);
}

void TDbDataset::DisposeRecordBuffer(TRecordBuffer buffer) {
    pendingMemos_.Forget(buffer);
    TBufferDataSet::DisposeRecordBuffer(buffer);
}

void TDbDataset::BlankRecord(TRecordBuffer buffer) {
    pendingMemos_.Forget(buffer);
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
    pendingMemos_.Forget(buffer);
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
    pendingMemos_.Clear();
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

quint32 TDbDataset::MemoBlockOf(int fieldNo, const char* image) const {
    TDbfFile* table = engine_->DbfFile();
    QByteArray number(table->FieldDefs().Items(fieldNo)->Size() + 1, '\0');
    if (!table->GetFieldValue(fieldNo, ftString, image, number.data()))
        return 0;
    const qlonglong block = QByteArray(number.constData()).left(MemoNumberText).toLongLong();
    return block > 0 && block <= qlonglong(UINT32_MAX) ? quint32(block) : 0;
}

void TDbDataset::PostRecord() {
    CheckActive();
    CheckCanModify();
    TRecordBuffer buffer = ActiveBuffer();
    char* image = Image(buffer);
    image[0] = ' ';
    const bool editing = State() == dsEdit;
    if (editing) {
        const qint32 n = RecordNumberOf(buffer);
        engine_->SyncCursor(n);
        if (n < 1 || engine_->Cursor()->GetPhysicalRecNo() != n)
            DatabaseError(DbText::RecordNotFound);
    }
    TDBTFile* memo = engine_->MemoFile();
    const memolayout::TMark mark = memo ? memo->Mark() : memolayout::TMark{};
    const int count = engine_->DbfFile()->RecordCount();
    bool posting = false;
    const auto store = [&](int fieldNo, const QByteArray& text) {
        if (!memo)
            throw EDbfEngineError("Memo file not found : " + TablePath());
        const quint32 block = MemoBlockOf(fieldNo, image);
        const qint64 oldSize = block ? memo->ReadMemo(block).size() : 0;
        const qint32 stored = qint32(memo->WriteMemo(block, oldSize, text));
        engine_->DbfFile()->SetFieldValue(fieldNo, ftInteger, &stored, image);
    };
    const auto post = [&] {
        posting = true;
        if (editing)
            engine_->UpdateRecord(image);
        else
            engine_->AppendRecord(image);
    };
    // The memos go again only while no record names them: the post failed before the record
    // was written (an index that refuses its key comes after it).
    pendingMemos_.StoreAll(buffer, image, ImageSize(), store, post, [&] {
        if (memo && (!posting || (!editing && engine_->DbfFile()->RecordCount() == count)))
            memo->CutBack(mark);
    });
}

void TDbDataset::DeleteRecord() {
    CheckCanModify();
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
    table->MarkChanged();
    table->WriteRecord(n, stored.constData());
    Image(buffer)[0] = '*';
}

void TDbDataset::InternalCancel() {
    pendingMemos_.Forget(ActiveBuffer());
}

// ---------------------------------------------------------------- field values

bool TDbDataset::ReadFieldValue(TField* field, void* output) {
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        return false;
    if (field->IsBlob() && field->FieldNo() >= 1) {
        if (const QByteArray* memo = pendingMemos_.Find(buffer, field->FieldNo() - 1))
            return !memo->isEmpty();
    }
    return engine_->ReadField(field, Image(buffer), output);
}

void TDbDataset::WriteFieldValue(TField* field, const void* value) {
    TRecordBuffer buffer = CurrentBuffer();
    if (!buffer)
        DatabaseError(DbText::NotEditing);
    const int size = field->DataSize();
    if (field->FieldNo() < 1) {
        WriteCalcSlot(CalcSlot(buffer, field), field, value);
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
    FieldValueWritten(field);
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
        if (const QByteArray* pending = pendingMemos_.Find(buffer, fieldNo)) {
            content = *pending;
        } else if (memo) {
            const quint32 block = MemoBlockOf(fieldNo, Image(buffer));
            if (block > 0)
                content = memo->ReadMemo(block);
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
    // Byte by byte, so that lengths stay and memo texts may hold NULs.
    target = QByteArray(source.size(), Qt::Uninitialized);
    (toOem ? CharToOemBuffA : OemToCharBuffA)(source.constData(), target.data(), source.size());
}

QString TDbDataset::StoredToText(const QByteArray& stored) {
    if (OnTranslate)
        return TBufferDataSet::StoredToText(stored);
    return tabletext::FromStored(stored.constData(), stored.size());
}

QByteArray TDbDataset::TextToStored(TField* field, const QString& text) {
    if (OnTranslate)
        return TBufferDataSet::TextToStored(field, text);
    return tabletext::FieldTextToStored(field, text);
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
