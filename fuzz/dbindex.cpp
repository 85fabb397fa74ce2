// Opens an index file from arbitrary bytes over a table of forty names, walks the table in its
// order both ways, goes to positions in it, changes and appends records, and opens it again.
// Each change may add a page per level and a root to the index file, and nothing more.
#include "FuzzSupport.h"
#include "framework/data/Field.h"
#include "storage/dbdataset/DbDataset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>

using namespace dbdataset;

namespace {

// The table every input is read against, made once and laid anew for each input, as the
// changes grow it: NAME (C 10) and QTY (N 5).
QString table() {
    static QByteArray pristine;
    static const QString path = [] {
        const QString p = QDir::tempPath() +
                          QString("/orv_fuzz_%1_index.dbf").arg(QCoreApplication::applicationPid());
        QFile::remove(p);
        SetDefaultFolder(QFileInfo(p).path() + "/");
        TDbDataset t;
        t.FieldDefs().AddFieldDef("NAME", ftString, 10, false);
        t.FieldDefs().AddFieldDef("QTY", ftInteger, 5, false);
        t.SetTableName(QFileInfo(p).fileName());
        t.Open();
        for (int i = 0; i < 40; ++i) {
            t.Append();
            t.FieldByName("NAME")->SetAsString(QString("n%1").arg(i * 7 % 40));
            t.FieldByName("QTY")->SetAsInteger(i);
            t.Post();
        }
        t.Close();
        QFile f(p);
        if (f.open(QIODevice::ReadOnly))
            pristine = f.readAll();
        return p;
    }();
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(pristine);
    return path;
}

// A change through the index may add a page per level and a new root to its file, no more,
// also when it is refused halfway.
template <class Change> void change(const QString& index, Change make) {
    const qint64 before = std::max<qint64>(QFileInfo(index).size(), 1024);
    auto check = [&] {
        if (QFileInfo(index).size() > before + (dbindex::MaxLevels + 1) * dbindex::PageSize)
            __builtin_trap();
    };
    try {
        make();
    } catch (...) {
        check();
        throw;
    }
    check();
}

// No record is shown twice in one walk of the index: an index that would is refused.
void walkOnce(TDbDataset& t) {
    TDbfEngine& e = t.Engine();
    QByteArray record(e.GetRecordSize(), ' ');
    std::vector<bool> shown(size_t(e.DbfFile()->RecordCount()) + 2);
    e.Cursor()->First();
    for (int steps = 0; steps < 300 && e.ReadVisibleRecord(record.data(), gmNext, false) == grOK;
         ++steps) {
        const size_t n =
            size_t(std::clamp(e.Cursor()->GetPhysicalRecNo(), 0, int(shown.size()) - 1));
        if (shown[n])
            __builtin_trap();
        shown[n] = true;
    }
}

void walk(TDbDataset& t) {
    int steps = 0;
    for (t.First(); !t.Eof() && steps < 300; t.Next(), ++steps)
        (void)t.FieldByName("NAME")->AsString();
    steps = 0;
    for (t.Last(); !t.Bof() && steps < 300; t.Prior(), ++steps)
        (void)t.RecNo();
    (void)t.RecordCount();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 100000)
        return 0;
    const QString dbf = table();
    const QString index = fuzzsupport::InputFile("mdx", data, size);
    for (int round = 0; round < 2; ++round) {
        try {
            TDbDataset t;
            t.SetOpenMode(omNormal);
            t.SetTableName(QFileInfo(dbf).fileName());
            TDbfIndexDef* def = t.Indexes().Add();
            def->SetIndexFile(index);
            def->SetSortField("NAME");
            t.SetIndexName(index);
            t.Open();
            walkOnce(t);
            walk(t);
            for (int p : {0, 1, 5, 29, 1000, -3}) {
                t.Engine().Cursor()->GotoBookmark(p);
                (void)t.Engine().Cursor()->GetPhysicalRecNo();
            }
            t.First();
            if (!t.IsEmpty() && round == 0)
                change(index, [&] {
                    t.Edit();
                    t.FieldByName("NAME")->SetAsString("changed");
                    t.Post();
                });
            change(index, [&] {
                t.Append();
                t.FieldByName("NAME")->SetAsString("added");
                t.FieldByName("QTY")->SetAsInteger(7);
                t.Post();
            });
            walk(t);
        } catch (const Exception&) {
            // A damaged index is refused with a message.
        }
        if (!TPagedFile::OpenFiles().empty())
            __builtin_trap();
    }
    return 0;
}
