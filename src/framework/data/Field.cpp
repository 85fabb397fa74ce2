#include "framework/data/Field.h"

#include "framework/data/DataSet.h"

QString FieldTypeName(TFieldType type) {
    static const char* const names[] = {
        "Unknown", "String",     "SmallInt", "Integer",     "Word",  "Boolean",
        "Float",   "Currency",   "BCD",      "Date",        "Time",  "DateTime",
        "Bytes",   "VarBytes",   "AutoInc",  "Blob",        "Memo",  "Graphic",
        "FmtMemo", "ParadoxOle", "dBaseOle", "TypedBinary", "Cursor"};
    const int i = int(type);
    return i >= 0 && i < int(std::size(names)) ? QString::fromLatin1(names[i]) : QString();
}

void DatabaseError(const QString& message) {
    throw EDatabaseError(message);
}

TField::TField(TFieldType type, const QString& name) : fieldName_(name), dataType_(type) {}

TField::~TField() = default;

void TField::SetFieldName(const QString& name) {
    if (dataSet_)
        dataSet_->CheckInactive();
    fieldName_ = name;
}

void TField::SetDisplayLabel(const QString& label) {
    displayLabel_ = label;
    Changed(deLayoutChange);
}

void TField::SetDisplayWidth(int width) {
    displayWidth_ = width;
    Changed(deLayoutChange);
}

void TField::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    Changed(deLayoutChange);
}

void TField::SetSize(int size) {
    if (dataSet_)
        dataSet_->CheckInactive();
    size_ = size < 0 ? 0 : size;
}

void TField::SetFieldKind(TFieldKind kind) {
    if (dataSet_)
        dataSet_->CheckInactive();
    fieldKind_ = kind;
}

int TField::Index() const {
    if (!dataSet_)
        return -1;
    for (int i = 0; i < dataSet_->FieldCount(); ++i)
        if (dataSet_->Field(i) == this)
            return i;
    return -1;
}

void TField::Changed(TDataEvent event) {
    if (dataSet_ && dataSet_->Active())
        dataSet_->DataEvent(event, this);
}

bool TField::CanModify() const {
    return !readOnly_ && fieldKind_ == fkData && (!dataSet_ || dataSet_->CanModify());
}

TDataSet* TField::RequireDataSet() const {
    if (!dataSet_)
        DatabaseError(QStringLiteral("Field '%1' has no dataset").arg(fieldName_));
    return dataSet_;
}

bool TField::GetData(void* buffer) const {
    TDataSet* ds = RequireDataSet();
    if (ds->State() == dsInactive)
        return false;
    return ds->GetFieldData(const_cast<TField*>(this), buffer);
}

void TField::SetData(const void* buffer) {
    TDataSet* ds = RequireDataSet();
    const TDataSetState state = ds->State();
    // A value written anywhere else would land in a buffer that is not being edited: a
    // browsed record, a record being filtered, or another record's calculation.
    if (state == dsCalcFields || state == dsInternalCalc) {
        if (!Calculated())
            DatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(fieldName_));
    } else if (state == dsEdit || state == dsInsert || state == dsSetKey || state == dsNewValue) {
        if (Calculated())
            DatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(fieldName_));
    } else {
        DatabaseError(DbText::NotEditing);
    }
    ds->SetFieldData(this, buffer);
}

void TField::AccessError(const char* typeName) const {
    DatabaseError(QStringLiteral("Cannot access field '%1' as type %2")
                      .arg(fieldName_, QString::fromLatin1(typeName)));
}

void TField::InvalidValue(const QString& value, const char* kind) const {
    DatabaseError(QStringLiteral("'%1' is not a valid %2 value for field '%3'")
                      .arg(value, QString::fromLatin1(kind), DisplayLabel()));
}

QString TField::AsString() const {
    AccessError("String");
}
void TField::SetAsString(const QString&) {
    AccessError("String");
}
qint32 TField::AsInteger() const {
    AccessError("Integer");
}
void TField::SetAsInteger(qint32) {
    AccessError("Integer");
}
double TField::AsFloat() const {
    AccessError("Float");
}
void TField::SetAsFloat(double) {
    AccessError("Float");
}
bool TField::AsBoolean() const {
    AccessError("Boolean");
}
void TField::SetAsBoolean(bool) {
    AccessError("Boolean");
}
QDateTime TField::AsDateTime() const {
    AccessError("DateTime");
}
void TField::SetAsDateTime(const QDateTime&) {
    AccessError("DateTime");
}
