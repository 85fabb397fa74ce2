#pragma once

#include "framework/Application.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

// Standard controls whose handlers run for a change made by code just as for the user's own:
// windows that load their state into controls rely on the same coupling either way. Handlers
// run under the application's error handler, with the control as sender.

// OnClick runs on every change of the check state.
class TCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TCheckBox(QWidget* parent = nullptr);
    explicit TCheckBox(const QString& text, QWidget* parent = nullptr);
    TNotifyEvent OnClick;
};

// OnClick runs when the button becomes checked; unchecking runs nothing.
class TRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit TRadioButton(QWidget* parent = nullptr);
    explicit TRadioButton(const QString& text, QWidget* parent = nullptr);
    TNotifyEvent OnClick;
};

// OnChange runs on every change of the text.
class TEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent = nullptr);
    TNotifyEvent OnChange;
};
