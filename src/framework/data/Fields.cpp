#include "framework/data/Fields.h"

#include "framework/data/BlobStream.h"
#include "framework/data/DataSet.h"
#include "framework/data/DateStamp.h"

#include <QLocale>
#include <cmath>
#include <cstring>

namespace {

const char* const DateFormat = "yyyy-MM-dd";
const char* const DateTimeFormat = "yyyy-MM-dd hh:mm:ss";

// Numbers in the C form first, then in the user's form.
bool parseDouble(const QString& text, double& value) {
    bool ok = false;
    value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        value = QLocale().toDouble(text, &ok);
    return ok && std::isfinite(value);
}

QString floatText(double value) {
    return QString::number(value, 'g', 15);
}

QDate parseDate(const QString& text) {
    QDate date = QDate::fromString(text, DateFormat);
    if (!date.isValid())
        date = QDate::fromString(text, Qt::ISODate);
    return date;
}

} // namespace

// ---- TStringField

TStringField::TStringField(const QString& name, int size) : TField(ftString, name) {
    SetSize(size);
}

QString TStringField::AsString() const {
    TDataSet* ds = RequireDataSet();
    QString text;
    if (ds->State() == dsInactive || !ds->GetFieldText(const_cast<TStringField*>(this), text))
        return QString();
    return text;
}

void TStringField::SetAsString(const QString& value) {
    // A byte array ends with a NUL of its own: the text is handed over as it is.
    const QByteArray text = RequireDataSet()->EncodeFieldText(this, value).left(Size());
    SetData(text.constData());
}

qint32 TStringField::AsInteger() const {
    const QString text = AsString().trimmed();
    bool ok = false;
    const qint32 v = text.toInt(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}

double TStringField::AsFloat() const {
    const QString text = AsString().trimmed();
    double v = 0;
    if (!parseDouble(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

void TStringField::SetAsFloat(double value) {
    SetAsString(floatText(value));
}

bool TStringField::AsBoolean() const {
    const QString text = AsString();
    return !text.isEmpty() && QStringLiteral("TtYy").contains(text.at(0));
}

// ---- TIntegerField and TSmallintField

TIntegerField::TIntegerField(TFieldType type, const QString& name, qint32 minValue, qint32 maxValue)
    : TField(type, name), minValue_(minValue), maxValue_(maxValue) {}

bool TIntegerField::ReadValue(qint32& value) const {
    return GetData(&value);
}

void TIntegerField::WriteValue(qint32 value) {
    SetData(&value);
}

bool TSmallintField::ReadValue(qint32& value) const {
    qint16 v = 0;
    if (!GetData(&v))
        return false;
    value = v;
    return true;
}

void TSmallintField::WriteValue(qint32 value) {
    const auto v = static_cast<qint16>(value);
    SetData(&v);
}

qint32 TIntegerField::AsInteger() const {
    qint32 v = 0;
    return ReadValue(v) ? v : 0;
}

void TIntegerField::SetAsInteger(qint32 value) {
    if (value < minValue_ || value > maxValue_)
        DatabaseError(QStringLiteral("%1 is not a valid value for field '%2'. "
                                     "The allowed range is %3 to %4")
                          .arg(value)
                          .arg(DisplayLabel())
                          .arg(minValue_)
                          .arg(maxValue_));
    WriteValue(value);
}

QString TIntegerField::AsString() const {
    qint32 v = 0;
    return ReadValue(v) ? QString::number(v) : QString();
}

void TIntegerField::SetAsString(const QString& value) {
    const QString text = value.trimmed();
    if (text.isEmpty()) {
        Clear();
        return;
    }
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
        InvalidValue(value, "integer");
    SetAsInteger(qint32(v));
}

void TIntegerField::SetAsFloat(double value) {
    if (!std::isfinite(value) || value < double(INT32_MIN) || value > double(INT32_MAX))
        InvalidValue(floatText(value), "integer");
    SetAsInteger(qint32(std::llround(value)));
}

// ---- TBooleanField

bool TBooleanField::AsBoolean() const {
    qint16 v = 0;
    return GetData(&v) && v != 0;
}

void TBooleanField::SetAsBoolean(bool value) {
    const qint16 v = value ? 1 : 0;
    SetData(&v);
}

QString TBooleanField::AsString() const {
    qint16 v = 0;
    if (!GetData(&v))
        return QString();
    return v != 0 ? QStringLiteral("True") : QStringLiteral("False");
}

void TBooleanField::SetAsString(const QString& value) {
    const QString text = value.trimmed();
    if (text.isEmpty())
        Clear();
    else if (QStringLiteral("False").startsWith(text, Qt::CaseInsensitive))
        SetAsBoolean(false);
    else if (QStringLiteral("True").startsWith(text, Qt::CaseInsensitive))
        SetAsBoolean(true);
    else
        InvalidValue(value, "boolean");
}

// ---- TFloatField

double TFloatField::AsFloat() const {
    double v = 0;
    return GetData(&v) ? v : 0;
}

void TFloatField::SetAsFloat(double value) {
    SetData(&value);
}

qint32 TFloatField::AsInteger() const {
    const double v = AsFloat();
    if (!std::isfinite(v) || v < double(INT32_MIN) || v > double(INT32_MAX))
        AccessError("Integer");
    return qint32(std::llround(v));
}

QString TFloatField::AsString() const {
    double v = 0;
    return GetData(&v) ? floatText(v) : QString();
}

void TFloatField::SetAsString(const QString& value) {
    const QString text = value.trimmed();
    if (text.isEmpty()) {
        Clear();
        return;
    }
    double v = 0;
    if (!parseDouble(text, v))
        InvalidValue(value, "floating point");
    SetAsFloat(v);
}

// ---- TDateField

QDate TDateField::AsDate() const {
    qint32 day = 0;
    return GetData(&day) ? DateStamp::FromDayNumber(day) : QDate();
}

void TDateField::SetAsDate(const QDate& date) {
    if (!date.isValid()) {
        Clear();
        return;
    }
    const qint32 day = DateStamp::DayNumber(date);
    SetData(&day);
}

QDateTime TDateField::AsDateTime() const {
    const QDate date = AsDate();
    return date.isValid() ? date.startOfDay() : QDateTime();
}

void TDateField::SetAsDateTime(const QDateTime& value) {
    SetAsDate(value.isValid() ? value.date() : QDate());
}

QString TDateField::AsString() const {
    const QDate date = AsDate();
    return date.isValid() ? date.toString(DateFormat) : QString();
}

void TDateField::SetAsString(const QString& value) {
    const QString text = value.trimmed();
    if (text.isEmpty()) {
        Clear();
        return;
    }
    const QDate date = parseDate(text);
    if (!date.isValid() || DateStamp::DayNumber(date) == 0)
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(value));
    SetAsDate(date);
}

// ---- TDateTimeField

QDateTime TDateTimeField::AsDateTime() const {
    double ms = 0;
    return GetData(&ms) ? DateStamp::FromMSecs(ms) : QDateTime();
}

void TDateTimeField::SetAsDateTime(const QDateTime& value) {
    if (!value.isValid() || DateStamp::DayNumber(value.date()) == 0) {
        Clear();
        return;
    }
    const double ms = DateStamp::MSecs(value);
    SetData(&ms);
}

QString TDateTimeField::AsString() const {
    const QDateTime v = AsDateTime();
    if (!v.isValid())
        return QString();
    return v.time().msecsSinceStartOfDay() == 0 ? v.date().toString(DateFormat)
                                                : v.toString(DateTimeFormat);
}

void TDateTimeField::SetAsString(const QString& value) {
    const QString text = value.trimmed();
    if (text.isEmpty()) {
        Clear();
        return;
    }
    QDateTime v = QDateTime::fromString(text, DateTimeFormat);
    if (!v.isValid()) {
        const QDate date = parseDate(text);
        if (date.isValid())
            v = date.startOfDay();
    }
    if (!v.isValid() || DateStamp::DayNumber(v.date()) == 0)
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(value));
    SetAsDateTime(v);
}

// ---- TBlobField and TMemoField

QByteArray TBlobField::AsBytes() const {
    TDataSet* ds = RequireDataSet();
    // A stored field's value is empty when it holds none: asking first would read the record
    // twice for every memo shown.
    if (ds->State() == dsInactive || (FieldKind() != fkData && !GetData(nullptr)))
        return QByteArray();
    return ds->GetBlobValue(const_cast<TBlobField*>(this));
}

void TBlobField::SetAsBytes(const QByteArray& bytes) {
    TDataSet* ds = RequireDataSet();
    std::unique_ptr<TBlobStream> stream = ds->CreateBlobStream(this, bmWrite);
    stream->seek(0);
    if (stream->write(bytes) != bytes.size())
        throw EInOutError(
            QStringLiteral("Blob of field '%1' could not be written").arg(FieldName()));
    stream->Commit();
    if (!stream->ChangeReported())
        ds->DataEvent(deFieldChange, this);
}

bool TBlobField::IsNull() const {
    return AsBytes().isEmpty();
}

QString TBlobField::DisplayText() const {
    QString name = FieldTypeName(DataType());
    return QStringLiteral("(%1)").arg(IsNull() ? name : name.toUpper());
}

QString TMemoField::AsString() const {
    const QByteArray stored = AsBytes();
    if (stored.isEmpty())
        return QString();
    return DataSet()->DecodeFieldText(stored);
}

void TMemoField::SetAsString(const QString& value) {
    TDataSet* ds = RequireDataSet();
    SetAsBytes(ds->EncodeFieldText(this, value));
}

// ---- factory

std::unique_ptr<TField> NewField(TFieldType type, const QString& name) {
    switch (type) {
    case ftString:
        return std::make_unique<TStringField>(name);
    case ftSmallint:
        return std::make_unique<TSmallintField>(name);
    case ftInteger:
        return std::make_unique<TIntegerField>(name);
    case ftAutoInc:
        return std::make_unique<TAutoIncField>(name);
    case ftBoolean:
        return std::make_unique<TBooleanField>(name);
    case ftFloat:
        return std::make_unique<TFloatField>(name);
    case ftCurrency:
        return std::make_unique<TCurrencyField>(name);
    case ftDate:
        return std::make_unique<TDateField>(name);
    case ftDateTime:
        return std::make_unique<TDateTimeField>(name);
    case ftBlob:
        return std::make_unique<TBlobField>(name);
    case ftMemo:
        return std::make_unique<TMemoField>(name);
    case ftGraphic:
        return std::make_unique<TGraphicField>(name);
    default:
        DatabaseError(QStringLiteral("Field '%1' is of an unsupported type (%2)")
                          .arg(name, FieldTypeName(type)));
    }
}
