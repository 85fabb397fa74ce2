// A project designed in the editor, built with the real player and its runtime, and run where
// it was built: the menu lays out, its Tables button opens the table the editor wrote, and
// every Qt library and plugin the player loads comes from the built folder.
#include "EditorTestSupport.h"

#include "editor/CreateDialog.h"
#include "editor/IconFile.h"
#include "framework/data/Field.h"
#include "platform/FileCopy.h"
#include "platform/Profile.h"
#include "storage/dbtable/DbTable.h"
#include "storage/project/ItemTableFields.h"

#include <QDirIterator>
#include <QProcess>
#include <map>

using namespace Orvello;

namespace {

struct Item {
    const char* group;
    const char* caption;
};
const Item kItems[] = {{"song", "First song"}, {"video", "A video"}, {"song", "Second song"}};

// A display of its own for one test: an X server started on a free display number.
class VirtualDisplay {
public:
    VirtualDisplay() {
        server_.setProgram(QStringLiteral("Xvfb"));
        server_.setArguments(
            {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        server_.start();
        if (!server_.waitForStarted())
            return;
        ProcessEventsUntil(
            [this] {
                server_.waitForReadyRead(100);
                number_ += QString::fromLatin1(server_.readAllStandardOutput());
                return number_.contains('\n') || server_.state() == QProcess::NotRunning;
            },
            60000);
        number_ = number_.trimmed();
    }
    ~VirtualDisplay() {
        server_.terminate();
        if (!server_.waitForFinished(10000))
            server_.kill();
    }
    QString Name() const { return number_.isEmpty() ? QString() : ":" + number_; }

private:
    QProcess server_;
    QString number_;
};

// The report of the probe: its sections by name, each the lines it wrote.
std::map<QString, QStringList> Sections(const QByteArray& report) {
    std::map<QString, QStringList> sections;
    QString current;
    for (const QString& line : QString::fromUtf8(report).split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith("== ")) {
            current = line.mid(3);
            sections[current];
        } else {
            sections[current] << line;
        }
    }
    return sections;
}

// The line of the control with that object name, or of the window.
QString LineOf(const QStringList& section, const QString& name) {
    for (const QString& line : section)
        if (line.section(' ', 1, 1) == name || (name == "window" && line.startsWith("window ")))
            return line;
    return QString("<no %1>").arg(name);
}

class BuiltProjectTest : public EditorTest {
protected:
    // The editor's folder as the build made it: the player and its runtime beside the editor.
    void SetUp() override {
        EditorTest::SetUp();
        QDir(root_).mkpath("prog/output");
        ASSERT_TRUE(Files::CopyFileA(ORV_BINARY_DIR "/menu", Path("prog/menu"), false));
        ASSERT_TRUE(
            Files::CopyFolder(ORV_BINARY_DIR "/" + RuntimeFolder, Path("prog/" + RuntimeFolder)));
    }

    // The item table of the project, with its records, made through the dataset.
    void MakeTable() {
        TDbTable table;
        AddItemTableFields(table);
        table.SetRunTimePath(Path("proj"));
        table.SetTableName("items.dbf");
        table.CreateTable();
        table.Open();
        for (const Item& item : kItems) {
            table.Append();
            table.FieldByName("GROUP")->SetAsString(item.group);
            table.FieldByName("CAPTION")->SetAsString(item.caption);
            table.FieldByName("COMMENTS")->SetAsString(QString("About ") + item.caption);
            table.Post();
        }
        table.Close();
    }

    void Design(TForm1* f) {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(QColor(10, 20, 200));
        ASSERT_TRUE(picture.save(Path("proj/back.bmp"), "BMP"));
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(QColor(200, 0, 0));
        Write("proj/disc.ico", IconFileBytes(QList<QImage>{icon}));
        Write("proj/intro.wav", "RIFF\x24\0\0\0WAVEfmt ");
        Write("proj/readme.txt", "Read me first.\r\n");
        MakeTable();
        Write("proj/items.mdx", "an index that stays behind");

        f->ProjectFolder = Path("proj") + "/";
        f->Cap->setText("Built CD");
        f->Title1->setText("Welcome");
        f->Title2->setText("to the built project");
        f->ImageFile->setText("back.bmp");
        f->IconFile->setText("disc.ico");
        f->CheckBox2->setChecked(false); // the icon is not shown
        f->SoundFile->setText("intro.wav");
        f->CheckBox3->setChecked(false); // no sound is played: the test has no sound device
        f->HelpFile->setText("readme.txt");
        f->CKHelp->setChecked(true);
        f->StoreEntry(-1, {"Read me", "*help", "", "", "0", "0"});
        f->DBCheck->setChecked(true);
        f->TableName->setText("items.dbf");
        f->TableTitle->setText("Items");
        f->StringGrid1->SetCell(1, 1, "Songs");
        f->StringGrid1->SetCell(2, 1, "song");
        f->StringGrid1->SetCell(1, 2, "Videos");
        f->StringGrid1->SetCell(2, 2, "video");
    }

    QStringList Listing(const QString& folder) const {
        QStringList names;
        QDirIterator it(Path(folder),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext())
            names << it.next().section('/', -1);
        names.sort();
        return names;
    }

    void RunMenu(const QString& display, const QString& folder, const QString& program,
                 const QStringList& arguments);
};

TEST_F(BuiltProjectTest, TheBuiltFolderRunsTheMenuWithItsOwnRuntime) {
    TForm1* f = Start();
    TCr* cr = f->Cr;
    Design(f);
    cr->FormActivate(cr);

    // Built first with the gradient: no picture, even though one is named.
    cr->BitBtn1->click();
    ASSERT_TRUE(boxes_.Boxes().empty()) << boxes_.Boxes()[0].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("prog/output/qor.bmp")));

    // Then with the picture background: the folder the menu runs from.
    f->RadioButton2->click();
    cr->BitBtn1->click();
    ASSERT_TRUE(boxes_.Boxes().empty()) << boxes_.Boxes()[0].text.toStdString();
    EXPECT_EQ(
        Listing("prog/output"),
        QStringList({"autorun.inf", "autorun.sh", "qor-runtime", "qor.bmp", "qor.dbf", "qor.dbt",
                     "qor.exe", "qor.fnd", "qor.ico", "qor.qor", "qor.txt", "qor.wav"}));
    EXPECT_EQ(Read("prog/output/autorun.inf"), "[AutoRun]\r\nopen=qor.exe\r\nicon=qor.exe\r\n");
    EXPECT_EQ(Read("prog/output/qor.fnd"), "");
    EXPECT_EQ(Read("prog/output/qor.exe"), Read("prog/menu"));
    EXPECT_TRUE(QFileInfo(Path("prog/output/qor.exe")).isExecutable());
    for (const auto& [built, source] :
         {std::pair{"qor.bmp", "back.bmp"}, std::pair{"qor.ico", "disc.ico"},
          std::pair{"qor.wav", "intro.wav"}, std::pair{"qor.txt", "readme.txt"},
          std::pair{"qor.dbf", "items.dbf"}, std::pair{"qor.dbt", "items.dbt"}})
        EXPECT_EQ(Read(QString("prog/output/") + built), Read(QString("proj/") + source)) << built;
    QStringList runtime;
    QDirIterator files(Path("prog/" + RuntimeFolder), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next().mid(Path("prog/").size());
        runtime << file;
        EXPECT_EQ(Read("prog/output/" + file), Read("prog/" + file)) << file.toStdString();
    }
    EXPECT_TRUE(runtime.contains(RuntimeFolder + "/libQt6Core.so.6"));
    EXPECT_TRUE(runtime.contains(RuntimeFolder + "/plugins/platforms/libqxcb.so"));
    EXPECT_TRUE(runtime.contains(RuntimeFolder + "/qor-media.so"));
    EXPECT_TRUE(runtime.contains(RuntimeFolder + "/libQt6Multimedia.so.6"));

    // Where it was built, and by the desktop's script from a copy of the folder under an
    // awkward name that gives qor.exe no exec bit.
    VirtualDisplay display;
    ASSERT_FALSE(display.Name().isEmpty()) << "Xvfb did not start";
    RunMenu(display.Name(), Path("prog/output"), Path("prog/output/qor.exe"), {});
    const QString cd = Path("CD Ünïcode ä");
    ASSERT_TRUE(Files::CopyFolder(Path("prog/output"), cd));
    ASSERT_TRUE(QFile::setPermissions(cd + "/qor.exe", QFileDevice::ReadOwner));
    RunMenu(display.Name(), cd, "sh", {cd + "/autorun.sh"});

    // The disc image that the README makes, read back by the same tool: every built file with
    // its exec bits, and a name in any script both as Linux reads it and as Windows does.
    Write("prog/output/Ünïcode ä.txt", "mine");
    ASSERT_EQ(QProcess::execute("xorriso",
                                {"-as", "mkisofs", "-quiet", "-input-charset", "utf-8", "-r", "-J",
                                 "-joliet-long", "-o", Path("cd.iso"), Path("prog/output")}),
              0);
    ASSERT_EQ(QProcess::execute("osirrox",
                                {"-report_about", "FAILURE", "-indev", Path("cd.iso"), "-extract",
                                 "/", Path("disc"), "-read_fs", "norock", "-indev", Path("cd.iso"),
                                 "-extract", "/Ünïcode ä.txt", Path("joliet.txt")}),
              0);
    QDirIterator built(Path("prog/output"), QDir::Files, QDirIterator::Subdirectories);
    while (built.hasNext()) {
        const QString name = built.next().mid(Path("prog/output/").size());
        EXPECT_EQ(Read("disc/" + name), Read("prog/output/" + name)) << name.toStdString();
        EXPECT_EQ(QFileInfo(Path("disc/" + name)).isExecutable(), built.fileInfo().isExecutable())
            << name.toStdString();
    }
    EXPECT_EQ(Read("joliet.txt"), "mine");
    QProcess::execute("chmod", {"-R", "u+w", Path("disc")}); // the disc's folders are read-only
}

// The built menu from `folder` on a display of its own, with the probe reporting what the
// windows show and which libraries were loaded.
void BuiltProjectTest::RunMenu(const QString& display, const QString& folder,
                               const QString& program, const QStringList& arguments) {
    SCOPED_TRACE(program.toStdString());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_PLUGIN_PATH", "QT_QPA_PLATFORM_PLUGIN_PATH", "LD_LIBRARY_PATH",
                             "QT_DEBUG_PLUGINS", "ORV_RECORD_FILE"})
        env.remove(name);
    env.insert("DISPLAY", display);
    // The probe comes before the sanitizers' runtime in a sanitized build.
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", Path("runtime-dir"));
    env.insert("LD_PRELOAD", ORV_PLAYER_PROBE);
    env.insert("ORV_PROBE_OUT", Path("probe.txt"));
    QFile::remove(Path("probe.txt"));
    QDir(root_).mkpath("runtime-dir");
    QFile::setPermissions(Path("runtime-dir"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcess player;
    player.setProcessEnvironment(env);
    player.setWorkingDirectory(root_);
    player.start(program, arguments);
    ASSERT_TRUE(player.waitForStarted());
    // The probe closes the menu once it has seen everything; the deadline only stops a hang.
    if (!player.waitForFinished(120000)) {
        player.kill();
        player.waitForFinished();
        ADD_FAILURE() << "the menu did not close: " << player.readAllStandardError().toStdString();
    }
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 0) << player.readAllStandardError().toStdString();

    auto sections = Sections(Read("probe.txt"));
    ASSERT_TRUE(sections.count("done")) << Read("probe.txt").toStdString();
    const QStringList& menu = sections["menu"];
    EXPECT_TRUE(LineOf(menu, "window").startsWith("window [Built CD] "))
        << LineOf(menu, "window").toStdString();
    EXPECT_TRUE(LineOf(menu, "window").contains(" 642x400 shown"))
        << LineOf(menu, "window").toStdString();
    EXPECT_TRUE(menu.join('\n').contains("[Welcome]"));
    EXPECT_TRUE(menu.join('\n').contains("[to the built project]"));
    EXPECT_TRUE(LineOf(menu, "TablesBtn").contains(" shown enabled [Show/Hide data]"))
        << LineOf(menu, "TablesBtn").toStdString();
    EXPECT_TRUE(LineOf(menu, "HelpBtn").contains(" shown enabled [Help ...]"));
    EXPECT_TRUE(menu.join('\n').contains("Read me]"));

    // The table the editor wrote, with its memos, group by group: two songs, one video, three
    // in all.
    const QStringList& data = sections["data"];
    EXPECT_TRUE(LineOf(data, "window").startsWith("window [Items] "))
        << LineOf(data, "window").toStdString();
    EXPECT_TRUE(data.join('\n').contains("[0:Songs|Videos|* * *]"))
        << data.join('\n').toStdString();
    EXPECT_TRUE(data.join('\n').contains("[About First song]")) << data.join('\n').toStdString();
    EXPECT_EQ(sections["records"],
              QStringList({"Songs 2 [First song / Second song]", "Videos 1 [A video]",
                           "* * * 3 [First song / A video / Second song]"}));

    // Every Qt library and plugin the menu loaded came from the folder it ran from.
    const QStringList loaded = sections["libraries"];
    QStringList qt;
    for (const QString& path : loaded) {
        qt << path.section('/', -1);
        EXPECT_TRUE(path.startsWith(QDir(folder).canonicalPath() + "/")) << path.toStdString();
    }
    for (const char* needed : {"libQt6Core.so.6", "libQt6Gui.so.6", "libQt6Widgets.so.6",
                               "libQt6XcbQpa.so.6", "libqxcb.so", "libqico.so"})
        EXPECT_TRUE(qt.contains(needed))
            << needed << " was not loaded: " << loaded.join('\n').toStdString();
}

} // namespace
