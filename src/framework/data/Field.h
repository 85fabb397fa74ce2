#pragma once

#include "framework/data/DataSetTypes.h"

#include <QDateTime>
#include <QString>

// One column of a dataset. Its value lives in the dataset's record buffers, in the binary
// form of its type; the field reads and writes it through the dataset (GetData/SetData) and
// converts it for its callers. Fields belong to their dataset: persistent ones, added before
// the dataset opens, stay until the dataset goes; the ones made from the field definitions
// at open go again at close.
class TField {
public:
    TField(TFieldType type, const QString& name);
    virtual ~TField();
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    TDataSet* DataSet() const { return dataSet_; }

    const QString& FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name);
    // The caption of the field in grids; the field name unless one was given.
    QString DisplayLabel() const { return displayLabel_.isEmpty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const QString& label);
    // Width in characters for grids.
    int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : DefaultWidth(); }
    void SetDisplayWidth(int width);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Required() const { return required_; }
    void SetRequired(bool required) { required_ = required; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Characters of a string field; 0 for the other types.
    int Size() const { return size_; }
    void SetSize(int size);
    TFieldType DataType() const { return dataType_; }
    TFieldKind FieldKind() const { return fieldKind_; }
    void SetFieldKind(TFieldKind kind);
    bool Calculated() const { return fieldKind_ == fkCalculated || fieldKind_ == fkInternalCalc; }
    // Position of the stored field among the field definitions, from 1; 0 while unbound and
    // -1 for calculated fields.
    int FieldNo() const { return fieldNo_; }
    // Where a calculated field's slot starts in the calculated-field area: a has-value byte,
    // then DataSize bytes.
    int Offset() const { return offset_; }
    // Position in the dataset's field list.
    int Index() const;

    // Bytes of the value in a record buffer.
    virtual int DataSize() const = 0;
    virtual bool IsBlob() const { return false; }
    // Whether the value may be changed through this field.
    virtual bool CanModify() const;

    // The raw value: GetData copies DataSize bytes to buffer (none when it is null) and tells
    // whether there is a value; SetData stores DataSize bytes from buffer, or no value.
    bool GetData(void* buffer) const;
    void SetData(const void* buffer);

    virtual bool IsNull() const { return !GetData(nullptr); }
    virtual void Clear() { SetData(nullptr); }

    virtual QString AsString() const;
    virtual void SetAsString(const QString& value);
    virtual qint32 AsInteger() const;
    virtual void SetAsInteger(qint32 value);
    virtual double AsFloat() const;
    virtual void SetAsFloat(double value);
    virtual bool AsBoolean() const;
    virtual void SetAsBoolean(bool value);
    virtual QDateTime AsDateTime() const;
    virtual void SetAsDateTime(const QDateTime& value);

    // The text a control shows while not editing, and the text it edits.
    virtual QString DisplayText() const { return AsString(); }
    virtual QString Text() const { return AsString(); }
    virtual void SetText(const QString& text) { SetAsString(text); }

protected:
    virtual int DefaultWidth() const { return 10; }
    [[noreturn]] void AccessError(const char* typeName) const;
    [[noreturn]] void InvalidValue(const QString& value, const char* kind) const;
    TDataSet* RequireDataSet() const;

private:
    friend class TDataSet;
    void Changed(TDataEvent event);

    TDataSet* dataSet_ = nullptr;
    QString fieldName_;
    QString displayLabel_;
    int displayWidth_ = 0;
    bool visible_ = true;
    bool required_ = false;
    bool readOnly_ = false;
    int size_ = 0;
    TFieldType dataType_;
    TFieldKind fieldKind_ = fkData;
    int fieldNo_ = 0;
    int offset_ = 0;
    bool defaultField_ = false;
};
