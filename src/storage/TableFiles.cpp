#include "storage/TableFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace dbtable {

namespace {

bool isRooted(const QString& path) {
    return path.startsWith('\\') || path.startsWith('/') || (path.size() > 1 && path[1] == ':');
}

// Stored names may use a backslash or a slash between folders.
QString slashed(QString path) {
    return path.replace('\\', '/');
}

QString withExtension(const QString& path, const QString& extension) {
    const qsizetype slash = path.lastIndexOf('/');
    const qsizetype dot = path.lastIndexOf('.');
    return (dot > slash ? path.left(dot) : path) + extension;
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
        folder = QCoreApplication::applicationDirPath() + '/' + runTimePath;
    folder = slashed(folder.trimmed());
    if (!folder.isEmpty()) {
        folder = QDir::cleanPath(QDir().absoluteFilePath(folder));
        if (!folder.endsWith('/'))
            folder += '/';
    }
    const QString name = slashed(tableName);
    const QString table = isRooted(tableName) ? name : folder + name;
    const QString base = withExtension(table, ".dbf");
    return {QDir::toNativeSeparators(base), QDir::toNativeSeparators(withExtension(table, ".dbt")),
            QDir::toNativeSeparators(withExtension(table, ".mdx"))};
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
    try {
        table_.reset(TPagedFile::FindOpenFileAs<TDbfFile>(paths.Table));
        if (!table_)
            table_.reset(new TDbfFile(paths.Table, TPagedMode::Create));
        memo_.reset(TPagedFile::FindOpenFileAs<TDbtFile>(paths.Memo));
        if (!memo_)
            memo_.reset(new TDbtFile(paths.Memo, table_->Level(), TPagedMode::Create));
    } catch (...) {
        releaseAll();
        throw;
    }
}

void TTableFiles::Close() {
    try {
        if (table_ && !readOnly_)
            table_->WriteHeader();
    } catch (...) {
        releaseAll();
        throw;
    }
    releaseAll();
}

} // namespace dbtable
