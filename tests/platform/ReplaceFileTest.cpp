#include "platform/ReplaceFile.h"

#include "FolderTest.h"
#include "common/FileSizeLimit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

class ReplaceFileTest : public FolderTest {
protected:
    static mode_t ModeOf(const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    static bool WriteText(const QString& path, const QByteArray& bytes,
                          TReplaceFile::TMode mode = TReplaceFile::Replace) {
        return TReplaceFile::Write(
            path, [&bytes](QFile& f) { return f.write(bytes) == bytes.size(); }, mode);
    }
};

} // namespace

TEST_F(ReplaceFileTest, AFullDiskFailsTheWriteAndKeepsTheOldFile) {
    Write("project.qor", "old");
    {
        // A small write stays in the file's buffer and fails only when that is written out.
        TReplaceFile file(Path("project.qor"), TReplaceFile::Update);
        ASSERT_TRUE(file.Open());
        FileSizeLimit disk(500);
        EXPECT_EQ(file.File().write(QByteArray(1000, 'n')), 1000);
        EXPECT_FALSE(file.Commit());
        EXPECT_EQ(file.Error(), EFBIG);
        EXPECT_FALSE(file.ErrorString().isEmpty());
    }
    EXPECT_EQ(Read("project.qor"), "old");
    EXPECT_EQ(Entries(), QStringList{"project.qor"});
    {
        // A large one fails at once.
        FileSizeLimit disk(500);
        EXPECT_FALSE(WriteText(Path("project.qor"), QByteArray(300000, 'n')));
    }
    EXPECT_EQ(Read("project.qor"), "old");
    EXPECT_EQ(Entries(), QStringList{"project.qor"});
}

TEST_F(ReplaceFileTest, AnUpdateWritesThroughALinkAndKeepsThePermissions) {
    Write("author/menu.qor", "old");
    ASSERT_TRUE(QFile::link(Path("author/menu.qor"), Path("link.qor")));
    ASSERT_TRUE(QFile::link(Path("link.qor"), Path("link2.qor")));
    ASSERT_EQ(::chmod(QFile::encodeName(Path("author/menu.qor")).constData(), 0640), 0);

    EXPECT_TRUE(WriteText(Path("link2.qor"), "new", TReplaceFile::Update));
    EXPECT_TRUE(QFileInfo(Path("link2.qor")).isSymLink());
    EXPECT_TRUE(QFileInfo(Path("link.qor")).isSymLink());
    EXPECT_EQ(Read("author/menu.qor"), "new");
    EXPECT_EQ(ModeOf(Path("author/menu.qor")), 0640u);
    EXPECT_EQ(Entries("author"), QStringList{"menu.qor"});

    // A new file gets what any new file gets.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_TRUE(WriteText(Path("fresh.qor"), "x", TReplaceFile::Update));
    EXPECT_EQ(ModeOf(Path("fresh.qor")), 0666u & ~mask);

    // Given permissions win; a link that leads in a circle is not written at all.
    EXPECT_TRUE(TReplaceFile::Write(
        Path("author/menu.qor"), [](QFile&) { return true; }, TReplaceFile::Update,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(ModeOf(Path("author/menu.qor")), 0700u);
    ASSERT_TRUE(QFile::link(Path("loop-a"), Path("loop-b")));
    ASSERT_TRUE(QFile::link(Path("loop-b"), Path("loop-a")));
    TReplaceFile loop(Path("loop-a"), TReplaceFile::Update);
    EXPECT_FALSE(loop.Open());
    EXPECT_EQ(loop.Error(), ELOOP);
    EXPECT_TRUE(QFileInfo(Path("loop-a")).isSymLink());
}

TEST_F(ReplaceFileTest, KeepingTheExistingFileAlsoHoldsForOneThatAppearsMeanwhile) {
    Write("there.txt", "first");
    TReplaceFile refused(Path("there.txt"), TReplaceFile::KeepExisting);
    ASSERT_TRUE(refused.Open());
    refused.File().write("second");
    EXPECT_FALSE(refused.Commit());
    EXPECT_EQ(refused.Error(), EEXIST);
    EXPECT_EQ(Read("there.txt"), "first");

    TReplaceFile late(Path("late.txt"), TReplaceFile::KeepExisting);
    ASSERT_TRUE(late.Open());
    late.File().write("mine");
    Write("late.txt", "someone else's");
    EXPECT_FALSE(late.Commit());
    EXPECT_EQ(late.Error(), EEXIST);
    EXPECT_EQ(Read("late.txt"), "someone else's");
    EXPECT_EQ(Entries(), (QStringList{"late.txt", "there.txt"}));

    // Given up before it was put in place: nothing stays.
    {
        TReplaceFile abandoned(Path("abandoned.txt"));
        ASSERT_TRUE(abandoned.Open());
        abandoned.File().write("half");
        ASSERT_TRUE(abandoned.Flush());
    }
    EXPECT_EQ(Entries(), (QStringList{"late.txt", "there.txt"}));
}

TEST_F(ReplaceFileTest, NothingTakesThePlaceOfAFolderOrGoesWhereNoFolderIs) {
    QDir().mkpath(Path("output"));
    Write("output/inside", "x");
    for (const auto mode :
         {TReplaceFile::Replace, TReplaceFile::KeepExisting, TReplaceFile::Update}) {
        TReplaceFile file(Path("output"), mode);
        EXPECT_FALSE(file.Open());
        EXPECT_EQ(file.Error(), EISDIR);
    }
    TReplaceFile nowhere(Path("missing/file"));
    EXPECT_FALSE(nowhere.Open());
    EXPECT_EQ(nowhere.Error(), ENOENT);
    EXPECT_FALSE(nowhere.Commit());
    EXPECT_FALSE(WriteText(QString(), "x"));
    EXPECT_EQ(Entries(), QStringList{"output"});
    EXPECT_EQ(Read("output/inside"), "x");
}

TEST_F(ReplaceFileTest, NamesAsLongAsTheFileSystemAllowsAreWritten) {
    // 85 three-byte characters: 255 bytes, the longest name the file system takes.
    const QString longest = QString(85, QChar(0x65E5));
    ASSERT_EQ(QFile::encodeName(longest).size(), 255);
    EXPECT_TRUE(WriteText(Path(longest), "one"));
    EXPECT_TRUE(WriteText(Path(longest), "two", TReplaceFile::Update));
    EXPECT_EQ(Read(longest), "two");
    const QString ascii = QString(255, QLatin1Char('a'));
    EXPECT_TRUE(WriteText(Path(ascii), "three"));
    EXPECT_EQ(Entries(), (QStringList{ascii, longest}));
}

TEST_F(ReplaceFileTest, ACopyCarriesThePermissionsAndTimeItIsGiven) {
    Write("source", "content");
    const QDateTime stamp = QDateTime::fromMSecsSinceEpoch(1000000000123);
    TReplaceFile file(Path("copy"));
    file.SetPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                        QFileDevice::ReadOther | QFileDevice::ExeOther);
    file.SetModificationTime(stamp);
    ASSERT_TRUE(file.Open());
    QFile in(Path("source"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    std::vector<qint64> progress;
    EXPECT_EQ(Files::CopyContent(in, file.File(), 3,
                                 [&progress](qint64 done) {
                                     progress.push_back(done);
                                     return true;
                                 }),
              Files::TCopyResult::Copied);
    EXPECT_EQ(progress, (std::vector<qint64>{3, 6, 7}));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Read("copy"), "content");
    EXPECT_EQ(ModeOf(Path("copy")), 0705u);
    EXPECT_EQ(QFileInfo(Path("copy")).lastModified(), stamp);
    EXPECT_EQ(Entries(), (QStringList{"copy", "source"}));
}
