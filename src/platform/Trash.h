#pragma once

#include <QString>

// The desktop's trash, as the freedesktop.org trash rules lay it out: a file on the volume of
// the home trash ($XDG_DATA_HOME/Trash) goes there; a file on another volume goes to the trash
// at that volume's top folder, $topdir/.Trash/$uid where the administrator has made a shared
// one, else $topdir/.Trash-$uid. Each trash holds the file in "files" and a record of where it
// came from, and when, in "info", from where the desktop can put it back.
namespace Trash {

// Moves the file (a link itself, never what it leads to) to its trash. Empty on success; else
// why it could not go there, for a message. Where the trash cannot be used, nothing of it is
// made: no folder appears anywhere, and the file stays where it was.
QString MoveToTrash(const QString& path);

} // namespace Trash
