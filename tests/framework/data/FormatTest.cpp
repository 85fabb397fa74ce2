#include "framework/data/Format.h"
#include "framework/data/Exceptions.h"

#include <gtest/gtest.h>
#include <limits>

TEST(Format, RowKeysAndPercent) {
    EXPECT_EQ(Format("%02.2d", {5}), "05");
    EXPECT_EQ(Format("%02.2d", {50}), "50");
    EXPECT_EQ(Format("100%% sure", {QVariant()}), "100% sure");
    EXPECT_EQ(Format("%s and %d", {QString("a"), 3}), "a and 3");
    EXPECT_EQ(Format("%-4s|%4s", {QString("ab"), QString("cd")}), "ab  |  cd");
    EXPECT_EQ(Format("%1:s %0:s", {QString("x"), QString("y")}), "y x");
    EXPECT_EQ(Format("%x", {255}), "FF");
    EXPECT_EQ(Format("%d", {qint64(std::numeric_limits<qint64>::min())}), "-9223372036854775808");
    EXPECT_EQ(Format("%.3d", {-7}), "-007");
}

TEST(Format, SpecifiersThatDoNotFitRaise) {
    EXPECT_THROW(Format("50% off", {QVariant()}), EConvertError);
    EXPECT_THROW(Format("%s", {QVariant()}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
    EXPECT_THROW(Format("trailing %", {}), EConvertError);
    EXPECT_EQ(Format("%p", {QVariant()}), "00000000");
}

// A width or precision taken from the arguments is held to the same bound as a written one,
// so that a format text cannot ask for gigabytes of padding or digits.
TEST(Format, WidthAndPrecisionFromTheArgumentsAreBounded) {
    EXPECT_EQ(Format("%*d|%.*f", {3, 7, 1, 2.75}), "  7|2.8");
    EXPECT_THROW(Format("%.*f", {std::numeric_limits<int>::max(), 1.0}), EConvertError);
    EXPECT_THROW(Format("%*s", {std::numeric_limits<int>::max(), QString("x")}), EConvertError);
    EXPECT_THROW(Format("%*s", {qint64(1) << 40, QString("x")}), EConvertError);
    EXPECT_EQ(Format("%*s|", {std::numeric_limits<int>::min(), QString("x")}), "x|");
}
