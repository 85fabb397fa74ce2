#include "editor/IconFile.h"

#include <QDataStream>
#include <QIODevice>
#include <QPixmap>

namespace Orvello {

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kInfoHeaderSize = 40;

// The picture as the bottom-up rows of blue, green, red and alpha, followed by the mask of
// transparent pixels (one bit each, rows padded to 32 bits), under a bitmap header that
// counts both halves in its height.
QByteArray bitmapOf(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(kInfoHeaderSize) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(32)
        << quint32(0) << quint32(w * h * 4 + maskStride * h) << qint32(0) << qint32(0) << quint32(0)
        << quint32(0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out << quint8(qBlue(line[x])) << quint8(qGreen(line[x])) << quint8(qRed(line[x]))
                << quint8(qAlpha(line[x]));
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.writeRawData(row.constData(), int(row.size()));
    }
    return bytes;
}

} // namespace

QByteArray IconFileBytes(const QList<QImage>& images) {
    QList<QByteArray> bitmaps;
    QList<QSize> sizes;
    for (const QImage& image : images) {
        if (image.isNull() || image.width() > 256 || image.height() > 256)
            continue;
        bitmaps << bitmapOf(image);
        sizes << image.size();
    }

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(bitmaps.size());
    quint32 offset = quint32(kDirectorySize + kEntrySize * bitmaps.size());
    for (qsizetype i = 0; i < bitmaps.size(); ++i) {
        // A side of 256 pixels is stored as 0.
        out << quint8(sizes[i].width() & 0xFF) << quint8(sizes[i].height() & 0xFF) << quint8(0)
            << quint8(0) << quint16(1) << quint16(32) << quint32(bitmaps[i].size()) << offset;
        offset += quint32(bitmaps[i].size());
    }
    for (const QByteArray& bitmap : bitmaps)
        out.writeRawData(bitmap.constData(), int(bitmap.size()));
    return bytes;
}

QByteArray IconFileBytes(const QIcon& icon) {
    QList<QImage> images;
    for (int size : {16, 32, 48})
        images << icon.pixmap(size, size).toImage().scaled(size, size);
    return IconFileBytes(images);
}

} // namespace Orvello
