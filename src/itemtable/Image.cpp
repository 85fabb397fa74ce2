#include "itemtable/Image.h"

#include "platform/Files.h"

#include <QImageReader>
#include <QPainter>

TImage::TImage(QWidget* parent) : TGraphicControl(parent) {}

void TImage::SetPicture(const QImage& picture) {
    picture_ = picture.copy();
    update();
}

void TImage::SetStretch(bool value) {
    stretch_ = value;
    update();
}

void TImage::SetCenter(bool value) {
    center_ = value;
    update();
}

QRect TImage::PictureRect() const {
    if (picture_.isNull())
        return {};
    if (stretch_)
        return rect();
    if (!center_)
        return {QPoint(0, 0), picture_.size()};
    return {QPoint((width() - picture_.width()) / 2, (height() - picture_.height()) / 2),
            picture_.size()};
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(PictureRect(), picture_);
}

QImage ReadPictureFile(const QString& path) {
    QImageReader reader(Files::NativePath(path));
    reader.setAllocationLimit(256); // megabytes: a hostile header cannot exhaust the memory
    return reader.read();
}

QImage LoadPictureFile(const QString& path, const QString& kind) {
    const QImage picture = ReadPictureFile(path);
    if (picture.isNull())
        throw EInvalidGraphic(kind + QStringLiteral(" image is not valid: ") + path);
    return picture;
}
