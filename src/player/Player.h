#pragma once

#include "player/MenuWindow.h"

#include <QIcon>

// The player's own icon: its windows show it, and the about box, unless the project names an
// icon of its own.
QIcon PlayerIcon();

// Creates the player's windows, the menu window first (it becomes the main window), and parks
// the menu window off screen until its first activation lays it out. The item-table window
// follows the menu's first frame (TForm1::DataWindow). Raises EHalt when the project file is
// missing; then no other window has been created.
TForm1* CreatePlayerWindows(TPlayerEnvironment environment);
