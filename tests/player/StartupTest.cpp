#include "common/EventLoop.h"
#include "common/MessageBoxAnswerer.h"
#include "components/Msg.h"
#include "platform/Files.h"
#include "player/DataWindow.h"
#include "player/MenuTestSupport.h"
#include "player/Player.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Mounts = std::vector<Volumes::MountEntry>;

const Mounts kMounts = Volumes::ParseMountTable("/dev/sda1 / ext4 rw 0 0\n"
                                                "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
                                                "/dev/sdb1 /mnt/data ext4 rw 0 0\n");

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Titles]\r\nTC=Test\r\n");
}

} // namespace

TEST(PathRoutines, AddBackslash) {
    EXPECT_EQ(TForm1::AddBackslash(""), "");
    EXPECT_EQ(TForm1::AddBackslash("C:\\"), "C:\\");
    EXPECT_EQ(TForm1::AddBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(TForm1::AddBackslash("/media/cdrom"), "/media/cdrom/");
    EXPECT_EQ(TForm1::AddBackslash("/media/cdrom/"), "/media/cdrom/");
}

TEST(PathRoutines, ReplaceDriveMarkerEverywhere) {
    EXPECT_EQ(TForm1::ReplaceDriveMarker("?:\\setup.exe", "E:"), "E:\\setup.exe");
    EXPECT_EQ(TForm1::ReplaceDriveMarker("?:\\a;?:\\b", "E:"), "E:\\a;E:\\b");
    EXPECT_EQ(TForm1::ReplaceDriveMarker("/x ?:\\doc.txt", "E:"), "/x E:\\doc.txt");
    EXPECT_EQ(TForm1::ReplaceDriveMarker("??:", "E:"), "?E:");
    EXPECT_EQ(TForm1::ReplaceDriveMarker("?", "E:"), "?");
    EXPECT_EQ(TForm1::ReplaceDriveMarker(":?", "E:"), ":?");
    EXPECT_EQ(TForm1::ReplaceDriveMarker("?:", "E:"), "E:");
    EXPECT_EQ(TForm1::ReplaceDriveMarker("", "E:"), "");
    // Volume roots stand in for drives; the root volume is the empty drive.
    EXPECT_EQ(TForm1::ReplaceDriveMarker("?:\\setup.exe", "/media/cdrom"),
              "/media/cdrom\\setup.exe");
    EXPECT_EQ(TForm1::ReplaceDriveMarker("?:\\a;?:\\b", "/media/cd rom"),
              "/media/cd rom\\a;/media/cd rom\\b");
    EXPECT_EQ(Files::NativePath(TForm1::ReplaceDriveMarker("?:\\setup.exe", "")), "/setup.exe");
}

TEST(PathRoutines, ResolvePathWithDriveLetters) {
    const Mounts none;
    const TPathContext cd{"E:", true, "E:\\base", none};
    const TPathContext hd{"E:", false, "E:\\base", none};
    EXPECT_EQ(TForm1::ResolvePath("", cd), "");
    EXPECT_EQ(TForm1::ResolvePath("C:\\pics\\a.bmp", cd), "E:\\pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("C:\\pics\\a.bmp", hd), "C:\\pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("?:\\pics\\a.bmp", hd), "E:\\pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("?:\\pics\\a.bmp", cd), "E:\\pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("C:", cd), "E:");
    EXPECT_EQ(TForm1::ResolvePath("pics\\a.bmp", cd), "pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath(".\\a.bmp", hd), "E:\\base\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath(".\\a.bmp", cd), "E:\\base\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("..\\a.bmp", hd), "E:\\a.bmp");
    // A whole share is the drive of a network path.
    EXPECT_EQ(TForm1::ResolvePath("\\\\srv\\share\\pics\\a.bmp", cd), "E:\\pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("\\\\srv\\share\\pics\\a.bmp", hd),
              "\\\\srv\\share\\pics\\a.bmp");
    // A path far longer than 255 characters keeps all of them.
    const QString longName = "C:\\" + QString(400, 'x');
    EXPECT_EQ(TForm1::ResolvePath(longName, cd), "E:\\" + QString(400, 'x'));
}

TEST(PathRoutines, ResolvePathWithVolumeRoots) {
    const TPathContext cd{"/media/cdrom", true, "/media/cdrom/sub", kMounts};
    const TPathContext hd{"/media/cdrom", false, "/media/cdrom/sub", kMounts};
    EXPECT_EQ(TForm1::ResolvePath("/mnt/data/pics/a.bmp", cd), "/media/cdrom/pics/a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("/mnt/data/pics/a.bmp", hd), "/mnt/data/pics/a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("/home/u/a.bmp", cd), "/media/cdrom/home/u/a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("/media/cdrom/pics/a.bmp", cd), "/media/cdrom/pics/a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("C:\\pics\\a.bmp", cd), "/media/cdrom\\pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("?:\\pics\\a.bmp", hd), "/media/cdrom\\pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("?:\\pics\\a.bmp", cd), "/media/cdrom\\pics\\a.bmp");
    EXPECT_EQ(TForm1::ResolvePath(".\\a.bmp", hd), "/media/cdrom/sub/a.bmp");
    // The base drive is kept even when the mount table does not know it (any more).
    const TPathContext gone{"/media/cdrom", true, "/", Mounts{}};
    EXPECT_EQ(TForm1::ResolvePath("?:\\a.bmp", gone), "/media/cdrom\\a.bmp");
    // CD mode by the marker on the root volume: every drive becomes the root.
    const TPathContext root{"", true, "/home/u/proj", kMounts};
    EXPECT_EQ(Files::NativePath(TForm1::ResolvePath("C:\\pics\\a.bmp", root)), "/pics/a.bmp");
    EXPECT_EQ(TForm1::ResolvePath("/home/u/a.bmp", root), "/home/u/a.bmp");
}

TEST(PathRoutines, SwapEntryDrive) {
    const Mounts none;
    const TPathContext cd{"E:", true, "E:\\", none};
    const TPathContext hd{"E:", false, "E:\\", none};
    EXPECT_EQ(TForm1::SwapEntryDrive("C:\\x.exe", cd), "E:\\x.exe");
    EXPECT_EQ(TForm1::SwapEntryDrive("C:", cd), "C:");
    EXPECT_EQ(TForm1::SwapEntryDrive("?:\\setup.exe", cd), "E:\\setup.exe");
    EXPECT_EQ(TForm1::SwapEntryDrive("C:\\x.exe", hd), "C:\\x.exe");
    EXPECT_EQ(TForm1::SwapEntryDrive("?:\\setup.exe", hd), "?:\\setup.exe");
    EXPECT_EQ(TForm1::SwapEntryDrive("explorer.exe", cd), "explorer.exe");
    EXPECT_EQ(TForm1::SwapEntryDrive("*open selected file", cd), "*open selected file");
    EXPECT_EQ(TForm1::SwapEntryDrive("http://example.org", cd), "http://example.org");
    EXPECT_EQ(TForm1::SwapEntryDrive("", cd), "");

    const TPathContext vol{"/media/cdrom", true, "/", kMounts};
    EXPECT_EQ(TForm1::SwapEntryDrive("/mnt/data/tools/x", vol), "/media/cdrom/tools/x");
    EXPECT_EQ(TForm1::SwapEntryDrive("/mnt/data", vol), "/mnt/data");
    EXPECT_EQ(TForm1::SwapEntryDrive("C:\\x.exe", vol), "/media/cdrom\\x.exe");
    EXPECT_EQ(TForm1::SwapEntryDrive("?:\\setup.exe", vol), "/media/cdrom\\setup.exe");
}

TEST(PathRoutines, SettleProjectFromTheCommandLine) {
    const QString prog = "C:\\prog\\qor.exe";
    TProjectStart s = TForm1::SettleProject({}, prog, "D:\\work");
    EXPECT_EQ(s.BaseFolder, "C:\\prog\\");
    EXPECT_EQ(s.ProjectFile, "C:\\prog\\qor.qor");
    EXPECT_FALSE(s.ProjectNamed);

    // A bare file name: the program's folder is the base, the file is the one in the start
    // folder (read later, after the working folder has changed).
    s = TForm1::SettleProject({"my.qor"}, prog, "D:\\work");
    EXPECT_EQ(s.BaseFolder, "C:\\prog\\");
    EXPECT_EQ(s.ProjectFile, "D:\\work\\my.qor");
    EXPECT_TRUE(s.ProjectNamed);

    s = TForm1::SettleProject({".\\sub\\qor.qor"}, prog, "D:\\work");
    EXPECT_EQ(s.BaseFolder, "D:\\work\\sub\\");
    EXPECT_EQ(s.ProjectFile, "D:\\work\\sub\\qor.qor");

    s = TForm1::SettleProject({"E:\\qor.qor", "ignored"}, prog, "D:\\work");
    EXPECT_EQ(s.BaseFolder, "E:\\");
    EXPECT_EQ(s.ProjectFile, "E:\\qor.qor");

    s = TForm1::SettleProject({"./sub/qor.qor"}, "/opt/t/menu", "/home/u");
    EXPECT_EQ(s.BaseFolder, "/home/u/sub/");
    EXPECT_EQ(s.ProjectFile, "/home/u/sub/qor.qor");
    s = TForm1::SettleProject({"sub/qor.qor"}, "/opt/t/menu", "/home/u");
    EXPECT_EQ(s.BaseFolder, "/home/u/sub/");
    EXPECT_EQ(s.ProjectFile, "/home/u/sub/qor.qor");
    s = TForm1::SettleProject({}, "/opt/t/menu", "/home/u");
    EXPECT_EQ(s.BaseFolder, "/opt/t/");
    EXPECT_EQ(s.ProjectFile, "/opt/t/qor.qor");
    s = TForm1::SettleProject({""}, "/opt/t/menu", "/home/u");
    EXPECT_EQ(s.BaseFolder, "/opt/t/");
    EXPECT_EQ(s.ProjectFile, "");
}

TEST(PathRoutines, BaseDrive) {
    EXPECT_EQ(TForm1::BaseDriveOf("E:\\", kMounts), "E:");
    EXPECT_EQ(TForm1::BaseDriveOf("\\\\srv\\share\\dir\\", kMounts), "\\\\srv\\share");
    EXPECT_EQ(TForm1::BaseDriveOf("/media/cdrom/sub/", kMounts), "/media/cdrom");
    EXPECT_EQ(TForm1::BaseDriveOf("/media/cdrom/", kMounts), "/media/cdrom");
    EXPECT_EQ(TForm1::BaseDriveOf("/no-such-folder/sub/", kMounts), "");
}

// The menu window in this process, on temporary folders, with the program file and
// arguments given.
class MenuWindowStart : public MenuWindowTest {
protected:
    TPlayerEnvironment environment(QStringList arguments) const {
        return Environment(std::move(arguments));
    }
    TForm1* start(TPlayerEnvironment env) { return Start(std::move(env)); }
};

TEST_F(MenuWindowStart, MissingProjectEndsBeforeAnyOtherWindow) {
    try {
        CreatePlayerWindows(environment({root_ + "/proj/qor.qor"}));
        FAIL() << "no halt";
    } catch (const EHalt& halt) {
        EXPECT_EQ(halt.ExitCode, 0);
    }
    EXPECT_EQ(Application().Forms().size(), 1u);
    EXPECT_TRUE(boxes_.Boxes().empty());

    // Without an argument the project is "qor.qor" beside the program.
    EXPECT_THROW(CreatePlayerWindows(environment({})), EHalt);
}

TEST_F(MenuWindowStart, ParksThenActivatesLaidOut) {
    touch(root_ + "/proj/qor.qor");
    QDir::setCurrent(root_ + "/prog"); // the start folder differs from the base folder
    TForm1* form = CreatePlayerWindows(environment({"../proj/qor.qor"}));
    // The menu window and the about box; the item-table window follows the first frame.
    ASSERT_EQ(Application().Forms().size(), 2u);
    EXPECT_EQ(form->Data, nullptr);
    EXPECT_EQ(Application().MainForm(), form);
    EXPECT_EQ(form->pos(), QPoint(-1000, -1000));
    EXPECT_EQ(form->size(), QSize(1, 1));
    EXPECT_EQ(form->BaseFolder, root_ + "/proj/");
    EXPECT_EQ(form->ProjectFile, root_ + "/proj/qor.qor");
    EXPECT_TRUE(form->ProjectNamed);
    EXPECT_FALSE(form->FirstActivationDone);

    form->show();
    ASSERT_TRUE(ProcessEventsUntil([form] { return form->FirstActivationDone; }));
    EXPECT_FALSE(form->CdMode);
    EXPECT_EQ(form->size(), QSize(642, 400));
    EXPECT_EQ(form->frameGeometry().topLeft(), CentredOnScreen(form->frameGeometry()));
    EXPECT_EQ(QDir::currentPath(), root_ + "/proj");
    EXPECT_EQ(form->Msg1->BoxCaption, "Test"); // the project's title
    EXPECT_EQ(form->ResolvePath(".\\a.bmp"), root_ + "/proj/a.bmp");
    EXPECT_EQ(Files::NativePath(form->ReplaceDriveMarker("?:\\x")).right(2), "/x");
    EXPECT_EQ(form->CaptionTexts.size(), 13);
    EXPECT_TRUE(boxes_.Boxes().empty());

    ASSERT_TRUE(ProcessEventsUntil([form] { return form->StartDone; }));
    ASSERT_NE(form->Data, nullptr);
    EXPECT_EQ(Application().Forms().size(), 4u);
    EXPECT_EQ(form->Data->CloseBtn->text(), form->CaptionTexts[8]);

    // Later activations change nothing.
    form->move(10, 10);
    form->DoActivate();
    EXPECT_EQ(form->pos(), QPoint(10, 10));
}

TEST_F(MenuWindowStart, CdModeFromTheMarkerBesideTheProgramOnly) {
    touch(root_ + "/proj/qor.qor");
    touch(root_ + "/proj/cdtest.qor");
    TForm1* form = start(environment({root_ + "/proj/qor.qor"}));
    EXPECT_FALSE(form->CdMode); // a marker in the base folder does not count
    Application().Reset();

    Application().Title = QStringLiteral("Tavolin");
    touch(root_ + "/prog/cdtest.qor");
    form = start(environment({root_ + "/proj/qor.qor"}));
    EXPECT_TRUE(form->CdMode);
    EXPECT_EQ(form->BaseFolder, root_ + "/proj/");
}

TEST_F(MenuWindowStart, CdModeFromTheVolumeOfTheBaseFolder) {
    touch(root_ + "/proj/qor.qor");
    TPlayerEnvironment env = environment({root_ + "/proj/qor.qor"});
    env.Mounts.push_back({"/dev/sr0", root_ + "/proj", "iso9660"});
    TForm1* form = start(std::move(env));
    EXPECT_TRUE(form->CdMode);
    EXPECT_EQ(form->BaseDrive, root_ + "/proj");
    EXPECT_EQ(Files::NativePath(form->ResolvePath("?:\\pics\\a.bmp")), root_ + "/proj/pics/a.bmp");
    EXPECT_EQ(form->SwapEntryDrive("C:\\setup.exe"), root_ + "/proj\\setup.exe");
}

TEST_F(MenuWindowStart, WorkingFolderFailureIsShownOnceAndEndsThePlayer) {
    touch(root_ + "/proj/qor.qor");
    TForm1* form = CreatePlayerWindows(environment({root_ + "/proj/qor.qor"}));
    ASSERT_TRUE(QDir(root_ + "/proj").removeRecursively());
    form->show();
    ASSERT_TRUE(ProcessEventsUntil([form] { return form->FirstActivationDone; }));
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_TRUE(boxes_.Boxes()[0].text.contains(root_ + "/proj/"));
    EXPECT_EQ(boxes_.Boxes()[0].caption, "Tavolin");
    EXPECT_EQ(boxes_.Boxes()[0].style, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(form->size(), QSize(1, 1));
    EXPECT_TRUE(Application().Terminated());

    form->DoActivate();
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

TEST_F(MenuWindowStart, ErrorHandlerShowsTextsAndResetsTheCursor) {
    touch(root_ + "/proj/qor.qor");
    CreatePlayerWindows(environment({root_ + "/proj/qor.qor"}));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    Application().HandleException(nullptr, EMyError("x.exe could not be launched !"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    Application().HandleException(nullptr, EMyError(""));
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "x.exe could not be launched !");
    EXPECT_EQ(boxes_.Boxes()[0].caption, "Tavolin");
    EXPECT_EQ(boxes_.Boxes()[0].style, unsigned(MB_OK | MB_ICONINFORMATION));
}

// The built program itself.
class PlayerProgram : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path()).canonicalPath();
        QDir(root_).mkpath("run");
        QDir(root_).mkpath("xdg");
        QFile::setPermissions(root_ + "/xdg",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        process_.setProgram(QStringLiteral(ORV_BINARY_DIR "/menu"));
        process_.setWorkingDirectory(root_ + "/run");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", root_ + "/xdg");
        process_.setProcessEnvironment(env);
    }
    void TearDown() override {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(30000);
        }
    }

    QTemporaryDir tmp_;
    QString root_;
    QProcess process_;
};

TEST_F(PlayerProgram, EndsSilentlyWithoutItsProject) {
    for (const QStringList& args :
         {QStringList{root_ + "/missing/qor.qor"}, QStringList{"qor.qor"}, QStringList{}}) {
        process_.setArguments(args);
        process_.start();
        ASSERT_TRUE(process_.waitForFinished(60000)) << args.join(' ').toStdString();
        EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process_.exitCode(), 0);
        EXPECT_EQ(process_.readAllStandardOutput(), QByteArray());
        EXPECT_EQ(process_.readAllStandardError(), QByteArray());
    }
}

TEST_F(PlayerProgram, StartsWithAProjectAndActivates) {
    const QString procCwd = QStringLiteral("/proc/%1/cwd");
    if (!QFileInfo(procCwd.arg(QCoreApplication::applicationPid())).exists())
        GTEST_SKIP() << "no way to see another process's working folder here";
    QDir(root_).mkpath("proj");
    touch(root_ + "/proj/qor.qor");
    process_.setArguments({"../proj/qor.qor"});
    process_.start();
    ASSERT_TRUE(process_.waitForStarted(30000));
    // Its first activation makes the base folder its working folder.
    const QString cwd = procCwd.arg(process_.processId());
    EXPECT_TRUE(ProcessEventsUntil(
        [&] {
            return process_.state() != QProcess::Running ||
                   QFileInfo(cwd).symLinkTarget() == root_ + "/proj";
        },
        30000));
    EXPECT_EQ(process_.state(), QProcess::Running) << process_.readAllStandardError().data();
}

// Hostile values all through a project: the program lays itself out and keeps running, and
// (in the sanitizer build) without a report.
TEST_F(PlayerProgram, SurvivesAHostileProject) {
    const QString procCwd = QStringLiteral("/proc/%1/cwd");
    if (!QFileInfo(procCwd.arg(QCoreApplication::applicationPid())).exists())
        GTEST_SKIP() << "no way to see another process's working folder here";
    QDir(root_).mkpath("proj");
    const QString markup = QStringLiteral("<img src=\"/dev/zero\"><b>%s %d %*s</b> 100%");
    const QString longText(1023, QChar('W'));
    QStringList lines{"[Gradient]",
                      "Style=-2147483648",
                      "SColor=2147483647",
                      "EColor=-1",
                      "[Image]",
                      "Active=1",
                      "BmpMode=-7",
                      "BaseColor=-2147483648",
                      "File=notapicture.bmp",
                      "[Icon]",
                      "File=notapicture.ico",
                      "[Sound]",
                      "File=nothing.wav",
                      "[Titles]",
                      "TC=" + markup,
                      "T1=" + longText,
                      "T1_S=2147483647",
                      "T1_F=" + longText,
                      "T2=" + QString(600, '\\'),
                      "T2_S=-2147483648",
                      "CP=" + markup,
                      "CP_C=-2147483648",
                      "[Buttons]",
                      "HelpFile=<#><##>?:?:",
                      "Exit=" + markup,
                      "[Captions]",
                      "00=%",
                      "09=" + markup,
                      "11=" + markup,
                      "12=" + markup,
                      "[FileList]",
                      "BGColor=-1",
                      "FGColor=2147483647",
                      "[Tools]",
                      "AExplorer=1",
                      "AMSInfo=1",
                      "ASoftware=1",
                      "[About]",
                      "Line1=" + markup,
                      "Web=" + markup,
                      "Mail=%",
                      "[Menu]",
                      "Count=2147483647",
                      "CM_S=2147483647"};
    for (int i = 0; i < 12; ++i)
        lines << QStringLiteral("Caption_%1=%2").arg(i).arg(i % 3 ? markup : QString())
              << QStringLiteral("Name_%1=%2").arg(i).arg(i % 2 ? "*" : "<#>?:<##>")
              << QStringLiteral("Param_%1=<##><#>").arg(i);
    lines << "[DB]"
          << "Active=1"
          << "Name=notatable.dbf"
          << "Title=" + markup;
    QFile project(root_ + "/proj/qor.qor");
    ASSERT_TRUE(project.open(QIODevice::WriteOnly));
    project.write(lines.join("\r\n").toUtf8());
    project.close();
    for (const char* name : {"notapicture.bmp", "notapicture.ico", "notatable.dbf"}) {
        QFile f(root_ + "/proj/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(3000, '\x5a'));
    }

    process_.setArguments({root_ + "/proj/qor.qor"});
    process_.start();
    ASSERT_TRUE(process_.waitForStarted(30000));
    const QString cwd = procCwd.arg(process_.processId());
    EXPECT_TRUE(ProcessEventsUntil(
        [&] {
            return process_.state() != QProcess::Running ||
                   QFileInfo(cwd).symLinkTarget() == root_ + "/proj";
        },
        30000));
    // The layout follows at once; a crash in it would end the program well within this.
    EXPECT_FALSE(process_.waitForFinished(3000));
    const QByteArray errors = process_.readAllStandardError();
    EXPECT_EQ(process_.state(), QProcess::Running) << errors.data();
    EXPECT_FALSE(errors.contains("runtime error")) << errors.data();
    EXPECT_FALSE(errors.contains("Sanitizer")) << errors.data();
}

// Without a display the player still ends silently when it has no project; with one it says
// in one line why it cannot show the menu and ends with an error, not with an abort.
TEST_F(PlayerProgram, WithoutADisplay) {
    QProcessEnvironment env = process_.processEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    process_.setProcessEnvironment(env);

    process_.setArguments({root_ + "/missing/qor.qor"});
    process_.start();
    ASSERT_TRUE(process_.waitForFinished(60000));
    EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process_.exitCode(), 0);
    EXPECT_EQ(process_.readAllStandardError(), QByteArray());

    QDir(root_).mkpath("proj");
    touch(root_ + "/proj/qor.qor");
    // Qt's own options are no project file.
    process_.setArguments({"-platform", "xcb", root_ + "/proj/qor.qor"});
    process_.start();
    ASSERT_TRUE(process_.waitForFinished(60000));
    const QByteArray errors = process_.readAllStandardError();
    EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit) << errors.data();
    EXPECT_NE(process_.exitCode(), 0);
    EXPECT_EQ(errors.count('\n'), 1) << errors.data();
    EXPECT_TRUE(errors.endsWith('\n'));
    EXPECT_TRUE(errors.contains("display")) << errors.data();

    // Without its runtime folder, or with a platform plugin that is not there or cannot be
    // loaded, it says what is missing instead: the display is not in question.
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORV_BINARY_DIR "/menu"), root_ + "/run/menu"));
    process_.setProgram(root_ + "/run/menu");
    const QString platforms = root_ + "/run/qor-runtime/plugins/platforms";
    // Each case has more of the runtime: none, the folder alone, a damaged plugin.
    for (const char* said : {"qor-runtime is missing", "plugin \"xcb\" is missing from",
                             "plugin \"xcb\" cannot be loaded"}) {
        process_.start();
        ASSERT_TRUE(process_.waitForFinished(60000));
        const QByteArray told = process_.readAllStandardError();
        EXPECT_NE(process_.exitCode(), 0);
        EXPECT_EQ(told.count('\n'), 1) << told.data();
        EXPECT_TRUE(told.contains(said) && !told.contains("display")) << told.data();
        if (QDir(platforms).exists())
            touch(platforms + "/libqxcb.so");
        QDir(platforms).mkpath(".");
    }
}
