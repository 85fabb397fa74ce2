#include "storage/dbdataset/DbFieldDef.h"

#include <algorithm>

namespace dbdataset {

char TDbfFieldDef::LetterOfType(TFieldType type) {
    switch (type) {
    case ftString:
        return 'C';
    case ftSmallint:
    case ftInteger:
        return 'N';
    case ftBoolean:
        return 'L';
    case ftFloat:
        return 'F';
    case ftDate:
        return 'D';
    case ftDateTime:
        return '@';
    case ftAutoInc:
        return '+';
    case ftBlob:
        return 'B';
    case ftMemo:
        return 'M';
    case ftGraphic:
        return 'G';
    default:
        return 0;
    }
}

TFieldType TDbfFieldDef::TypeOfLetter(char letter, int size, int prec) {
    switch (letter) {
    case 'C':
        return ftString;
    case 'N':
        if (prec != 0)
            return ftFloat;
        return size > 4 ? ftInteger : ftSmallint;
    case 'F':
    case 'O':
        return ftFloat;
    case 'D':
        return ftDate;
    case 'L':
        return ftBoolean;
    case 'M':
        return ftMemo;
    case 'B':
        return ftBlob;
    case 'G':
        return ftGraphic;
    case 'I':
        return ftInteger;
    case '+':
        return ftAutoInc;
    case '@':
        return ftDateTime;
    default:
        return ftUnknown;
    }
}

void TDbfFieldDef::SetFieldType(TFieldType type) {
    fieldType_ = type;
    nativeFieldType_ = LetterOfType(type);
    if (nativeFieldType_ == 0)
        fieldType_ = ftUnknown;
    ApplySizeRules();
}

void TDbfFieldDef::SetNativeFieldType(char letter) {
    SetStored(letter, size_, prec_);
    ApplySizeRules();
}

void TDbfFieldDef::SetStored(char letter, int size, int prec) {
    size_ = size;
    prec_ = prec;
    if (letter >= 'a' && letter <= 'z')
        letter = char(letter - 'a' + 'A');
    fieldType_ = TypeOfLetter(letter, size_, prec_);
    nativeFieldType_ = fieldType_ == ftUnknown ? char(0) : letter;
}

void TDbfFieldDef::SetSize(int size) {
    size_ = size;
    ApplySizeRules();
}

void TDbfFieldDef::SetPrec(int prec) {
    prec_ = prec;
    ApplySizeRules();
}

void TDbfFieldDef::ApplySizeRules() {
    switch (nativeFieldType_) {
    case 'I':
    case '+':
        size_ = 4;
        break;
    case '@':
    case 'D':
    case 'F':
    case 'O':
        size_ = 8;
        break;
    case 'B':
    case 'G':
    case 'M':
        size_ = 10;
        break;
    case 'L':
        size_ = 1;
        break;
    case 'C':
        size_ = std::clamp(size_, 1, 254);
        break;
    case 'N':
        if (size_ < 1)
            size_ = 8;
        else if (size_ > 20)
            size_ = 20;
        prec_ = std::max(std::min(prec_, size_ - 2), 0);
        return;
    default:
        return;
    }
    prec_ = 0;
}

void TDbfFieldDef::Assign(const TDbfFieldDef& other) {
    name_ = other.name_;
    fieldType_ = other.fieldType_;
    nativeFieldType_ = other.nativeFieldType_;
    size_ = other.size_;
    prec_ = other.prec_;
    Offset = other.Offset;
    AutoIncNext = other.AutoIncNext;
    Required = other.Required;
}

void TDbfFieldDefs::Assign(const TDbfFieldDefs& other) {
    if (&other == this)
        return;
    items_.clear();
    for (const auto& def : other.items_)
        Add()->Assign(*def);
}

TDbfFieldDef* TDbfFieldDefs::Add() {
    items_.push_back(std::make_unique<TDbfFieldDef>(this));
    return items_.back().get();
}

TDbfFieldDef* TDbfFieldDefs::AddFieldDef(const QString& name, TFieldType type, int size,
                                         bool required) {
    TDbfFieldDef* def = Add();
    def->SetName(name);
    def->SetFieldType(type);
    def->SetSize(size);
    def->Required = required;
    return def;
}

} // namespace dbdataset
