#include "components/Surface.h"

#include <QPainter>
#include <algorithm>

TSurface::TSurface(QWidget* parent) : TGraphicControl(parent) {
    SetAlign(alClient);
}

void TSurface::SetBitmap(const QImage& bitmap) {
    bitmap_ = bitmap.copy();
    BitmapChanged();
}

void TSurface::SetMode(TMode value) {
    if (value < sfTiled || value > sfColored)
        value = sfTiled;
    // sfFixed always refits: a picture may have been loaded into the bitmap meanwhile.
    if (value == mode_ && value != sfFixed)
        return;
    mode_ = value;
    BitmapChanged();
}

void TSurface::SetColor(TColor value) {
    if (value == color_)
        return;
    color_ = value;
    repaint();
}

void TSurface::SetVisible(bool value) {
    visible_ = value;
    // Hidden, the surface shows the parent's colour (see paintEvent) at once.
    repaint();
}

void TSurface::BitmapChanged() {
    if (bitmap_.isNull())
        return;
    if (mode_ == sfFixed)
        fitParentToBitmap();
    repaint();
}

void TSurface::fitParentToBitmap() {
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    const QRect client = parent->contentsRect();
    if (client.width() == bitmap_.width() && client.height() == bitmap_.height())
        return;
    const QSize size(parent->width() - client.width() + bitmap_.width(),
                     parent->height() - client.height() + bitmap_.height());
    // A window that the user may not size keeps that, at the picture's size.
    if (parent->minimumSize() == parent->maximumSize())
        parent->setFixedSize(size);
    else
        parent->resize(size);
    AlignToParent();
}

void TSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!visible_) {
        // Where the surface is hidden its parent's background shows, whether or not the
        // parent paints one itself.
        painter.fillRect(rect(), ParentColor());
        return;
    }
    PaintTo(painter, size());
}

void TSurface::PaintTo(QPainter& painter, QSize size) const {
    if (!visible_)
        return;
    const QRect area(QPoint(0, 0), size);
    const QColor color = ColorToQColor(color_);
    if (mode_ == sfColored) {
        painter.fillRect(area, color);
        return;
    }
    if (bitmap_.isNull())
        return;
    const int cw = size.width();
    const int ch = size.height();
    const int bw = bitmap_.width();
    const int bh = bitmap_.height();
    switch (mode_) {
    case sfStreched:
        painter.drawImage(area, bitmap_);
        break;
    case sfFixed:
    case sfNormal:
        painter.fillRect(area, color);
        painter.drawImage(QPoint(0, 0), bitmap_);
        break;
    case sfCentered:
        // A picture larger than the area starts at its top left corner and is cut.
        painter.fillRect(area, color);
        painter.drawImage(QPoint(std::max(0, (cw - bw) / 2), std::max(0, (ch - bh) / 2)), bitmap_);
        break;
    case sfTiled:
        for (int y = 0; y < ch; y += bh)
            for (int x = 0; x < cw; x += bw)
                painter.drawImage(QPoint(x, y), bitmap_);
        break;
    case sfColored:
        break;
    }
}
