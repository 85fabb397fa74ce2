#pragma once

#include "platform/Volumes.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The program's own file, its command line, and the file and folder calls of the runtime.
// Stored paths may separate folders with "\" or "/"; they become native only here, where they
// reach the file system.
namespace Files {

// The running program's file (full native path), also when the dynamic loader started it, and
// its folder with a trailing separator.
QString ProgramFile();
QString ProgramFolder();

// The command line as ParamStr sees it: index 0 is the program, 1 to ParamCount() the
// arguments it was started with; an index out of range gives the empty text.
int ParamCount();
QString ParamStr(int index);
// The arguments 1 to ParamCount().
QStringList Arguments();

// A stored path as the file system wants it.
QString NativePath(const QString& path);
// The same, except that a name which exists as given is left alone, so that a native file
// whose name holds a backslash is still found.
QString ExistingOrNativePath(const QString& path);

// True when the path names an existing file (a folder is no file).
bool FileExists(const QString& path);
// The working folder (native, no trailing separator unless it is the root).
QString GetCurrentDir();
// Makes the folder the working folder; false when that is not possible.
bool SetCurrentDir(const QString& folder);
// The native path with symbolic links resolved when the path exists, else the path unchanged.
QString CanonicalPath(const QString& path);

// True for "\" and "/", the folder separators a stored path may use.
bool IsSeparator(QChar c);
// True for a path that names its drive or starts at a root ("C:\x", "\\server\x", "/x").
bool IsAbsolutePath(const QString& path);
// Everything up to and including the last separator or ":"; empty for a bare file name.
QString ExtractFilePath(const QString& path);
// The rest: the name without any folder, whichever separator the path uses.
QString ExtractFileName(const QString& path);
// A path made full against the working folder given: "." and ".." are folded, a trailing
// separator is kept. Paths in drive-letter form come back with "\", native ones with "/".
QString ExpandFileName(const QString& path, const QString& workingFolder);

// The drive part of a path: "X:" for a drive-letter path (any character before the colon, so
// "?:" counts), "\\server\share" for a network path, and for an absolute native path the
// root of its volume as the mount table gives it ("" for the root volume "/"). A relative
// path has none.
std::optional<QString> ExtractFileDrive(const QString& path,
                                        const std::vector<Volumes::MountEntry>& mounts);

} // namespace Files
