#include "framework/forms/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

TWaitCursor::TWaitCursor() {
    Resume();
}

TWaitCursor::~TWaitCursor() {
    Restore();
}

void TWaitCursor::Restore() {
    if (active_)
        QGuiApplication::restoreOverrideCursor();
    active_ = false;
}

void TWaitCursor::Resume() {
    if (!active_)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    active_ = true;
}
