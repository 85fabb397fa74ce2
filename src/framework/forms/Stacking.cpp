#include "framework/forms/Stacking.h"

#include <QEvent>
#include <QLabel>
#include <vector>

namespace {

// A widget of its own on screen stacks with the windows, not with its parent's children.
bool stacksInParent(const QWidget* widget) {
    return !widget->isWindow() && widget->parentWidget();
}

} // namespace

bool IsGraphicControl(const QWidget* widget) {
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const TGraphicWidget*>(widget);
}

void StackGraphicControls(QWidget* parent) {
    // Restacking a child tells it of its new place, which would bring us back here.
    static bool stacking = false;
    if (stacking)
        return;
    // The children are in their stacking order, the lowest first.
    QWidget* lowestWindowed = nullptr;
    std::vector<QWidget*> above;
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        if (!IsGraphicControl(widget)) {
            if (!lowestWindowed)
                lowestWindowed = widget;
        } else if (lowestWindowed) {
            above.push_back(widget);
        }
    }
    stacking = true;
    for (QWidget* widget : above)
        widget->stackUnder(lowestWindowed);
    stacking = false;
}

void StackAfterEvent(QObject* receiver, const QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::ZOrderChange) || !receiver->isWidgetType())
        return;
    auto* widget = static_cast<QWidget*>(receiver);
    if (stacksInParent(widget) && (type == QEvent::ZOrderChange || IsGraphicControl(widget)))
        StackGraphicControls(widget->parentWidget());
}
