#pragma once

#include "components/GraphicControl.h"
#include "framework/forms/Colors.h"

#include <array>
#include <cstdint>

class QPainter;

enum TGradDirection : int { gdDownRight, gdUpLeft };
enum TEndColor : int { ecBlack, ecWhite };
enum TStartColor : int {
    scAqua,
    scBlue,
    scFuchsia,
    scGray,
    scGreen,
    scLime,
    scMaroon,
    scNavy,
    scOlive,
    scPurple,
    scRed,
    scTeal,
    scWhite,
    scYellow
};
enum TGradStyle : int { gsEllipse, gsHorizontal, gsPyramid, gsVertical };
using TStepWidth = std::uint8_t;

// Fills its parent's client area with a gradient from a start colour to black or white, as
// bands, nested ellipses or a pyramid of lines. Every property assignment repaints at once;
// with its own Visible off it paints nothing and leaves the area to what lies beneath.
class TGradient : public TGraphicControl {
    Q_OBJECT
public:
    explicit TGradient(QWidget* parent = nullptr);

    TGradDirection Direction() const { return direction_; }
    void SetDirection(TGradDirection value);
    TEndColor EndColor() const { return endColor_; }
    void SetEndColor(TEndColor value);
    TStartColor StartColor() const { return startColor_; }
    void SetStartColor(TStartColor value);
    // 1 to 10: the spacing of the ellipses and the width and spacing of the pyramid's lines.
    TStepWidth StepWidth() const { return stepWidth_; }
    void SetStepWidth(int value);
    TGradStyle Style() const { return style_; }
    void SetStyle(TGradStyle value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    // The 256 colours of the gradient, from entry 0 to entry 255.
    const std::array<TColor, 256>& Colors() const { return colors_; }

    // Paints the gradient as it appears on an area of the given size.
    void PaintTo(QPainter& painter, QSize size) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildPalette();
    void paintBands(QPainter& painter, int length, bool vertical, QSize size) const;
    void paintEllipses(QPainter& painter, int w, int h) const;
    void paintPyramid(QPainter& painter, int w, int h) const;
    QColor colorAt(double index) const;

    TGradDirection direction_ = gdDownRight;
    TEndColor endColor_ = ecBlack;
    TStartColor startColor_ = scBlue;
    TStepWidth stepWidth_ = 1;
    TGradStyle style_ = gsHorizontal;
    bool visible_ = true;
    std::array<TColor, 256> colors_{};
};
