#include "framework/forms/MessageBox.h"

#include "framework/forms/Application.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <vector>

namespace {

TMessageBoxHook& hookSlot() {
    static TMessageBoxHook hook;
    return hook;
}

struct ButtonDef {
    QMessageBox::StandardButton button;
    int id;
};

std::vector<ButtonDef> buttonsFor(unsigned style) {
    switch (style & 0x0F) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT},
                {QMessageBox::Retry, IDRETRY},
                {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {
            {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon iconFor(unsigned style) {
    switch (style & 0xF0) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

bool ownerOnScreen(const QWidget* owner) {
    const QRect frame = owner->window()->frameGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->geometry().intersects(frame))
            return owner->window()->isVisible();
    return false;
}

} // namespace

TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook) {
    TMessageBoxHook previous = std::move(hookSlot());
    hookSlot() = std::move(hook);
    return previous;
}

int MessageBoxA(QWidget* owner, const QString& text, const QString& caption, unsigned style) {
    if (hookSlot())
        return hookSlot()(text, caption, style);

    // A box centres on its owner; an owner parked off screen would take the box with it.
    if (owner && !ownerOnScreen(owner))
        owner = nullptr;
    QMessageBox box(iconFor(style), caption, text, QMessageBox::NoButton, owner);
    // Texts come from projects and file names; none of them is markup.
    box.setTextFormat(Qt::PlainText);
    const std::vector<ButtonDef> defs = buttonsFor(style);
    std::vector<std::pair<QAbstractButton*, int>> made;
    for (const ButtonDef& d : defs)
        made.emplace_back(box.addButton(d.button), d.id);
    const size_t defIndex = (style >> 8) & 0x0F;
    if (defIndex < made.size())
        box.setDefaultButton(static_cast<QPushButton*>(made[defIndex].first));
    // A box with a way out answers that way when closed; a box with one button answers it.
    int escapeId = defs.size() == 1 ? defs.front().id : 0;
    for (const auto& [button, id] : made)
        if (id == IDCANCEL)
            box.setEscapeButton(button), escapeId = IDCANCEL;
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const auto& [button, id] : made)
        if (button == clicked)
            return id;
    return escapeId != 0 ? escapeId : defs.front().id;
}
