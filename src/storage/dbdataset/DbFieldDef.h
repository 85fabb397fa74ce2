#pragma once

#include "framework/data/DataSetTypes.h"

#include <QString>
#include <memory>
#include <vector>

class TDataSet;

namespace dbdataset {

class TDbfFieldDefs;

// One field of a second-generation table: the type letter stored in the table file, the
// dataset type it is presented as, its width and decimals. Every assignment of a type, a size
// or a number of decimals brings the definition back into the limits of its letter at once:
//   C  ftString                     size 1..254
//   N  ftFloat with decimals, else ftInteger above 4 digits, ftSmallint up to 4
//                                   size 1..20 (8 when below 1), decimals 0..size - 2
//   F  ftFloat 8    D  ftDate 8     L  ftBoolean 1
//   M  ftMemo 10    B  ftBlob 10    G  ftGraphic 10
//   I  ftInteger 4  +  ftAutoInc 4  (binary, top bit inverted)
//   O  ftFloat 8    @  ftDateTime 8 (binary, neither read nor written)
// Every letter but N also has no decimals. An unknown letter becomes character 0 with
// ftUnknown and keeps its size and decimals.
class TDbfFieldDef {
public:
    explicit TDbfFieldDef(TDbfFieldDefs* collection) : collection_(collection) {}
    virtual ~TDbfFieldDef() = default;

    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    TFieldType FieldType() const { return fieldType_; }
    // Stores the type and takes the letter from it (types without a letter become ftUnknown
    // with character 0), then applies that letter's limits.
    void SetFieldType(TFieldType type);
    // Character 0 when there is none.
    char NativeFieldType() const { return nativeFieldType_; }
    // Upper-cases a letter, derives the dataset type from it with the size and decimals held
    // now, then applies the letter's limits.
    void SetNativeFieldType(char letter);
    int Size() const { return size_; }
    void SetSize(int size);
    int Prec() const { return prec_; }
    void SetPrec(int prec);
    // A field as a table's descriptor states it: the letter (upper-cased) and the dataset type
    // derived from it as SetNativeFieldType does, but the size and decimals exactly as stored,
    // without the letter's limits, so that the fields lie where the table has them.
    void SetStored(char letter, int size, int prec);

    virtual QString GetDisplayName() const { return name_; }
    // Takes every property of another definition as it stands.
    void Assign(const TDbfFieldDef& other);
    TDbfFieldDefs* Collection() const { return collection_; }

    // Position in the record image; the deletion byte is 0, the first field starts at 1.
    int Offset = 0;
    // Next value of an auto-increment field, kept in the table's wide descriptors.
    qint32 AutoIncNext = 0;
    bool Required = false;

    static char LetterOfType(TFieldType type);
    static TFieldType TypeOfLetter(char letter, int size, int prec);

private:
    void ApplySizeRules();

    TDbfFieldDefs* collection_;
    QString name_;
    TFieldType fieldType_ = ftUnknown;
    char nativeFieldType_ = 0;
    int size_ = 0;
    int prec_ = 0;
};

// The field definitions of a table, in field order. The dataset that owns a collection is
// its owner; a table file's own collection has none.
class TDbfFieldDefs {
public:
    explicit TDbfFieldDefs(TDataSet* owner = nullptr) : owner_(owner) {}
    TDbfFieldDefs(const TDbfFieldDefs&) = delete;
    TDbfFieldDefs& operator=(const TDbfFieldDefs&) = delete;

    TDataSet* GetOwner() const { return owner_; }
    int Count() const { return int(items_.size()); }
    TDbfFieldDef* Items(int index) const { return items_.at(size_t(index)).get(); }
    TDbfFieldDef* Add();
    // A new definition that receives, in this order, its name, its dataset type, its size and
    // its required flag.
    TDbfFieldDef* AddFieldDef(const QString& name, TFieldType type, int size, bool required);
    void Clear() { items_.clear(); }
    // Copies the definitions of another collection, each exactly.
    void Assign(const TDbfFieldDefs& other);

private:
    TDataSet* owner_;
    std::vector<std::unique_ptr<TDbfFieldDef>> items_;
};

} // namespace dbdataset
