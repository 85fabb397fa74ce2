#include "editor/EditorRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Orvello;

namespace {

std::vector<Volumes::MountEntry> mounts(const QByteArray& table) {
    return Volumes::ParseMountTable(table);
}

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(EditorRules, MarkCdDriveReplacesTheRootOfACdVolumeOnly) {
    const auto table = mounts("/dev/sda1 / ext4 rw 0 0\n"
                              "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
                              "/dev/sdb1 /media/stick vfat rw 0 0\n");
    EXPECT_EQ(MarkCdDrive("/media/cdrom/setup.exe", table), "?:/setup.exe");
    EXPECT_EQ(MarkCdDrive("/media/cdrom/bin/a b.exe", table), "?:/bin/a b.exe");
    EXPECT_EQ(MarkCdDrive("/media/cdrom/", table), "?:/");
    // The root alone, like "e:", has nothing below it to mark.
    EXPECT_EQ(MarkCdDrive("/media/cdrom", table), "/media/cdrom");
    // Not on a CD: other volumes, a name that only begins like the root, relative, drive-letter
    // and network paths, and paths of one or two characters.
    EXPECT_EQ(MarkCdDrive("/media/stick/setup.exe", table), "/media/stick/setup.exe");
    EXPECT_EQ(MarkCdDrive("/media/cdrom2/setup.exe", table), "/media/cdrom2/setup.exe");
    EXPECT_EQ(MarkCdDrive("/home/a/x.exe", table), "/home/a/x.exe");
    EXPECT_EQ(MarkCdDrive("data/x.exe", table), "data/x.exe");
    EXPECT_EQ(MarkCdDrive("e:\\setup.exe", table), "e:\\setup.exe");
    EXPECT_EQ(MarkCdDrive("\\\\server\\share\\x", table), "\\\\server\\share\\x");
    EXPECT_EQ(MarkCdDrive("/x", table), "/x");
    // A machine that runs from a CD has its root volume on one.
    EXPECT_EQ(MarkCdDrive("/opt/x", mounts("/dev/sr0 / iso9660 ro 0 0\n")), "?:/opt/x");
}

TEST(EditorRules, FindOnCdDriveScansCdVolumesAndRemembersWhereItFound) {
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    const QString cd1 = root + "/cd1", cd2 = root + "/cd2", disk = root + "/disk";
    const auto table = mounts(QStringLiteral("/dev/sdc1 %1 ext4 rw 0 0\n"
                                             "/dev/sr0 %2 iso9660 ro 0 0\n"
                                             "/dev/sr1 %3 udf ro 0 0\n")
                                  .arg(disk, cd1, cd2)
                                  .toUtf8());
    touch(disk + "/data/a.bmp"); // a fixed disk never counts
    touch(cd2 + "/data/a.bmp");

    QString cached;
    EXPECT_EQ(FindOnCdDrive("?:\\data\\a.bmp", table, cached), cd2 + "/data/a.bmp");
    EXPECT_EQ(cached, cd2);

    // The volume that had the file is tried first, even when another CD has it too.
    touch(cd1 + "/data/a.bmp");
    EXPECT_EQ(FindOnCdDrive("?:/data/a.bmp", table, cached), cd2 + "/data/a.bmp");
    // A remembered volume without the file: the scan runs again and remembers anew.
    QFile::remove(cd2 + "/data/a.bmp");
    EXPECT_EQ(FindOnCdDrive("?:\\data\\a.bmp", table, cached), cd1 + "/data/a.bmp");
    EXPECT_EQ(cached, cd1);

    // Unresolved paths come back unchanged, the marker kept.
    EXPECT_EQ(FindOnCdDrive("?:\\data\\none.bmp", table, cached), "?:\\data\\none.bmp");
    EXPECT_EQ(cached, cd1);
    for (const QString& path :
         {QStringLiteral("x?:\\data\\a.bmp"), QStringLiteral("?\\data\\a.bmp"),
          QStringLiteral("?:"), QStringLiteral("")})
        EXPECT_EQ(FindOnCdDrive(path, table, cached), path);
}

TEST(EditorRules, FileKindsCaptionsAndFolders) {
    EXPECT_TRUE(IsTemplateFile("/p/menu.zun"));
    EXPECT_TRUE(IsTemplateFile("/p/MENU.ZUN"));
    EXPECT_FALSE(IsTemplateFile("/p/menu.qor"));
    EXPECT_FALSE(IsTemplateFile("/p/menu.zun.qor"));
    EXPECT_FALSE(IsTemplateFile("/p/x.zun/menu"));
    EXPECT_TRUE(HasExtension("C:\\Pics\\Sky.BMP", ".bmp"));
    EXPECT_EQ(ExtractFileExt("/a.b/c"), "");

    EXPECT_EQ(WindowCaption("Tavolin 1.1", ""), "Tavolin 1.1");
    EXPECT_EQ(WindowCaption("Tavolin 1.1", "/home/a/my menu.qor"), "Tavolin 1.1 - my menu.qor");

    EXPECT_EQ(EntryFolderOf("?:/setup.exe"), "?:");
    EXPECT_EQ(EntryFolderOf("/opt/tools/run"), "/opt/tools");
    EXPECT_EQ(EntryFolderOf("C:\\setup.exe"), "C:");
    EXPECT_EQ(EntryFolderOf("/run"), "/");
    EXPECT_EQ(EntryFolderOf("run"), "");
}

TEST(EditorRules, FontSizesSurviveTheWayThroughPixels) {
    for (int points = 1; points <= 700; ++points)
        ASSERT_EQ(PointsOfPixels(PixelsOfPoints(points)), points) << points;
    // The designer's heights: 35, 19, 15 and 11 pixels.
    EXPECT_EQ(PointsOfPixels(35), 26);
    EXPECT_EQ(PointsOfPixels(19), 14);
    EXPECT_EQ(PointsOfPixels(15), 11);
    EXPECT_EQ(PointsOfPixels(11), 8);
    // Sizes no font shows are drawn within bounds.
    EXPECT_EQ(PixelsOfPoints(-5), 1);
    EXPECT_EQ(PixelsOfPoints(2147483647), 1000);
}
