#pragma once

#include <QIcon>

// The pictures on the player's buttons. They are drawn here rather than taken from the
// desktop's icon theme: they look the same on every machine, and a menu that starts from a CD
// does not search the theme's folders before it shows.
enum class TGlyph { Exit, Action, Tables, Find, Help, About, FileList, Ok };

QIcon GlyphIcon(TGlyph glyph);
