#include "player/MenuControls.h"

#include "framework/forms/Controls.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

const char* const kTag = "Tag";

} // namespace

TMenuLabel::TMenuLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TMenuLabel::AdjustBounds() {
    const QFontMetrics metrics(font());
    // A label without text measures one blank, as one line of its font.
    const QString measured = text().isEmpty() ? QStringLiteral(" ") : text();
    if (wordWrap()) {
        const QRect r = metrics.boundingRect(QRect(0, 0, width(), 1 << 20),
                                             int(alignment()) | Qt::TextWordWrap, measured);
        resize(width(), std::max(r.height(), metrics.height()));
        return;
    }
    const QRect r = metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), Qt::AlignLeft, measured);
    resize(std::max(r.width(), 1), std::max(r.height(), metrics.height()));
}

void TMenuLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        FireControlEvent(this, OnClick);
}

void TMenuLabel::contextMenuEvent(QContextMenuEvent* event) {
    if (!popupMenu_) {
        QLabel::contextMenuEvent(event);
        return;
    }
    popupMenu_->popup(event->globalPos());
    event->accept();
}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent) {
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(false);
    connect(this, &QToolButton::clicked, this, [this] { FireControlEvent(this, OnClick); });
}

int TagOf(const QObject* object) {
    if (!object)
        return -1;
    bool ok = false;
    const int tag = object->property(kTag).toInt(&ok);
    return ok ? tag : -1;
}

void SetTag(QObject* object, int tag) {
    object->setProperty(kTag, tag);
}
