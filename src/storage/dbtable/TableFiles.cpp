#include "storage/dbtable/TableFiles.h"

#include "platform/Files.h"

#include <QFileInfo>

namespace dbtable {

namespace {

// A name that begins at a root or names its drive stands on its own.
bool isRooted(const QString& path) {
    return (!path.isEmpty() && Files::IsSeparator(path[0])) || (path.size() > 1 && path[1] == ':');
}

} // namespace

TTablePaths ResolveTablePaths(const QString& tableName, const QString& runTimePath,
                              const QString& designTimePath, bool designing) {
    QString folder;
    if (designing)
        folder = designTimePath;
    else if (isRooted(runTimePath))
        folder = runTimePath;
    else
        folder = Files::ProgramFolder() + runTimePath;
    folder = folder.trimmed();
    if (!folder.isEmpty()) {
        folder = Files::ExpandFileName(folder, Files::GetCurrentDir());
        if (!Files::IsSeparator(folder.back()))
            folder += '/';
    }
    const QString table = isRooted(tableName) ? tableName : folder + tableName;
    return {Files::NativePath(TableFilePath(table, ".dbf")),
            Files::NativePath(TableFilePath(table, ".dbt")),
            Files::NativePath(TableFilePath(table, ".mdx"))};
}

TTableFiles::~TTableFiles() {
    releaseAll();
}

void TTableFiles::releaseAll() {
    index_.reset();
    memo_.reset();
    table_.reset();
}

void TTableFiles::Open(const TTablePaths& paths, bool readOnly) {
    releaseAll();
    paths_ = paths;
    readOnly_ = readOnly;
    const TPagedMode mode = readOnly ? TPagedMode::Read : TPagedMode::ReadWrite;
    // A file open in the process under the name (in any letter case) is that file.
    table_.reset(TPagedFile::FindOpenFileAs<TDbfFile>(paths.Table));
    if (!table_ && !QFileInfo(paths.Table).isFile())
        throw EBinaryDataSetError("Open: Table file not found : " + paths.Table);
    try {
        if (!table_)
            table_.reset(new TDbfFile(paths.Table, mode));
        index_.reset(TPagedFile::FindOpenFileAs<TIndexFile>(paths.Index));
        if (!index_ && QFileInfo(paths.Index).isFile())
            index_.reset(new TIndexFile(paths.Index, mode));
        memo_.reset(TPagedFile::FindOpenFileAs<TDbtFile>(paths.Memo));
        if (!memo_ && QFileInfo(paths.Memo).isFile())
            memo_.reset(new TDbtFile(paths.Memo, table_->Level(), mode));
    } catch (...) {
        releaseAll();
        throw;
    }
}

void TTableFiles::Create(const TTablePaths& paths) {
    releaseAll();
    paths_ = paths;
    readOnly_ = false;
    // Making a file anew that a dataset of this process has open would empty it under that
    // dataset and change the record layout its buffers were made for.
    for (const QString& path : {paths.Table, paths.Memo})
        if (TFileRef<TPagedFile>(TPagedFile::FindOpenFile(path)))
            throw EBinaryDataSetError("Create: Table file is in use : " + path);
    try {
        table_.reset(new TDbfFile(paths.Table, TPagedMode::Create));
        memo_.reset(new TDbtFile(paths.Memo, table_->Level(), TPagedMode::Create));
    } catch (...) {
        releaseAll();
        throw;
    }
}

void TTableFiles::DropWriteAccess() {
    if (table_)
        table_->DropWriteAccess();
    if (memo_)
        memo_->DropWriteAccess();
    if (index_)
        index_->DropWriteAccess();
}

void TTableFiles::Close() {
    try {
        // A table nobody wrote a record to keeps its header as its writer left it: opening a
        // table never changes it. A table whose records cannot be written has not changed
        // either; its header, rewritten with a spacing that does not fit, could only damage it.
        if (table_ && !readOnly_ && table_->Mode() != TPagedMode::Read && table_->Changed() &&
            table_->RecordsWritable())
            table_->WriteHeader();
    } catch (...) {
        releaseAll();
        throw;
    }
    releaseAll();
}

} // namespace dbtable
