#pragma once

#include "components/GraphicControl.h"
#include "framework/forms/Colors.h"

#include <QImage>

class QPainter;

enum TMode : int { sfTiled, sfCentered, sfFixed, sfStreched, sfNormal, sfColored };

// Shows one bitmap over its parent's client area: tiled, centred, at its own size with the
// parent sized to fit (sfFixed), stretched, at its own size in the top left corner, or only
// a plain colour. With its own Visible off it shows the parent's colour.
class TSurface : public TGraphicControl {
    Q_OBJECT
public:
    explicit TSurface(QWidget* parent = nullptr);

    // The surface's own bitmap. Loading into it directly changes nothing on the screen
    // until BitmapChanged runs (setting Mode to sfFixed does).
    QImage& Bitmap() { return bitmap_; }
    const QImage& Bitmap() const { return bitmap_; }
    // Copies the bitmap into the surface's own, then BitmapChanged.
    void SetBitmap(const QImage& bitmap);

    TMode Mode() const { return mode_; }
    void SetMode(TMode value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    // With a non-empty bitmap: in sfFixed mode makes the parent's client area the bitmap's
    // size, then repaints.
    void BitmapChanged();

    // Paints the surface as it appears on an area of the given size (nothing while the own
    // Visible is off).
    void PaintTo(QPainter& painter, QSize size) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitParentToBitmap();

    QImage bitmap_;
    TMode mode_ = sfTiled;
    TColor color_ = clBtnFace;
    bool visible_ = true;
};
