#include "framework/forms/Glyphs.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace {

const QColor kInk(0x1c, 0x3f, 0x94);
const QColor kPaper(Qt::white);

QPen pen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A white sign on a blue disc, as help and information signs are.
void disc(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setBrush(kPaper);
}

// The menu window's and the about box's glyphs; false for any other.
bool drawMenuGlyph(QPainter& p, TGlyph glyph) {
    switch (glyph) {
    case TGlyph::Exit: {
        // A door, and an arrow that leaves through it.
        p.setPen(pen(QColor(0x6b, 0x43, 0x1e), 1));
        p.setBrush(QColor(0xb0, 0x7a, 0x45));
        p.drawRect(QRectF(2.5, 1.5, 7, 13));
        const QColor red(0xc0, 0x30, 0x24);
        p.setPen(pen(red, 2));
        p.drawLine(QPointF(6.5, 8), QPointF(13, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawPolygon(QPolygonF({QPointF(15.5, 8), QPointF(11.5, 4), QPointF(11.5, 12)}));
        return true;
    }
    case TGlyph::Action:
        // A menu: three entries with their dots.
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        for (qreal y : {2.5, 7.0, 11.5}) {
            p.drawEllipse(QRectF(1, y, 2.5, 2.5));
            p.drawRoundedRect(QRectF(5, y, 10, 2.5), 1, 1);
        }
        return true;
    case TGlyph::Tables:
        // A table with its heading row.
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setBrush(kInk);
        p.drawRect(QRectF(1.5, 2.5, 13, 3));
        p.setPen(pen(kInk, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.drawLine(QPointF(1.5, 9.5), QPointF(14.5, 9.5));
        p.drawLine(QPointF(6, 5.5), QPointF(6, 13.5));
        return true;
    case TGlyph::Find:
        // A magnifying glass.
        p.setPen(pen(kInk, 1.6));
        p.setBrush(QColor(0xc8, 0xe4, 0xf6));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        p.setPen(pen(QColor(0x4a, 0x4a, 0x4a), 2.6));
        p.drawLine(QPointF(9.8, 9.8), QPointF(14.2, 14.2));
        return true;
    case TGlyph::Help: {
        // A question mark.
        disc(p);
        QPainterPath hook;
        hook.moveTo(5.4, 6.2);
        hook.arcTo(QRectF(5.4, 3.4, 5.2, 5.2), 180, -270);
        hook.lineTo(8, 10);
        p.setPen(pen(kPaper, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 12.4), 1.1, 1.1);
        return true;
    }
    case TGlyph::About:
        // The sign of information.
        disc(p);
        p.drawEllipse(QPointF(8, 4.6), 1.2, 1.2);
        p.drawRect(QRectF(7, 6.8, 2, 5.8));
        return true;
    case TGlyph::FileList: {
        // A folder.
        p.setPen(pen(QColor(0x9a, 0x6b, 0x12), 1));
        p.setBrush(QColor(0xf0, 0xc0, 0x4c));
        p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5),
                                 QPointF(14.5, 5), QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
        p.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
        return true;
    }
    case TGlyph::Ok:
        // A tick.
        p.setPen(pen(QColor(0x2e, 0x8b, 0x3a), 2.4));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
        return true;
    default:
        return false;
    }
}

// A solid triangle pointing right (or left) within the box.
QPolygonF triangle(const QRectF& box, bool right) {
    if (right)
        return QPolygonF({box.topLeft(), QPointF(box.right(), box.center().y()), box.bottomLeft()});
    return QPolygonF({box.topRight(), QPointF(box.left(), box.center().y()), box.bottomRight()});
}

// A sheet of paper with a folded corner.
void sheet(QPainter& p, const QPointF& at) {
    p.setPen(pen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF({at, at + QPointF(5.5, 0), at + QPointF(8, 2.5), at + QPointF(8, 10),
                             at + QPointF(0, 10)}));
}

// The item-table windows' glyphs; false for any other.
bool drawTableGlyph(QPainter& p, TGlyph glyph) {
    switch (glyph) {
    case TGlyph::Copy:
        // Two sheets, the copy in front.
        sheet(p, QPointF(1.5, 1.5));
        sheet(p, QPointF(6.5, 4.5));
        return true;
    case TGlyph::Open: {
        // A folder with its flap open.
        p.setPen(pen(QColor(0x9a, 0x6b, 0x12), 1));
        p.setBrush(QColor(0xd8, 0xa8, 0x3c));
        p.drawPolygon(QPolygonF({QPointF(1.5, 13.5), QPointF(1.5, 3.5), QPointF(5.5, 3.5),
                                 QPointF(7, 5), QPointF(12.5, 5), QPointF(12.5, 13.5)}));
        p.setBrush(QColor(0xf6, 0xcf, 0x62));
        p.drawPolygon(QPolygonF(
            {QPointF(1.5, 13.5), QPointF(4, 7.5), QPointF(15, 7.5), QPointF(12.5, 13.5)}));
        return true;
    }
    case TGlyph::ShowMore:
    case TGlyph::ShowLess: {
        // An arrow down (more of the window) or up (less).
        const bool down = glyph == TGlyph::ShowMore;
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        const qreal tip = down ? 13.5 : 2.5;
        const qreal base = down ? 7.5 : 8.5;
        p.drawPolygon(QPolygonF({QPointF(2.5, base), QPointF(13.5, base), QPointF(8, tip)}));
        p.drawRect(down ? QRectF(6, 2.5, 4, 5.5) : QRectF(6, 8, 4, 5.5));
        return true;
    }
    case TGlyph::Close: {
        // A cross.
        p.setPen(pen(QColor(0xc0, 0x30, 0x24), 2.6));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        return true;
    }
    default:
        return false;
    }
}

// The media buttons' glyphs, the signs every player has; false for any other.
bool drawMediaGlyph(QPainter& p, TGlyph glyph) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    switch (glyph) {
    case TGlyph::Play:
        p.drawPolygon(triangle(QRectF(4, 2.5, 9, 11), true));
        return true;
    case TGlyph::Pause:
        p.drawRect(QRectF(3.5, 3, 3, 10));
        p.drawRect(QRectF(9.5, 3, 3, 10));
        return true;
    case TGlyph::Stop:
        p.drawRect(QRectF(3.5, 3.5, 9, 9));
        return true;
    case TGlyph::StepForward:
        p.drawPolygon(triangle(QRectF(1.5, 4, 6.5, 8), true));
        p.drawPolygon(triangle(QRectF(8, 4, 6.5, 8), true));
        return true;
    case TGlyph::StepBack:
        p.drawPolygon(triangle(QRectF(1.5, 4, 6.5, 8), false));
        p.drawPolygon(triangle(QRectF(8, 4, 6.5, 8), false));
        return true;
    case TGlyph::SkipToEnd:
        p.drawPolygon(triangle(QRectF(1, 4, 5.5, 8), true));
        p.drawPolygon(triangle(QRectF(6.5, 4, 5.5, 8), true));
        p.drawRect(QRectF(12.5, 4, 2, 8));
        return true;
    case TGlyph::SkipToStart:
        p.drawRect(QRectF(1.5, 4, 2, 8));
        p.drawPolygon(triangle(QRectF(4, 4, 5.5, 8), false));
        p.drawPolygon(triangle(QRectF(9.5, 4, 5.5, 8), false));
        return true;
    default:
        return false;
    }
}

// The record navigator's glyphs; false for any other.
bool drawNavigatorGlyph(QPainter& p, TGlyph glyph) {
    const QColor ink(0x20, 0x20, 0x20);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (glyph) {
    case TGlyph::FirstRecord:
        p.drawRect(QRectF(3.5, 3.5, 2, 9));
        p.drawPolygon(triangle(QRectF(6, 3.5, 6.5, 9), false));
        return true;
    case TGlyph::PriorRecord:
        p.drawPolygon(triangle(QRectF(4.5, 3.5, 6.5, 9), false));
        return true;
    case TGlyph::NextRecord:
        p.drawPolygon(triangle(QRectF(5, 3.5, 6.5, 9), true));
        return true;
    case TGlyph::LastRecord:
        p.drawPolygon(triangle(QRectF(3.5, 3.5, 6.5, 9), true));
        p.drawRect(QRectF(10.5, 3.5, 2, 9));
        return true;
    case TGlyph::InsertRecord:
        p.drawRect(QRectF(7, 3, 2, 10));
        p.drawRect(QRectF(3, 7, 10, 2));
        return true;
    case TGlyph::DeleteRecord:
        p.drawRect(QRectF(3, 7, 10, 2));
        return true;
    case TGlyph::EditRecord:
        p.drawPolygon(QPolygonF({QPointF(3, 11), QPointF(13, 11), QPointF(8, 4.5)}));
        return true;
    case TGlyph::PostEdit:
        p.setPen(pen(ink, 2));
        p.drawPolyline(QPolygonF({QPointF(3.5, 8.5), QPointF(6.5, 11.5), QPointF(12.5, 4.5)}));
        return true;
    case TGlyph::CancelEdit:
        p.setPen(pen(ink, 2));
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
        return true;
    case TGlyph::RefreshData: {
        // A circling arrow.
        p.setPen(pen(ink, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3.5, 3.5, 9, 9), 90 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(11.5, 3.5), QPointF(8, 5.5)}));
        return true;
    }
    default:
        return false;
    }
}

// Each glyph on a grid of 16 by 16 units.
void draw(QPainter& p, TGlyph glyph) {
    if (!drawMenuGlyph(p, glyph) && !drawTableGlyph(p, glyph) && !drawMediaGlyph(p, glyph))
        drawNavigatorGlyph(p, glyph);
}

// Draws its glyph when a button first shows it, at the size it is shown at.
class TGlyphEngine : public QIconEngine {
public:
    explicit TGlyphEngine(TGlyph glyph) : glyph_(glyph) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const QString key =
            QStringLiteral("%1x%2/%3").arg(size.width()).arg(size.height()).arg(mode);
        if (const auto it = made_.constFind(key); it != made_.constEnd())
            return *it;
        QPixmap made(size);
        made.fill(Qt::transparent);
        {
            QPainter p(&made);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size.width() / 16.0, size.height() / 16.0);
            draw(p, glyph_);
        }
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            made = QApplication::style()->generatedIconPixmap(mode, made, &option);
        }
        made_.insert(key, made);
        return made;
    }

    QIconEngine* clone() const override { return new TGlyphEngine(glyph_); }

private:
    const TGlyph glyph_;
    QHash<QString, QPixmap> made_;
};

} // namespace

QIcon GlyphIcon(TGlyph glyph) {
    return QIcon(new TGlyphEngine(glyph));
}
