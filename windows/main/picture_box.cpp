#include "windows/main/picture_box.h"

#include <QPainter>

namespace tallix {

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
