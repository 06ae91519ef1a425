#include "windows/main/picture_box.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <utility>

namespace tallix {

namespace {

// An uncompressed 24-bit bottom-up bitmap (what the program's backgrounds are) copied row by row,
// without the general reader's per-pixel work; anything else gives a null image.
QImage readPlainBitmap(const QByteArray& data) {
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(data.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(data.constData() + at); };
    const auto s32 = [&](qsizetype at) { return qFromLittleEndian<qint32>(data.constData() + at); };
    constexpr qsizetype kInfo = 14;
    if (data.size() < kInfo + 40 || u16(0) != 0x4D42 || u32(kInfo) != 40 || u16(kInfo + 12) != 1 ||
        u16(kInfo + 14) != 24 || u32(kInfo + 16) != 0)
        return {};
    const qint32 width = s32(kInfo + 4);
    const qint32 height = s32(kInfo + 8);
    const qsizetype pixels = u32(10);
    if (width <= 0 || width > 4096 || height <= 0 || height > 4096 || pixels < kInfo + 40) return {};
    const qsizetype rowBytes = (qsizetype(width) * 3 + 3) / 4 * 4;
    if (pixels > data.size() || (data.size() - pixels) / rowBytes < height) return {};
    // In the pixmaps' own format, so that making the pixmap converts nothing.
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int y = 0; y < height; ++y) {
        const auto* bgr =
            reinterpret_cast<const uchar*>(data.constData() + pixels + (height - 1 - y) * rowBytes);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, bgr += 3)
            line[x] = qRgb(bgr[2], bgr[1], bgr[0]);
    }
    const qint32 dotsX = s32(kInfo + 24);
    const qint32 dotsY = s32(kInfo + 28);
    if (dotsX > 0) image.setDotsPerMeterX(dotsX);
    if (dotsY > 0) image.setDotsPerMeterY(dotsY);
    return image;
}

} // namespace

QPixmap LoadBitmap(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QImage image = readPlainBitmap(file.readAll());
        if (!image.isNull()) return QPixmap::fromImage(std::move(image));
    }
    QImageReader reader(path, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) return QPixmap(path);
    return QPixmap::fromImage(std::move(image));
}

PictureBox::PictureBox(const QPixmap& picture, QWidget* parent)
    : QFrame(parent)
    , picture_(picture) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::TabFocus);
    // Frame and picture cover every pixel, so whatever lies beneath need not be drawn.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        const QRect inner = contentsRect();
        if (!QRect(inner.topLeft(), picture_.deviceIndependentSize().toSize()).contains(inner))
            painter.fillRect(inner, palette().window());
        painter.drawPixmap(contentsRect().topLeft(), picture_);
    }
    QFrame::paintEvent(event);
}

} // namespace tallix
