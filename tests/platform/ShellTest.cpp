#include "platform/Shell.h"
#include "common/StartRecorder.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Recorder = QStringLiteral(ORV_RECORDARGS);

void writeFile(const QString& path, const QByteArray& bytes = "text") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Sets an environment variable for the lifetime of the object.
class EnvScope {
public:
    EnvScope(const char* name, const QString& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvScope() { qputenv(name_, old_); }

private:
    const char* name_;
    QByteArray old_;
};

// The recorder stands in for the desktop's opener during each test.
class ShellTest : public testing::Test {
protected:
    void SetUp() override { Shell::SetDesktopOpener(Recorder); }
    void TearDown() override { Shell::SetDesktopOpener(QString()); }

    // Opens `file` and returns what the opener was given.
    QStringList openerArgs(const QString& file, const QString& params = {}) {
        EXPECT_GT(ShellExecuteA(nullptr, QString(), file, params, QString(), SW_SHOWNORMAL), 32);
        const auto start = rec.Wait();
        return start ? start->args : QStringList{QStringLiteral("<nothing started>")};
    }

    StartRecorder rec;
};

} // namespace

TEST(ShellSplit, WindowsCommandLineRules) {
    using Shell::SplitParameters;
    EXPECT_EQ(SplitParameters(""), QStringList());
    EXPECT_EQ(SplitParameters("  a \t b  "), (QStringList{"a", "b"}));
    EXPECT_EQ(SplitParameters(R"("a b" c)"), (QStringList{"a b", "c"}));
    EXPECT_EQ(SplitParameters(R"(x"a b"y)"), (QStringList{"xa by"}));
    EXPECT_EQ(SplitParameters(R"(C:\dir\file)"), (QStringList{R"(C:\dir\file)"}));
    EXPECT_EQ(SplitParameters(R"(a\"b)"), (QStringList{R"(a"b)"}));
    EXPECT_EQ(SplitParameters(R"(a\\"b c")"), (QStringList{R"(a\b c)"}));
    EXPECT_EQ(SplitParameters(R"(a\\\"b)"), (QStringList{R"(a\"b)"}));
    EXPECT_EQ(SplitParameters(R"("C:\My Dir\\" next)"), (QStringList{R"(C:\My Dir\)", "next"}));
    EXPECT_EQ(SplitParameters(R"("" x)"), (QStringList{"", "x"}));
    EXPECT_EQ(SplitParameters(R"("a""b")"), (QStringList{R"(a"b)"}));
    EXPECT_EQ(SplitParameters(R"("open end)"), (QStringList{"open end"}));
}

TEST(ShellSplit, ProgramAndRest) {
    EXPECT_EQ(Shell::SplitProgram(R"(rundll32.exe shell32.dll,X  a)"),
              (std::pair<QString, QString>{"rundll32.exe", "shell32.dll,X  a"}));
    EXPECT_EQ(Shell::SplitProgram(R"(  "C:\Program Files\a.exe" "x y")"),
              (std::pair<QString, QString>{R"(C:\Program Files\a.exe)", R"("x y")"}));
    EXPECT_EQ(Shell::SplitProgram(""), (std::pair<QString, QString>{"", ""}));
}

TEST_F(ShellTest, ProgramGetsSplitParametersAndWorkingFolderWithoutAnyShell) {
    // A program whose name and parameters are full of shell syntax: none of it may act.
    const QString program = rec.InstallAs(Recorder, QStringLiteral("we;ird $(x) `y`|z.sh"));
    QTemporaryDir work;
    const QString params =
        R"(plain "two words" a\"q ; $(touch pwned1) `touch pwned2` | tee pwned3 & x > pwned4)";
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), program, params, work.path(), SW_SHOWNORMAL),
              SHELL_EXECUTE_OK);
    const auto start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, QDir(work.path()).canonicalPath());
    EXPECT_EQ(start->args,
              (QStringList{"plain", "two words", R"(a"q)", ";", "$(touch", "pwned1)", "`touch",
                           "pwned2`", "|", "tee", "pwned3", "&", "x", ">", "pwned4"}));
    for (const QString& dir : {work.path(), rec.Folder(), QDir::currentPath()})
        EXPECT_TRUE(QDir(dir).entryList({"pwned*"}).isEmpty()) << dir.toStdString();
}

TEST_F(ShellTest, ProgramWithoutWorkingFolderInheritsOursAndTakesBackslashes) {
    const QString program = rec.InstallAs(Recorder, QStringLiteral("rec"));
    QString windowsStyle = program;
    windowsStyle.replace('/', '\\');
    EXPECT_EQ(ShellExecuteA(nullptr, "open", windowsStyle, QString(), QString(), SW_SHOWNORMAL),
              SHELL_EXECUTE_OK);
    const auto start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, QDir::current().canonicalPath());
    EXPECT_TRUE(start->args.isEmpty());
}

TEST_F(ShellTest, RefusedStartsAnswer32OrLess) {
    const QString dir = rec.Folder();
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), dir + "/missing.exe", "", "", 1),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), dir + "/nofolder/x.exe", "", "", 1),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), "", "", "", 1), ERROR_FILE_NOT_FOUND);
    writeFile(dir + "/doc.txt");
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), dir + "/doc.txt", "", dir + "/gone", 1),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(ShellExecuteA(nullptr, "print", dir + "/doc.txt", "", "", 1), SE_ERR_NOASSOC);
    Shell::SetDesktopOpener(dir + "/no-opener");
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), dir + "/doc.txt", "", "", 1), SE_ERR_NOASSOC);
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), "https://example.org", "", "", 1), SE_ERR_NOASSOC);
}

TEST_F(ShellTest, DocumentsFoldersAndAddressesGoToTheOpener) {
    const QString dir = QDir(rec.Folder()).canonicalPath();
    QDir(dir).mkdir("sub");
    writeFile(dir + "/sub/doc.txt");
    EXPECT_EQ(openerArgs(dir + "/sub/doc.txt", "ignored"), QStringList{dir + "/sub/doc.txt"});
    EXPECT_EQ(openerArgs(dir + "/sub"), QStringList{dir + "/sub"});
    EXPECT_EQ(openerArgs("http://example.org/a?b=1&c=2"),
              QStringList{"http://example.org/a?b=1&c=2"});
    EXPECT_EQ(openerArgs("HTTPS://example.org"), QStringList{"HTTPS://example.org"});
    EXPECT_EQ(openerArgs("mailto:someone@example.org"), QStringList{"mailto:someone@example.org"});

    // A relative name in Windows style is found from the current folder.
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir);
    const QStringList relative = openerArgs(R"(sub\doc.txt)");
    QDir::setCurrent(old);
    EXPECT_EQ(relative, QStringList{dir + "/sub/doc.txt"});
}

TEST_F(ShellTest, ExecutableTextIsADocumentNotACommand) {
    // CDs often mark every file executable; a text file must still only be opened.
    const QString dir = QDir(rec.Folder()).canonicalPath();
    writeFile(dir + "/readme.txt", "touch pwned\n");
    QFile::setPermissions(dir + "/readme.txt", QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(openerArgs(dir + "/readme.txt"), QStringList{dir + "/readme.txt"});
    EXPECT_TRUE(QDir(dir).entryList({"pwned"}).isEmpty());
}

TEST_F(ShellTest, ExplorerOpensTheFileManager) {
    const QString dir = QDir(rec.Folder()).canonicalPath();
    EXPECT_EQ(openerArgs("EXPLORER.EXE", dir), QStringList{dir});
    EXPECT_EQ(openerArgs("explorer.exe ", "\"" + dir + "\""), QStringList{dir});
    EXPECT_EQ(openerArgs("explorer.exe"), QStringList{QDir::homePath()});
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), "explorer.exe", dir + "/missing", "", 1),
              ERROR_PATH_NOT_FOUND);
}

TEST_F(ShellTest, OpenerFromTheEnvironment) {
    Shell::SetDesktopOpener(QString());
    EnvScope env("ORV_DESKTOP_OPENER", Recorder);
    EXPECT_EQ(Shell::DesktopOpener(), Recorder);
    EXPECT_EQ(openerArgs("mailto:a@b.c"), QStringList{"mailto:a@b.c"});
}

TEST_F(ShellTest, WindowsProgramsRunThroughWineWhenThereIsOne) {
    const QString dir = QDir(rec.Folder()).canonicalPath();
    writeFile(dir + "/setup.exe", "MZ\x90\x00");
    QDir(dir).mkdir("bin");
    {
        EnvScope path("PATH", dir + "/bin");
        EXPECT_EQ(ShellExecuteA(nullptr, QString(), dir + "/setup.exe", "/S", "", 1),
                  SE_ERR_NOASSOC);
    }
    QFile::copy(Recorder, dir + "/bin/wine");
    QFile::setPermissions(dir + "/bin/wine", QFile::ReadOwner | QFile::ExeOwner);
    EnvScope path("PATH", dir + "/bin");
    EXPECT_EQ(ShellExecuteA(nullptr, QString(), dir + "/setup.exe", R"(/S "C:\x y")", dir, 1),
              SHELL_EXECUTE_OK);
    const auto start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, (QStringList{dir + "/setup.exe", "/S", R"(C:\x y)"}));
    EXPECT_EQ(start->folder, dir);
}

TEST_F(ShellTest, WinExecStartsProgramsAndMapsTheProgramListToTheSoftwareCentre) {
    const QString dir = QDir(rec.Folder()).canonicalPath();
    QDir(dir).mkdir("bin");
    const QString appwiz = QStringLiteral("rundll32.exe shell32.dll,Control_RunDLL APPWIZ.CPL");
    {
        EnvScope path("PATH", dir + "/bin");
        EXPECT_LE(WinExec(appwiz, SW_SHOWNORMAL), 32);
    }
    QFile::copy(Recorder, dir + "/bin/gnome-software");
    QFile::setPermissions(dir + "/bin/gnome-software", QFile::ReadOwner | QFile::ExeOwner);
    {
        EnvScope path("PATH", dir + "/bin");
        EXPECT_EQ(WinExec(appwiz, SW_SHOWNORMAL), SHELL_EXECUTE_OK);
        const auto start = rec.Wait();
        ASSERT_TRUE(start);
        EXPECT_EQ(start->args, QStringList{"--mode=installed"});
        EXPECT_LE(WinExec("rundll32.exe user32.dll,LockWorkStation", SW_SHOWNORMAL), 32);
    }
    const QString program = rec.InstallAs(Recorder, "my prog");
    EXPECT_EQ(WinExec("\"" + program + "\" a \"b c\" ;ls", SW_SHOWNORMAL), SHELL_EXECUTE_OK);
    const auto start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, (QStringList{"a", "b c", ";ls"}));
    writeFile(dir + "/notes.txt");
    EXPECT_LE(WinExec(dir + "/notes.txt", SW_SHOWNORMAL), 32);
    EXPECT_LE(WinExec("", SW_SHOWNORMAL), 32);
}

TEST_F(ShellTest, SystemInformationIsTheFirstOfTheDesktopsProgramsFound) {
    const QString bin = rec.Folder() + "/", msinfo = R"(\MSInfo\msinfo32.EXE)";
    const QStringList preferred{"hardinfo", "gnome-system-monitor", "kinfocenter"};
    for (const QString& name : preferred) {
        writeFile(bin + name, ("#!/bin/sh\nexec '" + Recorder + "' " + name).toUtf8());
        QFile::setPermissions(bin + name, QFile::ReadOwner | QFile::ExeOwner);
    }
    EnvScope path("PATH", bin);
    // Each program found is taken away in turn, down to none.
    for (const QString& name : preferred) {
        EXPECT_EQ(ShellExecuteA(nullptr, {}, msinfo, "", "", 1), SHELL_EXECUTE_OK);
        EXPECT_EQ(rec.Wait().value_or(StartRecorder::Start{}).args, QStringList{name});
        QFile::remove(bin + name);
    }
    EXPECT_EQ(ShellExecuteA(nullptr, {}, msinfo, "", "", 1), ERROR_FILE_NOT_FOUND);
}

TEST_F(ShellTest, AFindFileOpensTheSearchWindowWhereTheProgramHasOne) {
    const QString dir = QDir(rec.Folder()).canonicalPath();
    writeFile(dir + "/qor.fnd", "");
    EXPECT_EQ(openerArgs(dir + "/qor.fnd"), QStringList{dir + "/qor.fnd"});
    QStringList opened;
    Shell::SetFindWindowOpener([&](QObject*, const QString& folder) {
        opened << folder;
        return true;
    });
    EXPECT_EQ(ShellExecuteA(nullptr, {}, dir + "/qor.fnd", "", dir, 1), SHELL_EXECUTE_OK);
    EXPECT_EQ(ShellExecuteA(nullptr, {}, dir + "/qor.fnd", "", "", 1), SHELL_EXECUTE_OK);
    Shell::SetFindWindowOpener({});
    EXPECT_EQ(opened, QStringList({dir, QDir::currentPath()}));
}

TEST(Registry, NothingIsFoundAndTheVersionIsCurrent) {
    HKEY key = reinterpret_cast<HKEY>(std::uintptr_t(1));
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, R"(Software\Microsoft\Shared Tools)", 0,
                            KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(key, nullptr);
    std::uint32_t type = REG_SZ, size = 99;
    EXPECT_NE(RegQueryValueExA(key, "SharedFilesDir", nullptr, &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    EXPECT_GE(GetVersion() & 0xff, 4u);
}
