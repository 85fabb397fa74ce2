#include "platform/FileSearch.h"
#include "FolderTest.h"
#include "platform/SearchMasks.h"

#include <unistd.h>

namespace {

class FileSearchTest : public FolderTest {
protected:
    // The paths found below the test's folder (or its subfolder `from`), relative to it,
    // sorted. The test's folder stands for the root folder, where the system's folders lie.
    QStringList Found(const QString& masks, const QString& text = {}, bool subfolders = true,
                      const QString& from = {}) {
        QStringList paths;
        FileSearch::Search(
            {Path(from), masks, text, subfolders},
            [&](FileSearch::TFoundFile&& f) { paths << f.Path().mid(tmp_.path().size() + 1); },
            std::atomic<bool>{false}, tmp_.path());
        paths.sort();
        return paths;
    }
};

} // namespace

TEST(SearchMasks, TheSystemsRulesWithLetterCaseIgnored) {
    // Each case is "masks|name".
    const auto matches = [](const QString& c) {
        return TSearchMasks(c.section('|', 0, 0)).Matches(c.section('|', 1));
    };
    for (const char* c : {"*.txt|README.TXT", "*.bmp;*.ico|logo.ico", " *.h ; *.c |x.c",
                          "a?c.*|abc.doc", "*.*|makefile", "data.*|data", "*.|makefile", "abc?|abc",
                          "read|Old_README.md", "|anything", "ä*|Ärger.txt"})
        EXPECT_TRUE(matches(c)) << c;
    for (const char* c : {"*.txt|a.txt.bak", "a?c.*|ac.doc", "*.|a.c", "read|rea.d"})
        EXPECT_FALSE(matches(c)) << c;
}

TEST_F(FileSearchTest, TextInAnsiOrUtf8AcrossReadsAndCaseIgnored) {
    Write("hello.txt", "Say HELLO world");
    Write("sub/utf8.txt", "Grüße aus Köln");
    Write("sub/ansi.txt", "K\xF6ln");
    Write("sub/deep/long.bin", QByteArray(64 * 1024 - 3, 'x') + "needle");
    QDir().mkpath(Path("hello"));
    const std::tuple<const char*, const char*, bool, QStringList> cases[] = {
        {"", "hello", true, {"hello.txt"}}, // a folder is no match for a text
        {"*.txt", "KÖLN", true, {"sub/ansi.txt", "sub/utf8.txt"}},
        {"", "NEEDLE", true, {"sub/deep/long.bin"}},
        {"*.bin", "hello", true, {}},
        {"hello*", "", true, {"hello", "hello.txt"}},
        {"*.txt", "", false, {"hello.txt"}}};
    for (const auto& [masks, text, subfolders, found] : cases)
        EXPECT_EQ(Found(masks, QString::fromUtf8(text), subfolders), found)
            << masks << " holding " << text;
}

TEST_F(FileSearchTest, LinksNeverLeadIntoALoop) {
    QTemporaryDir outside;
    Write("a/file.txt", "");
    QFile::link("..", Path("a/up"));
    QFile::link(".", Path("a/self"));
    QFile::link(Path("a"), Path("again"));
    QFile::link(outside.path(), Path("out"));
    ASSERT_TRUE(QFile(outside.path() + "/o.txt").open(QIODevice::WriteOnly));
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
    QFile::setPermissions(tmp_.path(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(Path("open"), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(Path("open/match.txt"), QFileDevice::Permissions(0x7444));
    QFile::setPermissions(Path("locked"), QFileDevice::Permissions(0));
    QFile::setPermissions(Path("shut.txt"), QFileDevice::Permissions(0));
    // Where permissions do not stop us (root), the search runs as nobody.
    const bool privileged = QFile(Path("shut.txt")).open(QIODevice::ReadOnly);
    ASSERT_EQ(privileged ? setegid(65534) | seteuid(65534) : 0, 0);
    const QStringList found = Found("*.txt", "SECRET");
    ASSERT_EQ(privileged ? seteuid(0) | setegid(0) : 0, 0);
    EXPECT_EQ(found, QStringList{"open/match.txt"});
    QFile::setPermissions(Path("locked"), QFileDevice::Permissions(0x7700));
}

TEST_F(FileSearchTest, TheSystemsFoldersAreFencedAsPlainFoldersAndThroughLinks) {
    for (const char* name :
         {"proc/1/x.txt", "sys/x.txt", "dev/x.txt", "run/user/x.txt", "home/a.txt"})
        Write(name, "");
    QDir().mkpath(Path("var"));
    QFile::link(Path("run"), Path("var/run"));
    QFile::link(Path("run/user"), Path("home/user-run"));
    // Started inside one of them, the search goes everywhere below its start.
    const std::pair<const char*, QStringList> cases[] = {
        {"", {"home/a.txt"}}, {"run", {"run/user/x.txt"}}, {"run/user", {"run/user/x.txt"}}};
    for (const auto& [from, found] : cases)
        EXPECT_EQ(Found("*.txt", {}, true, from), found) << from;
}
