// The file search of the search window beside find(1): every match of a mask in a tree of
// 100,000 files (1,000 folders of 100 in 10 folders), listed by each in turn. The search
// reports each match's size and time as well: find is run once without them (it then reads
// no file's attributes) and once printing them. Medians of interleaved runs, and the ratios.
// Usage: bench_filesearch [runs]
#include "platform/FileSearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 11;
    QTemporaryDir tmp;
    QElapsedTimer clock;
    clock.start();
    makeTree(tmp.path());
    std::printf("tree of %d files made in %.1f s\n\n", Top * Middle * Files,
                double(clock.elapsed()) / 1000);
    std::printf("%-6s %8s %10s %8s %6s %16s %6s\n", "mask", "matches", "search ms", "find ms",
                "ratio", "find+attr. ms", "ratio");
    for (const QString mask : {"*.txt", "*"}) {
        std::vector<double> a, b, c;
        qsizetype counts[3] = {};
        for (int r = 0; r < runs; ++r) {
            clock.restart();
            counts[0] = ours(tmp.path(), mask);
            a.push_back(double(clock.nsecsElapsed()) / 1e6);
            clock.restart();
            counts[1] = find(tmp.path(), mask, false);
            b.push_back(double(clock.nsecsElapsed()) / 1e6);
            clock.restart();
            counts[2] = find(tmp.path(), mask, true);
            c.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        if (counts[0] != counts[1] || counts[0] != counts[2])
            std::printf("%s: the search found %lld, find %lld and %lld\n", qPrintable(mask),
                        (long long)counts[0], (long long)counts[1], (long long)counts[2]);
        std::printf("%-6s %8lld %10.1f %8.1f %6.2f %16.1f %6.2f\n", qPrintable(mask),
                    (long long)counts[0], median(a), median(b), median(a) / median(b), median(c),
                    median(a) / median(c));
    }
    return 0;
}
