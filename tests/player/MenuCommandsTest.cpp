#include "common/ShellAnswerer.h"
#include "common/StartRecorder.h"
#include "components/MediaFile.h"
#include "framework/forms/InputBox.h"
#include "platform/ui/FileSearchWindow.h"
#include "player/AboutBox.h"
#include "player/DataWindow.h"
#include "player/MenuControls.h"
#include "player/MenuTestSupport.h"

#include <QComboBox>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

QStringList entry(int i, const QString& name, const QString& path = "", const QString& param = "",
                  const QString& exit = "0") {
    const QString n = QString::number(i);
    return {"Caption_" + n + "=Entry " + n, "Name_" + n + "=" + name, "Path_" + n + "=" + path,
            "Param_" + n + "=" + param,     "Exit_" + n + "=" + exit, "Item_" + n + "=0"};
}

// A project whose menu holds the entries given, each a list from entry().
QStringList menu(const QList<QStringList>& entries, const QStringList& more = {}) {
    QStringList lines{"[Titles]", "TC=Test menu", "[Menu]",
                      "Count=" + QString::number(entries.size())};
    for (const QStringList& e : entries)
        lines << e;
    return lines + more;
}

// Copies the recording program to `path` as an executable.
void installTool(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORV_RECORDARGS), path));
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ReadOwner);
}

void clickEntry(TForm1* form, int i) {
    QTest::mouseClick(form->EntryLabels[i], Qt::LeftButton);
}

// Shows the folder in the file list and selects the entry with this caption.
void selectInList(TForm1* form, const QString& folder, const QString& caption) {
    form->FileBox1->SetDirectory(folder);
    const QList<QTreeWidgetItem*> items = form->FileBox1->findItems(caption, Qt::MatchExactly, 0);
    ASSERT_EQ(items.size(), 1) << caption.toStdString();
    form->FileBox1->setCurrentItem(items[0]);
    items[0]->setSelected(true);
}

bool listed(TForm1* form, const QString& caption) {
    return !form->FileBox1->findItems(caption, Qt::MatchExactly, 0).isEmpty();
}

} // namespace

TEST_F(MenuWindowTest, EntriesStartProgramsWithThePlaceholdersResolved) {
    installTool(root_ + "/docs/tool");
    Write("docs/report.txt", "r");
    Project(menu({entry(0, "<#>\\tool", "", "\"<##>\" <#> x<#>y"),
                  entry(1, "<#>\\tool", "<#>\\sub", "<#>")}));
    QDir(root_).mkpath("docs/sub");
    TForm1* form = Start();
    selectInList(form, root_ + "/docs", "report.txt");
    StartRecorder rec;
    clickEntry(form, 0);
    std::optional<StartRecorder::Start> start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, root_ + "/docs"); // an empty folder: the file's own
    EXPECT_EQ(start->args,
              (QStringList{root_ + "/docs/report.txt", root_ + "/docs", "x" + root_ + "/docsy"}));

    // Selecting a folder leaves the file name at the file selected before.
    selectInList(form, root_ + "/docs", " sub");
    clickEntry(form, 1);
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, root_ + "/docs/sub");
    EXPECT_EQ(start->args, (QStringList{root_ + "/docs"}));
    EXPECT_FALSE(Application().Terminated());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MenuWindowTest, TheDriveMarkerStandsForTheBaseDrive) {
    installTool(root_ + "/proj/bin/tool");
    // In CD mode every stored drive is the player's own; the folder and the parameters only
    // get the marker replaced.
    Project(menu({entry(0, "?:\\bin\\tool", "", "?:\\x"), entry(1, "C:\\bin\\tool", "?:\\bin")}));
    TForm1* form = Start({{"/dev/sr0", root_ + "/proj", "iso9660"}});
    ASSERT_TRUE(form->CdMode);
    StartRecorder rec;
    clickEntry(form, 0);
    std::optional<StartRecorder::Start> start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, root_ + "/proj/bin");
    EXPECT_EQ(start->args, (QStringList{root_ + "/proj\\x"}));
    clickEntry(form, 1);
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, root_ + "/proj/bin");
    Application().Reset();

    // Outside CD mode the marker is replaced, other drives are left alone.
    Project(menu({entry(0, "?:\\proj\\bin\\tool"), entry(1, "C:\\bin\\tool")}));
    form = Start({{"/dev/sdb1", root_, "ext4"}});
    ASSERT_FALSE(form->CdMode);
    clickEntry(form, 0);
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, root_ + "/proj/bin");
    clickEntry(form, 1);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "C:\\bin\\tool could not be launched !");
}

TEST_F(MenuWindowTest, WorkingFolderRules) {
    installTool(root_ + "/proj/bin/tool");
    Project(menu({entry(0, "bin\\tool", "."), entry(1, "bin\\tool", ""),
                  entry(2, "bin\\tool", root_ + "/prog")}));
    TForm1* form = Start();
    StartRecorder rec;
    clickEntry(form, 0);
    std::optional<StartRecorder::Start> start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, root_ + "/proj"); // none passed: the base folder applies
    clickEntry(form, 1);
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, root_ + "/proj/bin");
    clickEntry(form, 2);
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->folder, root_ + "/prog");
    EXPECT_TRUE(start->args.isEmpty());
}

TEST_F(MenuWindowTest, ThePlayerClosesAfterAStartUnlessTheEntrySaysZero) {
    installTool(root_ + "/proj/tool");
    for (const QString& flag : {QString("1"), QString(""), QString("yes")}) {
        Project(menu({entry(0, "tool", "", "", flag)}));
        TForm1* form = Start();
        StartRecorder rec;
        clickEntry(form, 0);
        EXPECT_TRUE(rec.Wait()) << flag.toStdString();
        EXPECT_TRUE(Application().Terminated()) << flag.toStdString();
        EXPECT_FALSE(form->isVisible());
        Application().Reset();
    }

    // Commands never close the player; only "*exit" does.
    Project(menu({entry(0, "*show/hide filelist", "", "", "1"), entry(1, "*exit", "", "", "0")}));
    TForm1* form = Start();
    clickEntry(form, 0);
    EXPECT_TRUE(form->Panel1->isHidden());
    EXPECT_FALSE(Application().Terminated());
    clickEntry(form, 0);
    EXPECT_FALSE(form->Panel1->isHidden());
    clickEntry(form, 1);
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(MenuWindowTest, ARefusedStartIsShownAndThePlayerStaysOpen) {
    Write("proj/plain.txt", "no program");
    Project(menu(
        {entry(0, "missing.exe", "", "", "1"), entry(1, "tool", "no-such-folder"), entry(2, "")}));
    TForm1* form = Start();
    clickEntry(form, 0);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "missing.exe could not be launched !");
    EXPECT_EQ(boxes_.Boxes()[0].caption, "Test menu");
    EXPECT_EQ(boxes_.Boxes()[0].style, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_FALSE(Application().Terminated());
    EXPECT_TRUE(form->isVisible());

    // An entry without a file starts nothing, silently.
    boxes_.Clear();
    clickEntry(form, 2);
    EXPECT_TRUE(boxes_.Boxes().empty());

    // The launch routine itself: nothing for an empty file, the error otherwise.
    EXPECT_NO_THROW(form->RunFile("", "x", "y"));
    EXPECT_THROW(form->RunFile("?:\\none.exe", "", ""), EMyError);
}

TEST_F(MenuWindowTest, WhatTheDesktopFailsToOpenIsALaunchError) {
    // The desktop's opener fails as xdg-open does when the type's application cannot start.
    Write("opener", "#!/bin/sh\nexit 4\n");
    QFile::setPermissions(root_ + "/opener", QFile::ReadOwner | QFile::ExeOwner);
    Write("proj/readme.txt", "read me");
    Project(menu({entry(0, "readme.txt", "", "", "1")}, {"[Buttons]", "HelpFile=readme.txt"}));
    TForm1* form = Start();
    Shell::SetDesktopOpener(root_ + "/opener");
    for (const auto& [clicked, file] :
         {std::pair<QWidget*, QString>(form->EntryLabels[0], "readme.txt"),
          {form->HelpBtn, root_ + "/proj/readme.txt"}}) {
        boxes_.Clear();
        QTest::mouseClick(clicked, Qt::LeftButton);
        ASSERT_TRUE(ProcessEventsUntil([&] { return !boxes_.Boxes().empty(); }));
        EXPECT_EQ(boxes_.Boxes()[0].text, file + " could not be launched !");
        EXPECT_FALSE(Application().Terminated());
    }
    // Opened: the entry closes the player.
    Shell::SetDesktopOpener(QStringLiteral(ORV_RECORDARGS));
    StartRecorder rec;
    clickEntry(form, 0);
    EXPECT_TRUE(ProcessEventsUntil([] { return Application().Terminated(); }));
}

TEST_F(MenuWindowTest, CommandKeywordsInTheirOrder) {
    Write("docs/report.txt", "r");
    Write("docs/setup.exe", "MZ");
    QDir(root_).mkpath("target");
    Project(menu({entry(0, "*open selected file"), entry(1, "*find files"),
                  entry(2, "setup.exe *copy *open"), entry(3, "*Open"), entry(4, "x *copy")},
                 {"[Captions]", "01=Copy"}));
    TForm1* form = Start();
    selectInList(form, root_ + "/docs", "report.txt");
    StartRecorder rec;

    clickEntry(form, 0); // the desktop opens the selected file in its folder
    std::optional<StartRecorder::Start> start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, (QStringList{root_ + "/docs/report.txt"}));
    EXPECT_EQ(start->folder, root_ + "/docs");

    clickEntry(form, 1); // the find file is made beside the program and opens the search
    EXPECT_TRUE(QFileInfo(root_ + "/prog/qor.fnd").isFile());
    TFileSearchWindow* search = form->findChild<TFileSearchWindow*>();
    ASSERT_TRUE(search);

    // "*open" comes first in the order, whatever the name holds before it.
    clickEntry(form, 2);
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, (QStringList{root_ + "/docs/report.txt"}));

    FolderBrowserAnswerer browsers;
    browsers.Queue(root_ + "/target");
    browsers.Queue(std::nullopt);
    clickEntry(form, 4);
    ASSERT_EQ(browsers.Browsers().size(), 1u);
    // An empty start folder: the working folder, which is the base folder by now.
    EXPECT_EQ(browsers.Browsers()[0].title, "Copy : report.txt ...");
    EXPECT_EQ(browsers.Browsers()[0].preselected, root_ + "/proj");
    EXPECT_TRUE(QFileInfo(root_ + "/target/report.txt").isFile());
    EXPECT_TRUE(QFileInfo(root_ + "/docs/report.txt").isFile());
    EXPECT_EQ(form->Data->LastTargetFolder, root_ + "/target");
    // The next copy starts where the last one went.
    clickEntry(form, 4);
    ASSERT_EQ(browsers.Browsers().size(), 2u);
    EXPECT_EQ(browsers.Browsers()[1].preselected, root_ + "/target");

    // Keywords are case-sensitive: "*Open" is a file to start.
    EXPECT_TRUE(boxes_.Boxes().empty());
    clickEntry(form, 3);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "*Open could not be launched !");

    // What the search finds opens through the launch routine.
    search->LookIn->setCurrentText(root_ + "/docs");
    search->FindNow->click();
    ASSERT_TRUE(ProcessEventsUntil([search] { return !search->Searching(); }));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", rec.Folder().toLocal8Bit()); // no wine
    for (const char* name : {"report.txt", "setup.exe"}) {
        const QAbstractItemModel* found = search->Results->model();
        const QModelIndexList items = found->match(found->index(0, 0), Qt::DisplayRole, name);
        ASSERT_EQ(items.size(), 1);
        emit search->Results->activated(items[0]);
    }
    qputenv("PATH", path);
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, (QStringList{root_ + "/docs/report.txt"}));
    ASSERT_EQ(boxes_.Boxes().size(), 2u);
    EXPECT_EQ(boxes_.Boxes()[1].text, root_ + "/docs/setup.exe could not be launched !");
}

TEST_F(MenuWindowTest, TheFindFileInCdMode) {
    Project(menu({entry(0, "*find")}));
    TForm1* form = Start({{"/dev/sr0", root_ + "/proj", "iso9660"}});
    ASSERT_TRUE(form->CdMode);
    clickEntry(form, 0);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, root_ + "/prog/qor.fnd could not be launched !");
    EXPECT_FALSE(QFileInfo::exists(root_ + "/prog/qor.fnd"));

    Write("prog/qor.fnd", "");
    QTest::mouseClick(form->FindBtn, Qt::LeftButton);
    EXPECT_TRUE(form->findChild<TFileSearchWindow*>());
}

TEST_F(MenuWindowTest, HelpAboutAndFunctions) {
    Project(menu({entry(0, "*help"), entry(1, "*show/hide data"), entry(2, "*select", "", ""),
                  entry(3, "*about"), entry(4, "*functions")},
                 {"[Tools]", "AMSInfo=1", "CMSInfo=Info"}));
    TForm1* form = Start();
    // No help file, no table: nothing happens.
    clickEntry(form, 0);
    clickEntry(form, 1);
    clickEntry(form, 2);
    EXPECT_FALSE(form->Data->isVisible());
    EXPECT_TRUE(boxes_.Boxes().empty());

    bool shown = false;
    QTimer::singleShot(0, form, [&] {
        shown = form->About->isVisible();
        form->About->BitBtn1->click();
    });
    clickEntry(form, 3);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(form->About->isVisible());

    clickEntry(form, 4);
    EXPECT_TRUE(form->WinSoftware->isVisible());
    EXPECT_EQ(form->WinSoftware->pos(),
              form->mapToGlobal(
                  QPoint(form->Title2->x() + 38, form->Title2->y() + form->Title2->height() + 38)));
    form->WinSoftware->hide();

    // The registry holds no system-information tool: its path stays incomplete.
    EXPECT_EQ(TForm1::ReadMachineString("Software\\Microsoft\\Shared Tools", "SharedFilesDir"), "");
    StartRecorder rec;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", rec.Folder().toLocal8Bit());
    form->WinSoftware->actions()[0]->trigger();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "\\MSInfo\\MSInfo32.exe could not be launched !");
    rec.InstallAs(QStringLiteral(ORV_RECORDARGS), "kinfocenter"); // the desktop's tool stands in
    form->WinSoftware->actions()[0]->trigger();
    qputenv("PATH", path);
    EXPECT_TRUE(rec.Wait());
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
    Application().Reset();

    Write("proj/readme.txt", "read me");
    Project(menu({entry(0, "*help")}, {"[Buttons]", "HelpFile=readme.txt", "[Tools]", "AExplorer=1",
                                       "CExplorer=Files"}));
    form = Start();
    clickEntry(form, 0);
    std::optional<StartRecorder::Start> start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, (QStringList{root_ + "/proj/readme.txt"}));
    EXPECT_EQ(start->folder, root_ + "/proj");

    // The file manager opens on the home folder.
    form->WinSoftware->actions()[0]->trigger();
    start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, (QStringList{QDir::homePath()}));
}

TEST_F(MenuWindowTest, SelectChoosesAGroupAndShowsTheTable) {
    ItemTable();
    Project(menu({entry(0, "*select", "", "grp02"), entry(1, "*select", "", ""),
                  entry(2, "*show/hide data"), entry(3, "*select", "", "* * *")},
                 {"[DB]", "Active=1", "Name=qor.dbf", "[DB-Groups]", "01=One", "02=Two",
                  "[DB-Identifiers]", "01=grp01", "02=grp02"}));
    TForm1* form = Start();
    TData* data = form->Data;
    // An empty parameter matches no group (the slots past the list are never chosen).
    clickEntry(form, 1);
    EXPECT_FALSE(data->isVisible());
    EXPECT_EQ(data->Groups->currentIndex(), 0);

    clickEntry(form, 0);
    EXPECT_TRUE(data->isVisible());
    EXPECT_EQ(data->Groups->currentIndex(), 1);
    EXPECT_EQ(data->RecordFilterText(), "grp02");
    EXPECT_TRUE(data->TableActive());

    clickEntry(form, 2); // the Tables command toggles the window
    EXPECT_FALSE(data->isVisible());
    QTest::mouseClick(form->TablesBtn, Qt::LeftButton);
    EXPECT_TRUE(data->isVisible());

    clickEntry(form, 3);
    EXPECT_EQ(data->Groups->currentIndex(), 2);
    EXPECT_FALSE(data->TableFiltered());
}

TEST_F(MenuWindowTest, FileListCommands) {
    Write("docs/a.txt", "a");
    Write("docs/b.txt", "b");
    Write("target/b.txt", "old");
    QDir(root_).mkpath("docs/sub");
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    QDir(root_).mkpath("data");
    qputenv("XDG_DATA_HOME", (root_ + "/data").toLocal8Bit());
    Project({"[Captions]", "02=Move", "03=Delete", "04=Rename"});
    TForm1* form = Start();
    FolderBrowserAnswerer browsers;
    browsers.Queue(root_ + "/target");
    browsers.Queue(root_ + "/target");
    ShellAnswerer shell;
    QStringList names{"../escape.txt", "", "c.txt"};
    QStringList prompts;
    SetInputBoxHook([&](const QString& caption, const QString& prompt, const QString&) {
        prompts << caption + "|" + prompt;
        return names.takeFirst();
    });

    // Nothing selected: nothing happens.
    form->FileBox1->SetDirectory(root_ + "/docs");
    form->Move1->trigger();
    EXPECT_TRUE(browsers.Browsers().empty());

    // Moving onto a file of the same name asks first; refused, the list keeps the file.
    selectInList(form, root_ + "/docs", "b.txt");
    shell.Queue(QMessageBox::No);
    form->Move1->trigger();
    ASSERT_EQ(browsers.Browsers().size(), 1u);
    EXPECT_EQ(browsers.Browsers()[0].title, "Move : b.txt ...");
    ASSERT_EQ(shell.Boxes().size(), 1u);
    EXPECT_EQ(shell.Boxes()[0].caption, "Confirm File Replace");
    EXPECT_TRUE(shell.Boxes()[0].text.startsWith("The folder \"" + root_ +
                                                 "/target\" already contains a file named "
                                                 "\"b.txt\"."));
    EXPECT_TRUE(listed(form, "b.txt"));
    EXPECT_EQ(QFile(root_ + "/target/b.txt").size(), 3);

    selectInList(form, root_ + "/docs", "a.txt");
    form->Move1->trigger();
    EXPECT_TRUE(QFileInfo(root_ + "/target/a.txt").isFile());
    EXPECT_FALSE(listed(form, "a.txt")); // re-read

    // A new name stays a name in the file's folder; an empty answer does nothing.
    shell.Clear();
    selectInList(form, root_ + "/docs", "b.txt");
    form->Rename1->trigger();
    ASSERT_EQ(shell.Boxes().size(), 1u);
    EXPECT_EQ(shell.Boxes()[0].caption, "Error Renaming File");
    form->Rename1->trigger();
    EXPECT_TRUE(QFileInfo(root_ + "/docs/b.txt").isFile());
    form->Rename1->trigger();
    EXPECT_TRUE(QFileInfo(root_ + "/docs/c.txt").isFile());
    EXPECT_TRUE(listed(form, "c.txt"));
    EXPECT_FALSE(QFileInfo::exists(root_ + "/escape.txt"));
    EXPECT_EQ(prompts.first(), "|Rename : b.txt ..."); // the project's empty title

    // A folder entry names nothing that exists.
    shell.Clear();
    selectInList(form, root_ + "/docs", " sub");
    form->Delete1->trigger();
    EXPECT_TRUE(QFileInfo(root_ + "/docs/sub").isDir());
    EXPECT_TRUE(shell.Boxes().empty());

    // Deleted files go to the trash once the user agrees.
    selectInList(form, root_ + "/docs", "c.txt");
    shell.Queue(QMessageBox::No);
    form->Delete1->trigger();
    EXPECT_TRUE(listed(form, "c.txt"));
    form->Delete1->trigger();
    ASSERT_EQ(shell.Boxes().size(), 2u);
    EXPECT_EQ(shell.Boxes()[1].text,
              "Are you sure you want to move \"" + root_ + "/docs/c.txt\" to the trash?");
    EXPECT_FALSE(QFileInfo::exists(root_ + "/docs/c.txt"));
    EXPECT_FALSE(listed(form, "c.txt"));
    EXPECT_TRUE(QFileInfo(root_ + "/data/Trash/files/c.txt").isFile());

    SetInputBoxHook(nullptr);
    if (dataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", dataHome);
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MenuWindowTest, TheIconSwitchesTheSoundOffAndOn) {
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::blue);
    ASSERT_TRUE(icon.save(root_ + "/proj/qor.png"));
    Project({"[Icon]", "File=qor.png", "[Sound]", "File=qor.wav"});
    TForm1* form = Start();
    TMediaFile* media = form->Data->MediaFile1;
    ASSERT_EQ(media->State(), TMediaFile::stPlaying);
    QTest::mouseClick(form->IconImage, Qt::LeftButton);
    EXPECT_EQ(media->State(), TMediaFile::stStopped);
    QTest::mouseClick(form->IconImage, Qt::LeftButton);
    EXPECT_EQ(media->State(), TMediaFile::stPlaying);
    EXPECT_EQ(media->FileName(), root_ + "/proj/qor.wav");
}

TEST(FileOperation, RefusesWhatIsNoLocalFile) {
    TData data;
    QTemporaryDir dir;
    EXPECT_FALSE(data.ShellFileOperation("", "Copy", FO_COPY));
    EXPECT_FALSE(data.ShellFileOperation("http://example.org/a.txt", "Copy", FO_DELETE));
    EXPECT_FALSE(data.ShellFileOperation(dir.path(), "Delete", FO_DELETE));
    EXPECT_FALSE(data.ShellFileOperation(dir.path() + "/missing", "Delete", FO_DELETE));
    QFile f(dir.filePath("x.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_FALSE(data.ShellFileOperation(f.fileName(), "?", 9));
    // Copying into its own folder would copy the file onto itself: the shell says so.
    ShellAnswerer shell;
    FolderBrowserAnswerer browsers;
    browsers.Queue(dir.path());
    browsers.Queue(std::nullopt);
    EXPECT_FALSE(data.ShellFileOperation(f.fileName(), "Copy", FO_COPY));
    ASSERT_EQ(shell.Boxes().size(), 1u);
    EXPECT_TRUE(shell.Boxes()[0].text.endsWith("it is the file itself."));
    // Cancelled: nothing at all.
    EXPECT_FALSE(data.ShellFileOperation(f.fileName(), "Copy", FO_COPY));
    EXPECT_EQ(browsers.Browsers().size(), 2u);
    EXPECT_EQ(shell.Boxes().size(), 1u);
    EXPECT_TRUE(QFileInfo(f.fileName()).isFile());
}

TEST(FileOperation, AFileWhoseNameHoldsASemicolonIsHandledAsItselfOnly) {
    TData data;
    QTemporaryDir dir;
    const QString odd = dir.filePath("a;b.txt");
    for (const QString& path : {odd, dir.filePath("a"), dir.filePath("b.txt")}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    QDir(dir.path()).mkpath("to");
    ShellAnswerer shell;
    FolderBrowserAnswerer browsers;
    browsers.Queue(dir.filePath("to"));
    EXPECT_TRUE(data.ShellFileOperation(odd, "Move", FO_MOVE));
    EXPECT_TRUE(QFileInfo(dir.filePath("to/a;b.txt")).isFile());
    EXPECT_TRUE(QFileInfo(dir.filePath("a")).isFile());
    EXPECT_TRUE(QFileInfo(dir.filePath("b.txt")).isFile());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("to/a")));
    EXPECT_TRUE(shell.Boxes().empty());
}
