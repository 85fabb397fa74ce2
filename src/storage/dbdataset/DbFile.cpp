#include "storage/dbdataset/DbFile.h"

#include "framework/data/Notices.h"
#include "platform/Clock.h"
#include "storage/dbase/DbfLayout.h"

#include <QChar>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>

namespace dbdataset {

using namespace dbflayout;

bool TrimFieldStrings = false;

namespace {

constexpr int MaxFields = 4095;
// 32-byte descriptors of a table this engine creates: the 16-bit header size holds at most
// this many.
constexpr int MaxCreatedFields = (0xFFFF - HeaderLength - 1) / ShortDescriptor.Size;
constexpr int MaxRecordSize = 0xFFFF;
const QString CR = QString(QChar(13));

QString fieldCountError(qint64 count, int most) {
    return "Invalid field count : " + QString::number(count) + " (must be between 1 and " +
           QString::number(most) + ")";
}

QString recordSizeError(qint64 size) {
    return "Invalid record size : " + QString::number(size) + " (must be between 1 and " +
           QString::number(MaxRecordSize) + ")";
}

const TDescriptorForm& formOfLevel(int level) {
    return level < 4 ? ShortDescriptor : WideDescriptor;
}

bool isBinaryInteger(char letter) {
    return letter == 'I' || letter == '+';
}

bool isMemoLetter(char letter) {
    return letter == 'M' || letter == 'B' || letter == 'G';
}

bool isUnconverted(char letter) {
    return letter == 'O' || letter == '@';
}

// Dataset values of 16 bits; every other integer value has 32.
bool isShortValue(TFieldType type) {
    return type == ftSmallint || type == ftBoolean || type == ftWord;
}

template <class T> void store(void* dest, T value) {
    std::memcpy(dest, &value, sizeof value);
}

template <class T> T load(const void* source) {
    T value;
    std::memcpy(&value, source, sizeof value);
    return value;
}

QByteArray rightTrimmed(const char* data, int length) {
    while (length > 0 && isBlank(data[length - 1]))
        --length;
    return QByteArray(data, length);
}

// A number rounded to `precision` significant digits; an exponent form when the whole part
// has more digits than that.
QByteArray roundedText(double value, int precision, int decimals) {
    const QByteArray e = QByteArray::number(value, 'e', precision - 1);
    const int exponent = e.mid(e.indexOf('e') + 1).toInt();
    if (exponent + 1 > precision)
        return QByteArray::number(value, 'E', precision - 1);
    QByteArray text = QByteArray::number(e.toDouble(), 'f', decimals);
    // No "-0.00": a value that rounds to zero is zero.
    if (text.startsWith('-') &&
        std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; }))
        text.remove(0, 1);
    return text;
}

// The fixed-point text of a value for a field: `decimals` places, at most `size` significant
// digits. An F field without decimals of its own (as this engine makes them) keeps as many
// places as fit, so that a fraction is not rounded away.
QByteArray floatText(double value, int size, int decimals, bool floating) {
    const int precision = std::clamp(size, 1, 17);
    if (!floating)
        return leftPadded(roundedText(value, precision, decimals), size);
    for (int places = std::min(size - 2, 15); places > 0; --places) {
        QByteArray text = roundedText(value, precision, places);
        if (text.size() <= size && text.contains('.')) {
            while (text.endsWith('0'))
                text.chop(1);
            if (text.endsWith('.'))
                text.chop(1);
            return leftPadded(text, size);
        }
    }
    return leftPadded(roundedText(value, precision, 0), size);
}

} // namespace

TDbfFile::TDbfFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly)
    : TPagedFile(fileName, recreate, autoCreate, readOnly),
      fieldDefs_(std::make_unique<TDbfFieldDefs>()) {
    if (IsNew() || recreate == 1)
        return;
    SetHeaderSize(HeaderLength);
    level_ = LevelOfVersion(quint8(Header()[HdrVersion]));
    // A header region shorter than the header itself has no record size to take; it is
    // refused as ReadFieldDefs would refuse it.
    const int headerSize = HeaderWord(HdrHeaderSize);
    if (headerSize < HeaderLength) {
        const TDescriptorForm& form = formOfLevel(level_);
        throw EDbfFileError(fieldCountError((headerSize - form.Start) / form.Size, MaxFields));
    }
    SetHeaderSize(headerSize);
    SetRecordSize(HeaderWord(HdrRecordSize));
    const quint32 inHeader = get32(Header() + HdrRecordCount);
    if (inHeader != quint32(RecordCount())) {
        ShowMessage("Invalid Record Count," + CR +
                    "RecordCount in Hdr : " + QString::number(inHeader) + CR +
                    "expected : " + QString::number(RecordCount()));
        // The count from the file size reaches the file when a writable table is closed.
        MarkChanged();
    }
    ReadFieldDefs();
}

TDbfFile::~TDbfFile() = default;

quint8 TDbfFile::LevelOfVersion(quint8 version) {
    switch (version) {
    case 0x83:
        return 2;
    case 0x04:
    case 0x8C:
        return 5;
    case 0xF5:
        return 6;
    case 0x30:
        return 7;
    default:
        return 3;
    }
}

int TDbfFile::HeaderWord(int offset) const {
    return HeaderSize() >= offset + 2 ? get16(Header() + offset) : 0;
}

void TDbfFile::ReadFieldDefs() {
    fieldDefs_->Clear();
    const TDescriptorForm& form = formOfLevel(level_);
    SetHeaderSize(form.Start);
    SetRecordSize(form.Size);
    const int recordSizeInHeader = HeaderWord(HdrRecordSize);
    int computed = 1;
    std::exception_ptr failure;
    try {
        const int count = (HeaderWord(HdrHeaderSize) - form.Start) / form.Size;
        if (count < 1 || count > MaxFields)
            throw EDbfFileError(fieldCountError(count, MaxFields));
        QByteArray d(form.Size, '\0');
        for (int i = 1; i <= count; ++i) {
            d.fill('\0');
            ReadRecord(i, d.data());
            TDbfFieldDef* def = fieldDefs_->Add();
            def->Offset = computed;
            // A name that fills its area has no NUL; it ends with the area, never in the
            // type letter behind it.
            const int nameLength = int(qstrnlen(d.constData(), size_t(form.NameArea)));
            def->SetName(FromTableText(QByteArray(d.constData(), nameLength)).toUpper());
            // Every field is read at the size the table gives it, whatever its letter allows
            // for a new one: the fields after it lie where the table has them.
            def->SetStored(d[form.Letter], quint8(d[form.Length]), quint8(d[form.Decimals]));
            if (form.Size == WideDescriptor.Size)
                def->AutoIncNext = qint32(get32(d.constData() + 42));
            computed += def->Size();
        }
        if (computed != recordSizeInHeader) {
            ShowMessage("Invalid Record Size," + CR +
                        "Record Size in Hdr : " + QString::number(recordSizeInHeader) + CR +
                        "Expected : " + QString::number(computed));
            // The header could not describe records this long.
            if (computed > MaxRecordSize)
                throw EDbfFileError(recordSizeError(computed));
        }
    } catch (...) {
        failure = std::current_exception();
    }
    SetHeaderSize(HeaderWord(HdrHeaderSize));
    SetRecordSize(HeaderWord(HdrRecordSize));
    if (failure) {
        fieldDefs_->Clear();
        std::rethrow_exception(failure);
    }
    if (computed != recordSizeInHeader) {
        put16(Header() + HdrRecordSize, quint32(computed));
        SetRecordSize(computed);
        // Where the records really lie is unknown: any write could land on a record's bytes,
        // and the header must not be written back with a size that does not fit them. The
        // table is read, never written.
        DropWriteAccess();
    }
}

void TDbfFile::CopyFieldDefs(TDbfFieldDefs& target) {
    target.Clear();
    if (fieldDefs_->Count() == 0)
        ReadFieldDefs();
    for (int i = 0; i < fieldDefs_->Count(); ++i) {
        const TDbfFieldDef* source = fieldDefs_->Items(i);
        TDbfFieldDef* copy = target.Add();
        copy->SetName(source->Name());
        copy->SetSize(source->Size());
        copy->SetPrec(source->Prec());
        copy->SetFieldType(source->FieldType());
    }
}

void TDbfFile::CreateStructure(const TDbfFieldDefs& defs) {
    // Everything is checked before the file is touched, so that a refused structure leaves
    // the file as it was.
    const int count = defs.Count();
    if (count < 1 || count > MaxCreatedFields)
        throw EDbfFileError(fieldCountError(count, MaxCreatedFields));
    QByteArray area(count * ShortDescriptor.Size, '\0');
    qint64 recordSize = 1;
    bool memos = false;
    for (int i = 0; i < count; ++i) {
        const TDbfFieldDef* def = defs.Items(i);
        if (def->NativeFieldType() == 0)
            throw EDbfFileError("Unsupported field type of field \"" + def->Name() + "\"");
        memos = memos || isMemoLetter(def->NativeFieldType());
        char* d = area.data() + i * ShortDescriptor.Size;
        const QByteArray name = ToTableText(def->Name(), def->Name()).left(10);
        std::memcpy(d, name.constData(), size_t(name.size()));
        d[ShortDescriptor.Letter] = def->NativeFieldType();
        d[ShortDescriptor.Length] = char(def->Size() & 0xFF);
        d[ShortDescriptor.Decimals] = char(def->Prec() & 0xFF);
        recordSize += def->Size();
    }
    if (recordSize > MaxRecordSize)
        throw EDbfFileError(recordSizeError(recordSize));
    area += DescriptorsEnd;

    level_ = 0;
    fieldDefs_->Clear();
    std::exception_ptr failure;
    try {
        SetRecordCount(0);
        SetRecordSize(HeaderLength);
        SetHeaderSize(HeaderLength);
        FillHeader(0);
        // Other programs know a table's memo form by its version byte alone.
        Header()[HdrVersion] = char(memos ? VersionDbase4Memo : VersionNoMemo);
        WriteAt(HeaderLength, area.constData(), int(area.size()));
        put16(Header() + HdrRecordSize, quint32(recordSize));
        put16(Header() + HdrHeaderSize, quint32(HeaderLength + area.size()));
        WriteAt(0, Header(), HeaderLength);
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        const int headerSize = HeaderWord(HdrHeaderSize);
        SetRecordSize(HeaderWord(HdrRecordSize));
        SetHeaderSize(headerSize);
        WriteHeader();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TDbfFile::WriteHeader() {
    // A file without a table header (created, its structure not yet written) has none to
    // bring up to date.
    if (HeaderSize() < HeaderLength)
        return;
    SYSTEMTIME today{};
    GetLocalTime(&today);
    char* h = Header();
    h[HdrYear] = char((today.wYear - 1900) & 0xFF);
    h[HdrMonth] = char(today.wMonth);
    h[HdrDay] = char(today.wDay);
    put32(h + HdrRecordCount, quint32(RecordCount()));
    TPagedFile::WriteHeader();
    if (level_ >= 5 && level_ <= 7)
        StoreAutoIncCounters();
    SeekRecord(RecordCount() + 1);
    WriteByte(FileEnd);
    changed_ = false;
}

void TDbfFile::StoreAutoIncCounters() {
    const int headerSize = HeaderSize();
    const int recordSize = RecordSize();
    SetHeaderSize(WideDescriptor.Start);
    SetRecordSize(WideDescriptor.Size);
    std::exception_ptr failure;
    try {
        QByteArray d(WideDescriptor.Size, '\0');
        for (int i = 0; i < fieldDefs_->Count(); ++i) {
            const TDbfFieldDef* def = fieldDefs_->Items(i);
            if (def->NativeFieldType() != '+')
                continue;
            d.fill('\0');
            ReadRecord(i + 1, d.data());
            if (qint32(get32(d.constData() + 42)) != def->AutoIncNext) {
                put32(d.data() + 42, quint32(def->AutoIncNext));
                WriteRecord(i + 1, d.constData());
            }
        }
    } catch (...) {
        failure = std::current_exception();
    }
    SetHeaderSize(headerSize);
    SetRecordSize(recordSize);
    if (failure)
        std::rethrow_exception(failure);
}

TDbfFieldDef* TDbfFile::FindFieldDef(const QString& name) const {
    const QString key = name.toUpper();
    for (int i = 0; i < fieldDefs_->Count(); ++i)
        if (fieldDefs_->Items(i)->Name() == key)
            return fieldDefs_->Items(i);
    return nullptr;
}

const TDbfFieldDef& TDbfFile::FieldDef(int fieldNo, int width) const {
    if (fieldNo < 0 || fieldNo >= fieldDefs_->Count())
        throw EDbfFileError("Invalid field number : " + QString::number(fieldNo));
    const TDbfFieldDef& def = *fieldDefs_->Items(fieldNo);
    if (def.Offset < 1 || qint64(def.Offset) + width > RecordSize())
        throw EDbfFileError("Field \"" + def.Name() + "\" lies outside the record");
    return def;
}

bool TDbfFile::GetFieldValue(int fieldNo, TFieldType fieldType, const char* record,
                             void* dest) const {
    const TDbfFieldDef& probe = FieldDef(fieldNo, 0);
    const char letter = probe.NativeFieldType();
    if (isUnconverted(letter))
        return false;
    if (isBinaryInteger(letter)) {
        const TDbfFieldDef& def = FieldDef(fieldNo, 4);
        const char* at = record + def.Offset;
        const quint32 d = (quint32(quint8(at[0])) << 24) | (quint32(quint8(at[1])) << 16) |
                          (quint32(quint8(at[2])) << 8) | quint32(quint8(at[3]));
        const qint32 value = d == 0 ? 0 : qint32(d ^ 0x80000000u);
        if (dest) {
            if (isShortValue(fieldType))
                store(dest, qint16(value));
            else
                store(dest, value);
        }
        return d != 0;
    }

    const TDbfFieldDef& def = FieldDef(fieldNo, probe.Size());
    const char* at = record + def.Offset;
    const QByteArray text = fieldType == ftString && !TrimFieldStrings
                                ? rightTrimmed(at, def.Size())
                                : trimmed(at, def.Size());
    if (text.isEmpty())
        return false;
    if (!dest)
        return true;
    qint64 v = 0;
    switch (fieldType) {
    case ftString:
        std::memcpy(dest, text.constData(), size_t(text.size()) + 1);
        break;
    case ftSmallint:
        store(dest, parseInteger(text, SHRT_MIN, SHRT_MAX, v) ? qint16(v) : qint16(0));
        break;
    case ftInteger:
        store(dest, parseInteger(text, INT_MIN, INT_MAX, v) ? qint32(v) : qint32(0));
        break;
    case ftBoolean:
        store(dest, qint16(text[0] == 'T' || text[0] == 't' ? 1 : 0));
        break;
    case ftFloat:
    case ftCurrency:
        store(dest, floatOr0(text));
        break;
    case ftDate:
        store(dest, qint32(dateOfText(text)));
        break;
    default:
        break;
    }
    return true;
}

void TDbfFile::SetFieldValue(int fieldNo, TFieldType fieldType, const void* source,
                             char* record) const {
    const TDbfFieldDef& probe = FieldDef(fieldNo, 0);
    const char letter = probe.NativeFieldType();
    if (isUnconverted(letter))
        return;
    if (isBinaryInteger(letter)) {
        const TDbfFieldDef& def = FieldDef(fieldNo, 4);
        quint32 d = 0; // four zero bytes: no value
        if (source) {
            const qint32 value =
                isShortValue(fieldType) ? qint32(load<qint16>(source)) : load<qint32>(source);
            // Its stored form would be the one that means "no value".
            if (value == INT_MIN)
                throw EDbfFileError("The value " + QString::number(value) +
                                    " cannot be stored in the field \"" + def.Name() + "\".");
            d = quint32(value) ^ 0x80000000u;
        }
        char* at = record + def.Offset;
        at[0] = char(d >> 24);
        at[1] = char((d >> 16) & 0xFF);
        at[2] = char((d >> 8) & 0xFF);
        at[3] = char(d & 0xFF);
        return;
    }

    const TDbfFieldDef& def = FieldDef(fieldNo, probe.Size());
    const int size = def.Size();
    QByteArray text;
    if (source) {
        switch (fieldType) {
        case ftString:
            text = QByteArray(static_cast<const char*>(source));
            break;
        case ftSmallint:
            text = leftPadded(QByteArray::number(load<qint16>(source)), size);
            break;
        case ftInteger:
            text = leftPadded(QByteArray::number(load<qint32>(source)), size);
            break;
        case ftBoolean:
            text = load<qint16>(source) == 1 ? "T" : "F";
            break;
        case ftFloat:
        case ftCurrency: {
            const double value = load<double>(source);
            if (!std::isfinite(value))
                throw EDbfFileError("The value " + QString::number(value) +
                                    " cannot be stored in the field \"" + def.Name() + "\".");
            text = floatText(value, size, def.Prec(), letter == 'F' && def.Prec() == 0);
            break;
        }
        case ftDate:
            text = textOfDate(load<qint32>(source));
            break;
        default:
            break;
        }
    }
    if (text.size() > size) {
        if (fieldType != ftString)
            throw EDbfFileError("Field data too long :" + QString::number(text.size()) +
                                " (must be between 1 and " + QString::number(size) + ").");
        text.truncate(size);
    }
    char* at = record + def.Offset;
    std::memcpy(at, text.constData(), size_t(text.size()));
    std::memset(at + text.size(), ' ', size_t(size - text.size()));
}

bool TDbfFile::GetFieldText(int fieldNo, const char* record, QString& text) const {
    text.clear();
    const TDbfFieldDef& def = FieldDef(fieldNo, 0);
    if (isBinaryInteger(def.NativeFieldType()) || isUnconverted(def.NativeFieldType()))
        return false;
    QByteArray bytes(def.Size() + 1, '\0');
    if (!GetFieldValue(fieldNo, ftString, record, bytes.data()))
        return false;
    text = FromTableText(QByteArray(bytes.constData()));
    return true;
}

void TDbfFile::SetFieldText(int fieldNo, const QString& text, char* record) const {
    const TDbfFieldDef& def = FieldDef(fieldNo, 0);
    const QByteArray bytes = ToTableText(text, def.Name());
    SetFieldValue(fieldNo, ftString, bytes.constData(), record);
}

void TDbfFile::AdvanceAutoInc() {
    for (int i = 0; i < fieldDefs_->Count(); ++i) {
        TDbfFieldDef* def = fieldDefs_->Items(i);
        if (def->NativeFieldType() == '+')
            def->AutoIncNext = qint32(quint32(def->AutoIncNext) + 1);
    }
}

void TDbfFile::FillAutoIncFields(char* record) const {
    for (int i = 0; i < fieldDefs_->Count(); ++i) {
        const TDbfFieldDef* def = fieldDefs_->Items(i);
        if (def->NativeFieldType() == '+')
            SetFieldValue(i, ftAutoInc, &def->AutoIncNext, record);
    }
}

bool TDbfCursor::Next() {
    const int count = GetRecordCount();
    RecNo = RecNo > count ? count + 1 : RecNo + 1;
    return RecNo <= count;
}

bool TDbfCursor::Prior() {
    RecNo = RecNo > 0 ? RecNo - 1 : 0;
    return RecNo > 0;
}

void TDbfCursor::First() {
    RecNo = 0;
}

void TDbfCursor::Last() {
    const int count = GetRecordCount();
    RecNo = count == 0 ? 0 : count + 1;
}

int TDbfCursor::GetRecordCount() {
    return PagedFile() ? PagedFile()->RecordCount() : 0;
}

void TDbfCursor::Insert(int, const char*) {
    RecNo = GetRecordCount();
}

} // namespace dbdataset
