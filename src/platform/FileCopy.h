#pragma once

#include <QString>
#include <QStringList>

// Copying, deleting and listing files and folders as the runtime's file calls do, for the
// editor's build of a project folder. Nothing is ever half written: a copy is made beside its
// target under a hidden temporary name and takes the target's name only once it is complete,
// so a failed copy leaves the target as it was.
namespace Files {

// Copies a file. An existing target is replaced unless `failIfExists`. The copy keeps the
// source's permissions, so a program stays executable. Copying a file onto itself succeeds and
// changes nothing. False when the source is no file or the copy could not be written.
bool CopyFileA(const QString& existing, const QString& target, bool failIfExists);

// Removes a file, or a symbolic link itself; never a folder. False when nothing was removed.
bool DeleteFileA(const QString& path);

// Creates an empty file; false when it cannot be created. An existing file is left alone.
bool CreateEmptyFile(const QString& path);

// Writes a file whole, replacing what was there; false when it could not be written (the old
// file then stays as it was). An executable file (a script) may be run by everyone, where the
// file system can say so.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, bool executable = false);

// The names of the entries of a folder that match one of the masks ("autorun.*;qor.*": "*" and
// "?" as wildcards, letter case as it stands), files, folders and links alike, in the order of
// the folder's listing.
QStringList FindFiles(const QString& folder, const QString& masks);

// True when the path names an existing folder.
bool DirectoryExists(const QString& path);

// Copies a folder with everything in it to `target`, which must not exist yet. The copy is
// built under a hidden temporary name beside the target and renamed once complete, so a
// failure leaves no target behind. Files inside keep their permissions; links are copied as
// the files they point at.
bool CopyFolder(const QString& source, const QString& target);

// Removes a folder with everything in it. A symbolic link is removed itself, never followed.
// True when nothing is left at the path.
bool RemoveFolder(const QString& path);

// True when both paths name the same existing file or folder.
bool SameFile(const QString& a, const QString& b);

} // namespace Files
