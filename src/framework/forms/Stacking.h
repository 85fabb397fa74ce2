#pragma once

#include <QWidget>

class QEvent;

// Graphic controls (labels, and the widgets derived from TGraphicWidget) paint on their parent's
// own area, so they lie beneath every windowed control of that parent: bringing one to the front
// brings it before the other graphic controls only, and only where graphic controls overlap does
// their order show. The application keeps every parent's children so.

// The widgets that are graphic controls without being labels derive from this.
class TGraphicWidget : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

bool IsGraphicControl(const QWidget* widget);

// Restacks the children of `parent`: the graphic controls beneath the windowed ones, each
// kind in the order it had among itself.
void StackGraphicControls(QWidget* parent);

// The application's part, for every event: one that tells of a change that may have put a
// graphic control above a windowed one (a graphic control shown, any child raised or lowered)
// restacks that child's parent.
void StackAfterEvent(QObject* receiver, const QEvent* event);
