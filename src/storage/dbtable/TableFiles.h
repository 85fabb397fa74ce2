#pragma once

#include "storage/dbase/TableFileNames.h"
#include "storage/dbtable/DbfTableFile.h"
#include "storage/dbtable/DbtMemoFile.h"
#include "storage/dbtable/MdxIndexFile.h"

#include <QString>

namespace dbtable {

// The three files of one table, as native paths.
struct TTablePaths {
    QString Table; // ".dbf"
    QString Memo;  // ".dbt"
    QString Index; // ".mdx"
};

using tablefiles::TableFilePath;

// Where the dataset's table lies. The folder is `designTimePath` while the form designer
// runs, else `runTimePath` (relative to the program's folder unless it begins with "\" or
// "/" or has ":" as its second character); `tableName` is taken the same way relative to it.
TTablePaths ResolveTablePaths(const QString& tableName, const QString& runTimePath,
                              const QString& designTimePath, bool designing);

// The open files of one table: the table file, its memo file and its index file when they
// exist, each a reference to the process-wide shared file.
class TTableFiles {
public:
    TTableFiles() = default;
    ~TTableFiles();
    TTableFiles(const TTableFiles&) = delete;
    TTableFiles& operator=(const TTableFiles&) = delete;

    // Opens an existing table; `readOnly` (a read-only table, or the designer running) shares
    // everything, otherwise the files are opened for reading and writing. A missing table
    // file raises EBinaryDataSetError "Open: Table file not found : " + path; a missing memo
    // or index file is simply absent. On failure nothing stays open.
    void Open(const TTablePaths& paths, bool readOnly);
    // Makes the table file and the memo file anew; a file of either name that is open in the
    // process raises EBinaryDataSetError "Create: Table file is in use : " + path.
    void Create(const TTablePaths& paths);
    // Writes the table header unless opened read-only (or sharing a table file another user
    // opened read-only) or its records cannot be written, then releases every file, also when the
    // header write fails (its error is raised afterwards).
    void Close();
    // Releases every file without writing anything (after a failed open).
    void Discard() { releaseAll(); }
    // Keeps every file open for reading only (sharing everything) from now on: a table whose
    // records cannot be written is never written.
    void DropWriteAccess();

    bool IsOpen() const { return bool(table_); }
    bool ReadOnly() const { return readOnly_; }
    const TTablePaths& Paths() const { return paths_; }
    TDbfFile* Table() const { return table_.get(); }
    TDbtFile* Memo() const { return memo_.get(); }
    TIndexFile* Index() const { return index_.get(); }

private:
    void releaseAll();

    TTablePaths paths_;
    bool readOnly_ = false;
    TFileRef<TDbfFile> table_;
    TFileRef<TDbtFile> memo_;
    TFileRef<TIndexFile> index_;
};

} // namespace dbtable
