#pragma once

#include "platform/Files.h"
#include "platform/Volumes.h"

#include <QString>
#include <vector>

// The editor's rules that need no window: file kinds, the window caption, font sizes and the
// paths of files on CD-ROM volumes.
namespace Orvello {

// The text from the last "." of the file name on ("" when the name has none); a "." in a
// folder name is no extension.
QString ExtractFileExt(const QString& path);
// True when the extension of the path is `ext` (with its "."), whatever the letter case.
bool HasExtension(const QString& path, const QString& ext);
using Files::ExtractFileName;

// Templates are project files with the extension ".zun"; every other file is a project.
bool IsTemplateFile(const QString& fileName);
// The application title alone without a project file, else "title - file name".
QString WindowCaption(const QString& title, const QString& projectFileName);

// The working folder of a chosen program: its folder without the final separator, so that a
// program at the root of a CD volume gives "?:". The root "/" itself is kept.
QString EntryFolderOf(const QString& programPath);

// Font sizes are points at the 96 pixels per inch the windows are designed for. A size far
// outside what a font can show is drawn within bounds; the points stored stay as they are.
int PixelsOfPoints(int points);
// The point size of a font given in pixels, as the designer's font heights translate.
int PointsOfPixels(int pixels);

// The drive marker: a path on a CD-ROM volume is stored with "?:" in place of the volume's
// root, so that the menu finds the file on whatever volume the CD is mounted.
//
// `MarkCdDrive`: the path with its volume root replaced by "?:" when it is an absolute path
// on a CD-ROM volume and names something below the root; any other path comes back unchanged.
QString MarkCdDrive(const QString& path, const std::vector<Volumes::MountEntry>& mounts);
// `FindOnCdDrive`: a path beginning with "?:" made real on the CD-ROM volume that holds the
// file: first on `cachedRoot` when it is set, then on every CD-ROM volume in the order of the
// mount table; the volume where the scan found the file is remembered in `cachedRoot`. A path
// that no volume holds, and any path without the leading marker, comes back unchanged.
QString FindOnCdDrive(const QString& path, const std::vector<Volumes::MountEntry>& mounts,
                      QString& cachedRoot);

} // namespace Orvello
