#include "player/FileBox.h"

#include "common/EventLoop.h"
#include "common/ShellAnswerer.h"
#include "common/StartRecorder.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Fixed answers instead of the desktop's: a red icon for everything, "Text document" for
// ".txt" files, "Folder" for folders, nothing for the rest; a mount table of the test's own.
class FakeShellInfo : public IShellFileInfo {
public:
    FakeShellInfo(std::vector<Volumes::MountEntry> table, int* iconLookups = nullptr)
        : table_(std::move(table)), iconLookups_(iconLookups) {}
    QIcon FileIcon(const QFileInfo&) override {
        if (iconLookups_)
            ++*iconLookups_;
        return icon();
    }
    QIcon DriveIcon(const QString&) override { return icon(); }
    QString TypeName(const QFileInfo& info) override {
        if (info.isDir())
            return QStringLiteral("Folder");
        return info.suffix().toLower() == QLatin1String("txt") ? QStringLiteral("Text document")
                                                               : QString();
    }
    std::vector<Volumes::MountEntry> MountTable() override { return table_; }

private:
    static QIcon icon() {
        QPixmap p(16, 16);
        p.fill(Qt::red);
        return QIcon(p);
    }
    std::vector<Volumes::MountEntry> table_;
    int* iconLookups_;
};

void writeFile(const QString& path, const QByteArray& bytes = "12345") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList captions(const TFileBox& box) {
    QStringList list;
    for (int i = 0; i < box.topLevelItemCount(); ++i)
        list << box.topLevelItem(i)->text(0);
    return list;
}

QTreeWidgetItem* item(const TFileBox& box, const QString& caption) {
    for (int i = 0; i < box.topLevelItemCount(); ++i)
        if (box.topLevelItem(i)->text(0) == caption)
            return box.topLevelItem(i);
    return nullptr;
}

// A scratch volume: its root is a mount point of the fake table, holding the folder "sub"
// with two files, a hidden file, a folder and a hidden folder.
class FileBoxTest : public testing::Test {
protected:
    void SetUp() override {
        root = QDir(tmp.path()).canonicalPath();
        sub = root + "/sub";
        QDir(root).mkpath("sub/docs");
        QDir(root).mkpath("sub/.cache");
        writeFile(sub + "/readme");
        writeFile(sub + "/a.txt");
        writeFile(sub + "/B.TXT", "1234567");
        writeFile(sub + "/.hid.txt");
        box = newBox();
    }
    std::unique_ptr<TFileBox> newBox() {
        auto made = std::make_unique<TFileBox>(
            nullptr, std::make_unique<FakeShellInfo>(
                         std::vector<Volumes::MountEntry>{{"/dev/sda1", "/", "ext4"},
                                                          {"proc", "/proc", "proc"},
                                                          {"/dev/sdb1", root, "ext4"},
                                                          {"/dev/sdb1", root, "ext4"}},
                         &iconLookups));
        made->OnChangeDir = [this](QObject*) { ++dirChanges; };
        return made;
    }
    void select(const QString& caption) {
        QTreeWidgetItem* it = item(*box, caption);
        ASSERT_TRUE(it) << caption.toStdString();
        box->clearSelection();
        it->setSelected(true);
    }

    QTemporaryDir tmp;
    QString root, sub;
    int dirChanges = 0;
    int iconLookups = 0;
    std::unique_ptr<TFileBox> box;
};

} // namespace

TEST(FileBoxMask, MatchesAsTheListDefinesIt) {
    struct Case {
        const char* mask;
        const char* name;
        bool match;
    } cases[] = {
        {"*.*", "a.txt", true},       {"*.*", "readme", false},     {"*.*", ".profile", true},
        {"*", "readme", true},        {"*", "a.b.c", true},         {"*.gz", "a.gz", true},
        {"*.gz", "a.tar.gz", false},  {"a*b.txt", "axx.txt", true}, {"a*b.txt", "bxb.txt", false},
        {"abc?", "abc", true},        {"abc?", "abcd", true},       {"abc?", "abcde", false},
        {"a??", "a", false},          {"a.*x", "a.yyy", true},      {"readme", "readme", true},
        {"readme", "readme2", false}, {"", "a.txt", false},         {"*.t?t", "a.txt", true},
        {"*x.txt", "a.txt", true},    {"x.*", "y.txt", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TFileBox::MatchMask({QString(c.mask)}, QString(c.name)), c.match)
            << c.mask << " / " << c.name;
    EXPECT_TRUE(TFileBox::MatchMask({"*.bmp", "*.ico"}, "x.ico"));
    EXPECT_FALSE(TFileBox::MatchMask({"*.bmp", "*.ico"}, "x.png"));
    EXPECT_FALSE(TFileBox::MatchMask({}, "x.png"));
}

TEST_F(FileBoxTest, FoldersFirstWithTheirBlankThenMatchingFiles) {
    box->SetDirectory(sub);
    EXPECT_EQ(box->Directory(), sub);
    EXPECT_EQ(dirChanges, 1);
    // "readme" has no point, so "*.*" leaves it out.
    EXPECT_EQ(captions(*box),
              (QStringList{" ..", " .cache", " docs", ".hid.txt", "a.txt", "B.TXT"}));
    EXPECT_EQ(box->FileCount(), 6);

    box->SetFileMask("*.BMP;*");
    EXPECT_EQ(box->Masks(), (QStringList{"*.bmp", "*"}));
    EXPECT_TRUE(item(*box, "readme"));

    box->SetCharCase(fbUpperCase);
    EXPECT_TRUE(item(*box, " DOCS"));
    EXPECT_TRUE(item(*box, "A.TXT"));
    // The file behind an upper-cased caption keeps its own name.
    select("A.TXT");
    EXPECT_EQ(box->FileName(), sub + "/a.txt");

    box->SetViewOptions(box->ViewOptions() & ~TViewOptions(fbShowFolders));
    EXPECT_EQ(captions(*box), (QStringList{".HID.TXT", "A.TXT", "B.TXT", "README"}));
}

TEST_F(FileBoxTest, AttributeFilter) {
    box->SetDirectory(sub);
    box->SetFileType(ftHidden);
    EXPECT_EQ(box->FileType(), TFileType(ftHidden));
    EXPECT_EQ(captions(*box), (QStringList{" .cache", ".hid.txt"}));
    box->SetFileType(ftHidden | ftArchive | ftVolumeID | ftDirectory);
    EXPECT_EQ(box->FileType(), TFileType(ftHidden | ftArchive));
    EXPECT_EQ(captions(*box), (QStringList{" .cache", ".hid.txt", "a.txt", "B.TXT"}));
}

TEST_F(FileBoxTest, ReportColumnsIconsAndTypes) {
    box->SetDirectory(sub);
    box->SetFileMask("*");
    writeFile(sub + "/pic.bmp");
    writeFile(sub + "/odd.");
    box->ReadDirectory();
    QTreeWidgetItem* header = box->headerItem();
    ASSERT_EQ(box->columnCount(), 4);
    EXPECT_EQ(header->text(0), "Name");
    EXPECT_EQ(header->text(1), "Size");
    EXPECT_EQ(header->text(2), "Type");
    EXPECT_EQ(header->text(3), "Date Time");
    EXPECT_EQ(box->columnWidth(0), 125);
    EXPECT_EQ(box->columnWidth(1), 60);
    EXPECT_EQ(box->columnWidth(2), 125);
    EXPECT_EQ(box->columnWidth(3), 100);

    QTreeWidgetItem* big = item(*box, "B.TXT");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->text(1), "7");
    EXPECT_TRUE(big->textAlignment(1) & Qt::AlignRight);
    EXPECT_EQ(big->text(2), "Text document");
    EXPECT_FALSE(big->text(3).isEmpty());
    EXPECT_FALSE(big->icon(0).isNull());
    EXPECT_EQ(item(*box, " docs")->text(1), "0");
    EXPECT_EQ(item(*box, " docs")->text(2), "Folder");
    EXPECT_EQ(item(*box, " ..")->text(2), "Folder");
    EXPECT_EQ(item(*box, "pic.bmp")->text(2), ".bmp File");
    EXPECT_EQ(item(*box, "odd.")->text(2), "");
    EXPECT_EQ(item(*box, "readme")->text(2), "");

    box->SetViewOptions(fbShowFolders | fbShowType);
    ASSERT_EQ(box->columnCount(), 2);
    EXPECT_EQ(box->headerItem()->text(1), "Type");
    EXPECT_TRUE(item(*box, "B.TXT")->icon(0).isNull());

    box->SetViewStyle(vsList);
    EXPECT_EQ(box->columnCount(), 1);
}

TEST_F(FileBoxTest, NavigationIntoFoldersUpAndThroughTheDrives) {
    box->SetDirectory(sub);
    box->show();
    const QRect docs = box->visualItemRect(item(*box, " docs"));
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, docs.center());
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, docs.center());
    EXPECT_EQ(box->Directory(), sub + "/docs");
    EXPECT_EQ(captions(*box), QStringList{" .."});
    select(" ..");
    box->DblClick();
    EXPECT_EQ(box->Directory(), sub);
    select(" ..");
    box->DblClick();
    EXPECT_EQ(box->Directory(), root);
    EXPECT_EQ(box->Drive(), root);
    EXPECT_EQ(dirChanges, 4);

    // At a volume's root ".." leads to the drives, and a header that named the folder hears it.
    EXPECT_EQ(captions(*box).first(), " ..");
    select(" ..");
    box->DblClick();
    EXPECT_EQ(box->Directory(), "");
    EXPECT_EQ(box->Drive(), "");
    EXPECT_EQ(dirChanges, 5);
    EXPECT_EQ(captions(*box), (QStringList{" /", " " + root}));

    select(" " + root);
    box->DblClick();
    EXPECT_EQ(box->Directory(), root);
    EXPECT_EQ(dirChanges, 6);
    box->SetDrive("");
    EXPECT_EQ(box->Directory(), "");
    box->SetDrive(root);
    EXPECT_EQ(box->Directory(), root);
}

TEST_F(FileBoxTest, FolderChangesFromMasksAndReentry) {
    box->SetFileMask(sub + "/*.txt");
    EXPECT_EQ(box->Directory(), sub);
    EXPECT_EQ(box->Masks(), QStringList{"*.txt"});

    // "\" is the root of the volume that holds the current folder.
    const QString old = QDir::currentPath();
    QDir::setCurrent(sub + "/docs");
    box->SetFileMask(R"(\*.*)");
    QDir::setCurrent(old);
    EXPECT_EQ(box->Directory(), root);

    // A folder change from the change handler itself is ignored.
    box->OnChangeDir = [this](QObject*) { box->SetDirectory(sub + "/docs"); };
    box->SetDirectory(sub);
    EXPECT_EQ(box->Directory(), sub);
}

TEST_F(FileBoxTest, SelectionSetsFileNameAndTheLinkedEdit) {
    QLineEdit edit;
    box->SetFileEdit(&edit);
    box->SetDirectory(sub);
    select("a.txt");
    EXPECT_EQ(box->FileName(), sub + "/a.txt");
    EXPECT_EQ(edit.text(), "a.txt");
    select(" docs");
    EXPECT_EQ(box->FileName(), sub + "/a.txt");
    EXPECT_EQ(edit.text(), "*.*");

    edit.setText("*");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(box->FileMask(), "*");
    EXPECT_TRUE(item(*box, "readme"));
}

TEST_F(FileBoxTest, RenameInPlaceAndRestoreOnFailure) {
    box->SetDirectory(sub);
    QTreeWidgetItem* a = item(*box, "a.txt");
    a->setText(0, "c.txt"); // what the in-place editor does
    EXPECT_EQ(a->text(0), "c.txt");
    EXPECT_TRUE(QFile::exists(sub + "/c.txt"));
    EXPECT_FALSE(QFile::exists(sub + "/a.txt"));

    // The new name is taken: the file stays, the caption comes back, the shell says why.
    ShellAnswerer shell;
    a->setText(0, "B.TXT");
    EXPECT_EQ(a->text(0), "c.txt");
    EXPECT_TRUE(QFile::exists(sub + "/c.txt"));
    QFile big(sub + "/B.TXT");
    EXPECT_EQ(big.size(), 7);
    ASSERT_EQ(shell.Boxes().size(), 1u);
    EXPECT_EQ(shell.Boxes()[0].caption + ": " + shell.Boxes()[0].text,
              "Error Renaming File: Cannot rename \"" + sub +
                  "/c.txt\": there is already a file or folder named \"B.TXT\".");
    for (const char* bad : {"x/y.txt", "", ".."}) {
        a->setText(0, bad);
        EXPECT_EQ(a->text(0), "c.txt");
    }

    QTreeWidgetItem* docs = item(*box, " docs");
    QString caption = "letters";
    box->RenameItem(docs, caption);
    EXPECT_EQ(caption, " letters");
    EXPECT_TRUE(QDir(sub + "/letters").exists());
    caption = " x";
    box->RenameItem(item(*box, " .."), caption);
    EXPECT_EQ(caption, " ..");
}

TEST_F(FileBoxTest, DoubleClickOpensFilesThroughTheShell) {
    Shell::SetDesktopOpener(QStringLiteral(ORV_RECORDARGS));
    StartRecorder rec;
    int clicks = 0;
    box->OnDblClick = [&](QObject*) { ++clicks; };
    box->SetDirectory(sub);
    select("a.txt");
    box->DblClick();
    auto start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, QStringList{sub + "/a.txt"});
    EXPECT_EQ(start->folder, sub);
    EXPECT_EQ(clicks, 1);

    // Without folder changes a folder is opened like a file.
    box->SetViewOptions(box->ViewOptions() & ~TViewOptions(fbChangeDir));
    select(" docs");
    box->DblClick();
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, QStringList{sub + "/docs"});
    EXPECT_EQ(box->Directory(), sub);
    EXPECT_EQ(clicks, 2);
    Shell::SetDesktopOpener(QString());
}

TEST(FileBoxVolumes, PseudoFileSystemsAreNoDrives) {
    const std::vector<Volumes::MountEntry> table = {
        {"overlay", "/", "overlay"},      {"proc", "/proc", "proc"},
        {"sysfs", "/sys", "sysfs"},       {"cgroup", "/sys/fs/cgroup", "cgroup2"},
        {"devpts", "/dev/pts", "devpts"}, {"tmpfs", "/run/user/0", "tmpfs"},
        {"tmpfs", "/tmp", "tmpfs"},       {"/dev/sda1", "/etc/hostname", "ext4"},
        {"overlay", "/", "overlay"}};
    EXPECT_EQ(BrowsableVolumes(table), (QStringList{"/", "/tmp"}));
}

TEST(FileBoxVolumes, TheDesktopsAnswers) {
    TFileBox box(nullptr);
    box.ShowDrives();
    EXPECT_TRUE(item(box, " /"));
    EXPECT_EQ(box.Directory(), "");
    const auto desktop = DesktopShellInfo();
    EXPECT_FALSE(desktop->TypeName(QFileInfo("/nowhere/a.txt")).isEmpty());
    EXPECT_FALSE(desktop->MountTable().empty());
}

// A folder that is not there, or a file given as folder, has nothing to list: no entry that
// could be taken for a file of it.
TEST_F(FileBoxTest, AFolderThatCannotBeListedShowsNothing) {
    box->SetDirectory(sub);
    select("a.txt");
    for (const QString& folder : {root + "/nowhere", sub + "/a.txt"}) {
        box->SetDirectory(folder);
        EXPECT_EQ(box->Directory(), folder);
        EXPECT_EQ(captions(*box), QStringList()) << folder.toStdString();
        EXPECT_EQ(box->FileCount(), 0);
        EXPECT_EQ(box->FileName(), sub + "/a.txt");
    }
    // A volume's root always leads to the drives.
    box->SetDirectory(root);
    EXPECT_EQ(captions(*box), (QStringList{" ..", " sub"}));
}

// Before any folder is set the list shows the working folder; at a volume's root its " .."
// leads to the drives there too, and entries lie in the folder that was listed.
TEST_F(FileBoxTest, TheWorkingFolderListedBeforeAnyFolderIsSet) {
    const QString old = QDir::currentPath();
    QDir::setCurrent(root);
    std::unique_ptr<TFileBox> fresh = newBox();
    EXPECT_EQ(fresh->topLevelItemCount(), 0); // nothing is read before it is shown
    fresh->show();
    QDir::setCurrent(old);
    EXPECT_EQ(captions(*fresh), (QStringList{" ..", " sub"}));
    EXPECT_EQ(fresh->Directory(), "");

    fresh->setCurrentItem(item(*fresh, " sub"));
    fresh->DblClick();
    EXPECT_EQ(fresh->Directory(), sub);

    QDir::setCurrent(root);
    fresh = newBox();
    fresh->show();
    QDir::setCurrent(old);
    fresh->setCurrentItem(item(*fresh, " .."));
    fresh->DblClick();
    EXPECT_EQ(fresh->Directory(), "");
    EXPECT_EQ(captions(*fresh), (QStringList{" /", " " + root}));
}

// Icons are looked up for the rows a view shows, once it has shown them: reading a folder,
// however large, looks up none, and the first frame waits for none; the icons then arrive.
TEST_F(FileBoxTest, IconsArriveOnceTheListIsShown) {
    for (int i = 0; i < 200; ++i)
        writeFile(QStringLiteral("%1/many%2.txt").arg(sub).arg(i));
    box->SetDirectory(sub);
    EXPECT_EQ(box->FileCount(), 206);
    const QIcon before = item(*box, "a.txt")->icon(0);
    EXPECT_EQ(before.actualSize(QSize(16, 16)), QSize(16, 16)); // rows keep their height
    EXPECT_NE(before.pixmap(16, 16).toImage().pixel(8, 8), QColor(Qt::red).rgb());
    EXPECT_EQ(iconLookups, 0);

    box->resize(160, 120);
    box->show();
    box->grab(); // the first frame
    EXPECT_EQ(iconLookups, 0);
    ASSERT_TRUE(ProcessEventsUntil([&] {
        box->grab(); // paints the rows in view
        return iconLookups > 0;
    }));
    EXPECT_LT(iconLookups, 50);
    const QIcon after = item(*box, "a.txt")->icon(0);
    EXPECT_EQ(after.pixmap(16, 16).toImage().pixel(8, 8), QColor(Qt::red).rgb());
    const int shown = iconLookups;
    EXPECT_FALSE(item(*box, "a.txt")->icon(0).isNull());
    EXPECT_EQ(iconLookups, shown); // looked up once per row
}

// Entering a folder shows it from its top, wherever the last one was scrolled to.
TEST_F(FileBoxTest, EnteringAFolderShowsItFromTheTop) {
    QDir(sub).mkpath("docs/more");
    for (int i = 0; i < 60; ++i) {
        writeFile(QStringLiteral("%1/f%2.txt").arg(sub).arg(i));
        writeFile(QStringLiteral("%1/docs/g%2.txt").arg(sub).arg(i));
    }
    box->resize(160, 120);
    box->show();
    box->SetDirectory(sub);
    QApplication::processEvents();
    QScrollBar* bar = box->verticalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_GT(bar->value(), 20);

    select(" docs");
    box->DblClick();
    ASSERT_EQ(box->Directory(), sub + "/docs");
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(box->visualItemRect(box->topLevelItem(0)).top(), 0);
}
