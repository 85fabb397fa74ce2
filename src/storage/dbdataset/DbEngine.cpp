#include "storage/dbdataset/DbEngine.h"

#include "framework/data/Field.h"
#include "storage/dbase/DbfLayout.h"
#include "storage/dbase/TableFileNames.h"
#include "storage/dbdataset/DbDataset.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <exception>

namespace dbdataset {

namespace {

template <class T> T* registered(const QString& fileName, const char* kind) {
    TPagedFile* found = TPagedFile::FindOpenFile(fileName);
    if (!found)
        return nullptr;
    T* typed = dynamic_cast<T*>(found);
    if (!typed)
        throw EDbfEngineError(QStringLiteral("The file \"%1\" is open as another kind of file "
                                             "than a %2.")
                                  .arg(fileName, QLatin1String(kind)));
    return typed;
}

} // namespace

TDbfEngine::TDbfEngine(TDbDataset* owner) : owner_(owner) {}

TDbfEngine::~TDbfEngine() = default;

void TDbfEngine::OpenTableFile(TDbfFieldDefs& fieldDefs, const QString& fileName, int recreate,
                               bool autoCreate, bool readOnly) {
    ReadOnly = readOnly;
    TDbfFile* file = registered<TDbfFile>(fileName, "table");
    // Only the open that made the file writes its structure: a later open of the file while
    // it is still registered would cut off the records written meanwhile.
    bool created = false;
    if (!file) {
        file = new TDbfFile(fileName, recreate, autoCreate, readOnly);
        created = file->IsNew();
    }
    physicalCursor_ = std::make_unique<TDbfCursor>(file);
    dbfFile_ = file;
    cursor_ = physicalCursor_.get();
    try {
        if (created || recreate == 1)
            dbfFile_->CreateStructure(fieldDefs);
        else
            dbfFile_->CopyFieldDefs(fieldDefs);
    } catch (...) {
        if (created) {
            // A table that could not be made leaves no empty file behind.
            cursor_ = nullptr;
            dbfFile_ = nullptr;
            physicalCursor_.reset();
            QFile::remove(fileName);
        }
        throw;
    }
    recordBuffer_ = QByteArray(dbfFile_->RecordSize(), ' ');
}

void TDbfEngine::OpenMemoFile(const QString& fileName, int recreate, bool autoCreate,
                              bool readOnly) {
    ReadOnly = readOnly;
    const QString memoName = tablefiles::TableFilePath(fileName, QStringLiteral(".dbt"));
    TDBTFile* memo = registered<TDBTFile>(memoName, "memo file");
    if (!memo) {
        // A table this open made has level 0 until it is opened again, when its version byte
        // gives the level: its memos take that level's form from the start.
        int level = dbfFile_->Level();
        if (level == 0 && dbfFile_->Header())
            level = TDbfFile::LevelOfVersion(quint8(dbfFile_->Header()[0]));
        memo = new TDBTFile(memoName, recreate, autoCreate, readOnly, level);
    }
    memoFile_ = TFileRef<TDBTFile>(memo);
}

void TDbfEngine::OpenIndexFile(const QString& fileName, const QString& sortField, int create, int,
                               bool) {
    TIndexFile* file = registered<TIndexFile>(fileName, "index file");
    TFileRef<TIndexFile> hold(file);
    bool madeHere = false;
    if (file) {
        // Shared with another table's engine, its key must lie within this table's records.
        if (qint64(file->KeyOffset) + file->StoredKeyLength() > dbfFile_->RecordSize())
            throw EDbfEngineError(
                QStringLiteral("The index file \"%1\" is in use for another table.").arg(fileName));
    } else {
        if (!QFileInfo::exists(fileName))
            create = 1;
        if (create == 0) {
            try {
                file = new TIndexFile(fileName, 0, false, false);
            } catch (const EInOutError&) {
                // A medium that takes no writing: a table that is only read reads its index.
                if (!ReadOnly)
                    throw;
                file = new TIndexFile(fileName, 0, false, true);
            }
            hold = TFileRef<TIndexFile>(file);
            const QString name = file->KeyFieldName();
            const TDbfFieldDef* def = dbfFile_->FindFieldDef(name);
            if (!def)
                throw EDbfEngineError("Index based on unknown field \"" + name + "\"");
            if (def->Size() != file->HeaderKeyLength())
                throw EDbfEngineError(
                    QStringLiteral("The index file \"%1\" does not fit the field \"%2\": its "
                                   "keys have %3 bytes, the field %4.")
                        .arg(fileName, name)
                        .arg(file->HeaderKeyLength())
                        .arg(def->Size()));
            file->KeyOffset = def->Offset;
            file->KeyLength = def->Size();
            // Every page before the first change: a damaged tree is never written.
            dbfFile_->UpdateRecordCount();
            file->CheckEveryPage(dbfFile_->RecordCount());
        } else {
            const TDbfFieldDef* def = dbfFile_->FindFieldDef(sortField);
            if (!def)
                throw EDbfEngineError("Cannot create index based on field \"" + sortField + "\"");
            if (def->Size() > TIndexFile::MaxKeyLength)
                throw EDbfEngineError(
                    QStringLiteral("Cannot create index based on field \"%1\": its %2 bytes "
                                   "are more than the %3 an index key can have.")
                        .arg(sortField)
                        .arg(def->Size())
                        .arg(TIndexFile::MaxKeyLength));
            file = new TIndexFile(fileName, 1, true, false);
            hold = TFileRef<TIndexFile>(file);
            madeHere = true;
            file->InitHeader(def->Offset, def->Size(), sortField);
        }
    }

    TIndexCursor* cursor = nullptr;
    for (const auto& c : indexCursors_)
        if (c->IndexFile() == file)
            cursor = c.get();
    try {
        if (create == 1)
            file->Clear();
        if (!cursor) {
            indexCursors_.push_back(std::make_unique<TIndexCursor>(file));
            cursor = indexCursors_.back().get();
        }
        if (create == 1)
            BuildIndex(cursor);
    } catch (...) {
        if (madeHere) {
            // Half an index would hide records: it goes, and the next open builds it again.
            if (cursor)
                std::erase_if(indexCursors_, [cursor](const auto& c) { return c.get() == cursor; });
            hold.reset();
            QFile::remove(fileName);
        }
        throw;
    }
}

void TDbfEngine::BuildIndex(TIndexCursor* cursor) {
    TIndexFile* file = cursor->IndexFile();
    file->BuildLevels();
    if (file->KeyLength == 0)
        return;
    const int count = dbfFile_->RecordCount();
    const int length = file->StoredKeyLength();
    QByteArray keys(qsizetype(count) * length, ' ');
    // Only the key's bytes of each record are read, into their place in a record image.
    const int offset = file->KeyOffset;
    const int part =
        std::min(file->CharacterKeys() ? file->KeyLength : 8, dbfFile_->RecordSize() - offset);
    for (int n = 1; n <= count; ++n) {
        dbfFile_->ReadRecordPart(n, offset, part, recordBuffer_.data() + offset);
        file->KeyOfRecord(recordBuffer_.constData(), keys.data() + qsizetype(n - 1) * length);
    }
    file->BuildFromKeys(keys, count);
}

void TDbfEngine::SelectIndex(const QString& fileName) {
    indexNo_ = -1;
    for (size_t i = 0; i < indexCursors_.size(); ++i)
        if (indexCursors_[i]->PagedFile()->FileName() == fileName) {
            indexNo_ = int(i);
            break;
        }
    cursor_ = indexNo_ >= 0 ? static_cast<TVirtualCursor*>(indexCursors_[size_t(indexNo_)].get())
                            : physicalCursor_.get();
    if (owner_ && owner_->Active())
        owner_->OrderChanged();
}

void TDbfEngine::CloseFiles() {
    std::exception_ptr failure;
    // A table another engine opened for reading only has no header to write, nor has one
    // that nobody changed.
    if (!ReadOnly && dbfFile_ && !dbfFile_->IsReadOnly() && dbfFile_->Changed()) {
        try {
            dbfFile_->WriteHeader();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    cursor_ = nullptr;
    indexNo_ = -1;
    dbfFile_ = nullptr;
    physicalCursor_.reset();
    while (!indexCursors_.empty())
        indexCursors_.pop_back();
    memoFile_.reset();
    recordBuffer_.clear();
    Active = false;
    if (failure)
        std::rethrow_exception(failure);
}

int TDbfEngine::GetRecordSize() const {
    return physicalCursor_ ? physicalCursor_->GetRecordSize() : 0;
}

TGetResult TDbfEngine::ReadVisibleRecord(char* buffer, TGetMode mode, bool) {
    int count = dbfFile_ ? dbfFile_->RecordCount() : 0;
    if (count < 1 || !cursor_)
        return grEOF;
    for (;;) {
        TGetResult result = grOK;
        if (mode == gmNext && !cursor_->Next()) {
            cursor_->Last();
            result = grEOF;
        } else if (mode == gmPrior && !cursor_->Prior()) {
            cursor_->First();
            result = grBOF;
        }
        if (result == grOK) {
            const int n = cursor_->GetPhysicalRecNo();
            if (n > count && indexNo_ >= 0) {
                // Another program may have added the record; if not, the index is not this
                // table's as it is now, and showing part of it would hide records.
                dbfFile_->UpdateRecordCount();
                count = dbfFile_->RecordCount();
                if (n > count)
                    indexCursors_[size_t(indexNo_)]->IndexFile()->Refuse();
            }
            if (n < 1 || n > count)
                result = grError;
            else
                dbfFile_->ReadRecord(n, buffer);
        }
        const bool accept = ShowDeleted || buffer[0] == ' ';
        if (mode == gmCurrent && !accept)
            result = grError;
        if (result != grOK || accept)
            return result;
    }
}

bool TDbfEngine::ReadField(TField* field, const char* record, void* dest) {
    if (field->FieldNo() >= 1)
        return dbfFile_->GetFieldValue(field->FieldNo() - 1, field->DataType(), record, dest);
    return ReadCalcSlot(record + dbfFile_->RecordSize() + field->Offset(), field, dest);
}

void TDbfEngine::RefuseDamagedIndexes() const {
    for (const auto& cursor : indexCursors_)
        if (cursor->IndexFile()->IsDamaged())
            cursor->IndexFile()->Refuse();
}

void TDbfEngine::AppendRecord(const char* record) {
    RefuseDamagedIndexes();
    const int n = dbfFile_->RecordCount() + 1;
    physicalCursor_->SetPhysicalRecNo(n);
    dbfFile_->MarkChanged();
    dbfFile_->WriteRecord(n, record);
    for (const auto& cursor : indexCursors_)
        cursor->Insert(n, record);
    dbfFile_->AdvanceAutoInc();
}

void TDbfEngine::UpdateRecord(const char* record) {
    const int n = cursor_->GetPhysicalRecNo();
    if (n < 1 || n > dbfFile_->RecordCount())
        throw EDbfEngineError(DbText::RecordNotFound);
    RefuseDamagedIndexes();
    if (!indexCursors_.empty())
        dbfFile_->ReadRecord(n, recordBuffer_.data());
    dbfFile_->MarkChanged();
    dbfFile_->WriteRecord(n, record);
    for (const auto& cursor : indexCursors_)
        cursor->Update(n, recordBuffer_.constData(), record);
}

void TDbfEngine::PublishFieldDefs(TDbfFieldDefs& fieldDefs) {
    TFieldDefs& defs = owner_->TDataSet::FieldDefs();
    defs.Clear();
    dbfFile_->CopyFieldDefs(fieldDefs);
    for (int i = 0; i < fieldDefs.Count(); ++i) {
        const TDbfFieldDef* def = fieldDefs.Items(i);
        const TFieldType type = def->FieldType();
        // A text is as long as the table's field, which the copy's limits may have cut.
        const int size = dbfFile_->FieldDefs().Items(i)->Size();
        defs.Add(def->Name(), type, type == ftString || type == ftBCD ? size : 0, false);
    }
}

void TDbfEngine::SyncCursor(int recNo) {
    if (!cursor_ || recNo < 1)
        return;
    if (cursor_ == physicalCursor_.get()) {
        physicalCursor_->SetPhysicalRecNo(recNo);
        return;
    }
    auto* index = static_cast<TIndexCursor*>(cursor_);
    if (index->GetPhysicalRecNo() == recNo)
        return;
    if (recNo > dbfFile_->RecordCount()) {
        index->LeafPage()->GotoEntry(-1);
        return;
    }
    dbfFile_->ReadRecord(recNo, recordBuffer_.data());
    index->GotoRecord(recNo, recordBuffer_.constData());
}

} // namespace dbdataset
