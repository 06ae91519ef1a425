#pragma once

#include <QFrame>
#include <QPixmap>

namespace tallix {

// The Windows bitmap at `path` as a pixmap. An uncompressed 24-bit bitmap is copied row by row into
// the pixmap's own format; any other is read by Qt's built-in BMP reader straight away, and a file
// that isn't a bitmap the usual way. Qt's usual route (QPixmap(path)) first asks every image format
// plugin whether it reads ".bmp", loading each plugin library (and libjpeg) to do so; the pixels come
// out the same on every route.
QPixmap LoadBitmap(const QString& path);

// A sunken frame, two pixels wide, showing a bitmap at its natural size from the inner corner. It
// takes the focus in its turn of the tab order and shows nothing for it.
class PictureBox : public QFrame {
    Q_OBJECT

public:
    PictureBox(const QPixmap& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace tallix
