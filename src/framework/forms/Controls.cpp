#include "framework/forms/Controls.h"

#include <utility>

void FireControlEvent(QObject* sender, TNotifyEvent handler) {
    if (handler)
        Application().SafeCall(sender, [&] { handler(sender); });
}

TCheckBox::TCheckBox(QWidget* parent) : TClickControl(parent) {
    connect(this, &QCheckBox::stateChanged, this, [this] { FireControlEvent(this, OnClick); });
}

TRadioButton::TRadioButton(QWidget* parent) : TClickControl(parent) {
    connect(this, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            FireControlEvent(this, OnClick);
    });
}

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
    // The user's typing reports itself just before the change.
    connect(this, &QLineEdit::textEdited, this, [this] { typing_ = true; });
    connect(this, &QLineEdit::textChanged, this, [this] {
        // A text set by the program shows from its start, as the system's edits show it; the
        // user's typing keeps the cursor where it is.
        if (!std::exchange(typing_, false))
            setCursorPosition(0);
        FireControlEvent(this, OnChange);
    });
}
