#include "components/Gradient.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

TGradient::TGradient(QWidget* parent) : TGraphicControl(parent) {
    SetAlign(alClient);
    BuildPalette();
}

void TGradient::SetDirection(TGradDirection value) {
    direction_ = (value == gdDownRight || value == gdUpLeft) ? value : gdDownRight;
    BuildPalette();
    repaint();
}

void TGradient::SetEndColor(TEndColor value) {
    endColor_ = (value == ecBlack || value == ecWhite) ? value : ecBlack;
    BuildPalette();
    repaint();
}

void TGradient::SetStartColor(TStartColor value) {
    startColor_ = (value >= scAqua && value <= scYellow) ? value : scBlue;
    BuildPalette();
    repaint();
}

void TGradient::SetStepWidth(int value) {
    // A step of 0 would never advance the ellipse and pyramid loops.
    stepWidth_ = TStepWidth(std::clamp(value, 1, 10));
    repaint();
}

void TGradient::SetStyle(TGradStyle value) {
    style_ = (value >= gsEllipse && value <= gsVertical) ? value : gsHorizontal;
    repaint();
}

void TGradient::SetVisible(bool value) {
    visible_ = value;
    repaint();
}

namespace {

// The red, green and blue parts of each start colour's table, toward black and toward white:
// 'v' the level, 'h' the half level, '0' none and 'F' full.
constexpr const char* kToBlack[] = {"0vv", "00v", "v0v", "hhh", "0h0", "0v0", "h00",
                                    "00h", "hh0", "h0h", "v00", "0hh", "vvv", "vv0"};
constexpr const char* kToWhite[] = {"vFF", "vvF", "FvF", "hhh", "vhv", "vFv", "hvv",
                                    "vvh", "hhv", "hvh", "Fvv", "vhh", "FFF", "FFv"};

int Part(char kind, int v, int h) {
    switch (kind) {
    case 'v':
        return v;
    case 'h':
        return h;
    case 'F':
        return 255;
    default:
        return 0;
    }
}

} // namespace

void TGradient::BuildPalette() {
    const bool white = endColor_ == ecWhite;
    const bool reversed = direction_ == gdUpLeft;
    const char* parts = (white ? kToWhite : kToBlack)[startColor_];
    for (int i = 0; i < 256; ++i) {
        // Toward black the level falls along the table, toward white it rises.
        const int v = (white != reversed) ? i : 255 - i;
        const int h = white ? v / 2 + 128 : v / 2;
        colors_[std::size_t(i)] =
            ColorFromRGB(Part(parts[0], v, h), Part(parts[1], v, h), Part(parts[2], v, h));
    }
}

QColor TGradient::colorAt(double index) const {
    const double cut = std::trunc(index);
    const int i = std::isfinite(cut) ? int(std::clamp(cut, 0.0, 255.0)) : 0;
    return ColorToQColor(colors_[std::size_t(i)]);
}

void TGradient::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintTo(painter, size());
}

void TGradient::PaintTo(QPainter& painter, QSize size) const {
    if (!visible_)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    switch (style_) {
    case gsHorizontal:
        paintBands(painter, size.height(), false, size);
        break;
    case gsVertical:
        paintBands(painter, size.width(), true, size);
        break;
    case gsEllipse:
        paintEllipses(painter, size.width(), size.height());
        break;
    case gsPyramid:
        paintPyramid(painter, size.width(), size.height());
        break;
    }
    painter.restore();
}

// The factors are single precision and the band starts truncated from them, so a band's
// edge lands on the same row as it always has; the products themselves are exact.
void TGradient::paintBands(QPainter& painter, int length, bool vertical, QSize size) const {
    const float f = float(double(length) * (1.0 / 255.0));
    const int band = int(std::trunc(double(f) + 1.0));
    int pos = 0;
    for (int i = 0; i < 256; ++i) {
        const QColor c = ColorToQColor(colors_[std::size_t(i)]);
        if (vertical)
            painter.fillRect(QRect(pos, 0, band, size.height()), c);
        else
            painter.fillRect(QRect(0, pos, size.width(), band), c);
        pos = int(std::trunc(double(i) * double(f)));
    }
}

void TGradient::paintEllipses(QPainter& painter, int w, int h) const {
    const int l = w / 2 - 2;
    if (l < 3)
        return;
    const float r = float(double(h) / double(w));
    const float s = float(255.0 / double(l));
    int x = 1;
    int y = 1;
    for (int d = 2; d < l; d += stepWidth_) {
        const QColor c = colorAt(double(d) * double(s));
        painter.setPen(QPen(c, 1));
        painter.setBrush(c);
        // The box runs from (x, y) up to, not including, (w - x, h - y).
        const int bw = w - 2 * x;
        const int bh = h - 2 * y;
        if (bw > 0 && bh > 0)
            painter.drawEllipse(QRectF(x, y, bw - 1, bh - 1));
        y = int(std::trunc(double(d) * double(r)));
        x = d;
    }
}

void TGradient::paintPyramid(QPainter& painter, int w, int h) const {
    if (w + h <= 0)
        return;
    const int cx = w / 2;
    const int cy = h / 2;
    const QPoint centre(cx, cy);
    const float s = float(255.0 / double(w + h));
    QPen pen(Qt::black, stepWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    auto line = [&](double index, QPoint from, QPoint to) {
        pen.setColor(colorAt(index * double(s)));
        painter.setPen(pen);
        painter.drawLine(from, to);
    };
    for (int e = 0; e <= w; e += stepWidth_) {
        line(e, QPoint(e, 0), centre);
        line(h + e, centre, QPoint(e, h));
    }
    for (int e = 0; e <= h; e += stepWidth_) {
        line(w + e, QPoint(w, e), centre);
        line(e, centre, QPoint(0, e));
    }
}
