#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Profile;

namespace {

class ProfileFile : public testing::Test {
protected:
    QString Path(const QString& name = QStringLiteral("test.ini")) const {
        return dir_.filePath(name);
    }
    void Put(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) const {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Get(const QString& name = QStringLiteral("test.ini")) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString Read(const QString& section, const QString& key, const QString& def = "<def>") const {
        return GetPrivateProfileString(section, key, def, Path());
    }
    bool Write(const QString& section, const QString& key, const QString& value) const {
        return WritePrivateProfileString(section, key, value, Path());
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(ProfileFile, ReadsHandWrittenFile) {
    Put("; a comment=with equals\r\n"
        "orphan=before any section\r\n"
        "  [ Gradient ]  \r\n"
        "Active = 1 \r\n"
        "STYLE=\t\"  quoted \" \r\n"
        "Single='x'\r\n"
        "Inner=a \"b\" c\r\n"
        "Half=\"open\r\n"
        "Empty=\r\n"
        "Blank=   \r\n"
        "no equals sign here\r\n"
        "[broken section\r\n"
        "=no key\r\n"
        "Active=2\r\n"
        "Eq=a=b\r\n"
        "[gradient]\r\n"
        "Second=hidden\r\n");
    EXPECT_EQ(Read("gradient", "active"), "1");
    EXPECT_EQ(Read("GRADIENT", "Style"), "  quoted ");
    EXPECT_EQ(Read("Gradient", "Single"), "x");
    EXPECT_EQ(Read("Gradient", "Inner"), "a \"b\" c");
    EXPECT_EQ(Read("Gradient", "Half"), "\"open");
    EXPECT_EQ(Read("Gradient", "Empty"), "");
    EXPECT_EQ(Read("Gradient", "Blank"), "");
    EXPECT_EQ(Read("Gradient", "Eq"), "a=b");
    EXPECT_EQ(Read("Gradient", "Missing"), "<def>");
    EXPECT_EQ(Read("Gradient", "Second"), "<def>"); // only the first section of a name counts
    EXPECT_EQ(Read("Nowhere", "Active"), "<def>");
    EXPECT_EQ(Read("Gradient", "orphan"), "<def>");
    EXPECT_EQ(GetPrivateProfileSectionNames(Path()), QStringList{"Gradient"});
    EXPECT_EQ(GetPrivateProfileKeyNames("gradient", Path()),
              (QStringList{"Active", "STYLE", "Single", "Inner", "Half", "Empty", "Blank", "Eq"}));
    EXPECT_TRUE(GetPrivateProfileKeyNames("none", Path()).isEmpty());
}

TEST_F(ProfileFile, AllLineEndsRead) {
    for (const QByteArray& eol : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
        Put("[A]" + eol + "x=1" + eol + eol + "[B]" + eol + "y=2");
        EXPECT_EQ(Read("A", "x"), "1");
        EXPECT_EQ(Read("B", "y"), "2");
        EXPECT_EQ(GetPrivateProfileSectionNames(Path()), (QStringList{"A", "B"}));
    }
}

TEST_F(ProfileFile, MissingOrUnreadableFileGivesDefaults) {
    EXPECT_EQ(Read("A", "x"), "<def>");
    EXPECT_EQ(GetPrivateProfileInt("A", "x", 7, Path()), 7);
    EXPECT_EQ(GetPrivateProfileString("A", "x", "d", dir_.path()), "d"); // a folder
    EXPECT_EQ(GetPrivateProfileString("A", "x", "d", QString()), "d");
    EXPECT_TRUE(GetPrivateProfileSectionNames(Path()).isEmpty());
}

TEST_F(ProfileFile, ValuesAreCutAt1023Characters) {
    Put("[A]\r\nlong=" + QByteArray(2000, 'x') + "\r\nexact=" + QByteArray(1023, 'y') + "\r\n");
    EXPECT_EQ(Read("A", "long"), QString(1023, u'x'));
    EXPECT_EQ(Read("A", "exact"), QString(1023, u'y'));
}

TEST(ProfileInt, DecimalAndHexadecimalRule) {
    EXPECT_EQ(ParseInt("0x1F", -1), 31);
    EXPECT_EQ(ParseInt("0X1f", -1), 31);
    EXPECT_EQ(ParseInt("0x", -1), -1); // not longer than two characters
    EXPECT_EQ(ParseInt("0x1G", -1), -1);
    EXPECT_EQ(ParseInt("0xFFFFFFFF", 5), -1); // 32-bit pattern
    EXPECT_EQ(ParseInt("0x000000000080", 5), 128);
    EXPECT_EQ(ParseInt("0x100000000", 5), 5);
    EXPECT_EQ(ParseInt("abc", 9), 9);
    EXPECT_EQ(ParseInt("12abc", 9), 9);
    EXPECT_EQ(ParseInt("", 9), 9);
    EXPECT_EQ(ParseInt("-", 9), 9);
    EXPECT_EQ(ParseInt("1 2", 9), 9);
    EXPECT_EQ(ParseInt("$1F", 9), 9);
    EXPECT_EQ(ParseInt("-16777216", 9), -16777216);
    EXPECT_EQ(ParseInt("+0042", 9), 42);
    EXPECT_EQ(ParseInt("2147483647", 9), 2147483647);
    EXPECT_EQ(ParseInt("-2147483648", 9), -2147483647 - 1);
    EXPECT_EQ(ParseInt("2147483648", 9), 9);
    EXPECT_EQ(ParseInt("99999999999999999999999", 9), 9);
    EXPECT_EQ(ParseInt("\xd9\xa3", 9), 9); // a digit of another script is no digit here
}

TEST_F(ProfileFile, IntegersReadThroughTheProfile) {
    Put("[A]\r\nhex=0x1F\r\nletters=abc\r\nquoted=\" 12\"\r\nempty=\r\n");
    EXPECT_EQ(GetPrivateProfileInt("A", "hex", 0, Path()), 31);
    EXPECT_EQ(GetPrivateProfileInt("A", "letters", 4, Path()), 4);
    EXPECT_EQ(GetPrivateProfileInt("A", "quoted", 4, Path()), 4);
    EXPECT_EQ(GetPrivateProfileInt("A", "empty", 4, Path()), 4);
    EXPECT_EQ(GetPrivateProfileInt("A", "missing", 4, Path()), 4);
}

TEST_F(ProfileFile, WritingCreatesFileWithCrLf) {
    ASSERT_TRUE(Write("Titles", "TC", "App"));
    ASSERT_TRUE(Write("Titles", "T1", ""));
    ASSERT_TRUE(Write("DB", "Name", "x.dbf"));
    EXPECT_EQ(Get(), "[Titles]\r\nTC=App\r\nT1=\r\n[DB]\r\nName=x.dbf\r\n");
    EXPECT_EQ(Read("Titles", "T1"), "");
}

TEST_F(ProfileFile, ReplacesInPlaceKeepingOtherLinesByteForByte) {
    const QByteArray before = "; kept\n[a]\nx = old \n  y=2\r\n\r\n[B]\rz=3\r[A]\nx=dup\n";
    Put(before);
    ASSERT_TRUE(Write("A", "X", "new"));
    EXPECT_EQ(Get(), "; kept\n[a]\nX=new\n  y=2\r\n\r\n[B]\rz=3\r[A]\nx=dup\n");
    ASSERT_TRUE(Write("A", "X", "new")); // no change, nothing rewritten
    EXPECT_EQ(Read("a", "x"), "new");
}

TEST_F(ProfileFile, AppendsAfterLastKeyOfItsSectionAndNewSectionsAtEnd) {
    Put("[A]\r\nx=1\r\n; note\r\ny=2\r\n\r\n[B]\r\nz=3");
    ASSERT_TRUE(Write("a", "w", "4"));
    ASSERT_TRUE(Write("B", "v", "5")); // the last line had no line end
    ASSERT_TRUE(Write("C", "u", "6"));
    EXPECT_EQ(Get(),
              "[A]\r\nx=1\r\n; note\r\ny=2\r\nw=4\r\n\r\n[B]\r\nz=3\r\nv=5\r\n[C]\r\nu=6\r\n");
    Put("[Empty]\r\n[Next]\r\n");
    ASSERT_TRUE(Write("Empty", "k", "v"));
    EXPECT_EQ(Get(), "[Empty]\r\nk=v\r\n[Next]\r\n");
}

TEST_F(ProfileFile, DeletesKeysAndSections) {
    Put("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[a]\r\nw=4\r\n");
    ASSERT_TRUE(DeletePrivateProfileKey("A", "X", Path()));
    EXPECT_EQ(Read("A", "x"), "<def>");
    EXPECT_EQ(Read("A", "y"), "2");
    ASSERT_TRUE(DeletePrivateProfileSection("a", Path()));
    EXPECT_EQ(Get(), "[B]\r\nz=3\r\n");
    const QString missing = Path("missing.ini");
    EXPECT_TRUE(DeletePrivateProfileKey("A", "x", missing));
    EXPECT_TRUE(DeletePrivateProfileSection("A", missing));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(ProfileFile, ValuesReadBackAsWritten) {
    const QStringList values = {
        " lead", "trail ", "\"quoted\"", "'single'", "\"", " \" ", "Copyright \u00a9 2000 ",
        "a=b;c"};
    for (const QString& v : values) {
        ASSERT_TRUE(Write("A", "k", v));
        EXPECT_EQ(Read("A", "k"), v);
    }
    // A line break cannot live in a line: it must not open a section of its own.
    ASSERT_TRUE(Write("A", "k", "one\r\n[B]\nx=1"));
    EXPECT_EQ(Read("A", "k"), "one [B] x=1");
    EXPECT_EQ(GetPrivateProfileSectionNames(Path()), QStringList{"A"});
}

TEST_F(ProfileFile, RejectsNamesThatCouldNotBeReadAgain) {
    for (const auto& [section, key] :
         std::initializer_list<std::pair<QString, QString>>{{"", "k"},
                                                            {"A]", "k"},
                                                            {"A\nB", "k"},
                                                            {" A", "k"},
                                                            {"A", ""},
                                                            {"A", "k=v"},
                                                            {"A", "[k"},
                                                            {"A", ";k"},
                                                            {"A", "k\r"},
                                                            {"A", "k "}})
        EXPECT_FALSE(Write(section, key, "v")) << section.toStdString() << key.toStdString();
    EXPECT_FALSE(QFile::exists(Path()));
}

TEST_F(ProfileFile, FailedWriteReportsAndLeavesNoFile) {
    Put("[A]\r\nx=1\r\n", "plain");
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "2", Path("plain") + "/under.ini"));
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "2", dir_.path()));
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "2", QString()));
    EXPECT_EQ(Get("plain"), "[A]\r\nx=1\r\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"plain"});
}

TEST_F(ProfileFile, ReadsWindows1252AndUtf8) {
    Put("[A]\r\nk=caf\xe9 \x80 5\r\n");
    EXPECT_EQ(Read("A", "k"), QString::fromUtf8("café € 5"));
    Put("[A]\r\nk=caf\xc3\xa9 \xe2\x82\xac 5\r\n"); // UTF-8 without byte order mark
    EXPECT_EQ(Read("A", "k"), QString::fromUtf8("café € 5"));
    Put("\xef\xbb\xbf[A]\r\nk=plain\r\n");
    EXPECT_EQ(Read("A", "k"), "plain");
    EXPECT_EQ(GetPrivateProfileSectionNames(Path()), QStringList{"A"});
}

TEST_F(ProfileFile, StaysAnsiWhileEveryCharacterFits) {
    Put("[A]\r\nold=\xe9\r\n");
    ASSERT_TRUE(Write("A", "k", QString::fromUtf8("Grüße €")));
    EXPECT_EQ(Get(), "[A]\r\nold=\xe9\r\nk=Gr\xfc\xdf\x65 \x80\r\n");
}

TEST_F(ProfileFile, TextOutsideWindows1252SurvivesAsUtf8) {
    Put("[A]\r\nold=caf\xe9\r\n");
    const QString polish = QString::fromUtf8("Zażółć 日本 \U0001F600");
    ASSERT_TRUE(Write("A", "k", polish));
    EXPECT_TRUE(Get().startsWith("\xef\xbb\xbf[A]\r\nold=caf\xc3\xa9\r\n"));
    EXPECT_EQ(Read("A", "k"), polish);
    EXPECT_EQ(Read("A", "old"), QString::fromUtf8("café"));
    // Once UTF-8, it stays UTF-8 even for text that would fit the ANSI code page.
    ASSERT_TRUE(Write("A", "k", QString::fromUtf8("é")));
    EXPECT_EQ(Get(), "\xef\xbb\xbf[A]\r\nold=caf\xc3\xa9\r\nk=\xc3\xa9\r\n");
    // A UTF-8 file without byte order mark stays so.
    Put("[A]\r\nold=\xc3\xa9\r\n");
    ASSERT_TRUE(Write("A", "k", QString::fromUtf8("ü")));
    EXPECT_EQ(Get(), "[A]\r\nold=\xc3\xa9\r\nk=\xc3\xbc\r\n");
}

TEST_F(ProfileFile, AnsiTextThatLooksLikeUtf8IsMarked) {
    // "Ã©" in Windows-1252 is the byte pair of UTF-8 "é": store it so it cannot be misread.
    const QString text = QString::fromUtf8("Ã©");
    ASSERT_TRUE(Write("A", "k", text));
    EXPECT_EQ(Read("A", "k"), text);
}

TEST(ProfileText, ParsesAnyBytesWithoutLosingLines) {
    static const char raw[] = "\0[A]\0\r\n\xff\xfe=\x80\n[B\r\nk\0=v\0\r";
    const QByteArray bytes(raw, sizeof raw - 1);
    TProfileText p = TProfileText::Parse(bytes);
    EXPECT_EQ(p.ToBytes(), bytes);
    EXPECT_EQ(p.KeyNames("B"), QStringList());
    EXPECT_TRUE(p.SetValue("A", "k", "v"));
    EXPECT_EQ(p.ReadString("A", "k", QString()), "v");
}

TEST_F(ProfileFile, ReplacingTheFileKeepsItsPermissions) {
    Put("[A]\r\nx=1\r\n");
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(Path(), perms));
    ASSERT_TRUE(Write("A", "x", "2"));
    EXPECT_EQ(QFile::permissions(Path()) & ~(QFile::ReadUser | QFile::WriteUser), perms);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.ini"});
}
