#pragma once

#include <QFrame>
#include <QPixmap>

namespace tallix {

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
