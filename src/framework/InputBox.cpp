#include "framework/InputBox.h"

#include <QApplication>
#include <QInputDialog>
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
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : defaultText;
}

TInputBoxHook SetInputBoxHook(TInputBoxHook h) {
    return std::exchange(hook(), std::move(h));
}
