#include "EditorTestSupport.h"

#include "common/StartRecorder.h"
#include "components/Msg.h"
#include "editor/CreateDialog.h"
#include "editor/FileListBox.h"
#include "platform/Profile.h"

#include <QApplication>
#include <QDirIterator>
#include <QImageReader>
#include <QTest>

using namespace Orvello;

namespace {

const QByteArray kPlayer = "\x7f"
                           "ELF the player";
const QByteArray kAutorunWithIcon = "[AutoRun]\r\nopen=qor.exe\r\nicon=qor.ico\r\n";
const QByteArray kAutorunWithoutIcon = "[AutoRun]\r\nopen=qor.exe\r\nicon=qor.exe\r\n";

// The files the editor's folder holds beside it: the player, its runtime folder and the
// output folder.
class CreateTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        QDir(root_).mkpath("prog/output");
        InstallPlayer(kPlayer);
        Write("prog/qor-runtime/libQt6Core.so.6", "core");
        Write("prog/qor-runtime/plugins/platforms/libqxcb.so", "xcb");
        TCr::LastProjectFolder.clear();
    }

    void InstallPlayer(const QByteArray& bytes) {
        Write("prog/menu", bytes);
        QFile::setPermissions(Path("prog/menu"), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadOther |
                                                     QFile::ExeOther);
    }

    // Starts the editor and activates its create dialog as the Create button does.
    TCr* Open() {
        TForm1* f = Start();
        f->Cr->FormActivate(f->Cr);
        return f->Cr;
    }

    // What a folder holds, sorted; the runtime folder's files as "qor-runtime/...".
    QStringList Listing(const QString& folder) const {
        QStringList names;
        QDirIterator it(Path(folder),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            if (!it.fileInfo().isDir())
                names << QDir(Path(folder)).relativeFilePath(it.filePath());
        }
        names.sort();
        return names;
    }

    // The texts of the boxes shown so far.
    QStringList Texts() const {
        QStringList texts;
        for (const auto& box : boxes_.Boxes())
            texts << box.text;
        return texts;
    }

    // A project with every file a build copies, in "proj" beside the editor's folder.
    void DesignFullProject(TForm1* f) {
        Write("proj/back.bmp", "BM picture");
        Write("proj/disc.ico", "icon bytes");
        Write("proj/intro.mid", "MThd tune");
        Write("proj/readme.txt", "read me");
        Write("proj/items.dbf", "table");
        Write("proj/items.dbt", "memos");
        Write("proj/items.mdx", "index");
        f->ProjectFolder = Path("proj") + "/";
        f->RadioButton2->click();
        f->ImageFile->setText("back.bmp");
        f->IconFile->setText("disc.ico");
        f->SoundFile->setText("intro.mid");
        f->HelpFile->setText("readme.txt");
        f->DBCheck->setChecked(true);
        f->TableName->setText(Path("proj/items.dbf"));
    }
};

} // namespace

TEST_F(CreateTest, ABuildWritesEveryFileOfTheBuiltFolder) {
    TCr* cr = Open();
    TForm1* f = form_;
    DesignFullProject(f);
    cr->BitBtn1->click();

    EXPECT_TRUE(boxes_.Boxes().empty()) << Texts().join("\n").toStdString();
    EXPECT_EQ(
        Listing("prog/output"),
        QStringList({"autorun.inf", "autorun.sh", "qor-runtime/libQt6Core.so.6",
                     "qor-runtime/plugins/platforms/libqxcb.so", "qor.bmp", "qor.dbf", "qor.dbt",
                     "qor.exe", "qor.fnd", "qor.ico", "qor.mid", "qor.qor", "qor.txt"}));
    EXPECT_EQ(Read("prog/output/autorun.inf"), kAutorunWithIcon);
    EXPECT_EQ(Read("prog/output/qor.exe"), kPlayer);
    EXPECT_TRUE(QFileInfo(Path("prog/output/qor.exe")).isExecutable());
    EXPECT_TRUE(QFileInfo(Path("prog/output/autorun.sh")).isExecutable());
    EXPECT_EQ(Read("prog/output/qor.fnd"), "");
    EXPECT_EQ(Read("prog/output/qor.bmp"), "BM picture");
    EXPECT_EQ(Read("prog/output/qor.ico"), "icon bytes");
    EXPECT_EQ(Read("prog/output/qor.mid"), "MThd tune");
    EXPECT_EQ(Read("prog/output/qor.txt"), "read me");
    EXPECT_EQ(Read("prog/output/qor.dbf"), "table");
    EXPECT_EQ(Read("prog/output/qor.dbt"), "memos");
    EXPECT_EQ(Read("prog/output/qor-runtime/libQt6Core.so.6"), "core");

    // The project file carries the built names; the design is left to be saved.
    const QString built = Path("prog/output/qor.qor");
    EXPECT_EQ(Profile::GetPrivateProfileString("Image", "File", "-", built), "qor.bmp");
    EXPECT_EQ(Profile::GetPrivateProfileString("Icon", "File", "-", built), "qor.ico");
    EXPECT_EQ(Profile::GetPrivateProfileString("Sound", "File", "-", built), "qor.mid");
    EXPECT_EQ(Profile::GetPrivateProfileString("Buttons", "HelpFile", "-", built), "qor.txt");
    EXPECT_EQ(Profile::GetPrivateProfileString("DB", "Name", "-", built), "qor.dbf");
    EXPECT_TRUE(f->ProjectNeedsSave);

    // The list shows the built files (not the runtime folder).
    EXPECT_EQ(cr->FileListBox1->Items(),
              QStringList({"autorun.inf", "autorun.sh", "qor.bmp", "qor.dbf", "qor.dbt", "qor.exe",
                           "qor.fnd", "qor.ico", "qor.mid", "qor.qor", "qor.txt"}));
    // The sources stay as they were.
    EXPECT_EQ(Listing("proj"), QStringList({"back.bmp", "disc.ico", "intro.mid", "items.dbf",
                                            "items.dbt", "items.mdx", "readme.txt"}));
}

TEST_F(CreateTest, TheIconLineFollowsTheIconsVisibilityAndTheEditorsIconStandsIn) {
    TCr* cr = Open();
    TForm1* f = form_;
    cr->CheckBox2->setChecked(true);
    cr->BitBtn1->click();
    EXPECT_EQ(Read("prog/output/autorun.inf"), kAutorunWithIcon);
    EXPECT_EQ(Read("prog/output/cdtest.qor"), kAutorunWithIcon);
    // Without an icon of the project's own, the editor's icon is written as an icon file.
    QImageReader reader(Path("prog/output/qor.ico"));
    EXPECT_EQ(reader.format(), "ico");
    QList<QSize> sizes;
    QImage icon32;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        const QImage image = reader.read();
        sizes << image.size();
        if (image.width() == 32)
            icon32 = image.convertToFormat(QImage::Format_ARGB32);
    }
    EXPECT_EQ(sizes, QList<QSize>({{16, 16}, {32, 32}, {48, 48}}));
    EXPECT_EQ(icon32,
              Application().Icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32));

    f->CheckBox2->setChecked(false); // the icon is not visible
    cr->BitBtn1->click();
    EXPECT_EQ(Read("prog/output/autorun.inf"), kAutorunWithoutIcon);
    EXPECT_EQ(Read("prog/output/cdtest.qor"), kAutorunWithoutIcon);

    // With both switches off a build leaves neither file behind.
    cr->CheckBox1->setChecked(false);
    cr->CheckBox2->setChecked(false);
    cr->BitBtn1->click();
    EXPECT_EQ(Listing("prog/output").filter(QRegularExpression("^(autorun|cdtest)")),
              QStringList());
}

TEST_F(CreateTest, ARebuildStartsFromAnEmptyOutputFolder) {
    TCr* cr = Open();
    TForm1* f = form_;
    Write("proj/tune.wav", "RIFF");
    Write("proj/pic.bmp", "BM");
    f->ProjectFolder = Path("proj") + "/";
    f->SoundFile->setText("tune.wav");
    f->ImageFile->setText("pic.bmp"); // a name, but the background is the gradient
    cr->BitBtn1->click();
    EXPECT_TRUE(Listing("prog/output").contains("qor.wav"));
    EXPECT_FALSE(Listing("prog/output").contains("qor.bmp"));

    // What the author left in the output folder under other names stays; every earlier
    // "qor.*" goes, and the runtime folder is laid anew.
    Write("prog/output/notes.txt", "mine");
    Write("prog/output/qor-runtime/stale.so", "old");
    f->SoundFile->clear();
    cr->BitBtn1->click();
    EXPECT_EQ(Listing("prog/output"),
              QStringList({"autorun.inf", "autorun.sh", "notes.txt", "qor-runtime/libQt6Core.so.6",
                           "qor-runtime/plugins/platforms/libqxcb.so", "qor.exe", "qor.fnd",
                           "qor.ico", "qor.qor"}));
    EXPECT_EQ(Read("prog/output/notes.txt"), "mine");
}

TEST_F(CreateTest, AFailedCopyAsksWhetherToAbort) {
    TCr* cr = Open();
    QFile::remove(Path("prog/menu"));
    boxes_.Queue(IDYES);
    cr->BitBtn1->click();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, Path("prog/menu") + " could not be created as ...\r\n" +
                                          Path("prog/output/qor.exe") +
                                          "\r\n\r\nDo you want to abort ?");
    EXPECT_EQ(boxes_.Boxes()[0].style & MB_DEFBUTTON2, 0u); // yes is the default
    EXPECT_EQ(Listing("prog/output"), QStringList({"qor.fnd", "qor.qor"}));
    EXPECT_TRUE(cr->FileListBox1->Items().isEmpty()); // not refreshed after an abort

    // No goes on with the next step.
    boxes_.Clear();
    boxes_.Queue(IDNO);
    cr->BitBtn1->click();
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(
        Listing("prog/output"),
        QStringList({"autorun.inf", "autorun.sh", "qor-runtime/libQt6Core.so.6",
                     "qor-runtime/plugins/platforms/libqxcb.so", "qor.fnd", "qor.ico", "qor.qor"}));
}

TEST_F(CreateTest, MediaNamesWithoutAFolderAreTheProjects) {
    TCr* cr = Open();
    TForm1* f = form_;
    Write("proj/Tune.MID", "tune");
    Write("proj/media/pic.bmp", "picture");
    Write("proj/HELP", "help");
    Write("elsewhere/disc.ico", "icon");
    Write("proj/list", "table without extension");
    Write("proj/list.dbt", "its memos");
    // Whatever folder is current while the dialog is open (the output folder), names are
    // looked up in the project's folder, with or without a folder of their own.
    f->ProjectFolder = Path("proj") + "/";
    ASSERT_EQ(QDir::currentPath(), Path("prog/output"));
    f->SoundFile->setText("Tune.MID");
    f->RadioButton2->click();
    f->ImageFile->setText("media\\pic.bmp");
    f->IconFile->setText(Path("elsewhere/disc.ico"));
    f->HelpFile->setText("HELP");
    f->DBCheck->setChecked(true);
    f->TableName->setText("list");
    cr->BitBtn1->click();
    EXPECT_TRUE(boxes_.Boxes().empty()) << Texts().join("\n").toStdString();
    EXPECT_EQ(Read("prog/output/qor.MID"), "tune");
    EXPECT_EQ(Read("prog/output/qor.bmp"), "picture");
    EXPECT_EQ(Read("prog/output/qor.ico"), "icon");
    EXPECT_EQ(Read("prog/output/qor"), "help");
    EXPECT_EQ(Read("prog/output/qor.dbf"), "table without extension");
    EXPECT_EQ(Read("prog/output/qor.dbt"), "its memos");
    EXPECT_EQ(Profile::GetPrivateProfileString("Sound", "File", "-", Path("prog/output/qor.qor")),
              "qor.MID");

    // A table switched off is not copied.
    f->DBCheck->setChecked(false);
    cr->BitBtn1->click();
    EXPECT_FALSE(QFileInfo::exists(Path("prog/output/qor.dbf")));
    EXPECT_FALSE(QFileInfo::exists(Path("prog/output/qor.dbt")));
}

TEST_F(CreateTest, AMissingOutputFolderIsReportedAndTheDialogStaysUsable) {
    TForm1* f = Start();
    QDir(Path("prog/output")).removeRecursively();
    f->Cr->show(); // activation fails with the error box
    const QString error = "The folder \"" + Path("prog/output/") + "\" does not exist.";
    ASSERT_EQ(Texts(), QStringList({error}));
    EXPECT_EQ(boxes_.Boxes()[0].style & 0xF0, unsigned(MB_ICONSTOP));
    EXPECT_TRUE(f->Cr->FileListBox1->Items().isEmpty());

    // Each command says the same instead of acting on a folder that is not there.
    for (TBitBtn* button : {f->Cr->BitBtn1, f->Cr->BitBtn2, f->Cr->BitBtn3}) {
        boxes_.Clear();
        button->click();
        EXPECT_EQ(Texts(), QStringList({error})) << button->text().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(Path("prog/output")));
    EXPECT_TRUE(seen_.empty()); // no folder was asked for

    // Once the folder is there, the dialog works without being opened again.
    QDir(root_).mkpath("prog/output");
    boxes_.Clear();
    f->Cr->BitBtn1->click();
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_TRUE(f->Cr->FileListBox1->Items().contains("qor.exe"));
    QTest::keyClick(f->Cr->FileListBox1, Qt::Key_Escape); // as Close does
    EXPECT_FALSE(f->Cr->isVisible());
}

TEST_F(CreateTest, TheDialogWorksInTheOutputFolderAndGivesTheFolderBack) {
    TForm1* f = Start();
    QDir::setCurrent(Path("proj"));
    WhenModal([this, f] {
        EXPECT_TRUE(f->Cr->isVisible());
        EXPECT_EQ(f->Cr->OutputDir, Path("prog/output/"));
        EXPECT_EQ(QDir::currentPath(), Path("prog/output"));
        f->Cr->BitBtn1->click();
        EXPECT_TRUE(f->Cr->FileListBox1->Items().contains("qor.qor"));
        f->Cr->BitBtn4->click();
    });
    f->BitBtn3->click();
    EXPECT_FALSE(f->Cr->isVisible());
    EXPECT_EQ(QDir::currentPath(), Path("proj"));
    EXPECT_TRUE(f->ProjectNeedsSave);
    EXPECT_EQ(f->Cr->windowTitle(), "Create ...");
    EXPECT_EQ(HelpContextOf(f->Cr), 16);
}

TEST_F(CreateTest, CopyProjectFilesCarriesTheBuiltProjectIntoTheChosenFolder) {
    TCr* cr = Open();
    DesignFullProject(form_);
    cr->CheckBox2->setChecked(true);
    cr->BitBtn1->click();
    ASSERT_TRUE(QFileInfo::exists(Path("prog/output/cdtest.qor")));

    // The author's own files in the project folder, and what an earlier copy left there.
    Write("cd/notes.txt", "mine");
    Write("cd/qor.bmp.orig", "mine too");
    Write("cd/cdtest.qor", "old marker");
    Write("cd/qor-runtime/stale.so", "old");
    Write("cd/sub/qor.qor", "a project in a folder of its own");
    QString initialDir, title, filter, defaultExt, fileName;
    unsigned options = 0;
    Answer([&](TCommonDialog& d) {
        auto& save = static_cast<TSaveDialog&>(d);
        initialDir = save.InitialDir;
        title = save.Title;
        filter = save.Filter;
        defaultExt = save.DefaultExt;
        fileName = save.FileName;
        options = save.Options;
        save.FileName = Path("cd/VORA Project_1.yvo");
        return true;
    });
    StartRecorder recorder;
    boxes_.Clear();
    cr->BitBtn2->click();

    EXPECT_EQ(title, "Select or create a folder and press SAVE to store all files into it ...");
    EXPECT_EQ(filter, "*.*|*.*");
    EXPECT_EQ(defaultExt, "yvo");
    EXPECT_EQ(fileName, "VORA Project_1");
    EXPECT_EQ(options, unsigned(ofHideReadOnly | ofPathMustExist));
    EXPECT_EQ(initialDir, Path("prog/Project_1"));
    EXPECT_EQ(TCr::LastProjectFolder, Path("cd"));
    ASSERT_EQ(Texts(),
              QStringList({"ATTENTION: Each project should go into a project folder of its own "
                           "!\r\n\r\nWould you like to copy all files of your current project "
                           "into a project directory ?",
                           "All files of your current project were stored into " + Path("cd") +
                               " !\r\n\r\nWould you like to open the explorer to test your "
                               "project (qor.exe)\r\nor to copy all its files into the root "
                               "directory of a CD-ROM ?"}));
    EXPECT_EQ(Listing("cd"),
              QStringList({"autorun.inf", "autorun.sh", "notes.txt", "qor-runtime/libQt6Core.so.6",
                           "qor-runtime/plugins/platforms/libqxcb.so", "qor.bmp", "qor.bmp.orig",
                           "qor.dbf", "qor.dbt", "qor.exe", "qor.fnd", "qor.ico", "qor.mid",
                           "qor.qor", "qor.txt", "sub/qor.qor"}));
    for (const QString& name : Listing("prog/output")) {
        if (name != "cdtest.qor") {
            EXPECT_EQ(Read("cd/" + name), Read("prog/output/" + name)) << name.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(Path("cd/qor.exe")).isExecutable());
    EXPECT_TRUE(QFileInfo(Path("cd/autorun.sh")).isExecutable());
    EXPECT_EQ(Read("cd/notes.txt"), "mine");
    EXPECT_EQ(Read("cd/qor.bmp.orig"), "mine too");
    EXPECT_EQ(Read("cd/sub/qor.qor"), "a project in a folder of its own");
    // Yes to the last question opens the file manager on the project folder.
    const auto opened = recorder.Wait();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->args, QStringList({Path("cd")}));

    // A second copy starts where the first went; without "Create autorun.inf" the project
    // folder keeps none.
    QString secondInitialDir;
    Answer([&](TCommonDialog& d) {
        secondInitialDir = static_cast<TSaveDialog&>(d).InitialDir;
        return false;
    });
    cr->BitBtn2->click();
    EXPECT_EQ(secondInitialDir, Path("cd"));
    cr->CheckBox1->setChecked(false);
    Choose(Path("cd/anything"));
    boxes_.Queue(IDYES);
    boxes_.Queue(IDNO);
    cr->BitBtn2->click();
    EXPECT_FALSE(QFileInfo::exists(Path("cd/autorun.inf")));
    EXPECT_FALSE(QFileInfo::exists(Path("cd/autorun.sh")));
    EXPECT_TRUE(QFileInfo::exists(Path("cd/qor.qor")));
}

TEST_F(CreateTest, CopyProjectFilesEndsAtEitherNo) {
    TCr* cr = Open();
    cr->BitBtn1->click();
    boxes_.Clear();
    boxes_.Queue(IDNO);
    cr->BitBtn2->click();
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_TRUE(seen_.empty());
    Cancel();
    cr->BitBtn2->click();
    EXPECT_EQ(seen_.size(), 1u);
    EXPECT_EQ(boxes_.Boxes().size(), 2u);
    EXPECT_TRUE(TCr::LastProjectFolder.isEmpty());
}

TEST_F(CreateTest, CopyingIntoTheOutputFolderItselfKeepsTheBuild) {
    TCr* cr = Open();
    cr->CheckBox2->setChecked(true);
    cr->BitBtn1->click();
    const QStringList built = Listing("prog/output");
    Choose(Path("prog/output/VORA Project_1.yvo"));
    boxes_.Clear();
    boxes_.Queue(IDYES);
    boxes_.Queue(IDNO);
    cr->BitBtn2->click();
    ASSERT_EQ(boxes_.Boxes().size(), 2u);
    EXPECT_TRUE(boxes_.Boxes()[1].text.startsWith("All files of your current project"));
    QStringList expected = built;
    expected.removeAll("cdtest.qor"); // the marker never stays in a project folder
    EXPECT_EQ(Listing("prog/output"), expected);
    EXPECT_EQ(Read("prog/output/autorun.inf"), kAutorunWithIcon);
    EXPECT_EQ(Read("prog/output/qor.exe"), kPlayer);
}

TEST_F(CreateTest, FilesThatCouldNotBeCopiedAreNamedInsteadOfReportingSuccess) {
    TCr* cr = Open();
    cr->BitBtn1->click();
    QDir(root_).mkpath("cd/qor.qor"); // a folder where the project file would go
    Write("cd/qor.qor/inside", "kept");
    Choose(Path("cd/x"));
    boxes_.Clear();
    boxes_.Queue(IDYES);
    cr->BitBtn2->click();
    ASSERT_EQ(boxes_.Boxes().size(), 2u);
    EXPECT_EQ(boxes_.Boxes()[1].text,
              "These files could not be stored into " + Path("cd") + " :\r\n\r\nqor.qor");
    EXPECT_EQ(boxes_.Boxes()[1].style & 0x0F, unsigned(MB_OK));
    EXPECT_EQ(Read("cd/qor.qor/inside"), "kept");
    EXPECT_EQ(Read("cd/qor.exe"), kPlayer); // the others were copied
    // Into a folder that is gone, the list names each file once.
    Choose(Path("gone/x"));
    cr->BitBtn2->click();
    EXPECT_EQ(boxes_.Boxes().back().text.count("qor.fnd"), 1);
}

TEST_F(CreateTest, TheFolderDialogTakesNoFolderThatDoesNotExist) {
    TSaveDialog dialog(nullptr);
    dialog.Options = ofPathMustExist;
    SetDialogHook({}); // the dialog itself
    WhenModal([&] {
        QWidget* shown = QApplication::activeModalWidget();
        auto* name = shown->findChild<QLineEdit*>("fileNameEdit");
        name->setText(Path("gone/x"));
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_TRUE(shown->isVisible());
        shown->close();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

TEST_F(CreateTest, TheTestRunStartsTheBuiltPlayer) {
    StartRecorder recorder;
    QFile::remove(Path("prog/menu"));
    QFile::copy(QStringLiteral(ORV_RECORDARGS), Path("prog/menu"));
    TCr* cr = Open();

    // Nothing built yet: the start fails with the program's name.
    cr->BitBtn5->click();
    EXPECT_EQ(Texts(), QStringList({"\"qor.exe\" could not be opened !"}));

    cr->BitBtn1->click();
    cr->BitBtn5->click();
    auto started = recorder.Wait();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->folder, Path("prog/output"));
    EXPECT_TRUE(started->args.isEmpty());

    // A "qor.exe" beside the editor is started with the built project instead.
    QFile::copy(QStringLiteral(ORV_RECORDARGS), Path("prog/qor.exe"));
    cr->BitBtn5->click();
    started = recorder.Wait();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->folder, Path("prog/output"));
    EXPECT_EQ(started->args, QStringList({Path("prog/output/qor.qor")}));

    // A double-click opens the file chosen in the list.
    const QStringList items = cr->FileListBox1->Items();
    cr->FileListBox1->setCurrentRow(int(items.indexOf("qor.qor")));
    cr->FileListBox1DblClick(cr->FileListBox1);
    started = recorder.Wait();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->args, QStringList({Path("prog/output/qor.qor")}));
}

TEST_F(CreateTest, OpenExplorerShowsTheOutputFolder) {
    StartRecorder recorder;
    TCr* cr = Open();
    cr->BitBtn3->click();
    const auto opened = recorder.Wait();
    ASSERT_TRUE(opened);
    ASSERT_EQ(opened->args.size(), 1);
    EXPECT_EQ(QDir(opened->args[0]).canonicalPath(), Path("prog/output"));

    Shell::SetDesktopOpener(Path("no/opener"));
    cr->BitBtn3->click();
    EXPECT_EQ(Texts(), QStringList({"Windows explorer could not be activated !"}));
}

TEST_F(CreateTest, ATableMadeUnderANameInCapitalsIsBuiltWithItsMemo) {
    TCr* cr = Open();
    TForm1* f = form_;
    Choose(Path("proj/ITEMS.DBF"));
    f->BitBtn6->click();
    f->DBCheck->setChecked(true);
    ASSERT_TRUE(QFileInfo::exists(Path("proj/ITEMS.DBT")));
    cr->BitBtn1->click();
    EXPECT_TRUE(boxes_.Boxes().empty()) << Texts().join("\n").toStdString();
    EXPECT_EQ(Read("prog/output/qor.dbf"), Read("proj/ITEMS.DBF"));
    EXPECT_EQ(Read("prog/output/qor.dbt"), Read("proj/ITEMS.DBT"));
}
