#include "framework/data/BufferDataSet.h"
#include "framework/data/Fields.h"

#include <QByteArray>
#include <gtest/gtest.h>

// The slots of calculated fields: a value byte, then the value, never running past the slot.
TEST(BufferDataSetTest, CalculatedSlotsKeepTheirValueAndTheTextItsEnd) {
    TStringField text("NAME", 5);
    QByteArray slot(1 + text.DataSize() + 1, char(0x55)); // one guard byte behind the slot
    // A caller's text that runs on without an end within the slot is cut to the field.
    WriteCalcSlot(slot.data(), &text, "abcdefghij");
    char out[6];
    ASSERT_TRUE(ReadCalcSlot(slot.constData(), &text, out));
    EXPECT_STREQ(out, "abcde");
    EXPECT_EQ(slot.back(), char(0x55));
    // A shorter text leaves nothing of the longer one behind.
    WriteCalcSlot(slot.data(), &text, "xy");
    ASSERT_TRUE(ReadCalcSlot(slot.constData(), &text, out));
    EXPECT_EQ(QByteArray(out, 6), QByteArray("xy\0\0\0\0", 6));
    // No value.
    WriteCalcSlot(slot.data(), &text, nullptr);
    EXPECT_FALSE(ReadCalcSlot(slot.constData(), &text, out));
    EXPECT_FALSE(ReadCalcSlot(slot.constData(), &text, nullptr));

    TIntegerField number("COUNT");
    QByteArray wide(1 + number.DataSize(), '\0');
    const qint32 value = -77;
    WriteCalcSlot(wide.data(), &number, &value);
    qint32 back = 0;
    ASSERT_TRUE(ReadCalcSlot(wide.constData(), &number, &back));
    EXPECT_EQ(back, -77);
}
