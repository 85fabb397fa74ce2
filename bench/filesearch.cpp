// The file search of the search window beside find(1): every match of a mask in a tree of
// 100,000 files (1,000 folders of 100 in 10 folders), listed by each in turn. The search
// reports each match's size and time as well: find is run once without them (it then reads
// no file's attributes) and once printing them. Medians of interleaved runs, and the ratios.
// Then the search window itself, shown, lists the 200,000 files of two such trees: the longest
// stretch in which its event loop did not come round, the time until all are listed, and the
// time it takes to be gone when it is closed half-way.
// Usage: bench_filesearch [runs]  (on Qt's offscreen platform unless another is set)
#include "platform/FileSearch.h"
#include "platform/ui/FileSearchWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Top = 10, Middle = 100, Files = 100;
const char* const Extensions[] = {"txt", "dat", "log", "bin"};

void makeTree(const QString& root) {
    for (int t = 0; t < Top; ++t)
        for (int m = 0; m < Middle; ++m) {
            const QString folder = QString("%1/top%2/folder%3").arg(root).arg(t).arg(m);
            QDir().mkpath(folder);
            for (int f = 0; f < Files; ++f) {
                QFile file(QString("%1/file%2.%3").arg(folder).arg(f).arg(Extensions[f % 4]));
                if (file.open(QIODevice::WriteOnly))
                    file.write("x");
            }
        }
}

qsizetype ours(const QString& root, const QString& mask) {
    std::vector<FileSearch::TFoundFile> found;
    const std::atomic<bool> stop{false};
    FileSearch::Search(
        {root, mask, {}, true}, [&](FileSearch::TFoundFile&& f) { found.push_back(std::move(f)); },
        stop);
    return qsizetype(found.size());
}

qsizetype find(const QString& root, const QString& mask, bool attributes) {
    QStringList args{root, "-mindepth", "1", "-iname", mask};
    if (attributes)
        args << "-printf"
             << "%p %s %T@\\n";
    QProcess p;
    p.start("find", args);
    p.waitForFinished(-1);
    return p.readAllStandardOutput().count('\n');
}

struct WindowRun {
    double stall = 0; // ms
    double listed = 0;
    double closed = 0;
    qsizetype rows = 0;
};

// A zero timer comes round each time the event loop does: its longest gap is the window's
// longest stall, the click that starts the search included. With `closeAt`, the window is
// closed once it lists that many matches, and the time until it is gone is taken.
WindowRun window(const QString& root, const QString& mask, int closeAt = 0) {
    QPointer<TFileSearchWindow> w = new TFileSearchWindow(nullptr, root, {});
    w->show();
    QCoreApplication::processEvents();
    w->LookIn->setCurrentText(root);
    w->Named->setText(mask);
    WindowRun run;
    QElapsedTimer clock;
    qint64 last = 0;
    QTimer tick;
    tick.setInterval(0);
    QEventLoop loop;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        run.stall = std::max(run.stall, double(now - last) / 1e6);
        last = now;
        if (closeAt && w->Results->model()->rowCount() >= closeAt) {
            tick.stop();
            run.rows = w->Results->model()->rowCount();
            clock.restart();
            w->close();
            loop.quit();
        }
    });
    QObject::connect(w, &TFileSearchWindow::SearchEnded, &loop, &QEventLoop::quit);
    tick.start();
    clock.start();
    w->FindNow->click();
    loop.exec();
    if (closeAt) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        run.closed = w ? -1 : double(clock.nsecsElapsed()) / 1e6;
        delete w;
        return run;
    }
    run.listed = double(clock.nsecsElapsed()) / 1e6;
    run.rows = w->Results->model()->rowCount();
    delete w;
    return run;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 11;
    QTemporaryDir tmp;
    QElapsedTimer clock;
    clock.start();
    const QString trees[] = {tmp.path() + "/a", tmp.path() + "/b"};
    for (const QString& tree : trees)
        makeTree(tree);
    std::printf("2 trees of %d files made in %.1f s\n\n", Top * Middle * Files,
                double(clock.elapsed()) / 1000);
    std::printf("%-6s %8s %10s %8s %6s %16s %6s\n", "mask", "matches", "search ms", "find ms",
                "ratio", "find+attr. ms", "ratio");
    for (const QString mask : {"*.txt", "*"}) {
        std::vector<double> a, b, c;
        qsizetype counts[3] = {};
        for (int r = 0; r < runs; ++r) {
            clock.restart();
            counts[0] = ours(trees[0], mask);
            a.push_back(double(clock.nsecsElapsed()) / 1e6);
            clock.restart();
            counts[1] = find(trees[0], mask, false);
            b.push_back(double(clock.nsecsElapsed()) / 1e6);
            clock.restart();
            counts[2] = find(trees[0], mask, true);
            c.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        if (counts[0] != counts[1] || counts[0] != counts[2])
            std::printf("%s: the search found %lld, find %lld and %lld\n", qPrintable(mask),
                        (long long)counts[0], (long long)counts[1], (long long)counts[2]);
        std::printf("%-6s %8lld %10.1f %8.1f %6.2f %16.1f %6.2f\n", qPrintable(mask),
                    (long long)counts[0], median(a), median(b), median(a) / median(b), median(c),
                    median(a) / median(c));
    }

    std::vector<double> stalls, listed, closed;
    qsizetype rows = 0, closedAt = 0;
    for (int r = 0; r < std::max(1, runs / 3); ++r) {
        const WindowRun run = window(tmp.path(), "file*");
        stalls.push_back(run.stall);
        listed.push_back(run.listed);
        rows = run.rows;
        const WindowRun closing = window(tmp.path(), "file*", 100000);
        closed.push_back(closing.closed);
        closedAt = closing.rows;
    }
    std::printf("\nwindow: %lld matches listed in %.1f ms, window stall ms %.1f\n", (long long)rows,
                median(listed), median(stalls));
    std::printf("window closed at %lld matches, gone in %.1f ms\n", (long long)closedAt,
                median(closed));
    return 0;
}
