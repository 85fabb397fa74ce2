#include "DbTableTestSupport.h"
#include "StorageTestSupport.h"
#include "TableBytes.h"
#include "common/MessageBoxAnswerer.h"
#include "platform/Clock.h"
#include "storage/dbtable/DbfTableFile.h"

#include <QLocale>
#include <clocale>
#include <cstring>
#include <gtest/gtest.h>

using namespace dbtable;
using namespace storagetest;

namespace {

class DbfFileTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }

    // A hand-made table: version, header size, record size, record count in the header,
    // descriptors and the bytes after the header.
    static QByteArray MakeTable(quint8 version, int headerSize, int recordSize, quint32 count,
                                const QList<QByteArray>& descriptors, const QByteArray& records) {
        return tablebytes::Table(version, descriptors, records, count, headerSize, recordSize);
    }
    static QByteArray Descriptor(const QByteArray& name, char letter, int length,
                                 int decimals = 0) {
        return tablebytes::Short(name, letter, length, decimals);
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
};

TEST_F(DbfFileTest, NewItemTableHasTheDBaseLayout) {
    const QString path = Path("qor.dbf");
    CreateTable(path, ItemFields());
    SYSTEMTIME today{};
    GetLocalTime(&today);

    const QByteArray f = ReadAll(path);
    ASSERT_EQ(f.size(), 225 + 1);
    EXPECT_EQ(quint8(f[0]), 0x8B);
    EXPECT_EQ(quint8(f[1]), today.wYear - 1900);
    EXPECT_EQ(quint8(f[2]), today.wMonth);
    EXPECT_EQ(quint8(f[3]), today.wDay);
    EXPECT_EQ(f.mid(4, 4), QByteArray(4, '\0'));
    EXPECT_EQ(quint8(f[8]) | quint8(f[9]) << 8, 225);
    EXPECT_EQ(quint8(f[10]) | quint8(f[11]) << 8, 651);
    EXPECT_EQ(f.mid(12, 17), QByteArray(17, '\0'));
    EXPECT_EQ(quint8(f[29]), 0x58);
    EXPECT_EQ(quint8(f[224]), 0x0D);
    EXPECT_EQ(quint8(f[225]), 0x1A);
    const char* names[] = {"GROUP", "CAPTION", "DESCRIPTOR", "COMMENTS", "PICTURE", "FILE"};
    const char letters[] = "CCCMCC";
    const int lengths[] = {20, 120, 180, 10, 160, 160};
    for (int i = 0; i < 6; ++i) {
        const QByteArray d = f.mid(32 + 32 * i, 32);
        EXPECT_EQ(QByteArray(d.constData()), names[i]);
        EXPECT_EQ(d.mid(qstrlen(names[i]), 11 - qstrlen(names[i])),
                  QByteArray(11 - int(qstrlen(names[i])), '\0'));
        EXPECT_EQ(d[11], letters[i]);
        EXPECT_EQ(quint8(d[16]), lengths[i]);
        EXPECT_EQ(d[17], 0);
        EXPECT_EQ(d.mid(18), QByteArray(14, '\0'));
    }

    const QByteArray m = ReadAll(Path("qor.dbt"));
    ASSERT_EQ(m.size(), 512);
    EXPECT_EQ(m.left(4), QByteArray("\x01\0\0\0", 4));
    EXPECT_EQ(m.mid(8, 8), QByteArray("qor.dbt\0", 8));
    EXPECT_EQ(m[18], 2);
    EXPECT_EQ(m[19], 1);
    EXPECT_EQ(quint8(m[20]) | quint8(m[21]) << 8, 512);
    EXPECT_EQ(m.mid(24), QByteArray(512 - 24, '\0'));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DbfFileTest, CreationMapsEveryTypeAndRefusesWhatTheFormatCannotHold) {
    const QString path = Path("all.dbf");
    CreateTable(path, {{"S", TDbfType::String, 5, false},
                       {"SI", TDbfType::Smallint, 0, false},
                       {"I", TDbfType::Integer, 0, false},
                       {"B", TDbfType::Boolean, 0, false},
                       {"F", TDbfType::Float, 0, false},
                       {"C", TDbfType::Currency, 0, false},
                       {"D", TDbfType::Date, 0, false},
                       {"AVERYLONGFIELDNAME", TDbfType::String, 3, false}});
    const QByteArray f = ReadAll(path);
    EXPECT_EQ(quint8(f[0]), 0x03); // no memo field
    const char letters[] = "CNNLNNDC";
    const int lengths[] = {5, 6, 11, 1, 20, 20, 8, 3};
    const int decimals[] = {0, 0, 0, 0, 4, 2, 0, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(f[32 + 32 * i + 11], letters[i]) << i;
        EXPECT_EQ(f[32 + 32 * i + 16], lengths[i]) << i;
        EXPECT_EQ(f[32 + 32 * i + 17], decimals[i]) << i;
    }
    EXPECT_EQ(QByteArray(f.constData() + 32 + 32 * 7), "AVERYLONGF");

    // Read back, the definitions give the dataset's types.
    OpenTable t(path);
    EXPECT_EQ(t.types, (std::vector<TDbfType>{TDbfType::String, TDbfType::Smallint,
                                              TDbfType::Integer, TDbfType::Boolean, TDbfType::Float,
                                              TDbfType::Float, TDbfType::Date, TDbfType::String}));
    EXPECT_EQ(t.files.Table()->RecordSize(), 1 + 5 + 6 + 11 + 1 + 20 + 20 + 8 + 3);

    for (TDbfType bad : {TDbfType::Unknown, TDbfType::Other}) {
        try {
            CreateTable(Path("bad.dbf"), {{"A", TDbfType::String, 4, false}, {"X", bad, 0, false}});
            ADD_FAILURE() << "no error";
        } catch (const EBinaryDataSetError& e) {
            EXPECT_EQ(e.Message, "InitFieldDefs: Unsupported field type");
        }
    }
    EXPECT_THROW(CreateTable(Path("bad.dbf"), {{"A", TDbfType::String, 256, false}}),
                 EBinaryDataSetError);
    EXPECT_THROW(CreateTable(Path("bad.dbf"), {}), EBinaryDataSetError);
}

TEST_F(DbfFileTest, FieldTypesFollowLetterLengthAndDecimals) {
    EXPECT_EQ(TDbfFile::TypeOfField('N', 6, 0), TDbfType::Smallint);
    EXPECT_EQ(TDbfFile::TypeOfField('N', 7, 0), TDbfType::Integer);
    EXPECT_EQ(TDbfFile::TypeOfField('N', 8, 2), TDbfType::Float);
    EXPECT_EQ(TDbfFile::TypeOfField('F', 8, 0), TDbfType::Float);
    EXPECT_EQ(TDbfFile::TypeOfField('D', 8, 0), TDbfType::Date);
    EXPECT_EQ(TDbfFile::TypeOfField('L', 1, 0), TDbfType::Boolean);
    EXPECT_EQ(TDbfFile::TypeOfField('M', 10, 0), TDbfType::Memo);
    EXPECT_EQ(TDbfFile::TypeOfField('X', 10, 0), TDbfType::String);
    for (int v : {0x03, 0x83})
        EXPECT_EQ(TDbfFile::LevelOfVersion(quint8(v)), 0);
    for (int v : {0x04, 0x7B, 0x8B, 0x8E, 0x30})
        EXPECT_EQ(TDbfFile::LevelOfVersion(quint8(v)), 1);
    EXPECT_EQ(TDbfFile::LevelOfVersion(0x05), 2);
}

TEST_F(DbfFileTest, HeaderCountThatDisagreesWithTheFileIsReportedAndCorrected) {
    const QString path = Path("count.dbf");
    QByteArray records;
    for (int i = 0; i < 12; ++i)
        records += " " + QByteArray::number(i).rightJustified(3, ' ');
    WriteAll(path, MakeTable(0x03, 65, 4, 10, {Descriptor("N", 'N', 3)}, records + "\x1A"));
    {
        OpenTable t(path);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text,
                  "Invalid Record Count,\rRecordCount in Hdr : 10\rexpected : 12");
        EXPECT_EQ(t.files.Table()->RecordCount(), 12);
        EXPECT_EQ(t.files.Table()->HeaderRecordCount(), 12u);
        // The next record goes after the twelve that are there.
        EXPECT_EQ(t.Append({"99"}), 12);
    }
    const QByteArray f = ReadAll(path);
    EXPECT_EQ(quint8(f[4]), 13);
    EXPECT_EQ(f.size(), 65 + 13 * 4 + 1);
    EXPECT_EQ(f.right(5), QByteArray(" 99 \x1A")); // the helper stores texts left-aligned
}

TEST_F(DbfFileTest, DescriptorCountsOutsideOneTo255AreRefused) {
    auto expectCount = [&](const QByteArray& bytes, int count) {
        WriteAll(Path("n.dbf"), bytes);
        TDbfFile f(Path("n.dbf"), TPagedMode::Read);
        try {
            f.ReadFieldDescriptors();
            ADD_FAILURE() << "no error for " << count;
        } catch (const EBinaryDataSetError& e) {
            EXPECT_EQ(e.Message,
                      QString("Invalid field count : %1 (must be between 1 and 255)").arg(count));
        }
    };
    expectCount(MakeTable(0x03, 32, 1, 0, {}, {}), 0);
    QList<QByteArray> many;
    for (int i = 0; i < 256; ++i)
        many << Descriptor("F" + QByteArray::number(i), 'C', 1);
    expectCount(MakeTable(0x03, 32 + 32 * 256 + 1, 257, 0, many, {}), 256);
    expectCount(MakeTable(0x05, 40, 1, 0, {}, {}), 0); // level 2 header below its descriptors

    // 255 fields are fine.
    many.removeLast();
    WriteAll(Path("n.dbf"), MakeTable(0x03, 32 + 32 * 255 + 1, 256, 0, many, {}));
    TDbfFile f(Path("n.dbf"), TPagedMode::Read);
    EXPECT_EQ(f.ReadFieldDescriptors().size(), 255);
}

TEST_F(DbfFileTest, RecordSizeThatDisagreesIsReportedButNeverWrittenBack) {
    // Header says 4 bytes per record, the descriptors need 1 + 3 + 5 = 9.
    const QString path = Path("size.dbf");
    const QByteArray records = " abc" + QByteArray(" def") + "\x1A";
    WriteAll(path, MakeTable(0x03, 97, 4, 2, {Descriptor("A", 'C', 3), Descriptor("B", 'C', 5)},
                             records));
    {
        OpenTable t(path);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text,
                  "Invalid Record Size,\rRecord Size in Hdr : 4\rExpected : 9");
        TDbfFile* f = t.files.Table();
        EXPECT_EQ(f->RecordSize(), 4); // the spacing on disk
        EXPECT_EQ(f->ImageSize(), 9);
        EXPECT_FALSE(f->RecordsWritable());
        EXPECT_EQ(t.Values(1), (QStringList{"def", ""}));
        QByteArray image = t.Image(0);
        EXPECT_THROW(f->WriteRecordImage(0, image.constData()), EBinaryDataSetError);
        EXPECT_THROW(t.Append({"x", "y"}), EBinaryDataSetError);
    }
    const QByteArray f = ReadAll(path);
    EXPECT_EQ(quint8(f[10]), 4);
    EXPECT_EQ(f.mid(97), records);

    // A wider spacing than the fields need is read with it, but not written either.
    boxes.Clear();
    WriteAll(path, MakeTable(0x03, 65, 6, 1, {Descriptor("A", 'C', 3)}, " abcXY\x1A"));
    const QByteArray wide = ReadAll(path);
    {
        OpenTable t(path);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_FALSE(t.files.Table()->RecordsWritable());
        EXPECT_EQ(t.Values(0), QStringList{"abc"});
        EXPECT_THROW(t.Append({"new"}), EBinaryDataSetError);
    }
    EXPECT_EQ(ReadAll(path), wide);
}

TEST_F(DbfFileTest, ATableThatCannotBeWrittenIsLeftAsItWasOnClose) {
    // Records 9 bytes apart, but the header word says 4: read with the word's spacing, the
    // header's count and end mark would land inside the second record. The same for a word
    // of 0. Nothing can change in such a table, so closing it writes nothing either.
    const QByteArray records = " abc  def " + QByteArray(" ghi jklm") + "\x1A";
    for (int word : {4, 0}) {
        const QString path = Path(QString("spacing%1.dbf").arg(word));
        const QByteArray bytes = MakeTable(
            0x03, 97, word, 2, {Descriptor("A", 'C', 3), Descriptor("B", 'C', 5)}, records);
        WriteAll(path, bytes);
        {
            OpenTable t(path);
            EXPECT_FALSE(t.files.Table()->RecordsWritable());
        }
        EXPECT_EQ(ReadAll(path), bytes) << word;
    }
}

TEST_F(DbfFileTest, ValueTextsAreReadByTheTableRules) {
    const QString path = Path("v.dbf");
    CreateTable(path, {{"S", TDbfType::String, 10, false}, {"N", TDbfType::Integer, 0, false}});
    OpenTable t(path);
    TDbfFile* f = t.files.Table();
    QByteArray image(f->ImageSize(), ' ');
    auto setText = [&](int field, const QByteArray& text) {
        const TMyFieldInfo& info = f->Fields()[size_t(field)];
        QByteArray padded = text.leftJustified(info.Length, ' ', true);
        std::memcpy(image.data() + info.Offset, padded.constData(), size_t(info.Length));
    };
    char s[11];
    setText(0, "  abc  ");
    ASSERT_TRUE(f->ReadFieldData(0, TDbfType::String, s, image.constData()));
    EXPECT_STREQ(s, "abc");
    setText(0, "");
    std::strcpy(s, "keep");
    EXPECT_FALSE(f->ReadFieldData(0, TDbfType::String, s, image.constData()));
    EXPECT_STREQ(s, "keep");

    auto boolOf = [&](const QByteArray& text) {
        setText(0, text);
        qint16 v = -1;
        EXPECT_TRUE(f->ReadFieldData(0, TDbfType::Boolean, &v, image.constData()));
        return v;
    };
    EXPECT_EQ(boolOf("T"), 1);
    EXPECT_EQ(boolOf("t"), 1);
    EXPECT_EQ(boolOf("Y"), 0);
    EXPECT_EQ(boolOf("F"), 0);

    auto dateOf = [&](const QByteArray& text) {
        setText(0, text);
        qint32 v = -1;
        EXPECT_TRUE(f->ReadFieldData(0, TDbfType::Date, &v, image.constData()));
        return v;
    };
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const int century = now.wYear / 100 * 100;
    EXPECT_EQ(dateOf("19980315"), DayNumber(1998, 3, 15));
    EXPECT_EQ(dateOf("20240230"), 0); // 30 February
    EXPECT_EQ(dateOf("98"), DayNumber(century + 98, 1, 1));
    EXPECT_EQ(dateOf("0098"), DayNumber(98, 1, 1));
    EXPECT_EQ(dateOf("199803"), DayNumber(1998, 3, 1));
    EXPECT_EQ(dateOf("19980000"), DayNumber(1998, 1, 1));
    EXPECT_EQ(dateOf("abcd0101"), 0);
    EXPECT_EQ(DayNumber(1, 1, 1), 1);
    EXPECT_EQ(DayNumber(2000, 2, 29) - DayNumber(2000, 2, 28), 1);
    EXPECT_EQ(DayNumber(1900, 2, 29), 0);

    auto intOf = [&](TDbfType type, const QByteArray& text) {
        setText(1, text);
        qint32 v32 = -1;
        qint16 v16 = -1;
        if (type == TDbfType::Smallint) {
            EXPECT_TRUE(f->ReadFieldData(1, type, &v16, image.constData()));
            return int(v16);
        }
        EXPECT_TRUE(f->ReadFieldData(1, type, &v32, image.constData()));
        return int(v32);
    };
    EXPECT_EQ(intOf(TDbfType::Integer, "  -1234"), -1234);
    EXPECT_EQ(intOf(TDbfType::Integer, "12x"), 0);
    EXPECT_EQ(intOf(TDbfType::Integer, "99999999999"), 0);
    EXPECT_EQ(intOf(TDbfType::Smallint, "32767"), 32767);
    EXPECT_EQ(intOf(TDbfType::Smallint, "40000"), 0);

    auto floatOf = [&](const QByteArray& text) {
        setText(1, text);
        double v = -1;
        EXPECT_TRUE(f->ReadFieldData(1, TDbfType::Float, &v, image.constData()));
        return v;
    };
    EXPECT_DOUBLE_EQ(floatOf("    3.5000"), 3.5);
    EXPECT_DOUBLE_EQ(floatOf("-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(floatOf("1,5"), 0);
    EXPECT_DOUBLE_EQ(floatOf("x"), 0);
}

TEST_F(DbfFileTest, ValueTextsAreWrittenWithPointAndPaddingAndLengthChecks) {
    // A comma as the system's decimal separator must not reach the file.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
        if (std::setlocale(LC_ALL, name))
            break;

    const QString path = Path("w.dbf");
    WriteAll(path, MakeTable(0x03, 32 + 6 * 32 + 1, 1 + 4 + 20 + 5 + 1 + 8 + 6, 0,
                             {Descriptor("N4", 'N', 4), Descriptor("F", 'N', 20, 4),
                              Descriptor("S", 'C', 5), Descriptor("L", 'L', 1),
                              Descriptor("D", 'D', 8), Descriptor("SI", 'N', 6)},
                             "\x1A"));
    OpenTable t(path);
    TDbfFile* f = t.files.Table();
    QByteArray image(f->ImageSize(), ' ');
    auto text = [&](int field) {
        const TMyFieldInfo& info = f->Fields()[size_t(field)];
        return image.mid(info.Offset, info.Length);
    };

    const double d = 3.5;
    f->WriteFieldData(1, TDbfType::Float, &d, image.data());
    EXPECT_EQ(text(1), "              3.5000");
    double back = 0;
    f->ReadFieldData(1, TDbfType::Float, &back, image.constData());
    EXPECT_DOUBLE_EQ(back, 3.5);

    const qint32 fits = 1234;
    f->WriteFieldData(0, TDbfType::Integer, &fits, image.data());
    EXPECT_EQ(text(0), "1234");
    const QByteArray before = image;
    const qint32 tooLong = 12345;
    try {
        f->WriteFieldData(0, TDbfType::Integer, &tooLong, image.data());
        ADD_FAILURE() << "no error";
    } catch (const EFieldToLongError& e) {
        EXPECT_EQ(e.Message, "Fielddata too long :5 (must be between 1 and 4).");
    }
    EXPECT_EQ(image, before);
    const double wide = 1e17;
    EXPECT_THROW(f->WriteFieldData(1, TDbfType::Float, &wide, image.data()), EFieldToLongError);

    f->WriteFieldData(2, TDbfType::String, "abcdefghij", image.data());
    EXPECT_EQ(text(2), "abcde");
    f->WriteFieldData(2, TDbfType::String, "ab", image.data());
    EXPECT_EQ(text(2), "ab   ");
    f->WriteFieldData(2, TDbfType::String, nullptr, image.data());
    EXPECT_EQ(text(2), "     ");

    const qint16 yes = 1, no = 0;
    f->WriteFieldData(3, TDbfType::Boolean, &yes, image.data());
    EXPECT_EQ(text(3), "T");
    f->WriteFieldData(3, TDbfType::Boolean, &no, image.data());
    EXPECT_EQ(text(3), "F");

    const qint32 day = DayNumber(1998, 3, 15);
    f->WriteFieldData(4, TDbfType::Date, &day, image.data());
    EXPECT_EQ(text(4), "19980315");
    qint32 dayBack = 0;
    f->ReadFieldData(4, TDbfType::Date, &dayBack, image.constData());
    EXPECT_EQ(dayBack, day);

    const qint16 small = -42;
    f->WriteFieldData(5, TDbfType::Smallint, &small, image.data());
    EXPECT_EQ(text(5), "   -42");

    EXPECT_THROW(f->WriteFieldData(6, TDbfType::String, "x", image.data()), EBinaryDataSetError);

    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(previous);
}

TEST_F(DbfFileTest, DeletedAndAppendedRecordsKeepTheirPlaces) {
    const QString path = Path("qor.dbf");
    CreateTable(path, ItemFields());
    {
        OpenTable t(path);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(t.Append({"grp0" + QString::number(i), "Caption " + QString::number(i)}), i);
        QByteArray third = t.Image(2);
        third[0] = '*';
        t.files.Table()->WriteRecordImage(2, third.constData());
        EXPECT_EQ(t.files.Table()->RecordCount(), 5);
    }
    const QByteArray f = ReadAll(path);
    EXPECT_EQ(f.size(), 225 + 5 * 651 + 1);
    EXPECT_EQ(quint8(f[4]), 5);
    EXPECT_EQ(f[225 + 2 * 651], '*');
    EXPECT_EQ(f[225 + 3 * 651], ' ');
    EXPECT_EQ(quint8(f[f.size() - 1]), 0x1A);

    OpenTable t(path);
    EXPECT_EQ(t.Values(2)[0], "grp02");
    EXPECT_EQ(t.Values(4)[1], "Caption 4");
    EXPECT_TRUE(boxes.Boxes().empty());
    // Writing far beyond the end, or before the start, is refused.
    QByteArray image = t.Image(0);
    EXPECT_THROW(t.files.Table()->WriteRecordImage(7, image.constData()), EBinaryDataSetError);
    EXPECT_THROW(t.files.Table()->WriteRecordImage(-1, image.constData()), EBinaryDataSetError);
    // Reading beyond the end gives a blank image.
    EXPECT_EQ(t.Image(9), QByteArray(651, ' '));
}

TEST_F(DbfFileTest, ReadOnlyTableIsNeverWritten) {
    const QString path = Path("ro.dbf");
    WriteAll(path, MakeTable(0x03, 65, 4, 3, {Descriptor("A", 'C', 3)}, " abc def xyz\x1A"));
    QByteArray bytes = ReadAll(path);
    bytes[1] = 80; // 1980
    bytes[4] = 2;  // wrong count: reported, corrected only in memory
    WriteAll(path, bytes);
    {
        OpenTable t(path, true);
        EXPECT_EQ(t.files.Table()->RecordCount(), 3);
        EXPECT_THROW(t.Append({"new"}), EInOutError);
    }
    EXPECT_EQ(ReadAll(path), bytes);
}

TEST_F(DbfFileTest, DamagedTablesGiveClearErrors) {
    const QString path = Path("bad.dbf");
    WriteAll(path, QByteArray("\x03\x60\x01\x01", 4));
    try {
        TDbfFile f(path, TPagedMode::Read);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message, "Stream read error : " + path);
    }
    // The header promises more descriptors than the file holds.
    QByteArray cut = MakeTable(0x03, 32 + 32 * 4 + 1, 10, 0, {Descriptor("A", 'C', 9)}, {});
    WriteAll(path, cut.left(70));
    {
        TDbfFile f(path, TPagedMode::Read);
        EXPECT_THROW(f.ReadFieldDescriptors(), EInOutError);
    }
    // A header size beyond the file: no records, nothing read out of the file.
    WriteAll(path, MakeTable(0x03, 65, 4, 0, {Descriptor("A", 'C', 3)}, {}).left(65));
    QByteArray h = ReadAll(path);
    h[8] = char(0xFF);
    h[9] = char(0x00);
    WriteAll(path, h);
    TDbfFile f(path, TPagedMode::Read);
    EXPECT_EQ(f.RecordCount(), 0);
    EXPECT_THROW(f.ReadFieldDescriptors(), EInOutError);

    try {
        TTableFiles files;
        files.Open(ResolveTablePaths(Path("missing.dbf"), ".", "", false), false);
        ADD_FAILURE() << "no error";
    } catch (const EBinaryDataSetError& e) {
        EXPECT_EQ(e.Message, "Open: Table file not found : " + Path("missing.dbf"));
    }
}

TEST_F(DbfFileTest, ForeignDescriptorsLevelTwoAndFullNames) {
    // An 11-character name without its NUL ends at the name area.
    const QString path = Path("names.dbf");
    QByteArray d = Descriptor("ABCDEFGHIJK", 'C', 4);
    WriteAll(path, MakeTable(0x03, 65, 5, 1, {d}, " wxyz\x1A"));
    {
        TDbfFile f(path, TPagedMode::Read);
        const QList<TDbfFieldDef> defs = f.ReadFieldDescriptors();
        ASSERT_EQ(defs.size(), 1);
        EXPECT_EQ(defs[0].Name, "ABCDEFGHIJK");
        EXPECT_EQ(f.Fields()[0].Name, "abcdefghijk");
        EXPECT_EQ(f.Fields()[0].Letter, 'C');
        EXPECT_EQ(defs[0].Size, 4);
    }

    // Level 2: 36 more header bytes, 48-byte descriptors from offset 68.
    QByteArray h(68, '\0');
    h[0] = 0x05;
    h[4] = 1;
    const int headerSize = 68 + 2 * 48 + 1;
    h[8] = char(headerSize);
    h[10] = 1 + 6 + 8;
    h[40] = 'X'; // reserved bytes, cleared by a header write
    auto wide = [](const QByteArray& name, char letter, int length) {
        QByteArray w(48, '\0');
        std::memcpy(w.data(), name.constData(), size_t(name.size()));
        w[32] = letter;
        w[33] = char(length);
        return w;
    };
    h += wide("A_RATHER_LONG_FIELD_NAME", 'N', 6) + wide("WHEN", 'D', 8) + "\x0D";
    h += QByteArray("   -1219980315") + "\x1A";
    WriteAll(path, h.insert(h.size() - 15, ' '));
    {
        OpenTable t(path);
        EXPECT_EQ(t.files.Table()->Level(), 2);
        EXPECT_EQ(t.types, (std::vector<TDbfType>{TDbfType::Smallint, TDbfType::Date}));
        EXPECT_EQ(t.files.Table()->Fields()[0].Name, "a_rather_long_field_name");
        const QByteArray image = t.Image(0);
        qint16 v = 0;
        t.files.Table()->ReadFieldData(0, TDbfType::Smallint, &v, image.constData());
        EXPECT_EQ(v, -12);
        t.files.Table()->WriteRecordImage(0, image.constData()); // so that the header is written
    }
    const QByteArray after = ReadAll(path);
    EXPECT_EQ(after.mid(32, 36), QByteArray(36, '\0'));
    EXPECT_EQ(after.mid(68, 24), QByteArray("A_RATHER_LONG_FIELD_NAME"));
    EXPECT_TRUE(boxes.Boxes().empty());
}

} // namespace
