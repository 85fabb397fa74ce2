#pragma once

#include "components/GraphicControl.h"
#include "framework/data/Exceptions.h"

#include <QImage>

// A picture on a window: stretched over the control, or at its own size, centred or in the top
// left corner. Only the picture is painted; around it the parent shows.
class TImage : public TGraphicControl {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    // Copies the picture.
    void SetPicture(const QImage& picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);

    // Where the picture is painted, in the control's coordinates (empty without one).
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    bool stretch_ = false;
    bool center_ = false;
};

// A picture file that holds no picture of the kind asked for.
ORV_DECLARE_EXCEPTION(EInvalidGraphic, Exception)

// A picture file as the windows show it; an empty picture for a file that holds none (also
// for a damaged or hostile one).
QImage ReadPictureFile(const QString& path);
// The same for a picture that must be there: a file that holds none raises EInvalidGraphic,
// naming `kind` ("Bitmap", "Icon") and the file.
QImage LoadPictureFile(const QString& path, const QString& kind);
