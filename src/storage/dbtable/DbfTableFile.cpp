#include "storage/dbtable/DbfTableFile.h"

#include "framework/data/DateStamp.h"
#include "framework/data/Notices.h"
#include "platform/Clock.h"
#include "storage/dbase/DbfLayout.h"

#include <QChar>
#include <climits>
#include <cmath>
#include <cstring>

namespace dbtable {

using namespace dbflayout;

namespace {

constexpr int Level2Extra = 36; // header bytes 32 to 67 of level 2 tables
constexpr int MaxFields = 255;
const QString CR = QString(QChar(13));

void showNotice(const QString& text) {
    ShowMessage(text);
}

} // namespace

int DayNumber(int year, int month, int day) {
    // The time stamps' calendar ends with the year 9999.
    return year <= 9999 ? DateStamp::DayNumber(QDate(year, month, day)) : 0;
}

bool DecodeDayNumber(int dayNumber, int& year, int& month, int& day) {
    const QDate date = DateStamp::FromDayNumber(dayNumber);
    if (!date.isValid())
        return false;
    date.getDate(&year, &month, &day);
    return true;
}

TDbfFile::TDbfFile(const QString& path, TPagedMode mode)
    : TPagedFile(path, mode), header_(HeaderLength, '\0') {
    if (mode == TPagedMode::Create) {
        header_[0] = char(VersionNoMemo);
        header_[29] = char(0x58);
        return;
    }
    ReadExact(0, header_.data(), HeaderLength);
    level_ = LevelOfVersion(Version());
    SetHeaderSize(get16(header_, 8));
    SetRecordSize(get16(header_, 10));
    const quint32 inHeader = get32(header_, 4);
    const int counted = RecordCount();
    if (inHeader != quint32(counted)) {
        showNotice("Invalid Record Count," + CR + "RecordCount in Hdr : " +
                   QString::number(inHeader) + CR + "expected : " + QString::number(counted));
        put32(header_, 4, quint32(counted));
        // The corrected count reaches the file when a writable table is closed.
        changed_ = true;
    }
}

int TDbfFile::LevelOfVersion(quint8 version) {
    switch (version) {
    case 0x03:
    case 0x83:
        return 0;
    case 0x05:
        return 2;
    default:
        return 1;
    }
}

quint32 TDbfFile::HeaderRecordCount() const {
    return get32(header_, 4);
}

TDbfType TDbfFile::TypeOfField(char letter, int length, int decimals) {
    switch (letter) {
    case 'D':
        return TDbfType::Date;
    case 'L':
        return TDbfType::Boolean;
    case 'M':
        return TDbfType::Memo;
    case 'N':
        if (decimals > 0)
            return TDbfType::Float;
        return length > 6 ? TDbfType::Integer : TDbfType::Smallint;
    case 'F':
        return TDbfType::Float;
    default:
        return TDbfType::String;
    }
}

QList<TDbfFieldDef> TDbfFile::ReadFieldDescriptors() {
    fields_.clear();
    layoutSize_ = 0;
    const TDescriptorForm& form = level_ == 2 ? WideDescriptor : ShortDescriptor;
    const int start = form.Start;
    const int size = form.Size;
    const int nameArea = form.NameArea;
    const int count = int((HeaderSize() - start) / size);
    if (count <= 0 || count > MaxFields)
        throw EBinaryDataSetError("Invalid field count : " + QString::number(count) +
                                  " (must be between 1 and 255)");

    QList<TDbfFieldDef> defs;
    static_assert(ShortDescriptor.Size <= WideDescriptor.Size);
    char d[WideDescriptor.Size] = {};
    int offset = 1;
    for (int i = 0; i < count; ++i) {
        ReadExact(start + qint64(i) * size, d, size);
        // A name that fills its area has no NUL; it ends with the area.
        const int nameLength = int(qstrnlen(d, size_t(nameArea)));
        const QString name = QString::fromLatin1(d, nameLength);
        TMyFieldInfo info;
        info.Name = name.toLower();
        info.Letter = d[form.Letter];
        info.Length = quint8(d[form.Length]);
        info.Decimals = quint8(d[form.Decimals]);
        info.Offset = offset;
        const TDbfType type = TypeOfField(info.Letter, info.Length, info.Decimals);
        defs.append({name, type, type == TDbfType::String ? info.Length : 0, false});
        offset += info.Length;
        fields_.push_back(info);
    }
    layoutSize_ = offset;

    if (RecordSize() != offset) {
        showNotice("Invalid Record Size," + CR + "Record Size in Hdr : " +
                   QString::number(RecordSize()) + CR + "Expected : " + QString::number(offset));
        // Where the records really lie is unknown: any write could land on a record's bytes
        // (a size far too large makes the table look empty, and an append then overwrites
        // every record it holds). The table is read as before but never written.
        DropWriteAccess();
    }
    return defs;
}

void TDbfFile::WriteFieldDescriptors(const QList<TDbfFieldDef>& defs) {
    struct Shape {
        char letter;
        int length;
        int decimals;
    };
    // Check everything first, so that a definition the format cannot hold leaves no
    // half-written table behind.
    std::vector<Shape> shapes;
    for (const TDbfFieldDef& def : defs) {
        switch (def.Type) {
        case TDbfType::String:
            if (def.Size < 1 || def.Size > 255)
                throw EBinaryDataSetError("InitFieldDefs: Invalid field size");
            shapes.push_back({'C', def.Size, 0});
            break;
        case TDbfType::Smallint:
            shapes.push_back({'N', 6, 0});
            break;
        case TDbfType::Integer:
            shapes.push_back({'N', 11, 0});
            break;
        case TDbfType::Boolean:
            shapes.push_back({'L', 1, 0});
            break;
        case TDbfType::Float:
            shapes.push_back({'N', 20, 4});
            break;
        case TDbfType::Currency:
            shapes.push_back({'N', 20, 2});
            break;
        case TDbfType::Date:
            shapes.push_back({'D', 8, 0});
            break;
        case TDbfType::Memo:
            shapes.push_back({'M', 10, 0});
            break;
        default:
            throw EBinaryDataSetError("InitFieldDefs: Unsupported field type");
        }
    }
    if (shapes.empty() || shapes.size() > size_t(MaxFields))
        throw EBinaryDataSetError("Invalid field count : " + QString::number(shapes.size()) +
                                  " (must be between 1 and 255)");

    Truncate(0);
    QByteArray area;
    int recordSize = 1;
    for (size_t i = 0; i < shapes.size(); ++i) {
        QByteArray d(32, '\0');
        const QByteArray name = defs[qsizetype(i)].Name.toLatin1().left(10);
        std::memcpy(d.data(), name.constData(), size_t(name.size()));
        d[11] = shapes[i].letter;
        d[16] = char(shapes[i].length);
        d[17] = char(shapes[i].decimals);
        if (shapes[i].letter == 'M' && Version() == VersionNoMemo)
            header_[0] = char(VersionDbase4Memo);
        area += d;
        recordSize += shapes[i].length;
    }
    area += char(0x0D);
    WriteAt(HeaderLength, area.constData(), area.size());

    level_ = LevelOfVersion(Version());
    SetHeaderSize(HeaderLength + area.size());
    SetRecordSize(recordSize);
    put16(header_, 8, quint32(HeaderSize()));
    put16(header_, 10, quint32(recordSize));
    put32(header_, 4, 0);
    ReadFieldDescriptors();
    WriteHeader();
}

int TDbfFile::ImageSize() const {
    return int(std::max<qint64>(RecordSize(), layoutSize_));
}

bool TDbfFile::RecordsWritable() const {
    return RecordSize() > 0 && layoutSize_ == RecordSize();
}

void TDbfFile::ReadRecordImage(int n, char* image) {
    const qint64 got = ReadRecord(n, image);
    std::memset(image + got, ' ', size_t(ImageSize() - got));
}

void TDbfFile::WriteRecordImage(int n, const char* image) {
    if (!RecordsWritable())
        throw EBinaryDataSetError("Invalid Record Size, the table can not be written : " + Path());
    if (n < 0 || n > std::max<qint64>(RecordCount(), HeaderRecordCount()))
        throw EBinaryDataSetError("WriteRecord: Invalid record : " + Path());
    // Set before the write: a write that fails half way has changed the file as well.
    changed_ = true;
    WriteRecord(n, image);
}

int TDbfFile::AppendRecordImage(const char* image) {
    const quint32 n = HeaderRecordCount();
    if (n >= quint32(INT_MAX))
        throw EBinaryDataSetError("WriteRecord: Invalid record : " + Path());
    WriteRecordImage(int(n), image);
    put32(header_, 4, n + 1);
    return int(n);
}

const TMyFieldInfo& TDbfFile::field(int index) const {
    if (index < 0 || size_t(index) >= fields_.size())
        throw EBinaryDataSetError("Invalid field number : " + QString::number(index) + " in " +
                                  Path());
    return fields_[size_t(index)];
}

QByteArrayView TDbfFile::FieldText(int index, const char* image) const {
    const TMyFieldInfo& f = field(index);
    return trimmedView(image + f.Offset, f.Length);
}

bool TDbfFile::ReadFieldData(int index, TDbfType type, void* output, const char* image) const {
    const QByteArrayView view = FieldText(index, image);
    if (view.isEmpty())
        return false;
    if (!output)
        return true;
    if (type == TDbfType::String) {
        std::memcpy(output, view.data(), size_t(view.size()));
        static_cast<char*>(output)[view.size()] = '\0';
        return true;
    }
    const QByteArray text = view.toByteArray();
    qint64 v = 0;
    switch (type) {
    case TDbfType::Smallint: {
        const qint16 value = parseInteger(text, SHRT_MIN, SHRT_MAX, v) ? qint16(v) : 0;
        std::memcpy(output, &value, sizeof value);
        break;
    }
    case TDbfType::Integer: {
        const qint32 value = parseInteger(text, INT_MIN, INT_MAX, v) ? qint32(v) : 0;
        std::memcpy(output, &value, sizeof value);
        break;
    }
    case TDbfType::Boolean: {
        const qint16 value = text[0] == 'T' || text[0] == 't' ? 1 : 0;
        std::memcpy(output, &value, sizeof value);
        break;
    }
    case TDbfType::Float:
    case TDbfType::Currency: {
        // "." is the decimal point whatever the system says.
        const double value = floatOr0(text);
        std::memcpy(output, &value, sizeof value);
        break;
    }
    case TDbfType::Date: {
        const qint32 value = dateOfText(text);
        std::memcpy(output, &value, sizeof value);
        break;
    }
    default:
        break;
    }
    return true;
}

void TDbfFile::WriteFieldData(int index, TDbfType type, const void* value, char* image) const {
    const TMyFieldInfo& f = field(index);
    QByteArray text;
    if (value) {
        switch (type) {
        case TDbfType::String:
            text = QByteArray(static_cast<const char*>(value));
            break;
        case TDbfType::Smallint: {
            qint16 v;
            std::memcpy(&v, value, sizeof v);
            text = leftPadded(QByteArray::number(v), f.Length);
            break;
        }
        case TDbfType::Integer: {
            qint32 v;
            std::memcpy(&v, value, sizeof v);
            text = leftPadded(QByteArray::number(v), f.Length);
            break;
        }
        case TDbfType::Boolean: {
            qint16 v;
            std::memcpy(&v, value, sizeof v);
            text = v == 1 ? "T" : "F";
            break;
        }
        case TDbfType::Float:
        case TDbfType::Currency: {
            double v;
            std::memcpy(&v, value, sizeof v);
            // Formatted without the system's locale, so the decimal point is always ".".
            text = leftPadded(QByteArray::number(v, 'f', f.Decimals), f.Length);
            break;
        }
        case TDbfType::Date: {
            qint32 v;
            std::memcpy(&v, value, sizeof v);
            text = textOfDate(v);
            break;
        }
        default:
            break;
        }
    }
    if (text.size() > f.Length) {
        if (type != TDbfType::String)
            throw EFieldToLongError("Fielddata too long :" + QString::number(text.size()) +
                                    " (must be between 1 and " + QString::number(f.Length) + ").");
        text.truncate(f.Length);
    }
    std::memcpy(image + f.Offset, text.constData(), size_t(text.size()));
    std::memset(image + f.Offset + text.size(), ' ', size_t(f.Length - text.size()));
}

quint32 TDbfFile::ReadMemoBlock(int index, const char* image) const {
    qint64 block = 0;
    if (!parseInteger(FieldText(index, image), 0, INT_MAX, block))
        return 0;
    return quint32(block);
}

void TDbfFile::WriteMemoBlock(int index, quint32 block, char* image) const {
    if (block > quint32(INT_MAX))
        throw EBinaryDataSetError("Invalid memo block : " + QString::number(block) + " in " +
                                  Path());
    const qint32 value = qint32(block);
    WriteFieldData(index, TDbfType::Integer, &value, image);
}

void TDbfFile::WriteHeader() {
    SYSTEMTIME today{};
    GetLocalTime(&today);
    header_[1] = char((today.wYear - 1900) & 0xFF);
    header_[2] = char(today.wMonth);
    header_[3] = char(today.wDay);
    QByteArray out = header_;
    if (level_ == 2)
        out += QByteArray(Level2Extra, '\0');
    WriteAt(0, out.constData(), out.size());
    const char end = 0x1A;
    WriteAt(HeaderSize() + qint64(RecordCount()) * RecordSize(), &end, 1);
}

} // namespace dbtable
