// Editing, bookmarks and the control switch of TDataSet.
#include "framework/data/DataSet.h"

#include "framework/data/Field.h"

void TDataSet::CheckCanModify() {
    if (!CanModify())
        DatabaseError(DbText::DataSetReadOnly);
}

void TDataSet::CheckOperation(const std::function<void()>& operation,
                              const TDataSetErrorEvent& onError) {
    for (;;) {
        try {
            UpdateCursorPos();
            operation();
            return;
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& e) {
            TDataAction action = daFail;
            if (onError)
                onError(this, e, action);
            if (action == daFail)
                throw;
            if (action == daAbort)
                throw EAbort();
        }
    }
}

void TDataSet::InitRecord(TRecordBuffer buffer) {
    BlankRecord(buffer);
    ClearCalcArea(buffer);
    WriteBookmarkFlag(buffer, bfInserted);
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeInsert);
    Fire(BeforeScroll);
}

void TDataSet::EndInsertAppend() {
    SetState(dsInsert);
    try {
        Fire(OnNewRecord);
    } catch (...) {
        UpdateCursorPos();
        SetState(dsBrowse);
        Resync(0);
        throw;
    }
    modified_ = false;
    DataEvent(deDataSetChange);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void TDataSet::Insert() {
    BeginInsertAppend();
    // The new record takes the place of the active one, which moves down; it remembers the
    // record it stands before so that the cursor can be brought there.
    const TBookmark before = GetBookmark();
    UpdateCursorPos();
    MoveBuffer(recordCount_, activeRecord_);
    TRecordBuffer buffer = ActiveBuffer();
    InitRecord(buffer);
    if (recordCount_ == 0)
        WriteBookmarkFlag(buffer, bfBOF);
    else if (!before.IsNull() && before.Data.size() == bookmarkSize_)
        WriteBookmark(buffer, before.Data.constData());
    if (recordCount_ < bufferCount_)
        ++recordCount_;
    CursorPosChanged();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer buffer = buffers_[0];
    InitRecord(buffer);
    WriteBookmarkFlag(buffer, bfEOF);
    recordCount_ = 1;
    bof_ = false;
    GetPriorRecords();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Edit() {
    if (state_ == dsEdit || state_ == dsInsert)
        return;
    if (recordCount_ == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeEdit);
    CheckOperation([this] { InternalEdit(); }, OnEditError);
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange);
    Fire(AfterEdit);
}

void TDataSet::Post() {
    CheckActive();
    UpdateRecord();
    DataEvent(deCheckBrowseMode);
    Fire(BeforePost);
    CheckOperation([this] { PostRecord(); }, OnPostError);
    SetState(dsBrowse);
    Resync(0);
    Fire(AfterPost);
}

void TDataSet::Cancel() {
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    DataEvent(deCheckBrowseMode);
    Fire(BeforeCancel);
    const bool scrolls = state_ == dsInsert;
    if (scrolls)
        Fire(BeforeScroll);
    UpdateCursorPos();
    InternalCancel();
    SetState(dsBrowse);
    Resync(0);
    Fire(AfterCancel);
    if (scrolls)
        Fire(AfterScroll);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == dsInsert || state_ == dsSetKey) {
        Cancel();
        return;
    }
    if (recordCount_ == 0)
        DatabaseError(DbText::DataSetEmpty);
    CheckCanModify();
    DataEvent(deCheckBrowseMode);
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    CheckOperation([this] { DeleteRecord(); }, OnDeleteError);
    SetState(dsBrowse);
    Resync(0);
    Fire(AfterDelete);
    Fire(AfterScroll);
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync(0);
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    if (state_ == dsEdit || state_ == dsInsert) {
        UpdateRecord();
        if (modified_)
            Post();
        else
            Cancel();
    } else if (state_ == dsSetKey) {
        Post();
    }
}

void TDataSet::UpdateRecord() {
    if (!IsEditState(state_))
        DatabaseError(DbText::NotEditing);
    DataEvent(deUpdateRecord);
}

// ---------------------------------------------------------------- bookmarks

bool TDataSet::BookmarkAvailable() {
    return (state_ == dsBrowse || state_ == dsEdit || state_ == dsInsert) && !IsEmpty() &&
           bookmarkSize_ > 0 && ReadBookmarkFlag(ActiveBuffer()) == bfCurrent;
}

TBookmark TDataSet::GetBookmark() {
    if (!BookmarkAvailable())
        return TBookmark();
    TBookmark bookmark;
    bookmark.Data = QByteArray(bookmarkSize_, '\0');
    ReadBookmark(ActiveBuffer(), bookmark.Data.data());
    return bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (bookmark.IsNull())
        return;
    CheckBrowseMode();
    // A bookmark of another size cannot be one of ours; reading it would overrun it.
    if (bookmark.Data.size() != bookmarkSize_)
        DatabaseError(DbText::RecordNotFound);
    Fire(BeforeScroll);
    GotoBookmark(bookmark.Data.constData());
    Resync(rmExact | rmCenter);
    Fire(AfterScroll);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) {
    if (!Active() || bookmark.IsNull() || bookmark.Data.size() != bookmarkSize_)
        return false;
    // Try to reach the record with the cursor alone; the buffers stay as they are and the
    // cursor is brought back to the active record before its next use.
    bool valid = false;
    try {
        GotoBookmark(bookmark.Data.constData());
        valid = FetchRecord(buffers_[size_t(recordCount_)], gmCurrent, false) == grOK;
    } catch (const Exception&) {
        valid = false;
    }
    CursorPosChanged();
    return valid;
}
