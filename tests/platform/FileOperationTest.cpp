#include "platform/FileOperation.h"
#include "platform/ReplaceFile.h"
#include "platform/WinError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Answers the operation's questions as queued, cancels a copy once it has passed a number of
// bytes, and records what it was asked and told.
class RecordingUi : public TFileOperationUi {
public:
    std::deque<TAnswer> replaceAnswers;
    bool deleteAnswer = true;
    qint64 cancelAfter = -1; // bytes; -1 never
    QStringList replaceQuestions;
    QStringList deleteQuestions;
    QStringList errors;
    std::vector<qint64> progress;
    std::function<void()> onError; // called while an error shows
    int begun = 0;
    int ended = 0;

    TAnswer ConfirmReplace(const QString& target, const QString& source, bool) override {
        replaceQuestions << source + " -> " + target;
        if (replaceAnswers.empty())
            return No;
        const TAnswer a = replaceAnswers.front();
        replaceAnswers.pop_front();
        return a;
    }
    bool ConfirmDelete(const QStringList& files, bool toTrash) override {
        deleteQuestions << files.join('|') + (toTrash ? " to trash" : " for good");
        return deleteAnswer;
    }
    void BeginCopy(const QString&, const QString&, qint64, bool) override { ++begun; }
    bool CopyProgress(qint64 done) override {
        progress.push_back(done);
        return cancelAfter < 0 || done < cancelAfter;
    }
    void EndCopy() override { ++ended; }
    void ShowError(const QString& caption, const QString& text) override {
        errors << caption + ": " + text;
        if (onError)
            onError();
    }
};

// Writes some blocks and then fails, as a failing disk would.
class FailingOperation : public TFileOperation {
public:
    using TFileOperation::TFileOperation;
    int blocksBeforeFailure = 1;

protected:
    int WriteBlock(TReplaceFile& target, const char* data, qint64 size) override {
        if (blocksBeforeFailure-- <= 0)
            return EIO;
        return TFileOperation::WriteBlock(target, data, size);
    }
};

class FileOperationTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir(dir_.path()).canonicalPath();
    }

    static void Write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Every name in the folder, hidden ones too: a partial copy would show here.
    static QStringList Names(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }
    static QByteArray Pattern(int size) {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char('a' + i % 26);
        return bytes;
    }

    int Run(unsigned func, const QString& from, const QString& to, TFileOperation* engine = nullptr,
            unsigned flags = FOF_ALLOWUNDO) {
        TFileOperation plain(ui_);
        op_ = SHFILEOPSTRUCTA{};
        op_.wFunc = func;
        op_.pFrom = Shell::ToNameList(from);
        op_.pTo = Shell::ToNameList(to);
        op_.fFlags = flags;
        return (engine ? engine : &plain)->Run(op_);
    }

    // Runs `body` with a tmpfs of these options at root_/disk, in a child process with a mount
    // namespace of its own (as root, or in a user namespace); skipped where none can be made.
    void OnOwnDisk(const char* options, const std::function<void(const QString&)>& body) {
        const QString disk = root_ + "/disk";
        if (qEnvironmentVariableIsSet("ORV_OWN_MOUNTS")) {
            QDir(root_).mkdir("disk");
            if (::mount("orv", QFile::encodeName(disk), "tmpfs", 0, options) != 0)
                GTEST_SKIP() << "no tmpfs can be mounted here";
            body(disk);
            ::umount2(QFile::encodeName(disk), MNT_DETACH);
            return;
        }
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        QProcess child;
        qputenv("ORV_OWN_MOUNTS", "1");
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start("unshare",
                    {::geteuid() == 0 ? "-m" : "-rm", QCoreApplication::applicationFilePath(),
                     QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
        qunsetenv("ORV_OWN_MOUNTS");
        child.waitForFinished(-1);
        const QByteArray out = child.readAll();
        if (!out.contains("[ RUN      ]") || out.contains("[  SKIPPED ]"))
            GTEST_SKIP() << "no mount namespace of its own: " << out.constData();
        EXPECT_EQ(child.exitCode(), 0) << out.constData();
    }

    QTemporaryDir dir_;
    QString root_;
    RecordingUi ui_;
    SHFILEOPSTRUCTA op_;
};

} // namespace

TEST(ShellNameLists, SemicolonsSeparateNamesUnlessTheWholeTextIsAnExistingName) {
    EXPECT_EQ(Shell::NameList(QString::fromUtf8("a\0b\0\0", 6)), (QStringList{"a", "b"}));
    EXPECT_EQ(Shell::NameList(Shell::ToNameList("/no/such/a;/no/such/b")),
              (QStringList{"/no/such/a", "/no/such/b"}));
    EXPECT_TRUE(Shell::NameList(Shell::ToNameList("")).isEmpty());
    QTemporaryDir dir;
    const QString odd = dir.filePath("notes;v2.txt");
    QFile f(odd);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(Shell::NameList(Shell::ToNameList(odd)), QStringList{odd});
}

TEST_F(FileOperationTest, CopyAsksBeforeReplacingAndARefusalLeavesBothAsTheyWere) {
    Write(root_ + "/src/a.txt", "new");
    Write(root_ + "/dst/a.txt", "old");
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1000000000);
    {
        QFile f(root_ + "/src/a.txt");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }

    ui_.replaceAnswers = {TFileOperationUi::No};
    EXPECT_EQ(Run(FO_COPY, root_ + "/src/a.txt", root_ + "/dst"), 0);
    EXPECT_TRUE(op_.fAnyOperationsAborted);
    EXPECT_EQ(ui_.replaceQuestions, QStringList{root_ + "/src/a.txt -> " + root_ + "/dst/a.txt"});
    EXPECT_EQ(Read(root_ + "/dst/a.txt"), "old");
    EXPECT_EQ(Names(root_ + "/dst"), QStringList{"a.txt"});

    ui_.replaceAnswers = {TFileOperationUi::Yes};
    EXPECT_EQ(Run(FO_COPY, root_ + "/src/a.txt", root_ + "/dst"), 0);
    EXPECT_FALSE(op_.fAnyOperationsAborted);
    EXPECT_EQ(Read(root_ + "/dst/a.txt"), "new");
    EXPECT_EQ(Read(root_ + "/src/a.txt"), "new");
    EXPECT_EQ(QFileInfo(root_ + "/dst/a.txt").lastModified(), stamp);
    EXPECT_EQ(Names(root_ + "/dst"), QStringList{"a.txt"});

    // A move asks the same, and a refusal keeps the source where it is.
    Write(root_ + "/dst/a.txt", "old");
    ui_.replaceAnswers = {TFileOperationUi::No};
    EXPECT_EQ(Run(FO_MOVE, root_ + "/src/a.txt", root_ + "/dst"), 0);
    EXPECT_EQ(Read(root_ + "/src/a.txt"), "new");
    EXPECT_EQ(Read(root_ + "/dst/a.txt"), "old");
    ui_.replaceAnswers = {TFileOperationUi::Yes};
    EXPECT_EQ(Run(FO_MOVE, root_ + "/src/a.txt", root_ + "/dst"), 0);
    EXPECT_FALSE(QFileInfo::exists(root_ + "/src/a.txt"));
    EXPECT_EQ(Read(root_ + "/dst/a.txt"), "new");
    EXPECT_TRUE(ui_.errors.isEmpty()) << ui_.errors.join('\n').toStdString();
}

TEST_F(FileOperationTest, ACopyCancelledHalfwayLeavesNoPartialFileAndTheOldTargetIntact) {
    const QByteArray content = Pattern(4096);
    Write(root_ + "/src/big.bin", content);
    QDir(root_).mkpath("dst");
    TFileOperation engine(ui_);
    engine.BlockSize = 1024;
    ui_.cancelAfter = 2048;
    EXPECT_EQ(Run(FO_COPY, root_ + "/src/big.bin", root_ + "/dst", &engine), ERROR_CANCELLED);
    EXPECT_TRUE(op_.fAnyOperationsAborted);
    EXPECT_EQ(ui_.progress, (std::vector<qint64>{1024, 2048}));
    EXPECT_EQ(ui_.begun, 1);
    EXPECT_EQ(ui_.ended, 1);
    EXPECT_TRUE(Names(root_ + "/dst").isEmpty());
    EXPECT_EQ(Read(root_ + "/src/big.bin"), content);

    // Replacing, cancelled: the file that was there stays whole.
    Write(root_ + "/dst/big.bin", "old");
    ui_.replaceAnswers = {TFileOperationUi::Yes};
    EXPECT_EQ(Run(FO_COPY, root_ + "/src/big.bin", root_ + "/dst", &engine), ERROR_CANCELLED);
    EXPECT_EQ(Read(root_ + "/dst/big.bin"), "old");
    EXPECT_EQ(Names(root_ + "/dst"), QStringList{"big.bin"});
    EXPECT_TRUE(ui_.errors.isEmpty());

    // Not cancelled, the copy reports every block and is whole.
    ui_.cancelAfter = -1;
    ui_.progress.clear();
    ui_.replaceAnswers = {TFileOperationUi::Yes};
    EXPECT_EQ(Run(FO_COPY, root_ + "/src/big.bin", root_ + "/dst", &engine), 0);
    EXPECT_EQ(ui_.progress, (std::vector<qint64>{1024, 2048, 3072, 4096}));
    EXPECT_EQ(Read(root_ + "/dst/big.bin"), content);
}

TEST_F(FileOperationTest, AWriteFailureNamesTheFileAndLeavesNothingBehind) {
    const QByteArray content = Pattern(3000);
    Write(root_ + "/src/doc.txt", content);
    Write(root_ + "/dst/doc.txt", "old");
    FailingOperation engine(ui_);
    engine.BlockSize = 1000;
    ui_.replaceAnswers = {TFileOperationUi::Yes};
    EXPECT_EQ(Run(FO_COPY, root_ + "/src/doc.txt", root_ + "/dst", &engine), ERROR_WRITE_FAULT);
    ASSERT_EQ(ui_.errors.size(), 1);
    EXPECT_TRUE(ui_.errors[0].startsWith("Error Copying File: Cannot copy \"" + root_ +
                                         "/src/doc.txt\" to \"" + root_ + "/dst\": "))
        << ui_.errors[0].toStdString();
    EXPECT_EQ(Read(root_ + "/dst/doc.txt"), "old");
    EXPECT_EQ(Names(root_ + "/dst"), QStringList{"doc.txt"});
    EXPECT_EQ(ui_.ended, 1);
}

TEST_F(FileOperationTest, WhatCannotBeDoneIsRefusedWithTheFileAndTheReason) {
    Write(root_ + "/a.txt", "a");
    QDir(root_).mkpath("sub/a.txt");
    // Onto itself, a missing file, a missing folder, a folder in the way, a folder as source.
    EXPECT_NE(Run(FO_COPY, root_ + "/a.txt", root_), 0);
    EXPECT_NE(Run(FO_MOVE, root_ + "/a.txt", root_ + "/a.txt"), 0);
    EXPECT_NE(Run(FO_COPY, root_ + "/gone.txt", root_ + "/sub"), 0);
    EXPECT_NE(Run(FO_COPY, root_ + "/a.txt", root_ + "/nowhere/b.txt"), 0);
    EXPECT_NE(Run(FO_COPY, root_ + "/a.txt", root_ + "/sub"), 0);
    EXPECT_NE(Run(FO_DELETE, root_ + "/sub", ""), 0);
    EXPECT_NE(Run(FO_COPY, root_ + "/a.txt", ""), 0);
    EXPECT_EQ(
        ui_.errors,
        (QStringList{
            "Error Copying File: Cannot copy \"" + root_ + "/a.txt\" to \"" + root_ +
                "\": it is the file itself.",
            "Error Moving File: Cannot move \"" + root_ + "/a.txt\" to \"" + root_ +
                "\": it is the file itself.",
            "Error Copying File: Cannot copy \"" + root_ + "/gone.txt\": the file does not exist.",
            "Error Copying File: Cannot copy \"" + root_ + "/a.txt\": the folder \"" + root_ +
                "/nowhere\" does not exist.",
            "Error Copying File: Cannot copy \"" + root_ + "/a.txt\": there is a folder named \"" +
                root_ + "/sub/a.txt\".",
            "Error Deleting File: Cannot delete \"" + root_ + "/sub\": it is a folder, not a file.",
            "Error Copying File: Cannot copy \"" + root_ +
                "/a.txt\": give one target folder (\";\" separates names).",
        }));
    EXPECT_EQ(Read(root_ + "/a.txt"), "a");
    EXPECT_TRUE(ui_.replaceQuestions.isEmpty());
}

TEST_F(FileOperationTest, RenameGivesANewNameInTheSameFolderOnly) {
    Write(root_ + "/docs/b.txt", "b");
    Write(root_ + "/docs/taken.txt", "t");
    EXPECT_NE(Run(FO_RENAME, root_ + "/docs/b.txt", root_ + "/docs/../escape.txt"), 0);
    EXPECT_NE(Run(FO_RENAME, root_ + "/docs/b.txt", root_ + "/docs/taken.txt"), 0);
    EXPECT_NE(Run(FO_RENAME, root_ + "/docs/b.txt", root_ + "/docs/x;y"), 0);
    ASSERT_EQ(ui_.errors.size(), 3);
    EXPECT_EQ(ui_.errors[0], "Error Renaming File: Cannot rename \"" + root_ +
                                 "/docs/b.txt\" to \"" + root_ +
                                 "/escape.txt\": a new name stays in the file's own folder.");
    EXPECT_EQ(ui_.errors[1], "Error Renaming File: Cannot rename \"" + root_ +
                                 "/docs/b.txt\": there is already a file or folder named "
                                 "\"taken.txt\".");
    EXPECT_TRUE(ui_.errors[2].contains("\";\" separates names"));
    EXPECT_EQ(Names(root_ + "/docs"), (QStringList{"b.txt", "taken.txt"}));
    EXPECT_EQ(Read(root_ + "/docs/taken.txt"), "t");
    EXPECT_FALSE(QFileInfo::exists(root_ + "/escape.txt"));

    EXPECT_EQ(Run(FO_RENAME, root_ + "/docs/b.txt", root_ + "/docs/c.txt"), 0);
    EXPECT_EQ(Names(root_ + "/docs"), (QStringList{"c.txt", "taken.txt"}));
    EXPECT_EQ(Read(root_ + "/docs/c.txt"), "b");
}

TEST_F(FileOperationTest, MoveToAnotherFileSystemCopiesFirstAndRemovesTheSourceLast) {
    QTemporaryDir shm(QStringLiteral("/dev/shm/orv-move-XXXXXX"));
    struct stat a {};
    struct stat b {};
    if (!shm.isValid() || ::stat(QFile::encodeName(shm.path()).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(root_).constData(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm beside the temporary folder";

    const QByteArray content = Pattern(5000);
    const QString source = shm.path() + "/song.wav";
    Write(source, content);
    QDir(root_).mkpath("dst");
    TFileOperation engine(ui_);
    engine.BlockSize = 2000;

    // Cancelled: the source stays, nothing arrives.
    ui_.cancelAfter = 2000;
    EXPECT_EQ(Run(FO_MOVE, source, root_ + "/dst", &engine), ERROR_CANCELLED);
    EXPECT_EQ(Read(source), content);
    EXPECT_TRUE(Names(root_ + "/dst").isEmpty());

    // Failing halfway: the same, with the reason.
    FailingOperation failing(ui_);
    failing.BlockSize = 2000;
    ui_.cancelAfter = -1;
    EXPECT_EQ(Run(FO_MOVE, source, root_ + "/dst", &failing), ERROR_WRITE_FAULT);
    ASSERT_EQ(ui_.errors.size(), 1);
    EXPECT_TRUE(ui_.errors[0].startsWith("Error Moving File: Cannot move \"" + source + "\""));
    EXPECT_EQ(Read(source), content);
    EXPECT_TRUE(Names(root_ + "/dst").isEmpty());

    ui_.progress.clear();
    EXPECT_EQ(Run(FO_MOVE, source, root_ + "/dst", &engine), 0);
    EXPECT_EQ(ui_.progress, (std::vector<qint64>{2000, 4000, 5000}));
    EXPECT_EQ(Read(root_ + "/dst/song.wav"), content);
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_EQ(Names(shm.path()), QStringList{});
}

TEST_F(FileOperationTest, DeleteAsksThenPutsTheFileInTheTrashWhereItCanBeRestored) {
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    const QString file = root_ + "/docs/c.txt";
    Write(file, "keep me");

    ui_.deleteAnswer = false;
    EXPECT_EQ(Run(FO_DELETE, file, ""), 0);
    EXPECT_TRUE(op_.fAnyOperationsAborted);
    EXPECT_EQ(Read(file), "keep me");

    ui_.deleteAnswer = true;
    EXPECT_EQ(Run(FO_DELETE, file, ""), 0);
    EXPECT_FALSE(op_.fAnyOperationsAborted);
    EXPECT_EQ(ui_.deleteQuestions, (QStringList{file + " to trash", file + " to trash"}));
    EXPECT_FALSE(QFileInfo::exists(file));
    const QString trashed = home.path() + "/Trash/files/c.txt";
    EXPECT_EQ(Read(trashed), "keep me");
    const QByteArray info = Read(home.path() + "/Trash/info/c.txt.trashinfo");
    EXPECT_TRUE(info.contains("Path=" + QFile::encodeName(file))) << info.constData();
    // Restoring is taking it back to where the record says it came from.
    EXPECT_TRUE(QFile::rename(trashed, file));
    EXPECT_EQ(Read(file), "keep me");

    // Without undo the file is gone for good.
    EXPECT_EQ(Run(FO_DELETE, file, "", nullptr, 0), 0);
    EXPECT_EQ(ui_.deleteQuestions.last(), file + " for good");
    EXPECT_FALSE(QFileInfo::exists(file));

    if (dataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", dataHome);
}

// The disk fills part-way: the message says so as for a disk that is full from the start, and
// the part written is gone before the message shows (it would keep the disk full meanwhile).
TEST_F(FileOperationTest, ACopyThatFillsTheDiskSaysSoAndRemovesItsPartFirst) {
    OnOwnDisk("size=64k", [&](const QString& disk) {
        const QString source = root_ + "/big.bin";
        Write(source, Pattern(256 * 1024));
        QStringList seen; // what the disk holds while the message shows
        ui_.onError = [&] { seen = Names(disk); };
        for (const auto& [func, verb] :
             {std::pair<unsigned, QString>{FO_COPY, "Copying File: Cannot copy"},
              {FO_MOVE, "Moving File: Cannot move"}}) {
            ui_.errors.clear();
            EXPECT_EQ(Run(func, source, disk), ERROR_DISK_FULL);
            EXPECT_EQ(ui_.errors, QStringList{"Error " + verb + " \"" + source + "\" to \"" + disk +
                                              "\": No space left on device"});
            EXPECT_EQ(seen, QStringList{});
            EXPECT_EQ(Read(source), Pattern(256 * 1024));
        }
    });
}

// A volume of its own keeps its trash at its top ($topdir/.Trash-$uid). A read-only volume can
// have none: the message says why, and nothing is made anywhere, not even the home trash.
TEST_F(FileOperationTest, DeletingOnAnotherVolumeUsesItsTrashAndOnAReadOnlyOneMakesNothing) {
    OnOwnDisk("size=1m", [&](const QString& disk) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(root_ + "/data"));
        Write(disk + "/a.txt", "a");
        Write(disk + "/b.txt", "b");
        EXPECT_EQ(Run(FO_DELETE, disk + "/a.txt", ""), 0);
        const QString trash = disk + "/.Trash-" + QString::number(::getuid());
        EXPECT_EQ(Read(trash + "/files/a.txt"), "a");
        EXPECT_TRUE(Read(trash + "/info/a.txt.trashinfo").contains("\nPath=a.txt\n"));
        ASSERT_EQ(
            ::mount(nullptr, QFile::encodeName(disk), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        EXPECT_EQ(Run(FO_DELETE, disk + "/b.txt", ""), ERROR_ACCESS_DENIED);
        EXPECT_EQ(ui_.errors,
                  QStringList{"Error Deleting File: Cannot move \"" + disk +
                              "/b.txt\" to the trash: the folder \"" + disk + "\" is read-only."});
        EXPECT_EQ(Read(disk + "/b.txt"), "b");
        EXPECT_EQ(Names(root_), QStringList{"disk"}); // no trash made for nothing
    });
}
