// The player's item-table window on the 100,000-record item table, beside a plain sequential
// read of the same .dbf file: the window opened on one group of 50 and scrolled to the group's
// end, and a change of group in the open window, again to the end. The grid reads only the
// rows it shows, so neither grows with the table.
#include "ItemTableBuilder.h"

#include "framework/dbcontrols/DBGrid.h"
#include "framework/forms/Application.h"
#include "player/DataWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QScrollBar>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace itembench;

struct Result {
    double seconds = 0;
    double plain = 0;
};
std::map<std::string, Result> results;

// The window as the menu window sets it up: the table, browse-only, and every group.
std::unique_ptr<TData> OpenWindow() {
    auto data = std::make_unique<TData>();
    for (int g = 1; g <= Groups; ++g) {
        const QString id = QString("grp%1").arg(g, 2, 10, QChar('0'));
        data->Groups->addItem("Group " + id);
        data->GroupIdentifiers[size_t(g - 1)] = id;
    }
    data->Groups->addItem(TItemTableWindow::AllGroups);
    data->GroupIdentifiers[Groups] = TItemTableWindow::AllGroups;
    data->SetTableEditable(false);
    data->SetTableFile("items", folder->path());
    return data;
}

void Show(TData& data) {
    data.show();
    while (!data.isVisible() || data.DBGrid1->VisibleRowCount() < 2)
        QCoreApplication::processEvents();
}

// Chooses group g and goes to its last record with the grid's scroll bar.
void GroupToItsEnd(TData& data, int g, benchmark::State& state) {
    data.Groups->setCurrentIndex(g - 1);
    data.GroupsChange(data.Groups);
    data.DBGrid1->RecordScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    // The last record of group g is item 99,950 + g - 1.
    const QString expected = QString("Item number %1").arg(TableRecords - Groups + g - 1);
    if (data.Table1CAPTION->AsString() != expected)
        state.SkipWithError("the grid did not reach the group's end");
}

void Report(benchmark::State& state, const std::string& name, double total) {
    const double plain = PlainReadBest(TablePath("items"));
    const double perIteration = total / double(state.iterations());
    state.counters["plain_ms"] = plain * 1e3;
    state.counters["ratio"] = perIteration / plain;
    results[name] = {perIteration, plain};
}

// A new window each time: opened on group 17, shown, scrolled to the group's end.
void BM_OpenGroupToEnd(benchmark::State& state) {
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        std::unique_ptr<TData> data = OpenWindow();
        Show(*data);
        GroupToItsEnd(*data, 17, state);
        data->close();
    }
    Report(state, "open, group 17, to its end", double(timer.nsecsElapsed()) / 1e9);
}

// The open window goes from group to group, each time to the group's end.
void BM_ChangeGroupToEnd(benchmark::State& state) {
    std::unique_ptr<TData> data = OpenWindow();
    Show(*data);
    int g = 0;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        g = g % Groups + 1;
        GroupToItsEnd(*data, g, state);
    }
    Report(state, "group change, to its end", double(timer.nsecsElapsed()) / 1e9);
    data->close();
}

} // namespace

BENCHMARK(BM_OpenGroupToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeGroupToEnd)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApp app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    QElapsedTimer made;
    made.start();
    MakeTable("items", TableRecords);
    std::printf("item table of %d records with memos made in %.1f s (%lld bytes)\n", TableRecords,
                double(made.elapsed()) / 1e3,
                static_cast<long long>(QFile(TablePath("items")).size()));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\n%-28s %12s %10s %9s\n", "case", "window ms", "plain ms", "ratio");
    for (const auto& [name, r] : results)
        std::printf("%-28s %12.2f %10.2f %9.3f\n", name.c_str(), r.seconds * 1e3, r.plain * 1e3,
                    r.seconds / r.plain);
    return 0;
}
