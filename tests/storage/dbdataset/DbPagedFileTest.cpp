#include "storage/dbdataset/DbPagedFile.h"
#include "StorageTestSupport.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace dbdataset;
using storagetest::ReadAll;
using storagetest::WriteAll;

namespace {

bool Registered(const TPagedFile* file) {
    const auto& files = TPagedFile::OpenFiles();
    return std::find(files.begin(), files.end(), file) != files.end();
}

class DbPagedFileTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(DbPagedFileTest, RecordsAreCountedAndAddressedFromOne) {
    WriteAll(Path("f.bin"), QByteArray(100, 'x'));
    TFileRef<TPagedFile> f(new TPagedFile(Path("f.bin"), 0, false, false));
    EXPECT_EQ(f->RecordCount(), 0); // no record size yet
    f->SetHeaderSize(32);
    f->SetRecordSize(30);
    EXPECT_EQ(f->RecordCount(), 2); // the partial third record does not count
    f->SetRecordSize(0);
    EXPECT_EQ(f->RecordCount(), 0);
    f->SetRecordSize(30);
    f->SetHeaderSize(200);
    EXPECT_EQ(f->RecordCount(), 0);

    f->SetHeaderSize(4);
    f->SetRecordSize(3);
    f->WriteRecord(1, "abc");
    f->WriteRecord(2, "def");
    char buffer[4] = "???";
    EXPECT_EQ(f->ReadRecord(2, buffer), 3);
    EXPECT_STREQ(buffer, "def");
    EXPECT_EQ(ReadAll(Path("f.bin")).mid(4, 6), "abcdef");

    // Beyond the last record: the write extends the file, the count follows.
    const int count = f->RecordCount();
    f->WriteRecord(count + 3, "xyz");
    EXPECT_EQ(f->RecordCount(), count + 3);
    EXPECT_EQ(ReadAll(Path("f.bin")).size(), 4 + (count + 3) * 3);

    // A read past the end leaves the buffer as it was; record 0 and below lie before the
    // records and read as nothing or the header's tail.
    std::copy_n("---", 4, buffer);
    EXPECT_EQ(f->ReadRecord(count + 10, buffer), 0);
    EXPECT_STREQ(buffer, "---");
    EXPECT_EQ(f->ReadRecord(-5, buffer), 0);
    EXPECT_STREQ(buffer, "---");
    EXPECT_THROW(f->WriteRecord(-5, "abc"), EInOutError);

    f->SetRecordCount(1);
    EXPECT_EQ(f->RecordCount(), 1);
    EXPECT_EQ(ReadAll(Path("f.bin")).size(), 7);
    f->SetRecordCount(5);
    EXPECT_EQ(ReadAll(Path("f.bin")).size(), 19);
}

TEST_F(DbPagedFileTest, HeaderIsReadAgainOnlyWhenItsSizeChanges) {
    WriteAll(Path("h.bin"), "0123456789");
    TFileRef<TPagedFile> f(new TPagedFile(Path("h.bin"), 0, false, false));
    EXPECT_EQ(f->Header(), nullptr);
    f->SetHeaderSize(4);
    EXPECT_EQ(QByteArray(f->Header(), 4), "0123");
    f->Header()[0] = 'X';
    f->SetHeaderSize(4); // the same size keeps the edit not yet written
    EXPECT_EQ(QByteArray(f->Header(), 4), "X123");
    f->SetHeaderSize(12); // another size reads the file again; beyond its end stays zero
    EXPECT_EQ(QByteArray(f->Header(), 12), QByteArray("0123456789\0\0", 12));
    f->FillHeader('z');
    f->WriteHeader();
    EXPECT_EQ(ReadAll(Path("h.bin")), QByteArray(12, 'z'));
    f->SetHeaderSize(0);
    EXPECT_EQ(f->Header(), nullptr);
}

TEST_F(DbPagedFileTest, OneFilePerNameSharedByReference) {
    WriteAll(Path("Shared.bin"), "data");
    const size_t before = TPagedFile::OpenFiles().size();
    auto* file = new TPagedFile(Path("Shared.bin"), 0, false, false);
    EXPECT_EQ(file->RefCount(), 0);
    EXPECT_EQ(file->FileName(), Path("Shared.bin").toUpper());
    EXPECT_FALSE(file->IsNew());
    // Found as the file it is: not under a name in other letter case, which names another.
    EXPECT_EQ(TPagedFile::FindOpenFile(Path("./Shared.bin")), file);
    EXPECT_EQ(TPagedFile::FindOpenFile(Path("shared.BIN")), nullptr);
    EXPECT_EQ(TPagedFile::FindOpenFile(Path("other.bin")), nullptr);

    file->AddRef();
    file->AddRef();
    file->Release();
    EXPECT_TRUE(Registered(file));
    file->Release();
    EXPECT_EQ(TPagedFile::FindOpenFile(Path("Shared.bin")), nullptr);
    EXPECT_EQ(TPagedFile::OpenFiles().size(), before);
}

TEST_F(DbPagedFileTest, MissingFilesAreCreatedOnlyWhenAsked) {
    const size_t before = TPagedFile::OpenFiles().size();
    try {
        TPagedFile f(Path("none.dbf"), 0, false, false);
        FAIL() << "a missing file was opened";
    } catch (const EInOutError&) {
        FAIL() << "wrong error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Open: Table file not found : " + Path("none.dbf"));
    }
    EXPECT_EQ(TPagedFile::OpenFiles().size(), before);
    EXPECT_FALSE(QFile::exists(Path("none.dbf")));

    {
        TFileRef<TPagedFile> f(new TPagedFile(Path("auto.dbf"), 0, true, true));
        EXPECT_TRUE(f->IsNew());
        f->SetRecordSize(2);
        f->WriteRecord(1, "ok"); // a created file is writable whatever was asked
    }
    EXPECT_EQ(ReadAll(Path("auto.dbf")), "ok");
    TFileRef<TPagedFile> re(new TPagedFile(Path("re.dbf"), 1, false, false));
    EXPECT_TRUE(re->IsNew());
    // An existing file is never cut by opening it.
    TFileRef<TPagedFile> again(new TPagedFile(Path("auto.dbf"), 1, true, false));
    EXPECT_FALSE(again->IsNew());
    EXPECT_EQ(ReadAll(Path("auto.dbf")), "ok");

    // A folder in place of the file: the stream's own error, nothing registered.
    QDir(dir.path()).mkdir("folder.dbf");
    EXPECT_THROW(TPagedFile(Path("folder.dbf"), 0, true, false), EInOutError);
    EXPECT_EQ(TPagedFile::OpenFiles().size(), before + 2);
}

TEST_F(DbPagedFileTest, WritesThroughAReadOnlyStreamAreRefusedAndChangeNothing) {
    WriteAll(Path("ro.bin"), "abcdef");
    TFileRef<TPagedFile> f(new TPagedFile(Path("ro.bin"), 0, false, true));
    f->SetRecordSize(3);
    EXPECT_THROW(f->WriteRecord(1, "xyz"), EInOutError);
    EXPECT_THROW(f->SetRecordCount(0), EInOutError);
    f->SetHeaderSize(2);
    EXPECT_THROW(f->WriteHeader(), EInOutError);
    // A later open for writing shares the read-only stream of the first.
    TPagedFile* shared = TPagedFile::FindOpenFile(Path("ro.bin"));
    ASSERT_EQ(shared, f.get());
    EXPECT_TRUE(shared->IsReadOnly());
    EXPECT_EQ(ReadAll(Path("ro.bin")), "abcdef");
}

TEST_F(DbPagedFileTest, ReadsShowWhatAnotherWriterWroteAtOnce) {
    WriteAll(Path("s.bin"), "0123456789");
    TFileRef<TPagedFile> f(new TPagedFile(Path("s.bin"), 0, false, false));
    f->SetRecordSize(5);
    QByteArray record(5, ' ');
    f->ReadRecord(2, record.data());
    EXPECT_EQ(record, "56789");
    // Rewritten and grown behind the file's back: the next reads show the new bytes.
    WriteAll(Path("s.bin"), "abcdefghijklmno");
    f->ReadRecord(2, record.data());
    EXPECT_EQ(record, "fghij");
    EXPECT_EQ(f->ReadRecord(3, record.data()), 5);
    EXPECT_EQ(record, "klmno");
}

} // namespace
