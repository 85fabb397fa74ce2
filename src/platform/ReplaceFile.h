#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include <functional>
#include <optional>

// Writes a file so that its target is never seen half written: the content goes into a hidden
// temporary file beside the target, is made to reach the disk, and only then takes the
// target's name, in one step. Whatever fails on the way leaves the old file whole and nothing
// of the attempt behind, and tells why.
class TReplaceFile {
public:
    // What becomes of a file that is already at the target.
    enum TMode {
        // It is replaced; a link there is replaced itself, never what it leads to.
        Replace,
        // It stays, and putting the new file in place fails (EEXIST), also when the name
        // comes to exist while the content is being written.
        KeepExisting,
        // The file is saved anew as its user knows it: a link at the target stays and the file
        // it leads to is replaced, that file keeps its permissions, and one that may not be
        // written is not replaced (EACCES).
        Update,
    };

    explicit TReplaceFile(const QString& target, TMode mode = Replace);
    // Removes the temporary file unless it was put in place.
    ~TReplaceFile();
    TReplaceFile(const TReplaceFile&) = delete;
    TReplaceFile& operator=(const TReplaceFile&) = delete;

    // The permissions of the new file. Without them it keeps those of the file an update
    // replaces, and otherwise gets what any new file gets.
    void SetPermissions(QFileDevice::Permissions permissions);
    // The modification time the new file is to carry.
    void SetModificationTime(const QDateTime& time);

    // Creates the temporary file. False when it cannot be created, when a folder stands at the
    // target, or when an update may not write the file there.
    bool Open();
    // Where the content goes, from a successful Open until Commit.
    QFile& File() { return file_; }
    // Writes the bytes straight to the disk, after what File() still buffers. A disk that takes
    // only part of them is asked for the rest, so that a failure carries the system's reason
    // (a full disk is ENOSPC): false then, with Error() and ErrorString() telling why.
    bool Append(const char* data, qint64 size);
    // Writes out what is still buffered and waits until the content is on the disk. Commit
    // does it as well; calling it first tells a failed write apart from a failed placing.
    bool Flush();
    // Flushes, gives the file its permissions and time, and puts it in the target's place.
    bool Commit();
    // Gives up the new file: the temporary file goes at once, and with it the room it took.
    void Discard();

    // The last failure: the system's error number (0 where the system gave none) and the
    // reason as a text.
    int Error() const { return error_; }
    QString ErrorString() const { return errorString_; }

    // The whole round for a content written in one go: Open, `write` into the file, Commit.
    // False when `write` answers false or any step fails.
    static bool Write(const QString& target, const std::function<bool(QFile&)>& write,
                      TMode mode = Replace,
                      std::optional<QFileDevice::Permissions> permissions = std::nullopt);

    // The hidden name beside `target` under which something that is to take its place is
    // made, ending in "XXXXXX" for the caller (or a QTemporaryDir) to make unique. The target's
    // name is shortened so that the whole stays within what a file system allows for a name.
    static QString TemporaryTemplate(const QString& target);

private:
    bool Fail(int error, const QString& text);
    bool FailWithErrno();
    // Hands what File() buffers to the system; false when it is refused.
    bool WriteBuffered();

    QString target_; // where the file goes: for an update, past any link
    TMode mode_;
    std::optional<QFileDevice::Permissions> permissions_;
    std::optional<QDateTime> modified_;
    int permissionsToSet_ = -1; // mode bits given at Commit; -1: as created
    QString temporary_;
    QFile file_;
    bool committed_ = false;
    int error_ = 0;
    QString errorString_;
};

namespace Files {

// The system's text for an error number.
QString ErrorText(int error);

// True when anything bears the name, even a link that leads nowhere.
bool NameTaken(const QString& path);

// Gives `from` the name `to` in one step: 0, or the system's error number. Unless `replace`, a
// name that exists (or comes to exist meanwhile) is never overwritten: EEXIST.
int RenamePath(const QString& from, const QString& to, bool replace);

enum class TCopyResult { Copied, ReadFailed, WriteFailed, Stopped };

// Copies what is left of `in` into `out`, `blockSize` bytes at a time. `write` (when given)
// writes each block in place of `out.write` and answers the bytes written; `progress` (when
// given) hears the bytes copied so far after each block and stops the copy by answering false.
TCopyResult CopyContent(QFile& in, QFile& out, qint64 blockSize,
                        const std::function<bool(qint64 done)>& progress = {},
                        const std::function<qint64(QFile&, const QByteArray&)>& write = {});

} // namespace Files
