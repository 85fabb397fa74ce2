#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>

// Icon files (".ico") as Windows and the menu read them: one 32-bit picture with its
// transparency mask per size.
namespace Orvello {

// The bytes of an icon file that holds the pictures given (each at most 256 pixels a side).
QByteArray IconFileBytes(const QList<QImage>& images);
// The icon at the sizes an icon file usually carries (16, 32 and 48 pixels).
QByteArray IconFileBytes(const QIcon& icon);

} // namespace Orvello
