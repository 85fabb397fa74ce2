#include "EditorTestSupport.h"

#include "components/Gradient.h"
#include "components/Surface.h"
#include "platform/media/MediaDevice.h"
#include "platform/media/SimulatedMediaSystem.h"
#include "player/AboutBox.h"
#include "player/MenuControls.h"
#include "player/MenuWindow.h"
#include "player/Player.h"

#include <QAction>
#include <QMenu>

namespace {

QString place(const QWidget* w) {
    const QRect g = w->geometry();
    return QString("%1,%2 %3x%4 %5")
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(w->isHidden() ? "hidden" : "shown");
}

QString look(const QWidget* w) {
    const QFont f = w->font();
    return QString("%1 %2px b%3 i%4 u%5 s%6 %7")
        .arg(f.family())
        .arg(f.pixelSize())
        .arg(f.bold())
        .arg(f.italic())
        .arg(f.underline())
        .arg(f.strikeOut())
        .arg(w->palette().color(QPalette::WindowText).name());
}

QStringList actions(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << (a->isSeparator() ? QString("-") : a->text());
    return texts;
}

// What the end user sees of the menu window, and what it keeps for its commands.
QStringList layoutOf(const TForm1* m) {
    QStringList s;
    s << "window " + QString::number(m->width()) + "x" + QString::number(m->height())
      << "title " + m->windowTitle() << "application " + Application().Title;
    for (const TMenuLabel* label : {m->Title1, m->Title2, m->Copyright})
        s << label->objectName() + place(label) + " " + look(label) + " [" + label->text() + "] " +
                 QString::number(int(label->alignment()));
    for (const QWidget* b : {m->ExitBtn, m->ActionBtn, m->TablesBtn, m->FindBtn, m->HelpBtn,
                             m->AboutBtn, m->FileListBtn})
        s << b->objectName() + " " + place(b) + " " +
                 static_cast<const QAbstractButton*>(b)->text();
    s << "panel " + place(m->Panel1) << "list " + place(m->FileBox1)
      << "icon " + place(m->IconImage);
    s << QString("gradient %1 %2 %3 %4")
             .arg(m->Gradient1->Visible())
             .arg(m->Gradient1->Style())
             .arg(m->Gradient1->StartColor())
             .arg(m->Gradient1->EndColor());
    s << QString("surface %1 %2 %3")
             .arg(m->Surface1->Visible())
             .arg(m->Surface1->Mode())
             .arg(m->Surface1->Color());
    for (const TMenuLabel* label : m->EntryLabels)
        if (label)
            s << "entry " + place(label) + " " + look(label) + " [" + label->text() + "]";
    s << "popup " + actions(m->WinSoftware).join('|')
      << "files " + actions(m->PopupMenu1).join('|');
    s << QString("file list %1 %2 %3 %4")
             .arg(m->ListVisibleAtStart)
             .arg(m->ListColor)
             .arg(m->ListTextColor)
             .arg(int(m->FileBox1->ViewOptions()));
    s << "names " + m->EntryNames.join('|') << "paths " + m->EntryPaths.join('|')
      << "params " + m->EntryParams.join('|') << "exit " + m->EntryExitFlags.join('|')
      << "popup only " + m->EntryPopupFlags.join('|') << "captions " + m->CaptionTexts.join('|')
      << "help " + m->HelpFilePath.mid(m->BaseFolder.size()) << "sound " + m->SoundFilePath
      << QString("table %1 %2 %3").arg(m->DbActive).arg(m->DbEditable).arg(m->TableFileName);
    for (const QLabel* label : std::initializer_list<const QLabel*>{
             m->About->ALine1, m->About->Aline2, m->About->Aline3, m->About->Aline4,
             m->About->AWebText, m->About->AWeb, m->About->AMailText, m->About->AMail})
        s << "about [" + label->text() + "]";
    return s;
}

const char* const kHandWritten[] = {
    "[Titles]",
    "TC=My CD",
    "T1=Welcome",
    "T2=Line one\\\\Line two",
    "CP=\"  \"(c) 2024\" Me  \"",
    "T1_F=Arial",
    "T1_A=0",
    "T1_S=20",
    "T1_C=65535",
    "T1_SB=1",
    "T1_SU=1",
    "T2_F=Courier New",
    "T2_S=12",
    "T2_C=16776960",
    "T2_SI=1",
    "T2_SK=1",
    "CP_F=Verdana",
    "CP_S=9",
    "CP_C=16777215",
    "[Gradient]",
    "Active=1",
    "Style=0",
    "SColor=11",
    "EColor=1",
    "[Image]",
    "Active=0",
    "BmpMode=2",
    "BaseColor=1193046",
    "File=back ground.bmp",
    "[Icon]",
    "Active=0",
    "File=disc.ico",
    "Trans=0",
    "[Sound]",
    "Active=0",
    "File=Tune.MID",
    "[Buttons]",
    "EnExit=0",
    "Exit=Quit",
    "Action=Menu",
    "EnTables=1",
    "Tables=Data",
    "EnFind=0",
    "Find=Search",
    "FileList=Files",
    "EnAbout=0",
    "About=Info",
    "Help=Help me",
    "HelpFile=manual.txt",
    "RClick=0",
    "[Captions]",
    "00=Open",
    "01=Copy",
    "02=Move",
    "03=Delete",
    "04=Rename",
    "05=Find",
    "06=Not found: %s",
    "07=\"%s\" could not be opened !",
    "08=Close",
    "09=... more ...",
    "10=\"%s\" not found - search from start ?",
    "11=Picture/Media file",
    "12=Program",
    "[FileList]",
    "Visible=0",
    "AExe=0",
    "BGColor=65280",
    "FGColor=255",
    "[Tools]",
    "CExplorer=Files",
    "AMSInfo=1",
    "CMSInfo=System",
    "CSoftware=Programs",
    "[About]",
    "Line1=Line A",
    "Line2=Line B",
    "Line3=Line C",
    "Line4=Zoë & Łukasz",
    "WebTxt=Web:",
    "Web=http://x.example",
    "MailTxt=Mail:",
    "Mail=me@x.example",
    "[Menu]",
    "CM_F=Georgia",
    "CM_S=13",
    "CM_C=0",
    "CM_SB=1",
    "Count=4",
    "Caption_0=Start",
    "Name_0=?:/setup.exe",
    "Path_0=?:",
    "Param_0=/S",
    "Exit_0=1",
    "Item_0=0",
    "Caption_1=",
    "Exit_1=0",
    "Item_1=0",
    "Caption_2=Help",
    "Name_2=*help",
    "Exit_2=0",
    "Item_2=1",
    "Caption_3=Web",
    "Name_3=http://x.example",
    "Exit_3=0",
    "Item_3=0",
    "[DB]",
    "Active=1",
    "Editable=0",
    "Name=items.dbf",
    "Title=Items",
    "[DB-Groups]",
    "01=Songs",
    "02=Videos",
    "[DB-Identifiers]",
    "01=song",
    "02=video",
};

} // namespace

class RoundTripTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        previousMedia_ = SetMediaSystem(std::make_shared<TSimulatedMediaSystem>());
    }
    void TearDown() override {
        EditorTest::TearDown();
        SetMediaSystem(previousMedia_);
        QApplication::setWindowIcon(QIcon());
        Application().Icon = QIcon();
    }

    // The player's menu window on a project file, as a started player shows it.
    QStringList PlayerLayout(const QString& projectFile) {
        Application().Reset();
        Application().Title = "Tavolin";
        TForm1* menu =
            CreatePlayerWindows({Path("prog/qor.exe"), {projectFile}, Volumes::MountTable()});
        menu->show();
        EXPECT_TRUE(ProcessEventsUntil([menu] { return menu->FirstActivationDone; }));
        const QStringList layout = layoutOf(menu);
        Application().Reset();
        return layout;
    }

    std::shared_ptr<TMediaSystem> previousMedia_;
};

TEST_F(RoundTripTest, AProjectDesignedInTheEditorLaysOutAsTheSameValuesWrittenByHand) {
    Orvello::TForm1* f = Start();
    DesignSample(f);
    QDir(root_).mkpath("designed");
    f->SaveProject(Path("designed/qor.qor"), false);

    QStringList lines;
    for (const char* line : kHandWritten)
        lines << QString::fromUtf8(line);
    Write("hand/qor.qor", lines.join("\n").toUtf8());

    const QStringList designed = PlayerLayout(Path("designed/qor.qor"));
    const QStringList hand = PlayerLayout(Path("hand/qor.qor"));
    EXPECT_EQ(designed, hand);
    // The comparison says something only when the values show.
    EXPECT_TRUE(designed.contains("title My CD"));
    EXPECT_TRUE(designed.contains("names ?:/setup.exe||*help|http://x.example"));
    EXPECT_TRUE(designed.filter("[Welcome]").size() == 1);
    EXPECT_TRUE(designed.filter("[Line one\nLine two]").size() == 1);
    EXPECT_TRUE(designed.filter("Courier New").size() == 1);
    EXPECT_TRUE(designed.contains("about [Zoë & Łukasz]"));
}
