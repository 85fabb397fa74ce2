#include "framework/data/FieldDefs.h"

#include "framework/data/DataSet.h"
#include "framework/data/Fields.h"

TFieldDef::TFieldDef(TFieldDefs* owner, const QString& name, TFieldType type, int size,
                     bool required)
    : owner_(owner), name_(name), dataType_(type), size_(size), required_(required) {}

int TFieldDef::FieldNo() const {
    for (int i = 0; i < owner_->Count(); ++i)
        if (owner_->Items(i) == this)
            return i + 1;
    return 0;
}

TField* TFieldDef::CreateField(TDataSet* dataSet) const {
    std::unique_ptr<TField> field = NewField(dataType_, name_);
    if (dataType_ == ftString)
        field->SetSize(size_);
    field->SetRequired(required_);
    return dataSet->AddField(std::move(field));
}

TFieldDef* TFieldDefs::Add(const QString& name, TFieldType type, int size, bool required) {
    items_.push_back(std::make_unique<TFieldDef>(this, name, type, size, required));
    return items_.back().get();
}

int TFieldDefs::IndexOf(const QString& name) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->Name().compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

TFieldDef* TFieldDefs::FindDef(const QString& name) const {
    const int i = IndexOf(name);
    return i < 0 ? nullptr : items_[size_t(i)].get();
}

TFieldDef* TFieldDefs::Find(const QString& name) const {
    TFieldDef* def = FindDef(name);
    if (!def)
        DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return def;
}

void TFieldDefs::Assign(const TFieldDefs& other) {
    if (&other == this)
        return;
    items_.clear();
    for (const auto& d : other.items_)
        Add(d->Name(), d->DataType(), d->Size(), d->Required());
}
