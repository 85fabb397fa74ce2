#include "platform/FileSearch.h"
#include "FolderTest.h"
#include "platform/SearchMasks.h"

#include <QProcess>

namespace {

class FileSearchTest : public FolderTest {
protected:
    // The paths found below the test's folder, relative to it, sorted.
    QStringList Found(const QString& masks, const QString& text = {}, bool subfolders = true) {
        QStringList paths;
        const std::atomic<bool> stop{false};
        FileSearch::Search(
            {tmp_.path(), masks, text, subfolders},
            [&](FileSearch::TFoundFile&& f) { paths << f.Path().mid(tmp_.path().size() + 1); },
            stop);
        paths.sort();
        return paths;
    }
};

} // namespace

TEST(SearchMasks, TheSystemsRulesWithLetterCaseIgnored) {
    const struct {
        const char* masks;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.txt", "README.TXT", true},
        {"*.txt", "a.txt.bak", false},
        {"*.bmp;*.ico", "logo.ico", true},
        {" *.h ; *.c ", "x.c", true},
        {"a?c.*", "abc.doc", true},
        {"a?c.*", "ac.doc", false},
        {"*.*", "makefile", true},
        {"data.*", "data", true},
        {"*.", "makefile", true},
        {"*.", "a.c", false},
        {"abc?", "abc", true},
        {"read", "Old_README.md", true},
        {"read", "rea.d", false},
        {"", "anything", true},
        {"ä*", "Ärger.txt", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TSearchMasks(QString::fromUtf8(c.masks)).Matches(QString::fromUtf8(c.name)),
                  c.matches)
            << c.masks << " against " << c.name;
}

TEST_F(FileSearchTest, TextInAnsiOrUtf8AcrossReadsAndCaseIgnored) {
    Write("hello.txt", "Say HELLO world");
    Write("sub/utf8.txt", "Grüße aus Köln");
    Write("sub/ansi.txt", "K\xF6ln");
    Write("sub/deep/long.bin", QByteArray(64 * 1024 - 3, 'x') + "needle");
    QDir().mkpath(Path("hello"));
    const struct {
        const char* masks;
        const char* text;
        bool subfolders;
        QStringList found;
    } cases[] = {
        {"", "hello", true, {"hello.txt"}}, // a folder is no match for a text
        {"*.txt", "KÖLN", true, {"sub/ansi.txt", "sub/utf8.txt"}},
        {"", "NEEDLE", true, {"sub/deep/long.bin"}},
        {"*.bin", "hello", true, {}},
        {"hello*", "", true, {"hello", "hello.txt"}},
        {"*.txt", "", false, {"hello.txt"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Found(c.masks, QString::fromUtf8(c.text), c.subfolders), c.found)
            << c.masks << " holding " << c.text;
}

TEST_F(FileSearchTest, LinksNeverLeadIntoALoop) {
    QTemporaryDir outside;
    Write("a/file.txt", "");
    QFile::link("..", Path("a/up"));
    QFile::link(".", Path("a/self"));
    QFile::link(Path("a"), Path("again"));
    QFile::link(outside.path(), Path("out"));
    QFile f(outside.path() + "/o.txt");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Every folder is searched once, whichever road reaches it first.
    QStringList names;
    for (const QString& path : Found("*"))
        names << QFileInfo(path).fileName();
    names.sort();
    EXPECT_EQ(names, QStringList({"a", "again", "file.txt", "o.txt", "out", "self", "up"}));
}

TEST_F(FileSearchTest, WhatCannotBeReadIsPassedOver) {
    Write("open/match.txt", "secret");
    Write("locked/inner.txt", "secret");
    Write("shut.txt", "secret");
    // Where permissions do not stop us (root), the search runs as nobody.
    QFile::setPermissions(tmp_.path(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(Path("open"), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(Path("open/match.txt"), QFileDevice::Permissions(0x7444));
    QFile::setPermissions(Path("locked"), QFileDevice::Permissions(0));
    QFile::setPermissions(Path("shut.txt"), QFileDevice::Permissions(0));
    QStringList args{tmp_.path(), "*.txt", "SECRET"};
    QString program = QStringLiteral(ORV_SEARCHFILES);
    if (QFile(Path("shut.txt")).open(QIODevice::ReadOnly)) {
        args = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + args;
        program = "setpriv";
    }
    QProcess search;
    search.start(program, args);
    ASSERT_TRUE(search.waitForFinished(60000));
    EXPECT_EQ(search.exitCode(), 0) << search.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(search.readAllStandardOutput()),
              Path("open/match.txt") + "\n");
    QFile::setPermissions(Path("locked"), QFileDevice::Permissions(0x7700));
}
