// The index of the second-generation engine over the item table: building an index on CAPTION
// and walking the table in its order, beside sorting the same keys in memory with std::sort and
// walking the sorted keys; and looking up 10,000 random captions in the index, beside looking
// them up in a std::map. Each pair runs side by side in one run and is reported as a ratio.
// sqlite3 does the same with the same keys in the same run, as a database's measure: an index
// created on them (letter case ignored, as ours does) and walked in order, and the same lookups.
#include "ItemTableBuilder.h"
#include "storage/dbdataset/DbDataset.h"

#include <sqlite3.h>

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>

using namespace itembench;
using namespace dbdataset;

namespace {

constexpr int Lookups = 10000;
constexpr int CaptionLength = 120;

QString IndexPath() {
    return folder->filePath("caption.mdx");
}

// The index's order: letters a to z as A to Z, other bytes unsigned.
bool Before(const std::string& a, const std::string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        auto up = [](char c) { return quint8(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); };
        if (up(a[i]) != up(b[i]))
            return up(a[i]) < up(b[i]);
    }
    return a.size() < b.size();
}

// Every caption of the table as the index keeps it, blank-padded to the field's length.
std::vector<std::string> Captions() {
    std::vector<std::string> keys;
    QFile f(TablePath("items"));
    if (!f.open(QIODevice::ReadOnly))
        return keys;
    const QByteArray all = f.readAll();
    const int header = quint8(all[8]) | quint8(all[9]) << 8;
    const int size = quint8(all[10]) | quint8(all[11]) << 8;
    // GROUP (20) comes before CAPTION.
    for (qsizetype at = header; at + size <= all.size(); at += size)
        keys.emplace_back(all.constData() + at + 1 + 20, CaptionLength);
    return keys;
}

struct Row {
    double seconds = 0;
    double plain = 0;
    long items = 0;
    double sqlite = 0;
};
std::map<std::string, Row> results;

void Report(benchmark::State& state, const std::string& name, double total, double plain,
            long items, double sqlite) {
    const double perIteration = total / double(state.iterations());
    state.counters["plain_ms"] = plain * 1e3;
    state.counters["ratio"] = perIteration / plain;
    state.counters["sqlite_ratio"] = sqlite / plain;
    results[name] = {perIteration, plain, items, sqlite};
}

// The fastest of a few runs of a plain case.
template <class F> double Best(F f) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

// The captions in a sqlite3 table of their own, in a file beside the item table.
class TSqliteKeys {
public:
    explicit TSqliteKeys(const std::vector<std::string>& keys) {
        const QByteArray path = QFile::encodeName(folder->filePath("captions.sqlite"));
        QFile::remove(folder->filePath("captions.sqlite"));
        sqlite3_open(path.constData(), &db_);
        // As a database tuned for this table would run: its pages cached and mapped whole.
        Run("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-262144;"
            "PRAGMA mmap_size=1073741824;"
            "CREATE TABLE items(caption TEXT); BEGIN;");
        sqlite3_stmt* insert = Prepare("INSERT INTO items(caption) VALUES (?1)");
        for (const std::string& key : keys) {
            sqlite3_bind_text(insert, 1, key.data(), int(key.size()), SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        Run("COMMIT;");
    }
    ~TSqliteKeys() { sqlite3_close(db_); }

    void Run(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
        return statement;
    }
    // Creates the index and walks the rows in its order; the number of rows walked.
    long BuildAndWalk() {
        Run("DROP INDEX IF EXISTS by_caption;"
            "CREATE INDEX by_caption ON items(caption COLLATE NOCASE);");
        sqlite3_stmt* walk = Prepare("SELECT rowid FROM items ORDER BY caption COLLATE NOCASE");
        long n = 0;
        while (sqlite3_step(walk) == SQLITE_ROW)
            n += sqlite3_column_int(walk, 0) > 0;
        sqlite3_finalize(walk);
        return n;
    }

private:
    sqlite3* db_ = nullptr;
};

// Opens the item table with the caption index selected; a missing index is built.
void OpenIndexed(TDbDataset& t) {
    t.SetReadOnly(true);
    t.SetOpenMode(omNormal);
    t.SetTableName(TablePath("items"));
    TDbfIndexDef* def = t.Indexes().Add();
    def->SetIndexFile(IndexPath());
    def->SetSortField("CAPTION");
    t.SetIndexName(IndexPath());
    t.Open();
}

void BM_BuildAndWalk(benchmark::State& state) {
    long walked = 0;
    double total = 0;
    for (auto _ : state) {
        QFile::remove(IndexPath());
        QElapsedTimer timer;
        timer.start();
        TDbDataset t;
        OpenIndexed(t);
        TDbfEngine& e = t.Engine();
        QByteArray record(e.GetRecordSize(), ' ');
        walked = 0;
        e.Cursor()->First();
        while (e.ReadVisibleRecord(record.data(), gmNext, false) == grOK)
            ++walked;
        total += double(timer.nsecsElapsed()) / 1e9;
        t.Close();
    }
    const std::vector<std::string> keys = Captions();
    const double plain = Best([&] {
        std::vector<std::pair<std::string, int>> sorted;
        sorted.reserve(keys.size());
        for (size_t i = 0; i < keys.size(); ++i)
            sorted.emplace_back(keys[i], int(i + 1));
        std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
            return Before(a.first, b.first) || (!Before(b.first, a.first) && a.second < b.second);
        });
        long n = 0;
        for (const auto& k : sorted)
            n += k.second;
        benchmark::DoNotOptimize(n);
    });
    TSqliteKeys sqlite(keys);
    long sqliteWalked = 0;
    const double database = Best([&] { sqliteWalked = sqlite.BuildAndWalk(); });
    if (sqliteWalked != walked)
        state.SkipWithError("sqlite3 walked another number of rows");
    Report(state, "index build + walk", total, plain, walked, database);
}

void BM_KeyedLookup(benchmark::State& state) {
    const std::vector<std::string> keys = Captions();
    std::mt19937 random(42);
    std::vector<std::string> wanted;
    for (int i = 0; i < Lookups; ++i)
        wanted.push_back(keys[random() % keys.size()]);

    TDbDataset t;
    OpenIndexed(t);
    auto* cursor = static_cast<TIndexCursor*>(t.Engine().Cursor());
    TIndexFile* index = cursor->IndexFile();
    long found = 0;
    double total = 0;
    for (auto _ : state) {
        found = 0;
        QElapsedTimer timer;
        timer.start();
        for (const std::string& key : wanted) {
            TIndexPage* leaf = cursor->FindPath(0, key.data());
            if (leaf->Entry() && leaf->EntryNo < leaf->Count() &&
                index->CompareKeys(key.data(), leaf->Entry() + 8) == 0)
                ++found;
        }
        total += double(timer.nsecsElapsed()) / 1e9;
    }
    t.Close();

    std::map<std::string, int> map;
    for (size_t i = 0; i < keys.size(); ++i)
        map.emplace(keys[i], int(i + 1));
    const double plain = Best([&] {
        long n = 0;
        for (const std::string& key : wanted)
            n += map.count(key);
        benchmark::DoNotOptimize(n);
    });

    TSqliteKeys sqlite(keys);
    sqlite.BuildAndWalk();
    sqlite3_stmt* lookup =
        sqlite.Prepare("SELECT rowid FROM items WHERE caption = ?1 COLLATE NOCASE LIMIT 1");
    long sqliteFound = 0;
    const double database = Best([&] {
        sqliteFound = 0;
        for (const std::string& key : wanted) {
            sqlite3_bind_text(lookup, 1, key.data(), int(key.size()), SQLITE_STATIC);
            sqliteFound += sqlite3_step(lookup) == SQLITE_ROW;
            sqlite3_reset(lookup);
        }
    });
    sqlite3_finalize(lookup);
    if (sqliteFound != found)
        state.SkipWithError("sqlite3 found another number of keys");
    Report(state, "10,000 keyed lookups", total, plain, found, database);
}

} // namespace

BENCHMARK(BM_BuildAndWalk)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_KeyedLookup)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QTemporaryDir dir;
    folder = &dir;
    SetDefaultFolder(dir.path() + "/");
    QElapsedTimer made;
    made.start();
    MakeTable("items", TableRecords);
    std::printf("item table of %d records made in %.1f s\n", TableRecords,
                double(made.elapsed()) / 1e3);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\n%-22s %8s %10s %10s %7s %10s %7s\n", "case", "items", "index ms", "plain ms",
                "ratio", "sqlite ms", "ratio");
    for (const auto& [name, row] : results)
        std::printf("%-22s %8ld %10.2f %10.2f %7.1f %10.2f %7.1f\n", name.c_str(), row.items,
                    row.seconds * 1e3, row.plain * 1e3, row.seconds / row.plain, row.sqlite * 1e3,
                    row.sqlite / row.plain);
    return 0;
}
