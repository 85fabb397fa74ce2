#include "framework/forms/Controls.h"

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
    connect(this, &QLineEdit::textChanged, this, [this] { FireControlEvent(this, OnChange); });
}
