#include "storage/dbdataset/DbFile.h"
#include "DbDatasetTestSupport.h"
#include "StorageTestSupport.h"
#include "TableBytes.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/data/DateStamp.h"
#include "platform/Clock.h"

#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>

using namespace dbdataset;
using storagetest::ReadAll;
using storagetest::WriteAll;
namespace tb = tablebytes;

namespace {

bool Registered(const QString& path) {
    return TPagedFile::FindOpenFile(path) != nullptr;
}

qint32 Day(int y, int m, int d) {
    return DateStamp::DayNumber(QDate(y, m, d));
}

class DbFileTest : public ::testing::Test {
protected:
    // The dataset switches trimming on for the whole process; these tests start without it.
    void SetUp() override { TrimFieldStrings = false; }
    void TearDown() override { TrimFieldStrings = false; }

    QString Path(const QString& name) const { return dir.filePath(name); }
    // Writes the bytes and opens them as a table, holding one reference.
    TFileRef<TDbfFile> Open(const QString& name, const QByteArray& bytes, bool readOnly = false) {
        WriteAll(Path(name), bytes);
        return TFileRef<TDbfFile>(new TDbfFile(Path(name), 0, false, readOnly));
    }
    // A one-field table whose field is given by its descriptor, and a blank record image.
    TFileRef<TDbfFile> OneField(const QByteArray& descriptor) {
        auto t = Open("one.dbf", tb::Table(0x03, {descriptor}, {}, 0));
        image = QByteArray(t->RecordSize(), ' ');
        return t;
    }
    QByteArray FieldBytes(const TDbfFile& t, int fieldNo = 0) {
        TDbfFile& f = const_cast<TDbfFile&>(t);
        const TDbfFieldDef* d = f.FieldDefs().Items(fieldNo);
        return image.mid(d->Offset, d->Size());
    }
    void PutField(const TDbfFile& t, const QByteArray& bytes, int fieldNo = 0) {
        TDbfFile& f = const_cast<TDbfFile&>(t);
        image.replace(f.FieldDefs().Items(fieldNo)->Offset, bytes.size(), bytes);
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
    QByteArray image;
};

TEST_F(DbFileTest, VersionBytesSelectLevelAndDescriptorForm) {
    const struct {
        quint8 version;
        int level;
    } cases[] = {{0x83, 2}, {0x03, 3}, {0x7B, 3}, {0x8B, 3}, {0x8E, 3}, {0x05, 3},
                 {0xF4, 3}, {0x04, 5}, {0x8C, 5}, {0xF5, 6}, {0x30, 7}};
    for (const auto& c : cases) {
        const bool wide = c.level >= 5;
        const QList<QByteArray> descriptors =
            wide ? QList<QByteArray>{tb::Wide("FIRST", 'C', 3), tb::Wide("SECOND", 'N', 4)}
                 : QList<QByteArray>{tb::Short("FIRST", 'C', 3), tb::Short("SECOND", 'N', 4)};
        auto t = Open("v.dbf", tb::Table(c.version, descriptors, " abc  42", 1));
        EXPECT_EQ(t->Level(), c.level) << int(c.version);
        EXPECT_EQ(t->HeaderSize(), (wide ? 68 + 2 * 48 : 32 + 2 * 32) + 1);
        ASSERT_EQ(t->FieldDefs().Count(), 2) << int(c.version);
        EXPECT_EQ(t->FieldDefs().Items(1)->Name(), "SECOND");
        EXPECT_EQ(t->FieldDefs().Items(1)->Offset, 4);
        EXPECT_EQ(t->RecordSize(), 8);
        EXPECT_EQ(t->RecordCount(), 1);
    }
    EXPECT_TRUE(boxes.Boxes().empty());

    // Names are upper-cased; one that fills its area ends there, not in the letter behind it.
    auto t = Open(
        "n.dbf",
        tb::Table(0x03, {tb::Short("lower", 'C', 2), tb::Short("ELEVENCHARS", 'L', 1)}, {}, 0));
    EXPECT_EQ(t->FieldDefs().Items(0)->Name(), "LOWER");
    EXPECT_EQ(t->FieldDefs().Items(1)->Name(), "ELEVENCHARS");
    EXPECT_EQ(t->FindFieldDef("elevenchars"), t->FieldDefs().Items(1));
    EXPECT_EQ(t->FindFieldDef("ELEVEN"), nullptr);
}

TEST_F(DbFileTest, HeaderSizesThatDescribeNoFieldsAreRefusedAndNothingStaysOpen) {
    const size_t before = TPagedFile::OpenFiles().size();
    auto refused = [&](const QByteArray& bytes) -> QString {
        WriteAll(Path("bad.dbf"), bytes);
        try {
            TDbfFile f(Path("bad.dbf"), 0, false, false);
        } catch (const EDbfFileError& e) {
            EXPECT_FALSE(Registered(Path("bad.dbf")));
            EXPECT_EQ(TPagedFile::OpenFiles().size(), before);
            return e.Message;
        }
        return "opened";
    };
    const QString none = "Invalid field count : 0 (must be between 1 and 4095)";
    EXPECT_EQ(refused(tb::Table(0x03, {tb::Short("A", 'C', 1)}, {}, 0, 32)), none);
    EXPECT_EQ(refused(tb::Table(0x03, {tb::Short("A", 'C', 1)}, {}, 0, 63)), none);
    // Below the header's own size: refused before a record size is taken from it.
    EXPECT_EQ(refused(tb::Table(0x03, {tb::Short("A", 'C', 1)}, {}, 0, 20)), none);
    EXPECT_EQ(refused(QByteArray()), "Invalid field count : -1 (must be between 1 and 4095)");
    // A file cut short inside its header.
    EXPECT_EQ(refused(QByteArray("\x03\x01\x02\x03\0\0\0\0\x10\0", 10)), none);
    EXPECT_EQ(refused(tb::Table(0x8C, {tb::Wide("A", 'C', 1)}, {}, 0, 68 + 47)), none);
    // 32 + 32 * n + 1 gives n fields; 68 + 48 * n + 1 gives n wide ones.
    auto t = Open("ok.dbf", tb::Table(0x03, {tb::Short("A", 'C', 1)}, {}, 0, 65));
    EXPECT_EQ(t->FieldDefs().Count(), 1);
    auto w = Open("w.dbf", tb::Table(0x8C, {tb::Wide("A", 'C', 1), tb::Wide("B", 'C', 1)}, {}, 0));
    EXPECT_EQ(w->FieldDefs().Count(), 2);
}

TEST_F(DbFileTest, RecordCountTheFileContradictsIsShownAndTheFileWins) {
    QByteArray records;
    for (int i = 0; i < 12; ++i)
        records += " r" + QByteArray::number(i % 10);
    {
        auto t = Open("c.dbf", tb::Table(0x03, {tb::Short("F", 'C', 2)}, records, 10));
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text,
                  "Invalid Record Count,\rRecordCount in Hdr : 10\rexpected : 12");
        EXPECT_EQ(t->RecordCount(), 12);
        t->WriteHeader();
    }
    const QByteArray f = ReadAll(Path("c.dbf"));
    EXPECT_EQ(quint8(f[4]), 12);
    EXPECT_EQ(f.at(f.size() - 1), '\x1A');
}

TEST_F(DbFileTest, RecordSizeTheDescriptorsContradictIsShownAndTheirsIsUsed) {
    // Descriptors add up to 48 + 1; the header says 50.
    QByteArray records = " " + QByteArray(48, 'a') + " " + QByteArray(48, 'b');
    const QByteArray file =
        tb::Table(0x03, {tb::Short("A", 'C', 40), tb::Short("B", 'C', 8)}, records, 2, -1, 50);
    {
        auto t = Open("s.dbf", file);
        ASSERT_EQ(boxes.Boxes().size(), 2u); // the count, taken with 50, and the size
        EXPECT_EQ(boxes.Boxes()[1].text,
                  "Invalid Record Size,\rRecord Size in Hdr : 50\rExpected : 49");
        EXPECT_EQ(t->RecordSize(), 49);
        EXPECT_EQ(t->RecordCount(), 2);
        QByteArray r(49, '\0');
        t->ReadRecord(2, r.data());
        EXPECT_EQ(r, " " + QByteArray(48, 'b'));
        EXPECT_TRUE(t->IsReadOnly());
        EXPECT_THROW(t->WriteHeader(), EInOutError);
    }
    EXPECT_EQ(ReadAll(Path("s.dbf")), file);

    // Fields that no 16-bit record size can hold are refused rather than written back wrong.
    QList<QByteArray> many;
    for (int i = 0; i < 300; ++i)
        many.append(tb::Short("F" + QByteArray::number(i), 'C', 254));
    boxes.Clear();
    WriteAll(Path("big.dbf"), tb::Table(0x03, many, {}, 0, -1, 1000));
    EXPECT_THROW(TDbfFile(Path("big.dbf"), 0, false, false), EDbfFileError);
    EXPECT_FALSE(Registered(Path("big.dbf")));
}

TEST_F(DbFileTest, NewTableHasTheDBaseThreeLayout) {
    TDbfFieldDefs defs;
    defs.AddFieldDef("NAME", ftString, 20, false);
    storagetest::AddNumberField(defs, "AMOUNT", 8, 2);
    {
        TFileRef<TDbfFile> t(new TDbfFile(Path("new.dbf"), 0, true, false));
        EXPECT_TRUE(t->IsNew());
        EXPECT_EQ(t->Level(), 0);
        t->CreateStructure(defs);
        EXPECT_EQ(t->HeaderSize(), 97);
        EXPECT_EQ(t->RecordSize(), 29);
        EXPECT_EQ(t->Level(), 0);
        EXPECT_EQ(t->FieldDefs().Count(), 0); // not read back until asked
        TDbfFieldDefs copy;
        t->CopyFieldDefs(copy);
        ASSERT_EQ(t->FieldDefs().Count(), 2);
        EXPECT_EQ(t->FieldDefs().Items(0)->Offset, 1);
        EXPECT_EQ(t->FieldDefs().Items(1)->Offset, 21);
        EXPECT_EQ(copy.Items(1)->FieldType(), ftFloat);
    }
    SYSTEMTIME today{};
    GetLocalTime(&today);
    const QByteArray f = ReadAll(Path("new.dbf"));
    ASSERT_EQ(f.size(), 98);
    QByteArray expected(96, '\0');
    expected[0] = 3;
    expected[1] = char(today.wYear - 1900);
    expected[2] = char(today.wMonth);
    expected[3] = char(today.wDay);
    expected[8] = 97;
    expected[10] = 29;
    expected.replace(32, 4, "NAME");
    expected[32 + 11] = 'C';
    expected[32 + 16] = 20;
    expected.replace(64, 6, "AMOUNT");
    expected[64 + 11] = 'N';
    expected[64 + 16] = 8;
    expected[64 + 17] = 2;
    EXPECT_EQ(f.left(96), expected);
    EXPECT_EQ(f.mid(96), "\x0D\x1A");
}

TEST_F(DbFileTest, CopiedDefinitionsTakeTheirLetterFromTheDatasetType) {
    auto t = Open(
        "k.dbf", tb::Table(0x8C,
                           {tb::Wide("I", 'I', 4), tb::Wide("O", 'O', 8), tb::Wide("N", 'N', 10, 2),
                            tb::Wide("B", 'B', 10), tb::Wide("A", '+', 4, 0, 9),
                            tb::Wide("T", '@', 8), tb::Wide("S", 'C', 12)},
                           {}, 0));
    EXPECT_EQ(t->FieldDefs().Items(4)->AutoIncNext, 9);
    TDbfFieldDefs copy;
    t->CopyFieldDefs(copy);
    ASSERT_EQ(copy.Count(), 7);
    auto shape = [&](int i) {
        const TDbfFieldDef* d = copy.Items(i);
        return QString("%1 %2 %3 %4")
            .arg(QChar(d->NativeFieldType() ? d->NativeFieldType() : '0'))
            .arg(int(d->FieldType()))
            .arg(d->Size())
            .arg(d->Prec());
    };
    EXPECT_EQ(shape(0), QString("N %1 4 0").arg(int(ftInteger)));
    EXPECT_EQ(shape(1), QString("F %1 8 0").arg(int(ftFloat)));
    EXPECT_EQ(shape(2), QString("F %1 8 0").arg(int(ftFloat)));
    EXPECT_EQ(shape(3), QString("B %1 10 0").arg(int(ftBlob)));
    EXPECT_EQ(shape(4), QString("+ %1 4 0").arg(int(ftAutoInc)));
    EXPECT_EQ(shape(5), QString("@ %1 8 0").arg(int(ftDateTime)));
    EXPECT_EQ(shape(6), QString("C %1 12 0").arg(int(ftString)));
    EXPECT_EQ(copy.Items(4)->AutoIncNext, 0);
    EXPECT_EQ(copy.Items(4)->Offset, 0);
}

TEST_F(DbFileTest, StructuresTheFormatCannotHoldAreRefusedBeforeTheFileIsTouched) {
    WriteAll(Path("keep.dbf"), tb::Table(0x03, {tb::Short("A", 'C', 3)}, " abc", 1));
    const QByteArray before = ReadAll(Path("keep.dbf"));
    auto refused = [&](const TDbfFieldDefs& defs) -> QString {
        TFileRef<TDbfFile> t(new TDbfFile(Path("keep.dbf"), 1, false, false));
        try {
            t->CreateStructure(defs);
        } catch (const EDbfFileError& e) {
            EXPECT_EQ(ReadAll(Path("keep.dbf")), before);
            return e.Message;
        }
        return "created";
    };
    TDbfFieldDefs empty;
    EXPECT_EQ(refused(empty), "Invalid field count : 0 (must be between 1 and 2046)");
    TDbfFieldDefs unknown;
    unknown.AddFieldDef("PRICE", ftCurrency, 0, false);
    EXPECT_EQ(refused(unknown), "Unsupported field type of field \"PRICE\"");
    TDbfFieldDefs wide;
    for (int i = 0; i < 300; ++i)
        wide.AddFieldDef("F" + QString::number(i), ftString, 254, false);
    EXPECT_EQ(refused(wide), "Invalid record size : 76201 (must be between 1 and 65535)");
    TDbfFieldDefs name;
    name.AddFieldDef(QString::fromUtf8("PREIS€"), ftString, 5, false);
    EXPECT_EQ(refused(name),
              QString::fromUtf8("The character \"€\" (U+20AC) cannot be stored in the "
                                "field \"PREIS€\"."));
}

TEST_F(DbFileTest, BinaryIntegersStoreTheirValueWithTheTopBitInverted) {
    auto t = OneField(tb::Short("N", 'I', 4));
    qint32 v = 77;
    // Worked out by hand: value XOR 0x80000000, most significant byte first.
    PutField(*t, QByteArray("\x80\x00\x00\x05", 4));
    EXPECT_TRUE(t->GetFieldValue(0, ftInteger, image.constData(), &v));
    EXPECT_EQ(v, 5);
    PutField(*t, QByteArray("\x7F\xFF\xFF\xFF", 4));
    EXPECT_TRUE(t->GetFieldValue(0, ftInteger, image.constData(), &v));
    EXPECT_EQ(v, -1);
    PutField(*t, QByteArray("\x00\x00\x00\x00", 4));
    EXPECT_FALSE(t->GetFieldValue(0, ftInteger, image.constData(), nullptr));

    const struct {
        qint32 value;
        QByteArray stored;
    } cases[] = {{-1, QByteArray("\x7F\xFF\xFF\xFF", 4)},
                 {0, QByteArray("\x80\x00\x00\x00", 4)},
                 {1, QByteArray("\x80\x00\x00\x01", 4)},
                 {INT_MAX, QByteArray("\xFF\xFF\xFF\xFF", 4)},
                 {INT_MIN + 1, QByteArray("\x00\x00\x00\x01", 4)},
                 {-256, QByteArray("\x7F\xFF\xFF\x00", 4)},
                 {0x12345678, QByteArray("\x92\x34\x56\x78", 4)}};
    for (const auto& c : cases) {
        t->SetFieldValue(0, ftInteger, &c.value, image.data());
        EXPECT_EQ(FieldBytes(*t).toHex(), c.stored.toHex()) << c.value;
        v = 77;
        EXPECT_TRUE(t->GetFieldValue(0, ftInteger, image.constData(), &v));
        EXPECT_EQ(v, c.value);
    }
    // The smallest integer would be stored as "no value": refused, the image unchanged.
    const qint32 smallest = INT_MIN;
    const QByteArray was = image;
    EXPECT_THROW(t->SetFieldValue(0, ftInteger, &smallest, image.data()), EDbfFileError);
    EXPECT_EQ(image, was);
    // No value clears the field.
    t->SetFieldValue(0, ftInteger, nullptr, image.data());
    EXPECT_EQ(FieldBytes(*t), QByteArray(4, '\0'));
    // A 16-bit value goes in and out as 16 bits.
    const qint16 small = -2;
    t->SetFieldValue(0, ftSmallint, &small, image.data());
    EXPECT_EQ(FieldBytes(*t).toHex(), "7ffffffe");
    qint16 back = 0;
    EXPECT_TRUE(t->GetFieldValue(0, ftSmallint, image.constData(), &back));
    EXPECT_EQ(back, -2);
}

TEST_F(DbFileTest, TextFieldsAreStoredPaddedAndCheckedForLength) {
    auto t = Open("t.dbf",
                  tb::Table(0x03,
                            {tb::Short("N", 'N', 5), tb::Short("C", 'C', 5), tb::Short("L", 'L', 1),
                             tb::Short("S", 'N', 4), tb::Short("P", 'N', 10, 3),
                             tb::Short("F", 'F', 8), tb::Short("X", 'Q', 3)},
                            {}, 0));
    image = QByteArray(t->RecordSize(), ' ');
    const qint32 answer = 42;
    t->SetFieldValue(0, ftInteger, &answer, image.data());
    EXPECT_EQ(FieldBytes(*t, 0), "   42");
    const qint32 negative = -1234;
    t->SetFieldValue(0, ftInteger, &negative, image.data());
    EXPECT_EQ(FieldBytes(*t, 0), "-1234");
    const QByteArray was = image;
    const qint32 tooLong = 123456;
    try {
        t->SetFieldValue(0, ftInteger, &tooLong, image.data());
        FAIL();
    } catch (const EDbfFileError& e) {
        EXPECT_EQ(e.Message, "Field data too long :6 (must be between 1 and 5).");
    }
    EXPECT_EQ(image, was);

    t->SetFieldValue(1, ftString, "seventh", image.data());
    EXPECT_EQ(FieldBytes(*t, 1), "seven");
    t->SetFieldValue(1, ftString, "ab", image.data());
    EXPECT_EQ(FieldBytes(*t, 1), "ab   ");
    t->SetFieldValue(1, ftString, nullptr, image.data());
    EXPECT_EQ(FieldBytes(*t, 1), "     ");
    EXPECT_FALSE(t->GetFieldValue(1, ftString, image.constData(), nullptr));

    const qint16 yes = 1, other = 2;
    t->SetFieldValue(2, ftBoolean, &yes, image.data());
    EXPECT_EQ(FieldBytes(*t, 2), "T");
    t->SetFieldValue(2, ftBoolean, &other, image.data());
    EXPECT_EQ(FieldBytes(*t, 2), "F");

    const qint16 small = -999;
    t->SetFieldValue(3, ftSmallint, &small, image.data());
    EXPECT_EQ(FieldBytes(*t, 3), "-999");

    // Fixed point with "." whatever the system says, right-aligned.
    const double amounts[] = {3.5, -0.0004, 123456.7894, -99999.999};
    const char* stored[] = {"     3.500", "     0.000", "123456.789", "-99999.999"};
    for (int i = 0; i < 4; ++i) {
        t->SetFieldValue(4, ftFloat, &amounts[i], image.data());
        EXPECT_EQ(FieldBytes(*t, 4), stored[i]) << amounts[i];
    }
    const double huge = 1e12;
    EXPECT_THROW(t->SetFieldValue(4, ftFloat, &huge, image.data()), EDbfFileError);
    const double nan = std::nan("");
    EXPECT_THROW(t->SetFieldValue(4, ftCurrency, &nan, image.data()), EDbfFileError);

    // An F field keeps the places that fit instead of rounding a fraction away.
    const double pi = 3.14159265, third = -1.0 / 3, whole = 12345678;
    t->SetFieldValue(5, ftFloat, &pi, image.data());
    EXPECT_EQ(FieldBytes(*t, 5), "3.141593");
    t->SetFieldValue(5, ftFloat, &third, image.data());
    EXPECT_EQ(FieldBytes(*t, 5), "-0.33333");
    t->SetFieldValue(5, ftFloat, &whole, image.data());
    EXPECT_EQ(FieldBytes(*t, 5), "12345678");
    double back = 0;
    EXPECT_TRUE(t->GetFieldValue(5, ftFloat, image.constData(), &back));
    EXPECT_EQ(back, 12345678);

    // A type the field has no text for stores blanks: no value.
    t->SetFieldValue(6, ftBlob, "xyz", image.data());
    EXPECT_EQ(FieldBytes(*t, 6), "   ");
}

TEST_F(DbFileTest, TextFieldsAreReadByTheirDatasetType) {
    auto t = Open("r.dbf",
                  tb::Table(0x03,
                            {tb::Short("C", 'C', 5), tb::Short("L", 'L', 1), tb::Short("D", 'D', 8),
                             tb::Short("N", 'N', 6), tb::Short("P", 'N', 8, 2)},
                            {}, 0));
    image = QByteArray(t->RecordSize(), ' ');
    char text[6] = {};
    PutField(*t, "  ab ", 0);
    TrimFieldStrings = true;
    EXPECT_TRUE(t->GetFieldValue(0, ftString, image.constData(), text));
    EXPECT_STREQ(text, "ab");
    TrimFieldStrings = false;
    EXPECT_TRUE(t->GetFieldValue(0, ftString, image.constData(), text));
    EXPECT_STREQ(text, "  ab");

    qint16 flag = 7;
    PutField(*t, "t", 1);
    EXPECT_TRUE(t->GetFieldValue(1, ftBoolean, image.constData(), &flag));
    EXPECT_EQ(flag, 1);
    PutField(*t, "Y", 1);
    EXPECT_TRUE(t->GetFieldValue(1, ftBoolean, image.constData(), &flag));
    EXPECT_EQ(flag, 0);
    PutField(*t, " ", 1);
    EXPECT_FALSE(t->GetFieldValue(1, ftBoolean, image.constData(), &flag));

    SYSTEMTIME now{};
    GetLocalTime(&now);
    const int century = now.wYear / 100 * 100;
    const struct {
        const char* text;
        bool has;
        qint32 day;
    } dates[] = {{"20240229", true, Day(2024, 2, 29)},
                 {"20230229", true, 0},
                 {"        ", false, 0},
                 {"99      ", true, Day(century + 99, 1, 1)},
                 {"00240101", true, Day(24, 1, 1)},
                 {"00010101", true, 1},
                 {"99991231", true, Day(9999, 12, 31)},
                 {"1998 3 5", true, Day(1998, 3, 5)},
                 {"abcdefgh", true, 0},
                 {"1998xx00", true, Day(1998, 1, 1)}};
    for (const auto& d : dates) {
        qint32 day = -5;
        PutField(*t, d.text, 2);
        EXPECT_EQ(t->GetFieldValue(2, ftDate, image.constData(), &day), d.has) << d.text;
        if (d.has) {
            EXPECT_EQ(day, d.day) << d.text;
        }
    }

    qint32 n = 5;
    PutField(*t, "  -17 ", 3);
    EXPECT_TRUE(t->GetFieldValue(3, ftInteger, image.constData(), &n));
    EXPECT_EQ(n, -17);
    PutField(*t, "  1x7 ", 3);
    EXPECT_TRUE(t->GetFieldValue(3, ftInteger, image.constData(), &n));
    EXPECT_EQ(n, 0);
    double p = 5;
    PutField(*t, "  -3.25", 4);
    EXPECT_TRUE(t->GetFieldValue(4, ftFloat, image.constData(), &p));
    EXPECT_EQ(p, -3.25);
    PutField(*t, "     nan", 4);
    EXPECT_TRUE(t->GetFieldValue(4, ftFloat, image.constData(), &p));
    EXPECT_EQ(p, 0);
}

TEST_F(DbFileTest, UnconvertedBinaryFieldsHaveNoValueAndAreNeverWritten) {
    auto t = Open("o.dbf", tb::Table(0x04, {tb::Wide("O", 'O', 8), tb::Wide("T", '@', 8)}, {}, 0));
    image = QByteArray(t->RecordSize(), 'z');
    double d = 1.5;
    EXPECT_FALSE(t->GetFieldValue(0, ftFloat, image.constData(), &d));
    EXPECT_EQ(d, 1.5);
    t->SetFieldValue(0, ftFloat, &d, image.data());
    t->SetFieldValue(1, ftDateTime, &d, image.data());
    EXPECT_EQ(image, QByteArray(t->RecordSize(), 'z'));
    EXPECT_THROW(t->GetFieldValue(2, ftFloat, image.constData(), &d), EDbfFileError);
    EXPECT_THROW(t->SetFieldValue(-1, ftFloat, &d, image.data()), EDbfFileError);
}

TEST_F(DbFileTest, TextIsConvertedToTheOemCodePageAndRefusedWhereItCannot) {
    auto t = OneField(tb::Short("CAPTION", 'C', 12));
    t->SetFieldText(0, QString::fromUtf8("Äpfel ß"), image.data());
    // CP850: Ä is 0x8E, ß is 0xE1.
    EXPECT_EQ(FieldBytes(*t), QByteArray("\x8E"
                                         "pfel \xE1     "));
    QString text;
    EXPECT_TRUE(t->GetFieldText(0, image.constData(), text));
    EXPECT_EQ(text, QString::fromUtf8("Äpfel ß"));

    const QByteArray was = image;
    try {
        t->SetFieldText(0, QString::fromUtf8("5 € each"), image.data());
        FAIL();
    } catch (const EDbfFileError& e) {
        EXPECT_EQ(e.Message, QString::fromUtf8("The character \"€\" (U+20AC) cannot be stored in "
                                               "the field \"CAPTION\"."));
    }
    EXPECT_THROW(t->SetFieldText(0, QString("a") + QChar(0) + "b", image.data()), EDbfFileError);
    EXPECT_EQ(image, was);
    t->SetFieldText(0, QString(), image.data());
    EXPECT_FALSE(t->GetFieldText(0, image.constData(), text));
    EXPECT_TRUE(text.isEmpty());
}

TEST_F(DbFileTest, AutoIncrementCountersAreStoredInTheirDescriptorsOnly) {
    const QByteArray original = tb::Table(
        0x8C,
        {tb::Wide("NAME", 'C', 4), tb::Wide("ID", '+', 4, 0, 7), tb::Wide("NO", 'I', 4, 0, 3)}, {},
        0);
    {
        auto t = Open("a.dbf", original);
        image = QByteArray(t->RecordSize(), ' ');
        t->FillAutoIncFields(image.data());
        EXPECT_EQ(FieldBytes(*t, 1).toHex(), "80000007");
        EXPECT_EQ(FieldBytes(*t, 2), "    "); // not an auto-increment field
        t->WriteRecord(1, image.constData());
        t->AdvanceAutoInc();
        EXPECT_EQ(t->FieldDefs().Items(1)->AutoIncNext, 8);
        EXPECT_EQ(t->FieldDefs().Items(2)->AutoIncNext, 3);
        t->WriteHeader();
        // The header in memory was read again and shows the new counter.
        EXPECT_EQ(quint8(t->Header()[68 + 48 + 42]), 8);
    }
    const QByteArray f = ReadAll(Path("a.dbf"));
    QByteArray expected = original;
    expected[68 + 48 + 42] = 8;
    // Only the date, the count and that one counter changed.
    EXPECT_EQ(f.mid(12, original.size() - 12), expected.mid(12));
    EXPECT_EQ(quint8(f[4]), 1);
    EXPECT_EQ(f.size(), original.size() + 13 + 1);

    // A level-3 table keeps no counters: its descriptors stay as they were.
    const QByteArray level3 = tb::Table(0x03, {tb::Short("ID", '+', 4)}, {}, 0);
    {
        auto t = Open("b.dbf", level3);
        t->AdvanceAutoInc();
        t->WriteHeader();
    }
    EXPECT_EQ(ReadAll(Path("b.dbf")).mid(12, level3.size() - 12), level3.mid(12));
}

// Records of every native type written through this engine into a table of each family, closed,
// opened again and read back value for value.
TEST_F(DbFileTest, EveryFamilyKeepsEveryValue) {
    struct Row {
        QString text;
        qint32 integer;
        qint16 small;
        double amount;
        qint16 flag;
        qint32 day;
        qint32 binary;
    };
    const QList<Row> rows = {
        {QString::fromUtf8("Grüße"), INT_MAX, 9999, 12345.67, 1, 1, INT_MAX},
        {"x", -99999999, -999, -0.01, 0, Day(9999, 12, 31), INT_MIN + 1},
        {"", 0, 0, 0, 0, Day(2000, 2, 29), 0},
        {QString(30, 'w'), -1, 1, 99999999.99, 1, Day(1, 12, 31), -1},
    };
    for (quint8 version : {quint8(0x83), quint8(0x03), quint8(0x8C), quint8(0xF5), quint8(0x30)}) {
        const bool wide = TDbfFile::LevelOfVersion(version) >= 5;
        auto d = [&](const QByteArray& name, char letter, int size, int decimals = 0) {
            return wide ? tb::Wide(name, letter, size, decimals)
                        : tb::Short(name, letter, size, decimals);
        };
        const QString name = QString("fam%1.dbf").arg(version);
        {
            auto t =
                Open(name, tb::Table(version,
                                     {d("TEXT", 'C', 30), d("INT", 'N', 11), d("SMALL", 'N', 4),
                                      d("AMOUNT", 'N', 11, 2), d("FLAG", 'L', 1), d("DAY", 'D', 8),
                                      d("BIN", 'I', 4), d("MEMO", 'M', 10)},
                                     {}, 0));
            ASSERT_EQ(t->FieldDefs().Items(2)->FieldType(), ftSmallint);
            int n = 0;
            for (const Row& r : rows) {
                QByteArray rec(t->RecordSize(), ' ');
                t->SetFieldText(0, r.text, rec.data());
                t->SetFieldValue(1, ftInteger, &r.integer, rec.data());
                t->SetFieldValue(2, ftSmallint, &r.small, rec.data());
                t->SetFieldValue(3, ftFloat, &r.amount, rec.data());
                t->SetFieldValue(4, ftBoolean, &r.flag, rec.data());
                t->SetFieldValue(5, ftDate, &r.day, rec.data());
                t->SetFieldValue(6, ftInteger, &r.binary, rec.data());
                const qint32 block = n * 3;
                t->SetFieldValue(7, ftInteger, &block, rec.data());
                t->WriteRecord(++n, rec.constData());
            }
            t->WriteHeader();
        }
        EXPECT_TRUE(boxes.Boxes().empty());
        auto t = TFileRef<TDbfFile>(new TDbfFile(Path(name), 0, false, true));
        ASSERT_EQ(t->RecordCount(), rows.size());
        TDbfCursor cursor(t.get());
        int n = 0;
        while (cursor.Next()) {
            const Row& r = rows[n++];
            QByteArray rec(t->RecordSize(), '\0');
            t->ReadRecord(cursor.GetPhysicalRecNo(), rec.data());
            QString text;
            EXPECT_EQ(t->GetFieldText(0, rec.constData(), text), !r.text.isEmpty());
            EXPECT_EQ(text, r.text);
            qint32 integer = 0, day = 0, binary = 0, block = -1;
            qint16 small = 0, flag = 0;
            double amount = 0;
            EXPECT_TRUE(t->GetFieldValue(1, ftInteger, rec.constData(), &integer));
            EXPECT_TRUE(t->GetFieldValue(2, ftSmallint, rec.constData(), &small));
            EXPECT_TRUE(t->GetFieldValue(3, ftFloat, rec.constData(), &amount));
            EXPECT_TRUE(t->GetFieldValue(4, ftBoolean, rec.constData(), &flag));
            EXPECT_TRUE(t->GetFieldValue(5, ftDate, rec.constData(), &day));
            EXPECT_TRUE(t->GetFieldValue(6, ftInteger, rec.constData(), &binary));
            EXPECT_TRUE(t->GetFieldValue(7, ftInteger, rec.constData(), &block));
            EXPECT_EQ(integer, r.integer) << int(version);
            EXPECT_EQ(small, r.small);
            EXPECT_DOUBLE_EQ(amount, r.amount);
            EXPECT_EQ(flag, r.flag);
            EXPECT_EQ(day, r.day);
            EXPECT_EQ(binary, r.binary);
            EXPECT_EQ(block, (n - 1) * 3);
        }
        EXPECT_EQ(n, rows.size());
    }
}

TEST_F(DbFileTest, PhysicalCursorWalksPositionsAndHoldsItsFile) {
    WriteAll(Path("e.dbf"), tb::Table(0x03, {tb::Short("A", 'C', 1)}, {}, 0));
    auto* file = new TDbfFile(Path("e.dbf"), 0, false, false);
    {
        TDbfCursor c(file);
        EXPECT_EQ(file->RefCount(), 1);
        EXPECT_EQ(c.GetRecordSize(), 2);
        EXPECT_FALSE(c.Next());
        c.Last();
        EXPECT_EQ(c.RecNo, 0);
        EXPECT_FALSE(c.Prior());
        EXPECT_EQ(c.RecNo, 0);

        // Records appended through the shared file are seen at once.
        file->WriteRecord(1, " a");
        file->WriteRecord(2, " b");
        file->WriteRecord(3, " c");
        c.First();
        EXPECT_TRUE(c.Next());
        EXPECT_TRUE(c.Next());
        EXPECT_TRUE(c.Next());
        EXPECT_EQ(c.GetPhysicalRecNo(), 3);
        EXPECT_FALSE(c.Next());
        EXPECT_EQ(c.RecNo, 4);
        EXPECT_FALSE(c.Next());
        EXPECT_EQ(c.RecNo, 4);
        EXPECT_TRUE(c.Prior());
        EXPECT_EQ(c.GetRecNo(), 3);
        c.Last();
        EXPECT_EQ(c.GetBookmark(), 4);
        c.GotoBookmark(2);
        EXPECT_TRUE(c.Prior());
        EXPECT_FALSE(c.Prior());
        EXPECT_EQ(c.RecNo, 0);
        EXPECT_EQ(c.GetRecordCount(), 3);
        file->WriteRecord(4, " d");
        c.Insert(4, " d");
        EXPECT_EQ(c.RecNo, 4);
        c.SetPhysicalRecNo(2);
        EXPECT_EQ(c.GetPhysicalRecNo(), 2);

        TDbfCursor second(file);
        EXPECT_EQ(file->RefCount(), 2);
    }
    // The last cursor freed the file.
    EXPECT_FALSE(Registered(Path("e.dbf")));
}

} // namespace
