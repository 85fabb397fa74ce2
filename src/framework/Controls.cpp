#include "framework/Controls.h"

namespace {
// A copy runs, so that a handler may replace itself.
void fire(QObject* sender, TNotifyEvent handler) {
    if (handler)
        Application().SafeCall(sender, [&] { handler(sender); });
}
} // namespace

TCheckBox::TCheckBox(QWidget* parent) : TCheckBox(QString(), parent) {}

TCheckBox::TCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    connect(this, &QCheckBox::stateChanged, this, [this] { fire(this, OnClick); });
}

TRadioButton::TRadioButton(QWidget* parent) : TRadioButton(QString(), parent) {}

TRadioButton::TRadioButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    connect(this, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            fire(this, OnClick);
    });
}

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { fire(this, OnChange); });
}
