#include "framework/Format.h"
#include "framework/Exceptions.h"

#include <gtest/gtest.h>

TEST(Format, RowKeysAndPercent) {
    EXPECT_EQ(Format("%02.2d", {5}), "05");
    EXPECT_EQ(Format("%02.2d", {50}), "50");
    EXPECT_EQ(Format("100%% sure", {QVariant()}), "100% sure");
    EXPECT_EQ(Format("%s and %d", {QString("a"), 3}), "a and 3");
    EXPECT_EQ(Format("%-4s|%4s", {QString("ab"), QString("cd")}), "ab  |  cd");
    EXPECT_EQ(Format("%1:s %0:s", {QString("x"), QString("y")}), "y x");
    EXPECT_EQ(Format("%x", {255}), "FF");
}

TEST(Format, SpecifiersThatDoNotFitRaise) {
    EXPECT_THROW(Format("50% off", {QVariant()}), EConvertError);
    EXPECT_THROW(Format("%s", {QVariant()}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
    EXPECT_THROW(Format("trailing %", {}), EConvertError);
    EXPECT_EQ(Format("%p", {QVariant()}), "00000000");
}
