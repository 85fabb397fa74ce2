#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QObject;

// Starts `program` with `arguments` in `folder` (ours when empty) as a process of its own: it
// outlives this one and gets none of its signals. Once it has ended, `ended` is told on the
// event loop whether it ended well (exit status 0); never after `context` is destroyed. False
// when no process could be made.
bool StartWatched(const QString& program, const QStringList& arguments, const QString& folder,
                  QObject* context, std::function<void(bool succeeded)> ended);
