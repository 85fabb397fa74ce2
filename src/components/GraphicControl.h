#pragma once

#include "framework/forms/Application.h"
#include "framework/forms/Stacking.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QMenu;

enum TAlign { alNone, alClient };

using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent =
    std::function<void(QObject* sender, Qt::KeyboardModifiers shift, int x, int y)>;

// A control that only paints on its parent's area: it erases no background of its own, so
// whatever it leaves unpainted shows what lies beneath, and it lies beneath every windowed
// control of its parent. It can follow its parent's client area, and it offers the mouse
// events and the pop-up menu the windows hook to it.
class TGraphicControl : public TGraphicWidget {
    Q_OBJECT
public:
    explicit TGraphicControl(QWidget* parent = nullptr);
    ~TGraphicControl() override;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    QMenu* PopupMenu() const;
    void SetPopupMenu(QMenu* menu);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // Lays the control over its parent's client area when it is client-aligned.
    void AlignToParent();
    // The colour the parent fills its background with.
    QColor ParentColor() const;

private:
    void watchParent(QWidget* parent);

    TAlign align_ = alNone;
    QPointer<QMenu> popupMenu_;
    QPointer<QWidget> watched_;
    bool pressed_ = false;
};
