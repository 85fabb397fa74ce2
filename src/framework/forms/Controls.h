#pragma once

#include "framework/forms/Application.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>

// Standard controls whose handlers run for a change made by code just as for the user's own:
// windows that load their state into controls rely on the same coupling either way. Handlers
// run under the application's error handler, with the control as sender.

// Runs a handler of a control; a copy runs, so that the handler may replace itself.
void FireControlEvent(QObject* sender, TNotifyEvent handler);

template <class Button> class TClickControl : public Button {
public:
    using Button::Button;
    TNotifyEvent OnClick;
};

// OnClick runs on every change of the check state.
class TCheckBox : public TClickControl<QCheckBox> {
    Q_OBJECT
public:
    explicit TCheckBox(QWidget* parent = nullptr);
};

// OnClick runs when the button becomes checked; unchecking runs nothing.
class TRadioButton : public TClickControl<QRadioButton> {
    Q_OBJECT
public:
    explicit TRadioButton(QWidget* parent = nullptr);
};

// OnChange runs on every change of the text. A text set by the program shows from its start.
class TEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent = nullptr);
    TNotifyEvent OnChange;

private:
    bool typing_ = false;
};

// A widget that answers a click of the left button (pressed and let go over it) with OnClick.
// It takes the click for itself, so a click on it never reaches the widget beneath as well.
template <class Widget> class TClickable : public Widget {
public:
    using Widget::Widget;
    TNotifyEvent OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        Widget::mousePressEvent(event);
        if (event->button() == Qt::LeftButton)
            event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        Widget::mouseReleaseEvent(event);
        if (event->button() != Qt::LeftButton)
            return;
        event->accept();
        if (this->rect().contains(event->position().toPoint()))
            FireControlEvent(this, OnClick);
    }
};
