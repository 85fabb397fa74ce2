#include "storage/dbdataset/DbFieldDef.h"

#include <gtest/gtest.h>

using namespace dbdataset;

namespace {

struct Shape {
    char letter;
    TFieldType type;
    int size;
    int prec;
};

Shape ShapeOf(const TDbfFieldDef& d) {
    return {d.NativeFieldType(), d.FieldType(), d.Size(), d.Prec()};
}

bool operator==(const Shape& a, const Shape& b) {
    return a.letter == b.letter && a.type == b.type && a.size == b.size && a.prec == b.prec;
}

std::ostream& operator<<(std::ostream& os, const Shape& s) {
    return os << "'" << (s.letter ? s.letter : '0') << "' type " << int(s.type) << " size "
              << s.size << " prec " << s.prec;
}

// A definition given a size and decimals first, then its letter, as a table's descriptor is
// read.
Shape FromLetter(char letter, int size, int prec = 0) {
    TDbfFieldDefs defs;
    TDbfFieldDef* d = defs.Add();
    d->SetSize(size);
    d->SetPrec(prec);
    d->SetNativeFieldType(letter);
    return ShapeOf(*d);
}

TEST(DbFieldDefTest, EveryLetterIsHeldWithinItsLimits) {
    EXPECT_EQ(FromLetter('c', 0), (Shape{'C', ftString, 1, 0}));
    EXPECT_EQ(FromLetter('C', 300, 3), (Shape{'C', ftString, 254, 0}));
    EXPECT_EQ(FromLetter('C', 254), (Shape{'C', ftString, 254, 0}));
    EXPECT_EQ(FromLetter('F', 20, 4), (Shape{'F', ftFloat, 8, 0}));
    EXPECT_EQ(FromLetter('D', 3), (Shape{'D', ftDate, 8, 0}));
    EXPECT_EQ(FromLetter('l', 9), (Shape{'L', ftBoolean, 1, 0}));
    EXPECT_EQ(FromLetter('M', 4), (Shape{'M', ftMemo, 10, 0}));
    EXPECT_EQ(FromLetter('B', 4), (Shape{'B', ftBlob, 10, 0}));
    EXPECT_EQ(FromLetter('G', 4), (Shape{'G', ftGraphic, 10, 0}));
    EXPECT_EQ(FromLetter('i', 10, 2), (Shape{'I', ftInteger, 4, 0}));
    EXPECT_EQ(FromLetter('+', 10), (Shape{'+', ftAutoInc, 4, 0}));
    EXPECT_EQ(FromLetter('O', 4, 2), (Shape{'O', ftFloat, 8, 0}));
    EXPECT_EQ(FromLetter('@', 4), (Shape{'@', ftDateTime, 8, 0}));
    // An unknown letter keeps its size and decimals.
    EXPECT_EQ(FromLetter('X', 33, 7), (Shape{0, ftUnknown, 33, 7}));
    EXPECT_EQ(FromLetter('\0', 5, 1), (Shape{0, ftUnknown, 5, 1}));
}

TEST(DbFieldDefTest, NumericTypeFollowsSizeAndDecimalsHeldWhenTheLetterCame) {
    EXPECT_EQ(FromLetter('N', 5), (Shape{'N', ftInteger, 5, 0}));
    EXPECT_EQ(FromLetter('N', 4), (Shape{'N', ftSmallint, 4, 0}));
    EXPECT_EQ(FromLetter('N', 8, 2), (Shape{'N', ftFloat, 8, 2}));
    EXPECT_EQ(FromLetter('N', 3, 5), (Shape{'N', ftFloat, 3, 1}));
    EXPECT_EQ(FromLetter('N', 1, 5), (Shape{'N', ftFloat, 1, 0}));
    EXPECT_EQ(FromLetter('N', 25), (Shape{'N', ftInteger, 20, 0}));
    // Size 0 gives a small integer first, then becomes 8 by the limits.
    EXPECT_EQ(FromLetter('N', 0), (Shape{'N', ftSmallint, 8, 0}));

    TDbfFieldDefs defs;
    TDbfFieldDef* d = defs.Add();
    d->SetNativeFieldType('N'); // size 0 -> small integer, size 8
    d->SetSize(12);             // the type stays what the earlier size gave
    EXPECT_EQ(ShapeOf(*d), (Shape{'N', ftSmallint, 12, 0}));
    d->SetPrec(-3);
    EXPECT_EQ(d->Prec(), 0);
    d->SetPrec(15);
    EXPECT_EQ(d->Prec(), 10);
}

TEST(DbFieldDefTest, DatasetTypesGiveTheirLettersAndOthersNone) {
    TDbfFieldDefs defs;
    const struct {
        TFieldType type;
        Shape expected;
    } cases[] = {
        {ftString, {'C', ftString, 1, 0}},     {ftSmallint, {'N', ftSmallint, 8, 0}},
        {ftInteger, {'N', ftInteger, 8, 0}},   {ftBoolean, {'L', ftBoolean, 1, 0}},
        {ftFloat, {'F', ftFloat, 8, 0}},       {ftDate, {'D', ftDate, 8, 0}},
        {ftDateTime, {'@', ftDateTime, 8, 0}}, {ftAutoInc, {'+', ftAutoInc, 4, 0}},
        {ftBlob, {'B', ftBlob, 10, 0}},        {ftMemo, {'M', ftMemo, 10, 0}},
        {ftGraphic, {'G', ftGraphic, 10, 0}},  {ftCurrency, {0, ftUnknown, 0, 0}},
        {ftTime, {0, ftUnknown, 0, 0}},        {ftWord, {0, ftUnknown, 0, 0}},
        {ftBCD, {0, ftUnknown, 0, 0}},         {ftFmtMemo, {0, ftUnknown, 0, 0}},
    };
    for (const auto& c : cases) {
        TDbfFieldDef* d = defs.Add();
        d->SetFieldType(c.type);
        EXPECT_EQ(ShapeOf(*d), c.expected) << int(c.type);
    }

    // Name, type, size and required flag, in this order; decimals stay 0.
    TDbfFieldDef* i = defs.AddFieldDef("COUNT", ftInteger, 0, true);
    EXPECT_EQ(ShapeOf(*i), (Shape{'N', ftInteger, 8, 0}));
    EXPECT_TRUE(i->Required);
    EXPECT_EQ(i->GetDisplayName(), "COUNT");
    EXPECT_EQ(ShapeOf(*defs.AddFieldDef("D", ftDate, 0, false)), (Shape{'D', ftDate, 8, 0}));
    EXPECT_EQ(ShapeOf(*defs.AddFieldDef("M", ftMemo, 0, false)), (Shape{'M', ftMemo, 10, 0}));
    EXPECT_EQ(ShapeOf(*defs.AddFieldDef("S", ftString, 30, false)), (Shape{'C', ftString, 30, 0}));
    EXPECT_EQ(ShapeOf(*defs.AddFieldDef("F", ftFloat, 20, false)), (Shape{'F', ftFloat, 8, 0}));
    EXPECT_EQ(defs.Items(defs.Count() - 1)->Collection(), &defs);
    EXPECT_EQ(defs.GetOwner(), nullptr);
}

} // namespace
