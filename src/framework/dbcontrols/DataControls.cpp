#include "framework/dbcontrols/DataControls.h"

#include "framework/data/DataSource.h"
#include "framework/forms/Application.h"

#include <QKeyEvent>

QChar KeyPressChar(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    case Qt::Key_Backspace:
        return QChar(8);
    default:
        break;
    }
    const QString text = event->text();
    return text.size() == 1 && text.at(0).isPrint() ? text.at(0) : QChar(0);
}

bool KeySwallowed(const TKeyPressEvent& handler, QObject* sender, QChar key) {
    if (key.isNull() || !handler)
        return false;
    handler(sender, key);
    return key.isNull();
}

void BindFieldControl(TFieldDataLink& link, std::function<void()> dataChange,
                      std::function<void()> updateReadOnly, std::function<void()> updateData) {
    link.OnDataChange = std::move(dataChange);
    link.OnEditingChange = updateReadOnly;
    link.OnActiveChange = std::move(updateReadOnly);
    link.OnUpdateData = std::move(updateData);
}

void UnbindFieldControl(TFieldDataLink& link) {
    link.OnDataChange = nullptr;
    link.OnEditingChange = nullptr;
    link.OnActiveChange = nullptr;
    link.OnUpdateData = nullptr;
}

bool BeginFieldEdit(TFieldDataLink& link, QObject* control) {
    bool editing = false;
    try {
        editing = link.Edit();
    } catch (...) {
        link.Reset();
        Application().HandleCurrentException(control);
        return false;
    }
    if (!editing)
        link.Reset();
    return editing;
}

bool StoreFieldText(TFieldDataLink& link, QObject* control) {
    if (!link.Active())
        return false;
    try {
        link.UpdateRecord();
    } catch (...) {
        Application().HandleCurrentException(control);
        return false;
    }
    return true;
}
