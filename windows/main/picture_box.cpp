#include "windows/main/picture_box.h"

#include <QImageReader>
#include <QPainter>

#include <utility>

namespace tallix {

QPixmap LoadBitmap(const QString& path) {
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
