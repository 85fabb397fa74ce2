#pragma once

#include "framework/data/Field.h"

#include <QByteArray>
#include <memory>

// The field classes, one per kind of value. Binary forms in record buffers: string
// NUL-terminated (Size characters at most, in the table's code page); small integer 16-bit
// signed; integer and auto-increment 32-bit signed; Boolean 16-bit, 1 true and 0 false;
// float and currency 64-bit IEEE double; date a 32-bit day number (DateStamp); date-time a
// double of milliseconds (DateStamp::MSecs). Blob fields keep nothing in the buffer that the
// framework reads: their value goes through the dataset's blob streams.

// Text. Values are Windows-1252 text in the buffer after the dataset's code-page
// translation; longer values are cut to Size characters.
class TStringField : public TField {
public:
    explicit TStringField(const QString& name = QString(), int size = 20);
    int DataSize() const override { return Size() + 1; }
    QString AsString() const override;
    void SetAsString(const QString& value) override;
    qint32 AsInteger() const override;
    void SetAsInteger(qint32 value) override { SetAsString(QString::number(value)); }
    double AsFloat() const override;
    void SetAsFloat(double value) override;
    bool AsBoolean() const override;
    void SetAsBoolean(bool value) override { SetAsString(value ? "T" : "F"); }

protected:
    int DefaultWidth() const override { return Size() > 0 ? Size() : 1; }
};

class TIntegerField : public TField {
public:
    explicit TIntegerField(const QString& name = QString())
        : TIntegerField(ftInteger, name, INT32_MIN, INT32_MAX) {}
    int DataSize() const override { return 4; }
    QString AsString() const override;
    void SetAsString(const QString& value) override;
    qint32 AsInteger() const override;
    void SetAsInteger(qint32 value) override;
    double AsFloat() const override { return AsInteger(); }
    void SetAsFloat(double value) override;

protected:
    TIntegerField(TFieldType type, const QString& name, qint32 minValue, qint32 maxValue);
    virtual bool ReadValue(qint32& value) const;
    virtual void WriteValue(qint32 value);
    int DefaultWidth() const override { return 11; }

private:
    qint32 minValue_;
    qint32 maxValue_;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(const QString& name = QString())
        : TIntegerField(ftSmallint, name, -32768, 32767) {}
    int DataSize() const override { return 2; }

protected:
    bool ReadValue(qint32& value) const override;
    void WriteValue(qint32 value) override;
    int DefaultWidth() const override { return 6; }
};

class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(const QString& name = QString())
        : TIntegerField(ftAutoInc, name, INT32_MIN, INT32_MAX) {}
};

class TBooleanField : public TField {
public:
    explicit TBooleanField(const QString& name = QString()) : TField(ftBoolean, name) {}
    int DataSize() const override { return 2; }
    QString AsString() const override;
    void SetAsString(const QString& value) override;
    bool AsBoolean() const override;
    void SetAsBoolean(bool value) override;

protected:
    int DefaultWidth() const override { return 5; }
};

class TFloatField : public TField {
public:
    explicit TFloatField(const QString& name = QString()) : TFloatField(ftFloat, name) {}
    int DataSize() const override { return 8; }
    QString AsString() const override;
    void SetAsString(const QString& value) override;
    double AsFloat() const override;
    void SetAsFloat(double value) override;
    qint32 AsInteger() const override;
    void SetAsInteger(qint32 value) override { SetAsFloat(value); }

protected:
    TFloatField(TFieldType type, const QString& name) : TField(type, name) {}
};

class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(const QString& name = QString()) : TFloatField(ftCurrency, name) {}
};

// A calendar date. Values are shown and parsed as "yyyy-MM-dd"; a stored day number that
// names no date reads as an empty text and an invalid date-time, never as an error.
class TDateField : public TField {
public:
    explicit TDateField(const QString& name = QString()) : TField(ftDate, name) {}
    int DataSize() const override { return 4; }
    QString AsString() const override;
    void SetAsString(const QString& value) override;
    QDateTime AsDateTime() const override;
    void SetAsDateTime(const QDateTime& value) override;
    QDate AsDate() const;
    void SetAsDate(const QDate& date);

protected:
    int DefaultWidth() const override { return 10; }
};

class TDateTimeField : public TField {
public:
    explicit TDateTimeField(const QString& name = QString()) : TField(ftDateTime, name) {}
    int DataSize() const override { return 8; }
    QString AsString() const override;
    void SetAsString(const QString& value) override;
    QDateTime AsDateTime() const override;
    void SetAsDateTime(const QDateTime& value) override;

protected:
    int DefaultWidth() const override { return 19; }
};

// Binary data kept outside the record buffer, read and written through a blob stream of
// the dataset. An empty value counts as null.
class TBlobField : public TField {
public:
    explicit TBlobField(const QString& name = QString()) : TBlobField(ftBlob, name) {}
    int DataSize() const override { return 0; }
    bool IsBlob() const override { return true; }
    bool IsNull() const override;
    void Clear() override { SetAsBytes(QByteArray()); }
    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray& bytes);
    QString AsString() const override { return QString::fromLatin1(AsBytes()); }
    void SetAsString(const QString& value) override { SetAsBytes(value.toLatin1()); }
    // "(BLOB)" with a value, "(Blob)" without, and likewise for the subclasses.
    QString DisplayText() const override;

protected:
    TBlobField(TFieldType type, const QString& name) : TField(type, name) {}
};

// Text kept outside the record: read and written with the dataset's code-page translation.
class TMemoField : public TBlobField {
public:
    explicit TMemoField(const QString& name = QString()) : TBlobField(ftMemo, name) {}
    QString AsString() const override;
    void SetAsString(const QString& value) override;
    QString Text() const override { return AsString(); }
};

class TGraphicField : public TBlobField {
public:
    explicit TGraphicField(const QString& name = QString()) : TBlobField(ftGraphic, name) {}
};

// The field class for a data type; raises for types no field class presents.
std::unique_ptr<TField> NewField(TFieldType type, const QString& name);
