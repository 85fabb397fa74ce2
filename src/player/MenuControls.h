#pragma once

#include "framework/forms/Application.h"

#include <QLabel>
#include <QPointer>
#include <QToolButton>

#include <QMenu>

// A label of the menu window: plain text (a project's captions are never markup), a
// transparent background over the window's picture or gradient, and the click and pop-up menu
// the window gives it. The window finds a menu entry from its "Tag" property.
class TMenuLabel : public QLabel {
    Q_OBJECT
public:
    explicit TMenuLabel(QWidget* parent = nullptr);

    TNotifyEvent OnClick;
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // Sizes the label to its text: one line at least, even without text. With word wrap the
    // width stays and the height follows the text.
    void AdjustBounds();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QPointer<QMenu> popupMenu_;
};

// A button with a picture beside its caption.
class TSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    TNotifyEvent OnClick;
};

// The menu window's property "Tag" of a label or menu item; -1 when it has none.
int TagOf(const QObject* object);
void SetTag(QObject* object, int tag);
