#pragma once

#include "framework/data/DataSetTypes.h"

#include <QString>
#include <memory>
#include <vector>

class TField;
class TFieldDefs;

// The description of one stored field of a dataset: what its table says.
class TFieldDef {
public:
    TFieldDef(TFieldDefs* owner, const QString& name, TFieldType type, int size, bool required);

    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    TFieldType DataType() const { return dataType_; }
    void SetDataType(TFieldType type) { dataType_ = type; }
    // Characters of a string field; 0 for the other types.
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }
    bool Required() const { return required_; }
    void SetRequired(bool required) { required_ = required; }
    // Position counted from 1.
    int FieldNo() const;

    // Makes the field object that presents this definition, owned by the dataset.
    TField* CreateField(TDataSet* dataSet) const;

private:
    TFieldDefs* owner_;
    QString name_;
    TFieldType dataType_;
    int size_;
    bool required_;
};

class TFieldDefs {
public:
    explicit TFieldDefs(TDataSet* dataSet = nullptr) : dataSet_(dataSet) {}
    TFieldDefs(const TFieldDefs&) = delete;
    TFieldDefs& operator=(const TFieldDefs&) = delete;

    TDataSet* DataSet() const { return dataSet_; }
    int Count() const { return int(items_.size()); }
    TFieldDef* Items(int index) const { return items_.at(size_t(index)).get(); }
    TFieldDef* Add(const QString& name, TFieldType type, int size = 0, bool required = false);
    void Clear() { items_.clear(); }
    // Index of the definition named so (case ignored), -1 when none.
    int IndexOf(const QString& name) const;
    TFieldDef* FindDef(const QString& name) const;
    // As FindDef, but raises "Field 'x' not found".
    TFieldDef* Find(const QString& name) const;
    // Copies the definitions of another list.
    void Assign(const TFieldDefs& other);

private:
    friend class TFieldDef;
    TDataSet* dataSet_;
    std::vector<std::unique_ptr<TFieldDef>> items_;
};
