#include "editor/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace Orvello {

namespace {

// A disc filling the square of side `size` at `origin`, with a few menu lines across it.
void drawDisc(QPainter& p, QPointF origin, qreal size) {
    const QPointF centre = origin + QPointF(size / 2, size / 2);
    const qreal r = size / 2 - 1;
    QRadialGradient shine(centre, r, centre - QPointF(r / 3, r / 3));
    shine.setColorAt(0.0, QColor(250, 250, 255));
    shine.setColorAt(0.45, QColor(170, 190, 230));
    shine.setColorAt(0.7, QColor(200, 160, 220));
    shine.setColorAt(1.0, QColor(110, 130, 190));
    p.setPen(QPen(QColor(60, 70, 110), size / 32));
    p.setBrush(shine);
    p.drawEllipse(centre, r, r);
    p.setBrush(QColor(20, 20, 30));
    p.drawEllipse(centre, r / 5, r / 5);

    // The menu: a blue bar with three white lines, laid over the lower half of the disc.
    const QRectF bar(origin.x() + size * 0.18, origin.y() + size * 0.56, size * 0.64, size * 0.34);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 60, 170, 230));
    p.drawRoundedRect(bar, size / 16, size / 16);
    p.setPen(QPen(Qt::white, std::max<qreal>(1.0, size / 24), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal y = bar.top() + bar.height() * (0.25 + 0.25 * i);
        p.drawLine(QPointF(bar.left() + bar.width() * 0.15, y),
                   QPointF(bar.left() + bar.width() * (i == 1 ? 0.65 : 0.85), y));
    }
}

} // namespace

QImage BannerDisc(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawDisc(p, QPointF(4, 4), size - 8);
    return image;
}

QImage BannerTitle(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont big(QStringLiteral("Times New Roman"));
    big.setPixelSize(height * 9 / 20);
    big.setBold(true);
    big.setItalic(true);
    QPainterPath name;
    name.addText(QPointF(6, height * 0.55), big, QStringLiteral("Tavolin"));
    QLinearGradient fill(0, 0, 0, height * 0.6);
    fill.setColorAt(0.0, QColor(255, 230, 120));
    fill.setColorAt(1.0, QColor(220, 90, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(name);

    QFont small(QStringLiteral("Helvetica"));
    small.setPixelSize(std::max(8, height / 7));
    p.setFont(small);
    p.setPen(QColor(170, 190, 230));
    p.drawText(QRectF(8, height * 0.66, width - 16, height * 0.3), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Autostart menus for your CDs"));
    return image;
}

QImage ProgramIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawDisc(p, QPointF(0, 0), size);
    return image;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}

} // namespace Orvello
