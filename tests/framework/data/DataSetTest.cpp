#include "common/MemDataSet.h"

#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/data/Fields.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::vector<TMemDataSet::Column> itemColumns() {
    return {{"GROUP", ftString, 20}, {"CAPTION", ftString, 40}, {"COMMENTS", ftMemo, 0}};
}

std::unique_ptr<TMemDataSet> itemTable(int records) {
    auto ds = std::make_unique<TMemDataSet>(itemColumns());
    for (int i = 1; i <= records; ++i)
        ds->AddRow({i % 2 ? "odd" : "even", QString("Item %1").arg(i), QString()});
    return ds;
}

QString caption(TDataSet& ds) {
    return ds.FieldByName("CAPTION")->AsString();
}

// A link that only asks for a number of buffers, as a grid showing rows would.
class RowsLink : public TDataLink {};

template <class F> QString errorOf(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return QString();
}

} // namespace

TEST(DataSet, EmptySetIsAtBothEnds) {
    auto ds = itemTable(0);
    ds->Open();
    EXPECT_TRUE(ds->Bof());
    EXPECT_TRUE(ds->Eof());
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_EQ(ds->MoveBy(1), 0);
    EXPECT_EQ(ds->MoveBy(-1), 0);
    ds->Last();
    EXPECT_TRUE(ds->Bof() && ds->Eof());
    ds->First();
    EXPECT_TRUE(ds->Bof() && ds->Eof());
    EXPECT_EQ(ds->RecordCount(), 0);
    EXPECT_TRUE(ds->FieldByName("CAPTION")->IsNull());
    EXPECT_EQ(caption(*ds), "");
    EXPECT_TRUE(ds->GetBookmark().IsNull());
    // Editing an empty set inserts.
    ds->Edit();
    EXPECT_EQ(ds->State(), dsInsert);
    ds->FieldByName("CAPTION")->SetAsString("first");
    ds->Post();
    EXPECT_EQ(ds->StoredCount(), 1);
    EXPECT_FALSE(ds->IsEmpty());
    EXPECT_EQ(caption(*ds), "first");
}

class DataSetNavigation : public testing::TestWithParam<int> {};

TEST_P(DataSetNavigation, MovesAndStopsAtTheEnds) {
    auto ds = itemTable(7);
    TDataSource source;
    RowsLink link;
    link.SetBufferCount(GetParam());
    source.SetDataSet(ds.get());
    link.SetDataSource(&source);
    ds->Open();
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());
    EXPECT_EQ(caption(*ds), "Item 1");
    EXPECT_EQ(ds->RecNo(), 1);
    ds->Next();
    EXPECT_FALSE(ds->Bof());
    EXPECT_EQ(caption(*ds), "Item 2");
    EXPECT_EQ(ds->MoveBy(3), 3);
    EXPECT_EQ(caption(*ds), "Item 5");
    EXPECT_EQ(ds->RecNo(), 5);
    EXPECT_EQ(ds->MoveBy(10), 2);
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(caption(*ds), "Item 7");
    EXPECT_EQ(ds->MoveBy(1), 0);
    EXPECT_EQ(ds->MoveBy(-2), -2);
    EXPECT_FALSE(ds->Eof());
    EXPECT_EQ(caption(*ds), "Item 5");
    EXPECT_EQ(ds->MoveBy(-10), -4);
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(caption(*ds), "Item 1");
    ds->Last();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(caption(*ds), "Item 7");
    ds->Prior();
    EXPECT_EQ(caption(*ds), "Item 6");
    ds->SetRecNo(3);
    EXPECT_EQ(caption(*ds), "Item 3");
    ds->First();
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(caption(*ds), "Item 1");
    EXPECT_EQ(ds->RecordCount(), 7);
    // Walking the whole set forwards and backwards sees every record once.
    QStringList seen;
    for (ds->First(); !ds->Eof(); ds->Next())
        seen << caption(*ds);
    EXPECT_EQ(seen.size(), 7);
    seen.clear();
    for (ds->Last(); !ds->Bof(); ds->Prior())
        seen << caption(*ds);
    EXPECT_EQ(seen.first(), "Item 7");
    EXPECT_EQ(seen.last(), "Item 1");
    EXPECT_EQ(seen.size(), 7);
}

INSTANTIATE_TEST_SUITE_P(BufferCounts, DataSetNavigation, testing::Values(1, 3, 7, 50));

TEST(DataSet, EditingRaisesEventsInOrder) {
    auto ds = itemTable(3);
    QStringList log;
    auto rec = [&log](const char* name) { return [&log, name](TDataSet*) { log << name; }; };
    ds->BeforeInsert = rec("BeforeInsert");
    ds->AfterInsert = rec("AfterInsert");
    ds->BeforeEdit = rec("BeforeEdit");
    ds->AfterEdit = rec("AfterEdit");
    ds->BeforePost = rec("BeforePost");
    ds->AfterPost = rec("AfterPost");
    ds->BeforeCancel = rec("BeforeCancel");
    ds->AfterCancel = rec("AfterCancel");
    ds->BeforeDelete = rec("BeforeDelete");
    ds->AfterDelete = rec("AfterDelete");
    ds->BeforeScroll = rec("BeforeScroll");
    ds->AfterScroll = rec("AfterScroll");
    ds->BeforeOpen = rec("BeforeOpen");
    ds->AfterOpen = rec("AfterOpen");
    ds->BeforeClose = rec("BeforeClose");
    ds->AfterClose = rec("AfterClose");
    ds->OnNewRecord = [&log](TDataSet* d) {
        log << "OnNewRecord";
        d->FieldByName("GROUP")->SetAsString("grp01");
    };

    ds->Open();
    EXPECT_EQ(log, QStringList({"BeforeOpen", "AfterOpen", "AfterScroll"}));
    log.clear();

    ds->Next();
    ds->Insert();
    EXPECT_EQ(log, QStringList({"BeforeScroll", "AfterScroll", "BeforeInsert", "BeforeScroll",
                                "OnNewRecord", "AfterInsert", "AfterScroll"}));
    // What OnNewRecord sets does not count as a change of the user's.
    EXPECT_FALSE(ds->Modified());
    EXPECT_EQ(ds->FieldByName("GROUP")->AsString(), "grp01");
    log.clear();
    ds->FieldByName("CAPTION")->SetAsString("new");
    EXPECT_TRUE(ds->Modified());
    ds->Post();
    EXPECT_EQ(log, QStringList({"BeforePost", "AfterPost"}));
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(caption(*ds), "new");
    // Inserted before the second record.
    EXPECT_EQ(ds->StoredString(1, 1), "new");
    EXPECT_EQ(ds->StoredString(2, 1), "Item 2");
    log.clear();

    ds->Edit();
    ds->FieldByName("CAPTION")->SetAsString("changed");
    ds->Cancel();
    EXPECT_EQ(log, QStringList({"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel"}));
    EXPECT_EQ(caption(*ds), "new");
    log.clear();

    ds->Append();
    EXPECT_TRUE(ds->Eof());
    ds->FieldByName("CAPTION")->SetAsString("appended");
    ds->Post();
    EXPECT_EQ(ds->StoredString(ds->StoredCount() - 1, 1), "appended");
    EXPECT_EQ(caption(*ds), "appended");
    log.clear();

    ds->Insert();
    ds->Cancel();
    EXPECT_EQ(log, QStringList({"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                                "AfterScroll", "BeforeCancel", "BeforeScroll", "AfterCancel",
                                "AfterScroll"}));
    EXPECT_EQ(ds->StoredCount(), 5);
    log.clear();

    ds->First();
    log.clear();
    ds->Delete();
    EXPECT_EQ(log, QStringList({"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}));
    EXPECT_EQ(ds->StoredCount(), 4);
    EXPECT_EQ(caption(*ds), "new");
    log.clear();

    // Moving away from a modified record posts it; from an unmodified one cancels it.
    ds->Edit();
    ds->FieldByName("CAPTION")->SetAsString("posted by moving");
    ds->Next();
    EXPECT_EQ(ds->StoredString(0, 1), "posted by moving");
    EXPECT_EQ(log.mid(0, 4), QStringList({"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost"}));
    log.clear();

    ds->Close();
    EXPECT_EQ(log, QStringList({"BeforeClose", "AfterClose"}));
}

TEST(DataSet, DeletingTheLastRecordsLeavesAnEmptySet) {
    auto ds = itemTable(2);
    ds->Open();
    ds->Last();
    ds->Delete();
    EXPECT_EQ(caption(*ds), "Item 1");
    ds->Delete();
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->Bof() && ds->Eof());
    EXPECT_EQ(errorOf([&] { ds->Delete(); }), DbText::DataSetEmpty);
}

TEST(DataSet, StateErrors) {
    auto ds = itemTable(2);
    EXPECT_EQ(errorOf([&] { ds->First(); }), DbText::DataSetClosed);
    EXPECT_EQ(errorOf([&] { ds->Post(); }), DbText::DataSetClosed);
    EXPECT_EQ(errorOf([&] { ds->Insert(); }), DbText::DataSetClosed);
    EXPECT_EQ(errorOf([&] { ds->RecordCount(); }), DbText::DataSetClosed);
    ds->Open();
    EXPECT_EQ(errorOf([&] { ds->CheckInactive(); }), DbText::DataSetOpen);
    EXPECT_EQ(errorOf([&] { ds->AddField<TStringField>("X"); }), DbText::DataSetOpen);
    EXPECT_EQ(errorOf([&] { ds->Post(); }), DbText::NotEditing);
    EXPECT_EQ(errorOf([&] { ds->FieldByName("CAPTION")->SetAsString("x"); }), DbText::NotEditing);
    EXPECT_EQ(errorOf([&] { ds->FieldByName("NOPE"); }), "Field 'NOPE' not found");
    EXPECT_EQ(ds->FindField("caption"), ds->FieldByName("CAPTION"));

    // A bookmark of a record that is gone.
    ds->Last();
    const TBookmark bm = ds->GetBookmark();
    ds->Delete();
    EXPECT_FALSE(ds->BookmarkValid(bm));
    EXPECT_EQ(errorOf([&] { ds->GotoBookmark(bm); }), DbText::RecordNotFound);
    EXPECT_EQ(errorOf([&] { ds->GotoBookmark(TBookmark{QByteArray("toolong!")}); }),
              DbText::RecordNotFound);
    EXPECT_EQ(errorOf([&] { ds->SetRecNo(9); }), DbText::RecordNotFound);
    ds->Close();

    ds->ReadOnly = true;
    ds->Open();
    EXPECT_EQ(errorOf([&] { ds->Edit(); }), DbText::DataSetReadOnly);
    EXPECT_EQ(errorOf([&] { ds->Append(); }), DbText::DataSetReadOnly);
    EXPECT_EQ(errorOf([&] { ds->Delete(); }), DbText::DataSetReadOnly);
    EXPECT_EQ(ds->State(), dsBrowse);
}

TEST(DataSet, FailedPostKeepsTheEditOrAborts) {
    auto ds = itemTable(2);
    ds->Open();
    ds->Edit();
    ds->FieldByName("CAPTION")->SetAsString("x");
    ds->FailNextPost = true;
    EXPECT_EQ(errorOf([&] { ds->Post(); }), "Post failed");
    EXPECT_EQ(ds->State(), dsEdit);
    EXPECT_EQ(caption(*ds), "x");

    int calls = 0;
    ds->OnPostError = [&](TDataSet*, const std::exception&, TDataAction& action) {
        ++calls;
        action = calls == 1 ? daRetry : daAbort;
    };
    ds->FailNextPost = true;
    ds->Post(); // the retry succeeds
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ds->StoredString(0, 1), "x");
    ds->Edit();
    ds->FieldByName("CAPTION")->SetAsString("y");
    ds->FailNextPost = true;
    ds->OnPostError = [](TDataSet*, const std::exception&, TDataAction& action) {
        action = daAbort;
    };
    EXPECT_THROW(ds->Post(), EAbort);
    EXPECT_EQ(ds->State(), dsEdit);
}

TEST(DataSet, FilterNarrowsTheRecords) {
    auto ds = itemTable(6);
    ds->OnFilterRecord = [](TDataSet* d, bool& accept) {
        EXPECT_EQ(d->State(), dsFilter);
        accept = d->FieldByName("GROUP")->AsString() == "even";
    };
    ds->Open();
    int n = 0;
    for (ds->First(); !ds->Eof(); ds->Next())
        ++n;
    EXPECT_EQ(n, 6); // the event decides only while Filtered
    ds->SetFiltered(true);
    QStringList seen;
    for (ds->First(); !ds->Eof(); ds->Next())
        seen << caption(*ds);
    EXPECT_EQ(seen, QStringList({"Item 2", "Item 4", "Item 6"}));
    ds->Last();
    EXPECT_EQ(caption(*ds), "Item 6");
    ds->SetFiltered(false);
    EXPECT_EQ(caption(*ds), "Item 1");
    ds->OnFilterRecord = [](TDataSet*, bool& accept) { accept = false; };
    ds->SetFiltered(true);
    EXPECT_TRUE(ds->IsEmpty());
}

TEST(DataSet, CalculatedFieldsFollowTheRecord) {
    TMemDataSet ds(itemColumns());
    ds.AddRow({"a", "one", ""});
    ds.AddRow({"b", "three", ""});
    ds.AddField<TStringField>("CAPTION");
    auto* length = ds.AddField<TIntegerField>("LENGTH");
    length->SetFieldKind(fkCalculated);
    int calls = 0;
    ds.OnCalcFields = [&](TDataSet* d) {
        ++calls;
        EXPECT_EQ(d->State(), dsCalcFields);
        d->FieldByName("LENGTH")->SetAsInteger(d->FieldByName("CAPTION")->AsString().size());
    };
    ds.Open();
    EXPECT_EQ(ds.FieldCount(), 2); // persistent fields only
    EXPECT_EQ(ds.CalcFieldsSize(), 5);
    EXPECT_EQ(length->AsInteger(), 3);
    ds.Next();
    EXPECT_EQ(length->AsInteger(), 5);
    ds.Edit();
    ds.FieldByName("CAPTION")->SetAsString("twelve chars");
    EXPECT_EQ(length->AsInteger(), 12);
    EXPECT_EQ(errorOf([&] { length->SetAsInteger(1); }), "Field 'LENGTH' cannot be modified");
    ds.Post();
    EXPECT_EQ(length->AsInteger(), 12);
    EXPECT_GT(calls, 0);
    // A stored field may not be written while the record is being calculated.
    ds.OnCalcFields = [](TDataSet* d) { d->FieldByName("CAPTION")->SetAsString("x"); };
    EXPECT_THROW(ds.First(), EDatabaseError);
}

TEST(DataSet, Bookmarks) {
    auto ds = itemTable(10);
    TDataSource source;
    RowsLink link;
    link.SetBufferCount(3);
    source.SetDataSet(ds.get());
    link.SetDataSource(&source);
    ds->Open();
    ds->MoveBy(6);
    TBookmark seventh = ds->GetBookmark();
    ds->First();
    const TBookmark first = ds->GetBookmark();
    EXPECT_TRUE(ds->BookmarkValid(seventh));
    EXPECT_EQ(caption(*ds), "Item 1"); // checking a bookmark does not move
    ds->Next();
    EXPECT_EQ(caption(*ds), "Item 2"); // nor does it confuse the cursor
    ds->GotoBookmark(seventh);
    EXPECT_EQ(caption(*ds), "Item 7");
    ds->Next();
    EXPECT_EQ(caption(*ds), "Item 8");
    EXPECT_EQ(ds->CompareBookmarks(first, seventh), -1);
    EXPECT_EQ(ds->CompareBookmarks(seventh, first), 1);
    EXPECT_EQ(ds->CompareBookmarks(seventh, seventh), 0);
    EXPECT_EQ(ds->CompareBookmarks(TBookmark(), seventh), 1);
    EXPECT_EQ(ds->CompareBookmarks(TBookmark(), TBookmark()), 0);
    ds->FreeBookmark(seventh);
    EXPECT_TRUE(seventh.IsNull());
    ds->GotoBookmark(seventh); // nothing happens for no bookmark
    EXPECT_EQ(caption(*ds), "Item 8");
    // A record being inserted has no bookmark yet.
    ds->Insert();
    EXPECT_TRUE(ds->GetBookmark().IsNull());
    ds->Cancel();
}

TEST(DataSet, InsertingWithManyBuffersKeepsTheOrder) {
    auto ds = itemTable(5);
    TDataSource source;
    RowsLink link;
    link.SetBufferCount(3);
    source.SetDataSet(ds.get());
    link.SetDataSource(&source);
    ds->Open();
    ds->MoveBy(2); // the last of the three buffers
    ds->Insert();
    ds->FieldByName("CAPTION")->SetAsString("between 2 and 3");
    ds->Post();
    QStringList seen;
    for (ds->First(); !ds->Eof(); ds->Next())
        seen << caption(*ds);
    EXPECT_EQ(seen,
              QStringList({"Item 1", "Item 2", "between 2 and 3", "Item 3", "Item 4", "Item 5"}));
}

TEST(DataSet, DisableControlsHoldsDataEvents) {
    auto ds = itemTable(4);
    TDataSource source;
    int changes = 0;
    int states = 0;
    source.OnDataChange = [&](QObject*, TField*) { ++changes; };
    source.OnStateChange = [&](QObject*) { ++states; };
    source.SetDataSet(ds.get());
    ds->Open();
    EXPECT_EQ(states, 1);
    changes = 0;
    ds->Next();
    EXPECT_EQ(changes, 1);
    ds->DisableControls();
    ds->DisableControls();
    ds->Next();
    ds->Last();
    ds->Edit();
    ds->FieldByName("CAPTION")->SetAsString("quiet");
    ds->Post();
    EXPECT_EQ(changes, 1);
    ds->EnableControls();
    EXPECT_EQ(changes, 1);
    ds->EnableControls();
    EXPECT_EQ(changes, 2); // one change for all that happened meanwhile
    EXPECT_FALSE(ds->ControlsDisabled());
    // A disabled source hears nothing and reports the dataset inactive.
    source.SetEnabled(false);
    EXPECT_EQ(source.State(), dsInactive);
    ds->First();
    EXPECT_EQ(changes, 2);
    source.SetEnabled(true);
    EXPECT_EQ(source.State(), dsBrowse);
}

TEST(DataSet, ClosingMakesFieldsFromDefinitionsAnew) {
    auto ds = itemTable(1);
    ds->Open();
    EXPECT_EQ(ds->FieldCount(), 3);
    EXPECT_EQ(ds->FieldByName("COMMENTS")->DataType(), ftMemo);
    EXPECT_EQ(ds->FieldDefs().Count(), 3);
    EXPECT_EQ(ds->FieldDefs().Find("CAPTION")->FieldNo(), 2);
    ds->Close();
    EXPECT_EQ(ds->FieldCount(), 0);
    EXPECT_EQ(ds->FindField("CAPTION"), nullptr);
}

TEST(DataSet, PersistentFieldsAreCheckedAgainstTheTable) {
    TMemDataSet ds(itemColumns());
    ds.AddField<TIntegerField>("CAPTION");
    EXPECT_EQ(errorOf([&] { ds.Open(); }),
              "Type mismatch for field 'CAPTION', expecting: Integer actual: String");
    EXPECT_FALSE(ds.Active());
    ds.RemoveField(ds.FieldByName("CAPTION"));
    ds.AddField<TStringField>("MISSING");
    EXPECT_EQ(errorOf([&] { ds.Open(); }), "Field 'MISSING' not found");
    ds.RemoveField(ds.FieldByName("MISSING"));
    // A persistent string field takes the table's width, so its buffer always fits.
    auto* group = ds.AddField(std::make_unique<TStringField>("GROUP", 5));
    ds.Open();
    EXPECT_EQ(group->Size(), 20);
}
