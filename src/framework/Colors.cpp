#include "framework/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// Palette roles for the system colour indexes; the ones without a role keep the classic
// scheme's value.
QColor SystemColorValue(int index) {
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 1: // desktop
        return QColor(0, 128, 128);
    case 2: // active caption
    case 13:
        return pal.color(QPalette::Active, QPalette::Highlight);
    case 3: // inactive caption
        return pal.color(QPalette::Inactive, QPalette::Highlight);
    case 4:
        return pal.color(QPalette::Window);
    case 5:
        return pal.color(QPalette::Base);
    case 6:
    case 21:
        return pal.color(QPalette::Shadow);
    case 7:
        return pal.color(QPalette::WindowText);
    case 8:
        return pal.color(QPalette::Text);
    case 9:
    case 14:
        return pal.color(QPalette::Active, QPalette::HighlightedText);
    case 19:
        return pal.color(QPalette::Inactive, QPalette::HighlightedText);
    case 0:  // scroll bar
    case 10: // borders
    case 11:
    case 15:
        return pal.color(QPalette::Button);
    case 12:
        return pal.color(QPalette::Dark);
    case 16:
        return pal.color(QPalette::Mid);
    case 17:
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return pal.color(QPalette::ButtonText);
    case 20:
        return pal.color(QPalette::Light);
    case 22:
        return pal.color(QPalette::Midlight);
    case 23:
        return pal.color(QPalette::ToolTipText);
    case 24:
        return pal.color(QPalette::ToolTipBase);
    default:
        return QColor(Qt::black);
    }
}

} // namespace

QColor ColorToQColor(TColor color) {
    if (color < 0)
        return SystemColorValue(color & 0xFF);
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

TColor QColorToColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return ColorFromRGB(rgb.red(), rgb.green(), rgb.blue());
}
