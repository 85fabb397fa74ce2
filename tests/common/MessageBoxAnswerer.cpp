#include "common/MessageBoxAnswerer.h"

namespace {
int firstButton(unsigned style) {
    switch (style & 0x0F) {
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}
} // namespace

MessageBoxAnswerer::MessageBoxAnswerer() {
    previous_ =
        SetMessageBoxHook([this](const QString& text, const QString& caption, unsigned style) {
            boxes_.push_back({text, caption, style});
            if (answers_.empty())
                return firstButton(style);
            int a = answers_.front();
            answers_.pop_front();
            return a;
        });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    SetMessageBoxHook(std::move(previous_));
}
