#pragma once

class QPaintEvent;

// A control that counts the paints reaching it, to see which property changes repaint.
template <class Control> class PaintCounting : public Control {
public:
    using Control::Control;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        Control::paintEvent(event);
    }
};
