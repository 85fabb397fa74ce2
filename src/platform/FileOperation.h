#pragma once

#include <QString>
#include <QStringList>

class QObject;
class TReplaceFile;

// The shell's file operation: copy, move, delete and rename of local files (a rename also
// gives a folder a new name), as the desktop's
// file manager would do them, with its questions, progress and error reports left to a
// TFileOperationUi. Nothing is ever lost: a copy is written beside its target under a hidden
// temporary name and takes the target's name only when it is complete, so a cancelled or
// failed copy leaves both sides as they were; a move to another volume is such a copy, and
// the source goes only once the copy stands; a file is replaced only when the user said so;
// a delete with undo goes to the desktop's trash.

// Functions of the operation, the shell's own codes.
enum : unsigned { FO_MOVE = 1, FO_COPY = 2, FO_DELETE = 3, FO_RENAME = 4 };
// Flags: deleted files go to the trash, from where the user can take them back.
enum : unsigned { FOF_ALLOWUNDO = 0x40 };

// What the operation is asked to do. The names are shell name lists: each name ends with a
// NUL character and the list with a second one.
struct SHFILEOPSTRUCTA {
    QObject* hwnd = nullptr; // the window that owns the questions and the progress
    unsigned wFunc = 0;
    QString pFrom;
    QString pTo;
    unsigned fFlags = 0;
    // Set when the user declined or cancelled any part of the operation.
    bool fAnyOperationsAborted = false;
};

namespace Shell {

// The names of a shell name list (up to the empty name that ends it).
QStringList NameList(const QString& list);
// A shell name list from text in which ";" separates names. A text that names an existing
// file or folder as a whole stays one name, so that a file whose name holds ";" is never
// taken for other files.
QString ToNameList(const QString& text);

} // namespace Shell

// Everything the operation asks or tells the user.
class TFileOperationUi {
public:
    enum TAnswer { Yes, YesToAll, No, Cancel };

    virtual ~TFileOperationUi() = default;
    // A file named as the source is already at the target. `several`: more files follow, so
    // "Yes to all" and "Cancel" make sense.
    virtual TAnswer ConfirmReplace(const QString& target, const QString& source, bool several) = 0;
    // The files are about to be deleted (to the trash when `toTrash`).
    virtual bool ConfirmDelete(const QStringList& files, bool toTrash) = 0;
    // One file's copy begins, goes on and ends; CopyProgress answers false when the user
    // cancels. EndCopy follows every BeginCopy.
    virtual void BeginCopy(const QString& source, const QString& targetFolder, qint64 size,
                           bool move) = 0;
    virtual bool CopyProgress(qint64 done) = 0;
    virtual void EndCopy() = 0;
    // An operation failed: the text names the file and the reason.
    virtual void ShowError(const QString& caption, const QString& text) = 0;
};

class TFileOperation {
public:
    explicit TFileOperation(TFileOperationUi& ui) : ui_(ui) {}
    virtual ~TFileOperation() = default;
    TFileOperation(const TFileOperation&) = delete;
    TFileOperation& operator=(const TFileOperation&) = delete;

    // Carries out the operation. 0 when every part that was not declined succeeded; else the
    // system error code of the part that failed, which stopped the operation there.
    int Run(SHFILEOPSTRUCTA& op);

    // Bytes copied between two progress reports.
    qint64 BlockSize = qint64(1) << 20;

protected:
    // Writes one block of a copy: 0, or the system's error number.
    virtual int WriteBlock(TReplaceFile& target, const char* data, qint64 size);

private:
    int Transfer(const QString& source, const QString& target, bool move, bool several,
                 SHFILEOPSTRUCTA& op);
    int CopyFile(const QString& source, const QString& target, bool replace, bool move,
                 SHFILEOPSTRUCTA& op);
    int Delete(const QStringList& sources, SHFILEOPSTRUCTA& op);
    int Rename(const QString& source, const QString& target);
    // Reports the failure of one part; returns its code.
    int Fail(unsigned func, const QString& text, int code);

    TFileOperationUi& ui_;
    bool replaceAll_ = false;
};
