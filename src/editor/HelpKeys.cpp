#include "editor/HelpKeys.h"

#include "editor/EditorControls.h"
#include "framework/forms/Application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace Orvello {

THelpKeys::THelpKeys(std::function<void(int)> show, QObject* parent)
    : QObject(parent), show_(std::move(show)) {
    qApp->installEventFilter(this);
}

THelpKeys::~THelpKeys() {
    qApp->removeEventFilter(this);
}

bool THelpKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
        return false;
    // The key goes to the control that has the focus.
    QWidget* target = qobject_cast<QWidget*>(watched);
    if (!target)
        target = QApplication::focusWidget();
    if (!target)
        return false;
    const int context = HelpContextFor(target);
    Application().SafeCall(target, [&] { show_(context); });
    return true;
}

} // namespace Orvello
