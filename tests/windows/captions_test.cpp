#include "tests/windows/main_window_run.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QStyleOptionButton>

#include <optional>

// Every caption of every window shows whole inside the visible part of its control, measured with the
// fonts that the controls really use. Run at scale factor 1 and 2: text is drawn at the device's
// pixel size, whose glyphs need not be exactly twice as wide.
class CaptionsTest : public QObject {
    Q_OBJECT

    MainWindowRun run_;

    struct Caption {
        QString text;
        QRect room; // where the control's style lets the text go, in the control's coordinates
        bool wraps = false;
    };

    static std::optional<Caption> captionOf(const QWidget& control) {
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
    static QRect visibleRoom(const QWidget& control, QRect room) {
        const QWidget* window = control.window();
        room.translate(control.mapTo(window, QPoint(0, 0)));
        for (const QWidget* part = &control; part; part = part->parentWidget())
            room &= QRect(part->mapTo(window, QPoint(0, 0)), part->size());
        return room;
    }

    // The text's extent as drawn on the device: glyphs at the device's pixel size, back in window pixels.
    static QSizeF drawnSize(const QWidget& control, const QString& text, const QRect& room, bool wraps) {
        const qreal scale = control.devicePixelRatioF();
        QFont font = control.font();
        font.setPointSizeF(font.pointSizeF() * scale);
        const QFontMetricsF metrics(font, &control);
        if (wraps)
            return metrics.boundingRect(QRectF(0, 0, room.width() * scale, 1e6), Qt::TextWordWrap, text)
                       .size() /
                   scale;
        // The ink may reach past the advance on either side.
        const QRectF ink = metrics.tightBoundingRect(text);
        const qreal width =
            std::max(metrics.horizontalAdvance(text), ink.right()) - std::min(0.0, ink.left());
        return QSizeF(width, ink.height()) / scale;
    }

    // One line for each caption that doesn't fit.
    static QStringList misfits(const QWidget& window) {
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

private slots:
    void everyWindow() {
        tallix::RegisterFonts();
        run_.Start();
        // The welcome window opens at start; the other two open once it has closed.
        QWidget* popup = tallix::OpenForm(u"Popup");
        QVERIFY(popup);
        QStringList found = misfits(*popup);
        popup->close();
        run_.key("OptButton")->click();
        run_.key("RsCalc")->click();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window != &run_.main()) found << misfits(*window);
        for (const char* symbol : {"+", "-", "\u00D7", "\u00F7", "y^", "y^2"}) {
            run_.main().SetDisplayText(symbol);
            found << misfits(run_.main());
        }
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }
};

TALLIX_TEST_MAIN(CaptionsTest)
#include "captions_test.moc"
