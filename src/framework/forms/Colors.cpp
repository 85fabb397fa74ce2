#include "framework/forms/Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <iterator>

namespace {

struct SystemEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette role of each system colour index; the desktop (no role) keeps the classic
// scheme's teal.
constexpr SystemEntry kSystemColors[] = {
    {QPalette::Active, QPalette::Button},            // scroll bar
    {QPalette::Active, QPalette::NoRole},            // desktop
    {QPalette::Active, QPalette::Highlight},         // active caption
    {QPalette::Inactive, QPalette::Highlight},       // inactive caption
    {QPalette::Active, QPalette::Window},            // menu
    {QPalette::Active, QPalette::Base},              // window
    {QPalette::Active, QPalette::Shadow},            // window frame
    {QPalette::Active, QPalette::WindowText},        // menu text
    {QPalette::Active, QPalette::Text},              // window text
    {QPalette::Active, QPalette::HighlightedText},   // caption text
    {QPalette::Active, QPalette::Button},            // active border
    {QPalette::Active, QPalette::Button},            // inactive border
    {QPalette::Active, QPalette::Dark},              // application work space
    {QPalette::Active, QPalette::Highlight},         // highlight
    {QPalette::Active, QPalette::HighlightedText},   // highlight text
    {QPalette::Active, QPalette::Button},            // button face
    {QPalette::Active, QPalette::Mid},               // button shadow
    {QPalette::Disabled, QPalette::Text},            // grey text
    {QPalette::Active, QPalette::ButtonText},        // button text
    {QPalette::Inactive, QPalette::HighlightedText}, // inactive caption text
    {QPalette::Active, QPalette::Light},             // button highlight
    {QPalette::Active, QPalette::Shadow},            // 3D dark shadow
    {QPalette::Active, QPalette::Midlight},          // 3D light
    {QPalette::Active, QPalette::ToolTipText},       // info text
    {QPalette::Active, QPalette::ToolTipBase},       // info background
};

QColor SystemColorValue(int index) {
    if (index < 0 || index >= int(std::size(kSystemColors)))
        return QColor(Qt::black);
    const SystemEntry& entry = kSystemColors[index];
    if (entry.role == QPalette::NoRole)
        return QColor(0, 128, 128);
    return QGuiApplication::palette().color(entry.group, entry.role);
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
