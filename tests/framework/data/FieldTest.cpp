#include "common/MemDataSet.h"

#include "framework/data/BlobStream.h"
#include "framework/data/DateStamp.h"
#include "framework/data/Fields.h"
#include "platform/Codepage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<TMemDataSet::Column> allTypes() {
    return {{"S", ftString, 8},   {"SI", ftSmallint, 0}, {"I", ftInteger, 0},
            {"AI", ftAutoInc, 0}, {"B", ftBoolean, 0},   {"F", ftFloat, 0},
            {"C", ftCurrency, 0}, {"D", ftDate, 0},      {"DT", ftDateTime, 0},
            {"M", ftMemo, 0},     {"BL", ftBlob, 0}};
}

// A dataset that stores strings in the OEM code page, as the table engines do.
class TOemDataSet : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;

protected:
    void TranslateText(const QByteArray& source, QByteArray& target, bool toOem) override {
        target =
            toOem
                ? Codepage::FromUnicode(Codepage::ToUnicode(source, Codepage::Ansi), Codepage::Oem)
                : Codepage::FromUnicode(Codepage::ToUnicode(source, Codepage::Oem), Codepage::Ansi);
    }
};

template <class T> T raw(TField* f) {
    EXPECT_EQ(f->DataSize(), int(sizeof(T)));
    T v{};
    EXPECT_TRUE(f->GetData(&v));
    return v;
}

} // namespace

TEST(DateStamp, DayNumbersOfTheTimeStamps) {
    EXPECT_EQ(DateStamp::DayNumber(QDate(1, 1, 1)), 1);
    EXPECT_EQ(DateStamp::DayNumber(QDate(1899, 12, 30)), 693594);
    EXPECT_EQ(DateStamp::DayNumber(QDate(2000, 1, 1)), 730120);
    EXPECT_EQ(DateStamp::DayNumber(QDate(1998, 3, 15)), 729463);
    EXPECT_EQ(DateStamp::DayNumber(QDate()), 0);
    EXPECT_EQ(DateStamp::DayNumber(QDate(-5, 1, 1)), 0);
    EXPECT_EQ(DateStamp::FromDayNumber(730120), QDate(2000, 1, 1));
    EXPECT_EQ(DateStamp::FromDayNumber(1), QDate(1, 1, 1));
    EXPECT_FALSE(DateStamp::FromDayNumber(0).isValid());
    EXPECT_FALSE(DateStamp::FromDayNumber(-3).isValid());
    EXPECT_FALSE(DateStamp::FromDayNumber(INT32_MAX).isValid());
    const QDateTime t(QDate(2000, 1, 1), QTime(12, 0));
    EXPECT_DOUBLE_EQ(DateStamp::MSecs(t), 730120.5 * 86400000.0);
    EXPECT_EQ(DateStamp::FromMSecs(DateStamp::MSecs(t)), t);
    EXPECT_FALSE(DateStamp::FromMSecs(-1).isValid());
    EXPECT_FALSE(DateStamp::FromMSecs(1e300).isValid());
}

TEST(Fields, ValuesRoundTripInTheirBinaryForms) {
    TMemDataSet ds(allTypes());
    ds.Open();
    ds.Append();
    auto f = [&](const char* n) { return ds.FieldByName(n); };
    EXPECT_TRUE(f("S")->IsNull());

    f("S")->SetAsString("abcdefghijk"); // cut to 8
    f("SI")->SetAsInteger(-1234);
    f("I")->SetAsString(" 2000000000 ");
    f("AI")->SetAsInteger(7);
    f("B")->SetAsBoolean(true);
    f("F")->SetAsFloat(3.25);
    f("C")->SetAsString("12.5");
    static_cast<TDateField*>(f("D"))->SetAsDate(QDate(1998, 3, 15));
    f("DT")->SetAsDateTime(QDateTime(QDate(2000, 1, 1), QTime(6, 0)));
    f("M")->SetAsString("memo text");
    static_cast<TBlobField*>(f("BL"))->SetAsBytes(QByteArray("\x00\x01\xff", 3));

    EXPECT_EQ(f("S")->AsString(), "abcdefgh");
    char text[9];
    ASSERT_TRUE(f("S")->GetData(text));
    EXPECT_STREQ(text, "abcdefgh");
    EXPECT_EQ(raw<qint16>(f("SI")), -1234);
    EXPECT_EQ(raw<qint32>(f("I")), 2000000000);
    EXPECT_EQ(raw<qint32>(f("AI")), 7);
    EXPECT_EQ(raw<qint16>(f("B")), 1);
    EXPECT_DOUBLE_EQ(raw<double>(f("F")), 3.25);
    EXPECT_DOUBLE_EQ(raw<double>(f("C")), 12.5);
    EXPECT_EQ(raw<qint32>(f("D")), 729463);
    EXPECT_DOUBLE_EQ(raw<double>(f("DT")), 730120.25 * 86400000.0);
    EXPECT_EQ(f("M")->DataSize(), 0);
    ds.Post();

    // Read back after the post, from the stored record.
    ds.First();
    EXPECT_EQ(f("SI")->AsString(), "-1234");
    EXPECT_EQ(f("I")->AsInteger(), 2000000000);
    EXPECT_EQ(f("B")->AsString(), "True");
    EXPECT_EQ(f("F")->AsString(), "3.25");
    EXPECT_EQ(f("F")->AsInteger(), 3);
    EXPECT_EQ(f("C")->AsFloat(), 12.5);
    EXPECT_EQ(f("D")->AsString(), "1998-03-15");
    EXPECT_EQ(f("D")->AsDateTime(), QDate(1998, 3, 15).startOfDay());
    EXPECT_EQ(f("DT")->AsString(), "2000-01-01 06:00:00");
    EXPECT_EQ(f("M")->AsString(), "memo text");
    EXPECT_EQ(f("M")->DisplayText(), "(MEMO)");
    EXPECT_EQ(static_cast<TBlobField*>(f("BL"))->AsBytes(), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(f("BL")->DisplayText(), "(BLOB)");

    // Clearing gives null values that read as empty texts and zeros.
    ds.Edit();
    for (TField* field : ds.Fields())
        field->Clear();
    for (TField* field : ds.Fields()) {
        EXPECT_TRUE(field->IsNull()) << field->FieldName().toStdString();
        EXPECT_EQ(field->AsString(), "") << field->FieldName().toStdString();
    }
    EXPECT_EQ(f("I")->AsInteger(), 0);
    EXPECT_EQ(f("M")->DisplayText(), "(Memo)");
    ds.Cancel();
    EXPECT_EQ(f("M")->AsString(), "memo text");
}

TEST(Fields, TextConversionsAndTheirErrors) {
    TMemDataSet ds(allTypes());
    ds.Open();
    ds.Append();
    auto f = [&](const char* n) { return ds.FieldByName(n); };
    EXPECT_THROW(f("I")->SetAsString("12x"), EDatabaseError);
    EXPECT_THROW(f("I")->SetAsString("99999999999"), EDatabaseError);
    EXPECT_THROW(f("SI")->SetAsInteger(40000), EDatabaseError);
    EXPECT_THROW(f("F")->SetAsString("abc"), EDatabaseError);
    EXPECT_THROW(f("B")->SetAsString("maybe"), EDatabaseError);
    EXPECT_THROW(f("D")->SetAsString("31.02.1998"), EConvertError);
    EXPECT_THROW(f("B")->AsDateTime(), EDatabaseError);
    f("B")->SetAsString("f");
    EXPECT_FALSE(f("B")->AsBoolean());
    EXPECT_FALSE(f("B")->IsNull());
    f("B")->SetAsString("tr");
    EXPECT_TRUE(f("B")->AsBoolean());
    f("S")->SetAsInteger(42);
    EXPECT_EQ(f("S")->AsInteger(), 42);
    f("S")->SetAsString("Yes");
    EXPECT_TRUE(f("S")->AsBoolean());
    f("F")->SetAsString("1e3");
    EXPECT_EQ(f("F")->AsString(), "1000");
    f("D")->SetAsString("2001-02-03");
    EXPECT_EQ(static_cast<TDateField*>(f("D"))->AsDate(), QDate(2001, 2, 3));
    f("D")->SetAsString("");
    EXPECT_TRUE(f("D")->IsNull());
    EXPECT_THROW(NewField(ftWord, "W"), EDatabaseError);
    EXPECT_THROW(NewField(ftUnknown, "U"), EDatabaseError);
}

TEST(Fields, DayNumberZeroReadsAsNoDate) {
    // A stored date that names no calendar day (the engines store 0 for such dates) must
    // not make every display of the record fail.
    TMemDataSet ds({{"D", ftDate, 0}});
    ds.Open();
    ds.Append();
    const qint32 zero = 0;
    ds.FieldByName("D")->SetData(&zero);
    EXPECT_FALSE(ds.FieldByName("D")->IsNull());
    EXPECT_EQ(ds.FieldByName("D")->AsString(), "");
    EXPECT_FALSE(ds.FieldByName("D")->AsDateTime().isValid());
}

TEST(Fields, BlobStreamsOfAMemoField) {
    TMemDataSet ds({{"CAPTION", ftString, 10}, {"COMMENTS", ftMemo, 0}});
    ds.AddRow({"one", "first memo"});
    ds.Open();
    TField* memo = ds.FieldByName("COMMENTS");
    {
        auto s = ds.CreateBlobStream(memo, bmRead);
        EXPECT_EQ(s->Field(), memo);
        EXPECT_EQ(s->Mode(), bmRead);
        EXPECT_EQ(s->readAll(), "first memo");
    }
    EXPECT_THROW(ds.CreateBlobStream(memo, bmWrite), EDatabaseError); // browsing
    ds.Edit();
    {
        // Writing less than was there drops the rest.
        auto s = ds.CreateBlobStream(memo, bmWrite);
        s->write("short");
        EXPECT_EQ(s->Written(), "short");
        s->Commit();
    }
    EXPECT_EQ(memo->AsString(), "short");
    memo->SetAsString("line 1\r\nline 2");
    EXPECT_TRUE(ds.Modified());
    ds.Post();
    EXPECT_EQ(ds.StoredBlob(0, 1), "line 1\r\nline 2");
    ds.Edit();
    memo->Clear();
    EXPECT_TRUE(memo->IsNull());
    ds.Post();
    EXPECT_EQ(ds.StoredBlob(0, 1), "");
    TField* text = ds.FieldByName("CAPTION");
    EXPECT_THROW(ds.CreateBlobStream(text, bmRead), EDatabaseError);
}

TEST(Fields, TextGoesThroughTheDataSetsCodePage) {
    TOemDataSet ds({{"CAPTION", ftString, 10}, {"COMMENTS", ftMemo, 0}});
    ds.Open();
    ds.Append();
    ds.FieldByName("CAPTION")->SetAsString(QString::fromUtf8("Café"));
    ds.FieldByName("COMMENTS")->SetAsString(QString::fromUtf8("Grüße"));
    ds.Post();
    // Stored in CP850: é is 0x82, ü 0x81, ß 0xE1.
    EXPECT_EQ(ds.StoredBlob(0, 1), QByteArray("Gr\x81\xe1"
                                              "e"));
    ds.First();
    EXPECT_EQ(ds.FieldByName("CAPTION")->AsString(), QString::fromUtf8("Café"));
    EXPECT_EQ(ds.FieldByName("COMMENTS")->AsString(), QString::fromUtf8("Grüße"));
    char raw[11];
    ASSERT_TRUE(ds.FieldByName("CAPTION")->GetData(raw));
    EXPECT_EQ(QByteArray(raw), QByteArray("Caf\x82"));
}

TEST(Fields, PropertiesAndLayoutEvents) {
    TMemDataSet ds({{"CAPTION", ftString, 30}});
    auto* field = ds.AddField<TStringField>("CAPTION");
    EXPECT_EQ(field->DisplayLabel(), "CAPTION");
    EXPECT_EQ(field->DisplayWidth(), 20); // the default size until bound
    ds.Open();
    EXPECT_EQ(field->DisplayWidth(), 30);
    EXPECT_EQ(field->FieldNo(), 1);
    EXPECT_EQ(field->Index(), 0);
    field->SetDisplayLabel("Caption");
    EXPECT_EQ(field->DisplayLabel(), "Caption");
    EXPECT_TRUE(field->CanModify());
    ds.Close();
    ds.ReadOnly = true;
    ds.Open();
    EXPECT_FALSE(field->CanModify());
    EXPECT_EQ(field->FieldNo(), 1);
    ds.Close();
    EXPECT_EQ(field->FieldNo(), 0);
    EXPECT_FALSE(field->GetData(nullptr)); // closed: no value, no error
}
