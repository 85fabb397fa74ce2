#include "DbTableTestSupport.h"
#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "platform/Oem.h"
#include "storage/dbtable/MdxIndexFile.h"
#include "storage/dbtable/TablePagedFile.h"

#include <QCoreApplication>
#include <QDir>
#include <cstring>
#include <gtest/gtest.h>

using namespace dbtable;
using namespace storagetest;

namespace {

TEST(PagedFileTest, OneOpenFilePerFileWhateverNameReachesIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Qor.dbf");
    CreateTable(path, ItemFields());
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("link")));
    const int before = TPagedFile::OpenFileCount();

    TTableFiles first;
    first.Open(ResolveTablePaths(path, ".", "", false), false);
    TTableFiles second;
    second.Open(ResolveTablePaths(dir.filePath("link/Qor.dbf"), ".", "", false), false);
    EXPECT_EQ(first.Table(), second.Table());
    EXPECT_EQ(first.Memo(), second.Memo());
    EXPECT_EQ(first.Table()->RefCount(), 2);
    EXPECT_EQ(TPagedFile::OpenFileCount(), before + 2);

    TPagedFile* found = TPagedFile::FindOpenFile(dir.filePath("link/Qor.dbf"));
    EXPECT_EQ(found, first.Table());
    found->Release();

    first.Close();
    EXPECT_EQ(TPagedFile::OpenFileCount(), before + 2);
    EXPECT_EQ(second.Table()->RefCount(), 1);
    EXPECT_EQ(second.Table()->RecordCount(), 0);
    second.Close();
    EXPECT_EQ(TPagedFile::OpenFileCount(), before);
    EXPECT_EQ(TPagedFile::FindOpenFile(path), nullptr);

    // A file of another kind under the name is not handed out as a table.
    TFileRef<TPagedFile> plain(new TPagedFile(dir.filePath("x.dbf"), TPagedMode::Create));
    EXPECT_EQ(TPagedFile::FindOpenFileAs<TDbfFile>(dir.filePath("x.dbf")), nullptr);
    EXPECT_EQ(plain->RefCount(), 1);
}

TEST(PagedFileTest, RecordsAreAddressedWithinBounds) {
    TFileRef<TPagedFile> f(new TPagedFile("", TPagedMode::Create));
    EXPECT_EQ(TPagedFile::FindOpenFile(""), nullptr); // memory files are private
    EXPECT_EQ(f->RecordCount(), 0);                   // no record size yet
    f->SetHeaderSize(3);
    f->SetRecordSize(4);
    f->WriteAt(0, "HDR", 3);
    f->WriteRecord(0, "abcd");
    f->WriteRecord(1, "efgh");
    EXPECT_EQ(f->RecordCount(), 2);
    char buffer[5] = {};
    EXPECT_EQ(f->ReadRecord(1, buffer), 4);
    EXPECT_STREQ(buffer, "efgh");
    EXPECT_EQ(f->ReadRecord(2, buffer), 0);
    EXPECT_EQ(f->ReadRecord(1000, buffer), 0);
    EXPECT_EQ(f->Size(), 3 + 2 * 4); // reading beyond the end does not grow the file
    EXPECT_THROW(f->ReadRecord(-1, buffer), EBinaryDataSetError);
    EXPECT_THROW(f->WriteRecord(-1, buffer), EBinaryDataSetError);
    f->SetHeaderSize(100);
    EXPECT_EQ(f->RecordCount(), 0); // never below 0

    char area[6];
    TPagedFile::CopyPadded("ab", area, 6);
    EXPECT_EQ(QByteArray(area, 6), "ab    ");
    TPagedFile::CopyPadded("abcdefgh", area, 6);
    EXPECT_EQ(QByteArray(area, 6), "abcdef");
}

TEST(PagedFileTest, TablePathsFollowFolderAndNameRules) {
    const QString app = QDir::cleanPath(QCoreApplication::applicationDirPath());
    TTablePaths p = ResolveTablePaths("qor", ".", "", false);
    EXPECT_EQ(p.Table, app + "/qor.dbf");
    EXPECT_EQ(p.Memo, app + "/qor.dbt");
    EXPECT_EQ(p.Index, app + "/qor.mdx");
    p = ResolveTablePaths("items.txt", "/data/tables ", "", false);
    EXPECT_EQ(p.Table, "/data/tables/items.dbf");
    p = ResolveTablePaths("sub\\qor.dbf", "\\data", "", false);
    EXPECT_EQ(p.Table, "/data/sub/qor.dbf");
    p = ResolveTablePaths("/abs/t.x.dbf", "/data", "", false);
    EXPECT_EQ(p.Table, "/abs/t.x.dbf");
    EXPECT_EQ(p.Memo, "/abs/t.x.dbt");
    p = ResolveTablePaths("qor", "/run", "/design", true);
    EXPECT_EQ(p.Table, "/design/qor.dbf");
}

TEST(PagedFileTest, IndexHeaderIsReadWhenTheTableHasOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("qor.dbf");
    CreateTable(path, ItemFields());
    QByteArray mdx(1024, '\0');
    mdx[28] = 3;
    mdx[40] = 'k';
    WriteAll(dir.filePath("qor.mdx"), mdx);
    {
        TTableFiles files;
        files.Open(ResolveTablePaths(path, ".", "", false), true);
        ASSERT_TRUE(files.Index());
        EXPECT_TRUE(files.Index()->HeaderComplete());
        EXPECT_EQ(files.Index()->TagCount(), 3);
        EXPECT_EQ(files.Index()->Header(), mdx.left(48));
        EXPECT_EQ(files.Index()->RecordSize(), 512);
        EXPECT_EQ(files.Index()->RecordCount(), 2);
        files.Close();
        EXPECT_EQ(TPagedFile::FindOpenFile(dir.filePath("qor.mdx")), nullptr);
    }
    // A header cut short does not keep the table from opening.
    WriteAll(dir.filePath("qor.mdx"), mdx.left(30));
    TTableFiles files;
    files.Open(ResolveTablePaths(path, ".", "", false), true);
    ASSERT_TRUE(files.Index());
    EXPECT_FALSE(files.Index()->HeaderComplete());
    EXPECT_EQ(files.Index()->TagCount(), 3);
    // Only a name ending exactly in ".mdx" is read as an index.
    WriteAll(dir.filePath("other.MDX"), mdx);
    TFileRef<TIndexFile> upper(new TIndexFile(dir.filePath("other.MDX"), TPagedMode::Read));
    EXPECT_FALSE(upper->HeaderComplete());
    EXPECT_EQ(upper->TagCount(), 0);
}

TEST(PagedFileTest, TableTextIsConvertedToAndFromTheOemCodePage) {
    EXPECT_EQ(CharToOemA(QString::fromUtf8("Äpfel für Öl")), QByteArray("\x8Epfel f\x81r \x99l"));
    EXPECT_EQ(OemToCharA(QByteArray("\x8Epfel f\x81r \x99l")), QString::fromUtf8("Äpfel für Öl"));
    EXPECT_EQ(CharToOemA(QString::fromUtf8("€ x")), QByteArray("? x")); // CP850 has no euro
    char buffer[16];
    CharToOemA("\xC4"
               "b\xFC",
               buffer); // ANSI "Äbü"
    EXPECT_STREQ(buffer, "\x8E"
                         "b\x81");
    OemToCharA(buffer, buffer);
    EXPECT_STREQ(buffer, "\xC4"
                         "b\xFC");
    OemToCharA("\xC9\xCD", buffer); // box drawing has no ANSI character
    EXPECT_EQ(std::strlen(buffer), 2u);
}

} // namespace
