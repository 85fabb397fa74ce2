#pragma once

#include "framework/data/Notices.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

// The fuzz input as a file of the given extension in a folder of this process, and the table
// engine's notices about damaged headers dropped.
namespace fuzzsupport {

inline QString InputFile(const char* extension, const uint8_t* data, size_t size) {
    static const bool hooked = [] {
        SetShowMessageProc([](const QString&) {});
        return true;
    }();
    (void)hooked;
    const QString path =
        QDir::tempPath() +
        QString("/orv_fuzz_%1.%2").arg(QCoreApplication::applicationPid()).arg(extension);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

} // namespace fuzzsupport
