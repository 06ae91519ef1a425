#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionButton>

#include <algorithm>
#include <optional>

// Whether each caption of a window shows whole inside the visible part of its control, measured with the
// fonts the controls really use.
struct Caption {
    QString text;
    QRect room; // where the control's style lets the text go, in the control's coordinates
    bool wraps = false;
};

inline std::optional<Caption> captionOf(const QWidget& control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const auto contents = qobject_cast<const QCheckBox*>(button) ? QStyle::SE_CheckBoxContents
                                                                     : QStyle::SE_PushButtonContents;
        return Caption{button->text(), button->style()->subElementRect(contents, &option, button)};
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return Caption{label->text(), label->contentsRect(), label->wordWrap()};
    if (const auto* box = qobject_cast<const QLineEdit*>(&control)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
        // The line edit keeps 2 pixels of its own on either side of its text margins.
        return Caption{box->text(), room.marginsRemoved(box->textMargins() + QMargins(2, 0, 2, 0))};
    }
    return std::nullopt;
}

// The room in the window's coordinates, cut by the control, every container and the client area.
inline QRect visibleRoom(const QWidget& control, QRect room) {
    const QWidget* window = control.window();
    room.translate(control.mapTo(window, QPoint(0, 0)));
    for (const QWidget* part = &control; part; part = part->parentWidget())
        room &= QRect(part->mapTo(window, QPoint(0, 0)), part->size());
    return room;
}

// The text's extent as drawn on the device: glyphs at the device's pixel size, back in window pixels.
inline QSizeF drawnSize(const QWidget& control, const QString& text, const QRect& room, bool wraps) {
    const qreal scale = control.devicePixelRatioF();
    QFont font = control.font();
    font.setPointSizeF(font.pointSizeF() * scale);
    const QFontMetricsF metrics(font, &control);
    if (wraps)
        return metrics.boundingRect(QRectF(0, 0, room.width() * scale, 1e6), Qt::TextWordWrap, text).size() /
               scale;
    // The ink may reach past the advance on either side.
    const QRectF ink = metrics.tightBoundingRect(text);
    const qreal width = std::max(metrics.horizontalAdvance(text), ink.right()) - std::min(0.0, ink.left());
    return QSizeF(width, ink.height()) / scale;
}

inline QStringList misfits(const QWidget& window) {
    QStringList found;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const std::optional<Caption> caption = captionOf(*control);
        if (!caption || caption->text.isEmpty()) continue;
        const QRect room = visibleRoom(*control, caption->room);
        const QSizeF drawn = drawnSize(*control, caption->text, room, caption->wraps);
        if (drawn.width() > room.width() || drawn.height() > room.height())
            found << QStringLiteral("%1.%2 \"%3\" needs %4 x %5 px, has %6 x %7")
                         .arg(window.objectName(), control->objectName(), caption->text)
                         .arg(drawn.width(), 0, 'f', 1)
                         .arg(drawn.height(), 0, 'f', 1)
                         .arg(room.width())
                         .arg(room.height());
    }
    return found;
}
