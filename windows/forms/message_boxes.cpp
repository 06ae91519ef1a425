#include "windows/forms/message_boxes.h"

#include <QMessageBox>
#include <QTimer>

namespace tallix {

void QtMessageBoxes::Show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    const QMessageBox::Icon shown = icon == MessageIcon::Information ? QMessageBox::Information
                                    : icon == MessageIcon::Warning   ? QMessageBox::Warning
                                                                     : QMessageBox::NoIcon;
    QMessageBox box(shown, title, text, QMessageBox::Ok, parent);
    if (observer_) QTimer::singleShot(0, &box, [this, &box] { observer_(box); });
    box.exec();
}

} // namespace tallix
