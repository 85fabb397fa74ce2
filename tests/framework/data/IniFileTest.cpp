#include "framework/data/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(IniFile, TypedReadsAndWrites) {
    QTemporaryDir dir;
    TIniFile ini(dir.filePath("p.ini"));
    ini.WriteBool("S", "on", true);
    ini.WriteBool("S", "off", false);
    ini.WriteInteger("S", "neg", -16777216);
    ini.WriteString("S", "text", "hello");
    ini.WriteString("S", "empty", "");
    QFile f(ini.FileName());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "[S]\r\non=1\r\noff=0\r\nneg=-16777216\r\ntext=hello\r\nempty=\r\n");

    EXPECT_TRUE(ini.ReadBool("S", "on", false));
    EXPECT_FALSE(ini.ReadBool("S", "off", true));
    EXPECT_FALSE(ini.ReadBool("S", "missing", false));
    EXPECT_TRUE(ini.ReadBool("S", "text", true)); // not a number: the default
    EXPECT_TRUE(ini.ReadBool("S", "empty", true));
    EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -16777216);
    EXPECT_EQ(ini.ReadString("S", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("S", "missing", "d"), "d");

    ini.WriteString("S", "two", "2");
    EXPECT_TRUE(ini.ReadBool("S", "two", false));
}

TEST(IniFile, SectionsAndKeys) {
    QTemporaryDir dir;
    const QString path = dir.filePath("p.ini");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[mci extensions]\r\nMID=sequencer\r\nwav=waveaudio\r\n;x=comment\r\n[Empty]\r\n");
    f.close();
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadSection("MCI Extensions"), (QStringList{"MID", "wav"}));
    EXPECT_TRUE(ini.SectionExists("empty"));
    EXPECT_FALSE(ini.SectionExists("none"));
    EXPECT_TRUE(ini.ValueExists("mci extensions", "mid"));
    EXPECT_FALSE(ini.ValueExists("mci extensions", "x"));
    ini.DeleteKey("mci extensions", "MID");
    EXPECT_EQ(ini.ReadSection("mci extensions"), QStringList{"wav"});
    ini.EraseSection("mci extensions");
    EXPECT_FALSE(ini.SectionExists("mci extensions"));
    EXPECT_TRUE(ini.SectionExists("Empty"));
}

TEST(IniFile, FailedWriteRaisesWithFileName) {
    QTemporaryDir dir;
    TIniFile ini(dir.path()); // a folder cannot be written as a file
    try {
        ini.WriteString("S", "k", "v");
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message, "Unable to write to " + dir.path());
    }
    EXPECT_THROW(ini.WriteBool("S", "k", true), EIniFileException);
    EXPECT_THROW(ini.EraseSection("S"), EIniFileException);
}
