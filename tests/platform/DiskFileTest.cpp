#include "platform/DiskFile.h"
#include "platform/FileLock.h"
#include "platform/Oem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray ReadSome(DiskFile& f, qint64 pos, qint64 count) {
    QByteArray out(count, '\0');
    const qint64 got = f.Read(pos, out.data(), count);
    out.resize(std::max<qint64>(got, 0));
    return out;
}

} // namespace

TEST(DiskFile, OpensOnlyPlainFilesAndNeverMakesOneForReadingOrWriting) {
    QTemporaryDir dir;
    DiskFile::Failure failure = DiskFile::Failure::None;
    const QString missing = dir.filePath("missing.dbf");
    for (DiskFile::Mode mode : {DiskFile::Mode::Read, DiskFile::Mode::ReadWrite}) {
        EXPECT_EQ(DiskFile::Open(missing, mode, &failure), nullptr);
        EXPECT_EQ(failure, DiskFile::Failure::Missing);
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(DiskFile::Open(dir.path(), DiskFile::Mode::Read, &failure), nullptr);
    EXPECT_EQ(failure, DiskFile::Failure::Other);

    // Create makes the file, or empties one that is there.
    const QString made = dir.filePath("made.dbf");
    WriteFile(made, "old bytes");
    auto f = DiskFile::Open(made, DiskFile::Mode::Create, &failure);
    ASSERT_TRUE(f);
    EXPECT_EQ(failure, DiskFile::Failure::None);
    EXPECT_EQ(f->Size(), 0);
    EXPECT_EQ(QFile(made).size(), 0);
}

TEST(DiskFile, AReaderSeesWhatIsWrittenAtItsNextRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.dbf");
    WriteFile(path, QByteArray(5000, 'a'));
    auto reader = DiskFile::Open(path, DiskFile::Mode::Read, nullptr);
    auto writer = DiskFile::Open(path, DiskFile::Mode::ReadWrite, nullptr);
    ASSERT_TRUE(reader && writer);
    EXPECT_TRUE(reader->Shared());
    EXPECT_FALSE(writer->Shared());
    EXPECT_EQ(ReadSome(*reader, 4096, 8), QByteArray(8, 'a'));

    // Changed in place, grown past the size the reader saw, and read across the two.
    ASSERT_TRUE(writer->Write(4096, "changed!", 8));
    ASSERT_TRUE(writer->Write(5000, "tail", 4));
    EXPECT_EQ(ReadSome(*reader, 4096, 8), "changed!");
    EXPECT_EQ(ReadSome(*reader, 4998, 100), "aatail");
    EXPECT_EQ(reader->Size(), 5004);
    EXPECT_EQ(ReadSome(*reader, 5004, 10), "");
    EXPECT_EQ(ReadSome(*writer, 4094, 12), "aachanged!aa");
    // A reader cannot write.
    EXPECT_FALSE(reader->Write(0, "x", 1));
    EXPECT_FALSE(reader->Truncate(0));
}

TEST(DiskFile, OpeningsOfOneProgramShareTheirShareMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.dbf");
    WriteFile(path, "x");
    // Two writers of this program (other programs are held back: see the storage tests),
    // then a reader and a new maker beside them.
    auto first = DiskFile::Open(path, DiskFile::Mode::ReadWrite, nullptr);
    auto second = DiskFile::Open(path, DiskFile::Mode::ReadWrite, nullptr);
    auto reader = DiskFile::Open(path, DiskFile::Mode::Read, nullptr);
    ASSERT_TRUE(first && second && reader);
    {
        auto maker = DiskFile::Open(path, DiskFile::Mode::Create, nullptr);
        ASSERT_TRUE(maker);
    }
    first->DropWriteAccess();
    EXPECT_TRUE(first->Shared());
    EXPECT_FALSE(first->Write(0, "y", 1));
    EXPECT_TRUE(second->Write(0, "y", 1));
}

TEST(Oem, TextGoesStraightBetweenTheCodePageAndUnicode) {
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString text = OemToUnicode(all.constData(), all.size());
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0xC9], QChar(0x2554)); // box drawing
    EXPECT_EQ(text[0xD5], QChar(0x0131)); // dotless i
    EXPECT_EQ(text[0xF2], QChar(0x2017)); // double low line
    QByteArray back;
    ASSERT_TRUE(UnicodeToOem(text, back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(OemToCharA(all), text);

    char32_t missing = 0;
    back = "kept";
    EXPECT_FALSE(UnicodeToOem(QString::fromUtf8("5 € x"), back, &missing));
    EXPECT_EQ(missing, U'€');
    EXPECT_EQ(back, "kept");
    EXPECT_FALSE(UnicodeToOem(QString::fromUtf8("a😀"), back, &missing));
    EXPECT_EQ(missing, U'😀');
    // The lossy form still stands for what the system's call does: one "?" per character.
    EXPECT_EQ(CharToOemA(QString::fromUtf8("€😀ı")), QByteArray("??\xD5"));
}
