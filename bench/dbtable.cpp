// The item table through the dataset, each case beside plain file access of the same bytes
// and beside a peer library (shapelib's DBFReadStringAttribute over the five character
// fields), all in one run and round by round, so that the machine's load meets them alike:
//   scan    - every record with all six fields as text, memo included; plain: the .dbf and
//             the .dbt read through, one read() per 64 KiB; the same through the dataset of
//             the second engine
//   group   - the table opened anew, one group of 50 shown, its captions read; plain: the
//             .dbf read through
//   append  - 10,000 records with memo appended to a new table; plain: a writer that issues
//             one write() per record and one per memo block
// Each figure is the best round; the ratio is the dataset's best round to the plain one's.
#include "storage/dbtable/DbTable.h"
#include "ItemTableBuilder.h"
#include "framework/data/Field.h"
#include "storage/dbdataset/DbDataset.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <shapefil.h>
#include <string>
#include <vector>

namespace {

using namespace itembench;

constexpr int AppendRecords = 10000;
constexpr qint64 PlainChunk = 64 * 1024;

// ---------------------------------------------------------------- plain file access

// Reads the files through, one read() per 64 KiB; returns seconds.
double PlainRead(const QStringList& paths) {
    QElapsedTimer timer;
    timer.start();
    std::vector<char> chunk(static_cast<size_t>(PlainChunk));
    qint64 sum = 0;
    for (const QString& path : paths) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return 0;
        qint64 got;
        while ((got = f.read(chunk.data(), PlainChunk)) > 0)
            sum += chunk[size_t(got - 1)];
    }
    benchmark::DoNotOptimize(sum);
    return Seconds(timer);
}

// Writes the records and memos of the append case with one write() per record and one per
// memo block: the record images and memo blocks the dataset makes, laid out one after the
// other. Returns seconds.
double PlainWrite(const QString& name) {
    // The bytes first, so that only the writing is timed.
    std::vector<QByteArray> records;
    std::vector<QByteArray> memos;
    for (int i = 0; i < AppendRecords; ++i) {
        const Item item = ItemNumber(i);
        QByteArray record(651, ' ');
        auto put = [&](int offset, int length, const QString& text) {
            const QByteArray bytes = text.toLatin1().left(length);
            std::memcpy(record.data() + offset, bytes.constData(), size_t(bytes.size()));
        };
        put(1, 20, item.group);
        put(21, 120, item.caption);
        put(141, 180, item.descriptor);
        put(321, 10, QString::number(i + 1).rightJustified(10));
        put(491, 160, item.file);
        records.push_back(record);
        QByteArray block(512, '\0');
        const QByteArray text = item.comments.toLatin1();
        const quint32 length = quint32(text.size() + 8);
        std::memcpy(block.data(), "\xFF\xFF\x08\x00", 4);
        std::memcpy(block.data() + 4, &length, 4);
        std::memcpy(block.data() + 8, text.constData(), size_t(text.size()));
        memos.push_back(block);
    }
    QElapsedTimer timer;
    timer.start();
    QFile dbf(TablePath(name));
    QFile dbt(MemoPath(name));
    if (!dbf.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) ||
        !dbt.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return 0;
    for (int i = 0; i < AppendRecords; ++i) {
        dbt.write(memos[size_t(i)]);
        dbf.write(records[size_t(i)]);
    }
    dbf.close();
    dbt.close();
    return Seconds(timer);
}

// ---------------------------------------------------------------- the peer library

struct PeerTable {
    DBFHandle handle = nullptr;
    std::vector<int> fields;

    explicit PeerTable(const QString& path) {
        handle = DBFOpen(QFile::encodeName(path).constData(), "rb");
        if (handle)
            for (const char* name : CharFields)
                fields.push_back(DBFGetFieldIndex(handle, name));
    }
    ~PeerTable() {
        if (handle)
            DBFClose(handle);
    }
};

// Every record's five character fields.
double PeerScan(PeerTable& t) {
    QElapsedTimer timer;
    timer.start();
    size_t sum = 0;
    const int count = DBFGetRecordCount(t.handle);
    for (int r = 0; r < count; ++r)
        for (int f : t.fields)
            sum += std::strlen(DBFReadStringAttribute(t.handle, r, f));
    benchmark::DoNotOptimize(sum);
    return Seconds(timer);
}

// The table opened, the records of one group found among the five fields, their captions.
double PeerGroup(const QString& path, const char* group, long* shown) {
    QElapsedTimer timer;
    timer.start();
    PeerTable t(path);
    long found = 0;
    const int count = DBFGetRecordCount(t.handle);
    for (int r = 0; r < count; ++r) {
        bool match = false;
        for (int f : t.fields)
            match = match || strcasestr(DBFReadStringAttribute(t.handle, r, f), group);
        if (match) {
            benchmark::DoNotOptimize(DBFReadStringAttribute(t.handle, r, t.fields[1]));
            ++found;
        }
    }
    *shown = found;
    return Seconds(timer);
}

// A new table of the five character fields, 10,000 records written.
double PeerAppend(const QString& name) {
    std::vector<std::vector<QByteArray>> values;
    for (int i = 0; i < AppendRecords; ++i) {
        const Item item = ItemNumber(i);
        values.push_back({item.group.toLatin1(), item.caption.toLatin1(),
                          item.descriptor.toLatin1(), QByteArray(), item.file.toLatin1()});
    }
    QElapsedTimer timer;
    timer.start();
    DBFHandle h = DBFCreate(QFile::encodeName(TablePath(name)).constData());
    if (!h)
        return 0;
    const int widths[] = {20, 120, 180, 160, 160};
    for (int f = 0; f < 5; ++f)
        DBFAddField(h, CharFields[f], FTString, widths[f], 0);
    for (int i = 0; i < AppendRecords; ++i)
        for (int f = 0; f < 5; ++f)
            DBFWriteStringAttribute(h, i, f, values[size_t(i)][size_t(f)].constData());
    DBFClose(h);
    return Seconds(timer);
}

// ---------------------------------------------------------------- reporting

struct Row {
    double dataset = 1e9; // best round
    double first = 0;     // the first round
    double plain = 1e9;
    double peer = 1e9;
    long records = 0;
};
std::map<std::string, Row> results;

void Keep(Row& row, double dataset, double plain, double peer) {
    if (row.first == 0)
        row.first = dataset;
    row.dataset = std::min(row.dataset, dataset);
    row.plain = std::min(row.plain, plain);
    row.peer = std::min(row.peer, peer);
}

void Report(benchmark::State& state, const std::string& name, const Row& row) {
    state.counters["plain_ms"] = row.plain * 1e3;
    state.counters["peer_ms"] = row.peer * 1e3;
    state.counters["ratio"] = row.dataset / row.plain;
    state.counters["peer_ratio"] = row.peer / row.plain;
    results[name] = row;
}

// ---------------------------------------------------------------- cases

// Every record with all six fields as text, first to last, on a table open for reading.
void Scan(benchmark::State& state, TDataSet& t, const std::string& name) {
    std::vector<TField*> fields;
    for (const char* name : FieldNames)
        fields.push_back(t.FieldByName(name));
    PeerTable peer(TablePath("items"));
    Row row;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        long records = 0;
        for (t.First(); !t.Eof(); t.Next()) {
            for (TField* f : fields)
                benchmark::DoNotOptimize(f->AsString());
            ++records;
        }
        const double dataset = Seconds(timer);
        state.PauseTiming();
        row.records = records;
        Keep(row, dataset, PlainRead({TablePath("items"), MemoPath("items")}), PeerScan(peer));
        state.ResumeTiming();
    }
    t.Close();
    Report(state, name, row);
}

void BM_ScanWithMemo(benchmark::State& state) {
    TDbTable t;
    Prepare(t, "items");
    t.SetReadOnly(true);
    t.Open();
    Scan(state, t, "scan 100,000 with memo");
}

void BM_ScanSecondEngine(benchmark::State& state) {
    dbdataset::TDbDataset t;
    t.SetReadOnly(true);
    t.SetOpenMode(dbdataset::omNormal);
    t.SetTableName(TablePath("items"));
    t.Open();
    Scan(state, t, "scan, second engine");
}

// One group of the 50: the table opened anew with the group's identifier as filter text.
void BM_GroupFilter(benchmark::State& state) {
    TDbTable t;
    Prepare(t, "items");
    t.SetReadOnly(true);
    t.SetRecordFilterText("grp17");
    Row row;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        t.Open();
        TField* caption = t.FieldByName("CAPTION");
        long records = 0;
        for (t.First(); !t.Eof(); t.Next()) {
            benchmark::DoNotOptimize(caption->AsString());
            ++records;
        }
        t.Close();
        const double dataset = Seconds(timer);
        state.PauseTiming();
        long peerShown = 0;
        const double peer = PeerGroup(TablePath("items"), "grp17", &peerShown);
        if (peerShown != records)
            state.SkipWithError("the peer found another group");
        row.records = records;
        Keep(row, dataset, PlainRead({TablePath("items")}), peer);
        state.ResumeTiming();
    }
    Report(state, "group filter (1 of 50)", row);
}

// 10,000 records with memos appended to a new table.
void BM_Append(benchmark::State& state) {
    int round = 0;
    Row row;
    for (auto _ : state) {
        state.PauseTiming();
        const QString name = QString("append%1").arg(round++);
        TDbTable t;
        Prepare(t, name);
        t.CreateTable();
        t.Open();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        AppendItems(t, AppendRecords);
        t.Close();
        const double dataset = Seconds(timer);
        state.PauseTiming();
        row.records = AppendRecords;
        Keep(row, dataset, PlainWrite(name + "plain"), PeerAppend(name + "peer"));
        for (const QString& n : {name, name + "plain", name + "peer"}) {
            QFile::remove(TablePath(n));
            QFile::remove(MemoPath(n));
        }
        state.ResumeTiming();
    }
    Report(state, "append 10,000 with memo", row);
}

} // namespace

BENCHMARK(BM_ScanWithMemo)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_ScanSecondEngine)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_GroupFilter)->Unit(benchmark::kMillisecond)->Iterations(12);
BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond)->Iterations(8);

int main(int argc, char** argv) {
    QTemporaryDir dir;
    folder = &dir;
    dbdataset::SetDefaultFolder(dir.path() + "/");
    QElapsedTimer made;
    made.start();
    MakeTable("items", TableRecords);
    std::printf("item table of %d records with memos made in %.1f s (%lld bytes, memo %lld)\n",
                TableRecords, double(made.elapsed()) / 1e3,
                static_cast<long long>(QFile(TablePath("items")).size()),
                static_cast<long long>(QFile(MemoPath("items")).size()));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\n%-26s %9s %11s %11s %9s %7s %9s %7s\n", "case", "records", "dataset ms",
                "1st rnd ms", "plain ms", "ratio", "peer ms", "ratio");
    for (const auto& [name, row] : results)
        std::printf("%-26s %9ld %11.2f %11.2f %9.2f %7.2f %9.2f %7.2f\n", name.c_str(), row.records,
                    row.dataset * 1e3, row.first * 1e3, row.plain * 1e3, row.dataset / row.plain,
                    row.peer * 1e3, row.peer / row.plain);
    return 0;
}
