// The item table through the dataset, each case beside a plain sequential read of the same
// .dbf file with QFile in record-size chunks: scanning every record with its memo, showing
// one group of 50, and appending records.
#include "storage/DbTable.h"
#include "ItemTableBuilder.h"
#include "framework/data/Field.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace itembench;

constexpr int AppendRecords = 10000;

struct Row {
    double seconds = 0;
    double plain = 0;
    long records = 0;
};
std::map<std::string, Row> results;

void Report(benchmark::State& state, const std::string& name, double total, double plain,
            long records) {
    const double perIteration = total / double(state.iterations());
    state.counters["plain_ms"] = plain * 1e3;
    state.counters["ratio"] = perIteration / plain;
    state.counters["records/s"] =
        benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate);
    results[name] = {perIteration, plain, records};
}

// Every record with its memo, first to last.
void BM_ScanWithMemo(benchmark::State& state) {
    TDbTable t;
    Prepare(t, "items");
    t.SetReadOnly(true);
    t.Open();
    TField* caption = t.FieldByName("CAPTION");
    TField* comments = t.FieldByName("COMMENTS");
    long records = 0;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        records = 0;
        for (t.First(); !t.Eof(); t.Next()) {
            benchmark::DoNotOptimize(caption->AsString());
            benchmark::DoNotOptimize(comments->AsString());
            ++records;
        }
    }
    const double total = double(timer.nsecsElapsed()) / 1e9;
    t.Close();
    Report(state, "scan 100,000 with memo", total, PlainReadBest(TablePath("items")), records);
}

// One group of the 50: the table reopened with the group's identifier as filter text.
void BM_GroupFilter(benchmark::State& state) {
    TDbTable t;
    Prepare(t, "items");
    t.SetReadOnly(true);
    t.SetRecordFilterText("grp17");
    long records = 0;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        t.Open();
        TField* caption = t.FieldByName("CAPTION");
        records = 0;
        for (t.First(); !t.Eof(); t.Next()) {
            benchmark::DoNotOptimize(caption->AsString());
            ++records;
        }
        t.Close();
    }
    const double total = double(timer.nsecsElapsed()) / 1e9;
    Report(state, "group filter (1 of 50)", total, PlainReadBest(TablePath("items")), records);
}

// 10,000 records with memos appended to a new table; compared with reading that table.
void BM_Append(benchmark::State& state) {
    int round = 0;
    double total = 0;
    QString last;
    for (auto _ : state) {
        state.PauseTiming();
        last = QString("append%1").arg(round++);
        TDbTable t;
        Prepare(t, last);
        t.CreateTable();
        t.Open();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        AppendItems(t, AppendRecords);
        t.Close();
        total += double(timer.nsecsElapsed()) / 1e9;
    }
    Report(state, "append 10,000 with memo", total, PlainReadBest(TablePath(last)), AppendRecords);
}

} // namespace

BENCHMARK(BM_ScanWithMemo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QTemporaryDir dir;
    folder = &dir;
    QElapsedTimer made;
    made.start();
    MakeTable("items", TableRecords);
    std::printf("item table of %d records with memos made in %.1f s (%lld bytes, memo %lld)\n",
                TableRecords, double(made.elapsed()) / 1e3,
                static_cast<long long>(QFile(TablePath("items")).size()),
                static_cast<long long>(QFile(dir.filePath("items.dbt")).size()));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\n%-26s %12s %14s %10s %9s\n", "case", "records", "dataset ms", "plain ms",
                "ratio");
    for (const auto& [name, row] : results)
        std::printf("%-26s %12ld %14.2f %10.2f %9.1f\n", name.c_str(), row.records,
                    row.seconds * 1e3, row.plain * 1e3, row.seconds / row.plain);
    return 0;
}
