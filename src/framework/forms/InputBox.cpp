#include "framework/forms/InputBox.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <utility>

namespace {

TInputBoxHook& hook() {
    static TInputBoxHook h;
    return h;
}

} // namespace

QString InputBox(const QString& caption, const QString& prompt, const QString& defaultText) {
    if (hook())
        return hook()(caption, prompt, defaultText);
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    // The prompt names files; none of it is markup.
    if (auto* label = dialog.findChild<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : defaultText;
}

TInputBoxHook SetInputBoxHook(TInputBoxHook h) {
    return std::exchange(hook(), std::move(h));
}
