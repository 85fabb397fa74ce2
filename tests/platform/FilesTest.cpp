#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Files::ExpandFileName;
using Files::ExtractFileDrive;
using Files::ExtractFilePath;

TEST(Files, ProgramFileAndCommandLine) {
    EXPECT_TRUE(QFileInfo(Files::ProgramFile()).isFile());
    EXPECT_TRUE(Files::ProgramFolder().endsWith('/'));
    EXPECT_EQ(Files::ExtractFilePath(Files::ProgramFile()), Files::ProgramFolder());
    EXPECT_EQ(Files::ParamStr(0), Files::ProgramFile());
    EXPECT_EQ(Files::Arguments().size(), Files::ParamCount());
    EXPECT_EQ(Files::ParamStr(Files::ParamCount() + 1), QString());
    EXPECT_EQ(Files::ParamStr(-1), QString());
}

TEST(Files, FolderPartAndNativeForm) {
    EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(ExtractFilePath("C:b.txt"), "C:");
    EXPECT_EQ(ExtractFilePath("b.txt"), "");
    EXPECT_EQ(ExtractFilePath("sub/qor.qor"), "sub/");
    EXPECT_EQ(ExtractFilePath(".\\sub\\qor.qor"), ".\\sub\\");
    EXPECT_EQ(ExtractFilePath(""), "");
    EXPECT_EQ(Files::ExtractFileName("\\tmp\\x/pics\\wide.bmp"), "wide.bmp");
    EXPECT_EQ(Files::ExtractFileName("C:b.txt"), "b.txt");
    EXPECT_EQ(Files::ExtractFileName("pics/"), "");
    EXPECT_EQ(Files::NativePath("\\media\\cdrom\\setup.exe"), "/media/cdrom/setup.exe");
    EXPECT_EQ(Files::NativePath("/media/cdrom\\pics/a.bmp"), "/media/cdrom/pics/a.bmp");
}

TEST(Files, ExpandFileNameInBothForms) {
    EXPECT_EQ(ExpandFileName(".\\a.bmp", "E:\\base"), "E:\\base\\a.bmp");
    EXPECT_EQ(ExpandFileName(".\\sub\\", "D:\\work\\"), "D:\\work\\sub\\");
    EXPECT_EQ(ExpandFileName("..\\..\\..\\x", "E:\\a"), "E:\\x");
    EXPECT_EQ(ExpandFileName("C:\\a\\.\\b\\..\\c", "E:\\"), "C:\\a\\c");
    EXPECT_EQ(ExpandFileName(".", "E:\\"), "E:\\");
    EXPECT_EQ(ExpandFileName(".\\p", "\\\\srv\\share\\dir"), "\\\\srv\\share\\dir\\p");
    EXPECT_EQ(ExpandFileName("..\\..\\p", "\\\\srv\\share\\dir"), "\\\\srv\\share\\p");
    EXPECT_EQ(ExpandFileName("./a.bmp", "/media/cdrom/sub"), "/media/cdrom/sub/a.bmp");
    EXPECT_EQ(ExpandFileName(".\\a.bmp", "/media/cdrom/sub"), "/media/cdrom/sub/a.bmp");
    EXPECT_EQ(ExpandFileName("./sub/", "/home/u"), "/home/u/sub/");
    EXPECT_EQ(ExpandFileName("../..", "/a"), "/");
    EXPECT_EQ(ExpandFileName("/x//y/", "/ignored"), "/x/y/");
}

TEST(Files, DrivePartOfAPath) {
    const std::vector<Volumes::MountEntry> mounts =
        Volumes::ParseMountTable("/dev/sda1 / ext4 rw 0 0\n/dev/sr0 /media/cdrom iso9660 ro 0 0\n");
    EXPECT_EQ(ExtractFileDrive("E:\\setup.exe", mounts), QString("E:"));
    EXPECT_EQ(ExtractFileDrive("?:\\setup.exe", mounts), QString("?:"));
    EXPECT_EQ(ExtractFileDrive("C:", mounts), QString("C:"));
    EXPECT_EQ(ExtractFileDrive("\\\\srv\\share\\pics\\a.bmp", mounts), QString("\\\\srv\\share"));
    EXPECT_EQ(ExtractFileDrive("//srv/share", mounts), QString("//srv/share"));
    EXPECT_EQ(ExtractFileDrive("/media/cdrom/pics/a.bmp", mounts), QString("/media/cdrom"));
    EXPECT_EQ(ExtractFileDrive("\\media\\cdrom\\a.bmp", mounts), QString("\\media\\cdrom"));
    EXPECT_EQ(ExtractFileDrive("/media/cdrom", mounts), QString("/media/cdrom"));
    EXPECT_EQ(ExtractFileDrive("/media/cdromx/a", mounts), QString(""));
    EXPECT_EQ(ExtractFileDrive("/home/u/a.bmp", mounts), QString(""));
    EXPECT_EQ(ExtractFileDrive("/x/../media/cdrom/a", mounts), QString(""));
    EXPECT_FALSE(ExtractFileDrive("pics\\a.bmp", mounts).has_value());
    EXPECT_FALSE(ExtractFileDrive(".\\a.bmp", mounts).has_value());
    EXPECT_FALSE(ExtractFileDrive("http://example.org", mounts).has_value());
    EXPECT_FALSE(ExtractFileDrive("", mounts).has_value());
    EXPECT_FALSE(ExtractFileDrive("x", mounts).has_value());
}

TEST(Files, ExistenceAndWorkingFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QDir(tmp.path()).mkdir("sub");
    QFile f(tmp.filePath("sub/a.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    EXPECT_TRUE(Files::FileExists(tmp.path() + "\\sub\\a.txt"));
    EXPECT_TRUE(Files::FileExists(tmp.filePath("sub/a.txt")));
    EXPECT_FALSE(Files::FileExists(tmp.filePath("sub"))); // a folder is no file
    EXPECT_FALSE(Files::FileExists(tmp.filePath("sub/b.txt")));
    EXPECT_FALSE(Files::FileExists(""));

    const QString before = Files::GetCurrentDir();
    ASSERT_TRUE(Files::SetCurrentDir(tmp.path() + "\\sub\\"));
    EXPECT_EQ(Files::GetCurrentDir(), QDir(tmp.filePath("sub")).canonicalPath());
    EXPECT_TRUE(Files::FileExists("a.txt"));
    EXPECT_FALSE(Files::SetCurrentDir(tmp.filePath("missing")));
    EXPECT_FALSE(Files::SetCurrentDir(""));
    EXPECT_EQ(Files::GetCurrentDir(), QDir(tmp.filePath("sub")).canonicalPath());
    ASSERT_TRUE(Files::SetCurrentDir(before));

    EXPECT_EQ(Files::CanonicalPath(tmp.path() + "/sub/../sub"),
              QDir(tmp.filePath("sub")).canonicalPath());
    EXPECT_EQ(Files::CanonicalPath("/no/such/x"), "/no/such/x");
}
