#pragma once

#include <QtGlobal>
#include <functional>

class QObject;

// Tells `changed`, on the event loop once the window system's own handling of the change is
// done, whenever the window system changes a property of the native window `window`: on X11
// the window manager keeps the extents of the frame it puts around a window in one. The watch
// ends with `owner`.
void WatchWindowProperties(QObject* owner, quintptr window, std::function<void()> changed);
