#include "platform/ui/FileSearchWindow.h"
#include "common/EventLoop.h"
#include "platform/FolderTest.h"
#include "platform/Volumes.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <thread>

using FileSearchWindow = FolderTest;

static int rows(TFileSearchWindow* w) {
    return w->Results->model()->rowCount();
}

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
    ASSERT_TRUE(ProcessEventsUntil([&] { return rows(w) == 1; }));
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
    EXPECT_EQ(rows(w), 5);
    EXPECT_EQ(w->Status->text(), "5 file(s) found");
    const QAbstractItemModel* m = w->Results->model();
    const QModelIndexList items = m->match(m->index(0, 0), Qt::DisplayRole, "report.txt");
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].siblingAtColumn(1).data(), Path("docs"));
    EXPECT_EQ(items[0].siblingAtColumn(2).data(), "3 KB");
    EXPECT_FALSE(items[0].siblingAtColumn(3).data().toString().isEmpty());
    w->Results->setCurrentIndex(items[0]);
    QTest::keyClick(w->Results, Qt::Key_Return);
    EXPECT_EQ(opened, QStringList{Path("docs/report.txt")});

    w->NewSearch->click();
    EXPECT_EQ(w->Named->text(), "");
    EXPECT_EQ(rows(w), 0);

    letGo = false;
    w->FindNow->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return rows(w) == 1; }));
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    FileSearch::SetMatchHook({});
}

TEST_F(FileSearchWindow, ManyMatchesArriveInBoundedBatchesUntilStopped) {
    for (int i = 0; i < 10; ++i)
        Write(QString("f%1.txt").arg(i), "");
    const qsizetype batch = std::exchange(TFileSearch::MaxBatch, 3);
    // The search holds after its last match: all ten wait to be listed.
    std::atomic<int> matches{0};
    FileSearch::SetMatchHook([&](const std::atomic<bool>& stop) {
        if (++matches == 10)
            while (!stop)
                std::this_thread::yield();
    });
    auto w = std::make_unique<TFileSearchWindow>(nullptr, tmp_.path(), nullptr);
    w->LookIn->setCurrentText(tmp_.path());
    std::vector<int> batches;
    QObject::connect(w->Results->model(), &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) {
                         batches.push_back(last - first + 1);
                         if (batches.size() == 2)
                             w->Stop->click();
                     });
    w->FindNow->click();
    EXPECT_EQ(w->Status->text(), "Searching... 0 file(s) found");
    while (matches < 10)
        std::this_thread::yield();
    EXPECT_TRUE(ProcessEventsUntil([&] { return !w->Searching() || rows(w.get()) == 10; }));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(batches, (std::vector<int>{3, 3}));
    EXPECT_EQ(w->Status->text(), "6 file(s) found");
    FileSearch::SetMatchHook({});
    TFileSearch::MaxBatch = batch;
}

TEST_F(FileSearchWindow, OpensOverTheWindowThatOpenedIt) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // In the middle of the screen it is centred over its owner; by the screen's corner it is
    // kept on the screen.
    const QRect corner(screen.bottomRight() - QPoint(100, 100), QSize(300, 200));
    for (const auto& [at, centred] : {std::pair{QRect(120, 90, 500, 380), true}, {corner, false}}) {
        QWidget owner;
        owner.setGeometry(at);
        owner.show();
        QPointer<TFileSearchWindow> w = new TFileSearchWindow(&owner, tmp_.path(), nullptr);
        w->show();
        const QRect placed = w->frameGeometry();
        if (centred)
            EXPECT_EQ(placed.center(), owner.frameGeometry().center());
        else
            EXPECT_EQ(placed.bottomRight(), screen.bottomRight());
    }
}
