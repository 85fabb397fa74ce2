#pragma once

#include <QIcon>
#include <QImage>

// The editor's own pictures, drawn rather than stored: the two banner pictures and the
// program's icon.
namespace Orvello {

// A compact disc with a menu on it, on black: the left banner picture.
QImage BannerDisc(int size);
// The program's name in gradient letters on black: the right banner picture.
QImage BannerTitle(int width, int height);
// The program's icon at the size given (a disc with a menu bar).
QImage ProgramIconImage(int size);
QIcon ProgramIcon();

} // namespace Orvello
