#include "components/GraphicControl.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

TGraphicControl::TGraphicControl(QWidget* parent) : TGraphicWidget(parent) {
    // Moves count without a pressed button too, as the windows' handlers expect.
    setMouseTracking(true);
    watchParent(parent);
}

TGraphicControl::~TGraphicControl() {
    if (watched_)
        watched_->removeEventFilter(this);
}

void TGraphicControl::SetAlign(TAlign align) {
    align_ = align;
    AlignToParent();
}

QMenu* TGraphicControl::PopupMenu() const {
    return popupMenu_;
}

void TGraphicControl::SetPopupMenu(QMenu* menu) {
    popupMenu_ = menu;
}

void TGraphicControl::AlignToParent() {
    if (align_ == alClient && parentWidget())
        setGeometry(parentWidget()->contentsRect());
}

QColor TGraphicControl::ParentColor() const {
    const QWidget* parent = parentWidget();
    if (!parent)
        return palette().color(QPalette::Window);
    return parent->palette().color(parent->backgroundRole());
}

void TGraphicControl::watchParent(QWidget* parent) {
    if (watched_ == parent)
        return;
    if (watched_)
        watched_->removeEventFilter(this);
    watched_ = parent;
    if (parent)
        parent->installEventFilter(this);
}

bool TGraphicControl::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        watchParent(parentWidget());
        AlignToParent();
    }
    return QWidget::event(event);
}

bool TGraphicControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watched_ &&
        (event->type() == QEvent::Resize || event->type() == QEvent::ContentsRectChange))
        AlignToParent();
    return QWidget::eventFilter(watched, event);
}

void TGraphicControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint().x(),
                    event->position().toPoint().y());
    QWidget::mousePressEvent(event);
}

void TGraphicControl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(pos);
    if (event->button() == Qt::LeftButton)
        pressed_ = false;
    if (click && OnClick)
        OnClick(this);
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TGraphicControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick(this);
    // The second press of a double click is a press as well.
    mousePressEvent(event);
}

void TGraphicControl::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) {
        const QPoint pos = event->position().toPoint();
        OnMouseMove(this, event->modifiers(), pos.x(), pos.y());
    }
    QWidget::mouseMoveEvent(event);
}

void TGraphicControl::contextMenuEvent(QContextMenuEvent* event) {
    if (popupMenu_) {
        popupMenu_->popup(event->globalPos());
        event->accept();
        return;
    }
    QWidget::contextMenuEvent(event);
}
