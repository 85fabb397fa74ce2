#include "platform/Volumes.h"

#include <QDir>
#include <gtest/gtest.h>
#include <random>

using namespace Volumes;

namespace {

const QByteArray kTable = "sysfs /sys sysfs rw,nosuid 0 0\n"
                          "/dev/sda1 / ext4 rw,relatime 0 0\n"
                          "/dev/sr0 /media/cdrom iso9660 ro,nosuid 0 0\n"
                          "/dev/sr1 /media/dvd udf ro 0 0\n"
                          "/dev/sr2 /media/other auto ro 0 0\n"
                          "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
                          "server:/export /mnt/net nfs4 rw 0 0\n"
                          "tmpfs /run tmpfs rw 0 0\n"
                          "/dev/sda2 /home ext4 rw 0 0\n"
                          "short line\n"
                          "\n"
                          "none relative/point ext4 rw 0 0\n";

} // namespace

TEST(Volumes, ParsesMountTableAndDecodesEscapes) {
    const std::vector<MountEntry> table = ParseMountTable(kTable);
    ASSERT_EQ(table.size(), 9u); // the short, empty and relative lines are skipped
    EXPECT_EQ(table[1].device, "/dev/sda1");
    EXPECT_EQ(table[1].mountPoint, "/");
    EXPECT_EQ(table[2].fsType, "iso9660");
    EXPECT_EQ(table[5].mountPoint, "/media/usb stick");
    // Tabs, backslashes and the trailing escape at the end of a field.
    const std::vector<MountEntry> odd =
        ParseMountTable("/dev/x /a\\011b\\134c ext4 rw 0 0\n/dev/y /end\\04 ext4 rw 0 0\n");
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[0].mountPoint, "/a\tb\\c");
    EXPECT_EQ(odd[1].mountPoint, "/end\\04");
}

TEST(Volumes, VolumeRootIsTheLongestMountPointOnAFolderBoundary) {
    const std::vector<MountEntry> table = ParseMountTable(kTable);
    EXPECT_EQ(VolumeRoot("/media/cdrom/setup.exe", table), "/media/cdrom");
    EXPECT_EQ(VolumeRoot("/media/cdrom", table), "/media/cdrom");
    EXPECT_EQ(VolumeRoot("/media/cdromx/a", table), "/");
    EXPECT_EQ(VolumeRoot("/media/usb stick/a", table), "/media/usb stick");
    EXPECT_EQ(VolumeRoot("/home/u/a", table), "/home");
    EXPECT_EQ(VolumeRoot("/opt/x", table), "/");
    EXPECT_EQ(VolumeRoot("/opt/x", {}), "/");
}

TEST(Volumes, DriveTypesFromTheMountTable) {
    const std::vector<MountEntry> table = ParseMountTable(kTable);
    EXPECT_EQ(DriveTypeOf("/media/cdrom", table), DRIVE_CDROM); // iso9660
    EXPECT_EQ(DriveTypeOf("/media/dvd", table), DRIVE_CDROM);   // udf
    EXPECT_EQ(DriveTypeOf("/media/other", table), DRIVE_CDROM); // an optical device
    EXPECT_EQ(DriveTypeOf("/media/usb stick", table), DRIVE_REMOVABLE);
    EXPECT_EQ(DriveTypeOf("/mnt/net", table), DRIVE_REMOTE);
    EXPECT_EQ(DriveTypeOf("/run", table), DRIVE_RAMDISK);
    EXPECT_EQ(DriveTypeOf("/", table), DRIVE_FIXED);
    EXPECT_EQ(DriveTypeOf("/", {}), DRIVE_FIXED);
    EXPECT_EQ(DriveTypeOf("/opt", table), DRIVE_NO_ROOT_DIR);
    // The last mount on a point is the one in force.
    const std::vector<MountEntry> over =
        ParseMountTable("/dev/sda3 /media/cdrom ext4 rw 0 0\n/dev/sr0 /media/cdrom iso9660 ro\n");
    EXPECT_EQ(DriveTypeOf("/media/cdrom", over), DRIVE_CDROM);
}

TEST(Volumes, DriveTypeOfThisMachine) {
    EXPECT_EQ(GetDriveTypeA(""), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveTypeA("/no/such/folder/anywhere"), DRIVE_NO_ROOT_DIR);
    EXPECT_NE(GetDriveTypeA(QDir::rootPath()), DRIVE_NO_ROOT_DIR);
}

TEST(Volumes, ParserSurvivesAnyBytes) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray text(int(rng() % 300), '\0');
        for (char& c : text)
            c = char(" /\\\n0123ab\t\x01\xff"[rng() % 14]);
        for (const MountEntry& m : ParseMountTable(text))
            EXPECT_TRUE(m.mountPoint.startsWith(QLatin1Char('/')));
    }
}
