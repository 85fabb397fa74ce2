#pragma once

#include <QByteArray>
#include <QString>

namespace Orvello {

// What a Linux desktop offers to run when it mounts a medium that holds this script at its
// root, as Windows runs what autorun.inf names: the script starts "qor.exe" from the folder it
// stands in, with that folder as working folder and no argument. Where the medium gives
// qor.exe no exec bit, `loader` (the dynamic loader qor.exe was linked for) starts it.
QByteArray AutorunScript(const QString& loader);

} // namespace Orvello
