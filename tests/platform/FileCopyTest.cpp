#include "platform/FileCopy.h"

#include "FolderTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FileCopy : public FolderTest {};

TEST_F(FileCopy, CopyReplacesWholeAndKeepsAProgramRunnable) {
    Write("menu", "\x7f"
                  "ELF program");
    QFile::setPermissions(Path("menu"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                            QFileDevice::ExeOther);
    Write("qor.exe", "an older and longer program that must not shine through");

    EXPECT_TRUE(Files::CopyFileA(Path("menu"), Path("qor.exe"), false));
    EXPECT_EQ(Read("qor.exe"), "\x7f"
                               "ELF program");
    EXPECT_TRUE(QFileInfo(Path("qor.exe")).isExecutable());
    EXPECT_TRUE(QFileInfo(Path("qor.exe")).permissions() & QFileDevice::ExeOther);
    // Nothing of the copy's making is left beside it.
    EXPECT_EQ(Entries(), QStringList({"menu", "qor.exe"}));

    EXPECT_FALSE(Files::CopyFileA(Path("menu"), Path("qor.exe"), true));
    EXPECT_TRUE(Files::CopyFileA(Path("menu"), Path("new.exe"), true));
}

TEST_F(FileCopy, FailedCopiesLeaveTheTargetAsItWas) {
    Write("target", "kept");
    EXPECT_FALSE(Files::CopyFileA(Path("missing"), Path("target"), false));
    EXPECT_EQ(Read("target"), "kept");
    // A folder is no file to copy, nor one to copy over.
    QDir().mkpath(Path("folder"));
    EXPECT_FALSE(Files::CopyFileA(Path("folder"), Path("target"), false));
    EXPECT_FALSE(Files::CopyFileA(Path("target"), Path("folder"), false));
    EXPECT_TRUE(QFileInfo(Path("folder")).isDir());
    // Into a folder that does not exist.
    EXPECT_FALSE(Files::CopyFileA(Path("target"), Path("none/target"), false));
    EXPECT_EQ(Entries(), QStringList({"folder", "target"}));
}

TEST_F(FileCopy, CopyOntoItselfKeepsTheFile) {
    Write("qor.qor", "[Titles]\r\n");
    EXPECT_TRUE(Files::CopyFileA(Path("qor.qor"), Path("qor.qor"), false));
    EXPECT_TRUE(Files::CopyFileA(Path("qor.qor"), Path("./qor.qor"), false));
    EXPECT_EQ(Read("qor.qor"), "[Titles]\r\n");
}

TEST_F(FileCopy, LinksAreReplacedNotWrittenThrough) {
    Write("author/own.txt", "the author's own file");
    Write("source", "new");
    ASSERT_TRUE(QFile::link(Path("author/own.txt"), Path("qor.txt")));
    EXPECT_TRUE(Files::CopyFileA(Path("source"), Path("qor.txt"), false));
    EXPECT_EQ(Read("author/own.txt"), "the author's own file");
    EXPECT_FALSE(QFileInfo(Path("qor.txt")).isSymLink());
    EXPECT_EQ(Read("qor.txt"), "new");

    ASSERT_TRUE(QFile::link(Path("author/own.txt"), Path("qor.ico")));
    EXPECT_TRUE(Files::DeleteFileA(Path("qor.ico")));
    EXPECT_EQ(Read("author/own.txt"), "the author's own file");

    ASSERT_TRUE(QFile::link(Path("author"), Path("qor-runtime")));
    EXPECT_TRUE(Files::RemoveFolder(Path("qor-runtime")));
    EXPECT_EQ(Read("author/own.txt"), "the author's own file");
    EXPECT_FALSE(QFileInfo::exists(Path("qor-runtime")));
}

TEST_F(FileCopy, DeleteAndRemoveTakeOnlyWhatTheyAreMeantFor) {
    QDir().mkpath(Path("autorun.inf"));
    Write("autorun.inf/inside", "x");
    EXPECT_FALSE(Files::DeleteFileA(Path("autorun.inf")));
    EXPECT_EQ(Read("autorun.inf/inside"), "x");
    EXPECT_FALSE(Files::DeleteFileA(Path("missing")));

    Write("plain", "x");
    EXPECT_FALSE(Files::RemoveFolder(Path("plain")));
    EXPECT_EQ(Read("plain"), "x");
    EXPECT_TRUE(Files::RemoveFolder(Path("missing")));
    EXPECT_TRUE(Files::RemoveFolder(Path("autorun.inf")));
    EXPECT_EQ(Entries(), QStringList({"plain"}));
}

TEST_F(FileCopy, FolderCopiesComeWholeOrNotAtAll) {
    Write("rt/libQt6Core.so.6", "core");
    Write("rt/plugins/platforms/libqxcb.so", "xcb");
    QFile::setPermissions(Path("rt/libQt6Core.so.6"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    EXPECT_FALSE(Files::CopyFolder(Path("rt"), Path("out/rt"))); // no parent folder
    QDir().mkpath(Path("out"));
    EXPECT_TRUE(Files::CopyFolder(Path("rt"), Path("out/rt")));
    EXPECT_EQ(Read("out/rt/libQt6Core.so.6"), "core");
    EXPECT_EQ(Read("out/rt/plugins/platforms/libqxcb.so"), "xcb");
    EXPECT_TRUE(QFileInfo(Path("out/rt/libQt6Core.so.6")).isExecutable());
    EXPECT_EQ(Entries("out"), QStringList({"rt"}));

    // An existing target is never merged into.
    EXPECT_FALSE(Files::CopyFolder(Path("rt"), Path("out/rt")));
    // A link to a folder inside could lead anywhere: the copy refuses and leaves nothing.
    ASSERT_TRUE(QFile::link(Path("out"), Path("rt/loop")));
    EXPECT_FALSE(Files::CopyFolder(Path("rt"), Path("second")));
    EXPECT_EQ(Entries(), QStringList({"out", "rt"}));
}

TEST_F(FileCopy, FindFilesMatchesMasksAsSpelled) {
    Write("qor.qor", "");
    Write("qor.MID", "");
    Write("QOR.TXT", "");
    Write("autorun.inf", "");
    Write("notes.txt", "");
    QDir().mkpath(Path("qor.d"));
    QStringList found = Files::FindFiles(tmp_.path(), "autorun.*;qor.*");
    found.sort();
    EXPECT_EQ(found, QStringList({"autorun.inf", "qor.MID", "qor.d", "qor.qor"}));
    EXPECT_TRUE(Files::FindFiles(Path("missing"), "qor.*").isEmpty());
}

TEST_F(FileCopy, WholeFilesAndEmptyFiles) {
    Write("autorun.inf", "old content that is longer");
    EXPECT_TRUE(Files::WriteWholeFile(Path("autorun.inf"), "[AutoRun]\r\n"));
    EXPECT_EQ(Read("autorun.inf"), "[AutoRun]\r\n");
    QDir().mkpath(Path("folder"));
    EXPECT_FALSE(Files::WriteWholeFile(Path("folder"), "x"));

    EXPECT_TRUE(Files::CreateEmptyFile(Path("qor.fnd")));
    EXPECT_EQ(Read("qor.fnd"), "");
    Write("kept.fnd", "x");
    EXPECT_TRUE(Files::CreateEmptyFile(Path("kept.fnd")));
    EXPECT_EQ(Read("kept.fnd"), "x");
    EXPECT_FALSE(Files::CreateEmptyFile(Path("none/qor.fnd")));
    EXPECT_EQ(Entries(), QStringList({"autorun.inf", "folder", "kept.fnd", "qor.fnd"}));
}

TEST_F(FileCopy, NamesAsLongAsTheFileSystemAllowsAreCopiedAndWritten) {
    const QString longest = QString(251, QLatin1Char('n')) + ".txt";
    Write("source", "content");
    EXPECT_TRUE(Files::CopyFileA(Path("source"), Path(longest), false));
    EXPECT_EQ(Read(longest), "content");
    EXPECT_TRUE(Files::WriteWholeFile(Path(longest), "whole"));
    EXPECT_EQ(Read(longest), "whole");
    EXPECT_EQ(Entries(), QStringList({longest, "source"}));
}

} // namespace
