#include "EditorTestSupport.h"

#include "common/StartRecorder.h"
#include "editor/CreateDialog.h"
#include "editor/DataWindow.h"

#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

using namespace Orvello;

// The editor carries the help of the build folder, and help calls reach the help system itself.
TEST_F(EditorTest, F1OpensTheShippedTopicOfEachPageAndDialog) {
    for (const QString name : {"orvello.hlp", "orvello-help"})
        ASSERT_TRUE(QFile::link(QStringLiteral(ORV_BINARY_DIR "/") + name, Path("prog/" + name)));
    QDir(root_).mkpath("prog/output");
    SetWinHelpHook(nullptr);
    TForm1* f = Start();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    StartRecorder recorder;
    // F1 on the control: the heading of the page that the browser was given.
    const auto headingFor = [&](QWidget* control) {
        QTest::keyClick(control, Qt::Key_F1);
        const std::optional<StartRecorder::Start> start = recorder.Wait();
        QFile page(start && start->args.size() == 1 ? start->args[0] : QString());
        static const QRegularExpression h1(QStringLiteral("<h1>(.*)</h1>"));
        return page.open(QIODevice::ReadOnly) ? h1.match(page.readAll()).captured(1) : "<none>";
    };
    for (int i = 0; i < f->PageControl1->count(); ++i) {
        f->PageControl1->setCurrentIndex(i);
        EXPECT_EQ(headingFor(f->PageControl1->tabBar()),
                  "The " + f->PageControl1->tabText(i) + " page");
    }
    f->BitBtn5->setFocus();
    EXPECT_EQ(headingFor(f->BitBtn5), "The Help page");
    f->BitBtn10->click();
    ASSERT_EQ(recorder.Wait()->args, QStringList{Path("prog/orvello-help/index.html")});

    // A dialog's topic is headed by its caption without the application title and the dots.
    for (QWidget* dialog : std::initializer_list<QWidget*>{f->Entry, f->Data, f->Cr}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        const QString name = dialog->windowTitle().section(" - ", -1).remove(" ...");
        const QString heading = headingFor(dialog);
        EXPECT_TRUE(heading.startsWith("The " + name + " ") && !heading.endsWith(" page"))
            << heading.toStdString();
        dialog->close();
    }

    // With nothing to show the topic, the author is told so.
    Shell::SetDesktopOpener(Path("no-browser"));
    QTest::keyClick(f->Cap, Qt::Key_F1);
    ASSERT_FALSE(boxes_.Boxes().empty());
    EXPECT_EQ(boxes_.Boxes().back().text, "The help could not be shown !");
}
