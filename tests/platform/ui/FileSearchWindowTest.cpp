#include "platform/ui/FileSearchWindow.h"
#include "common/EventLoop.h"
#include "platform/FolderTest.h"
#include "platform/Volumes.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <thread>

using FileSearchWindow = FolderTest;

TEST_F(FileSearchWindow, ListsMatchesOpensTheOneChosenAndStopsAndClosesAtOnce) {
    Write("docs/report.txt", QByteArray(3000, 'r'));
    for (const char* name : {"docs/sub/notes.TXT", "a.txt", "b.txt", "c.txt", "other.doc"})
        Write(name, "");
    // Once held, the search waits after each match until it is let go or stopped.
    std::atomic<bool> letGo{true};
    FileSearch::SetMatchHook([&](const std::atomic<bool>& stop) {
        while (!letGo && !stop)
            std::this_thread::yield();
    });
    QStringList opened;
    QPointer<TFileSearchWindow> w =
        new TFileSearchWindow(nullptr, Path("docs"), [&](const QString& p) { opened << p; });
    EXPECT_EQ(w->LookIn->currentText(), Volumes::VolumeRoot(Path("docs")));

    w->LookIn->setCurrentText(Path("none"));
    w->FindNow->click();
    EXPECT_FALSE(w->Searching());
    EXPECT_EQ(w->Status->text(), "The folder \"" + Path("none") + "\" does not exist.");

    w->LookIn->setCurrentText(tmp_.path());
    w->Named->setText("*.txt");
    letGo = false;
    w->FindNow->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return w->Results->topLevelItemCount() == 1; }));
    EXPECT_TRUE(w->Searching());
    EXPECT_FALSE(w->FindNow->isEnabled());
    w->Stop->click();
    EXPECT_FALSE(w->Searching());
    EXPECT_TRUE(w->FindNow->isEnabled());
    EXPECT_FALSE(w->Stop->isEnabled());

    // Searched anew, what the stopped search still had is never shown.
    letGo = true;
    w->FindNow->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !w->Searching(); }));
    EXPECT_EQ(w->Results->topLevelItemCount(), 5);
    EXPECT_EQ(w->Status->text(), "5 file(s) found");
    const QList<QTreeWidgetItem*> items = w->Results->findItems("report.txt", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->text(1), Path("docs"));
    EXPECT_EQ(items[0]->text(2), "3 KB");
    EXPECT_FALSE(items[0]->text(3).isEmpty());
    w->Results->setCurrentItem(items[0]);
    QTest::keyClick(w->Results, Qt::Key_Return);
    EXPECT_EQ(opened, QStringList{Path("docs/report.txt")});

    w->NewSearch->click();
    EXPECT_EQ(w->Named->text(), "");
    EXPECT_EQ(w->Results->topLevelItemCount(), 0);

    letGo = false;
    w->FindNow->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return w->Results->topLevelItemCount() == 1; }));
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    FileSearch::SetMatchHook({});
}
