#pragma once

#include <QImage>
#include <QObject>

// Holds a background picture, a layout mode and a visibility flag for the form that owns
// it. It draws nothing; switching its visibility makes the owning form repaint.
class TBackground : public QObject {
    Q_OBJECT
public:
    enum TMode : int { Tiled, Center, Fixed, Streched };

    // The owner is the form the background belongs to.
    explicit TBackground(QObject* owner = nullptr);

    const QImage& Picture() const { return picture_; }
    // Copies the picture; nothing is repainted.
    void SetPicture(const QImage& picture);

    bool Visible() const { return visible_; }
    // Stores the flag and has the owning form repaint, even when the flag did not change.
    // An owner that is not a form raises EInvalidCast once the flag is stored.
    void SetVisible(bool value);

    TMode Mode() const { return mode_; }
    void SetMode(TMode value) { mode_ = value; }

private:
    QImage picture_;
    bool visible_ = true;
    TMode mode_ = Tiled;
};
