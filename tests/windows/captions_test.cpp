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
        QRectF room; // where the text may go, in the window's coordinates
        bool wraps = false;
    };

    // The part of the control that shows: cut by every container and by the window's client area.
    static QRect visiblePart(const QWidget& control) {
        QRect visible(control.mapTo(control.window(), QPoint(0, 0)), control.size());
        for (const QWidget* container = control.parentWidget(); container;
             container = container->parentWidget())
            visible &= QRect(container->mapTo(control.window(), QPoint(0, 0)), container->size());
        return visible;
    }

    static QRect inWindow(const QWidget& control, QRect rect) {
        return rect.translated(control.mapTo(control.window(), QPoint(0, 0)));
    }

    // The room that the control's style leaves for its text.
    static std::optional<Caption> captionOf(const QWidget& control) {
        const QRect visible = visiblePart(control);
        if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const auto contents = qobject_cast<const QCheckBox*>(button) ? QStyle::SE_CheckBoxContents
                                                                         : QStyle::SE_PushButtonContents;
            const QRect room = button->style()->subElementRect(contents, &option, button);
            return Caption{button->text(), inWindow(control, room) & visible};
        }
        if (const auto* label = qobject_cast<const QLabel*>(&control)) {
            if (label->text().isEmpty()) return std::nullopt;
            return Caption{label->text(), inWindow(control, label->contentsRect()) & visible,
                           label->wordWrap()};
        }
        if (const auto* box = qobject_cast<const QLineEdit*>(&control)) {
            if (box->text().isEmpty()) return std::nullopt;
            // The line edit keeps 2 pixels of its own on either side of its text margins.
            const QMargins margins = box->textMargins() + QMargins(2, 0, 2, 0);
            QStyleOptionFrame option;
            option.initFrom(box);
            option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
            const QRect room = box->style()
                                   ->subElementRect(QStyle::SE_LineEditContents, &option, box)
                                   .marginsRemoved(margins);
            return Caption{box->text(), inWindow(control, room) & visible};
        }
        return std::nullopt;
    }

    // The text's extent as drawn on the device: glyphs at the device's pixel size, back in window pixels.
    static QSizeF drawnSize(const QWidget& control, const Caption& caption) {
        const qreal scale = control.devicePixelRatioF();
        QFont font = control.font();
        font.setPointSizeF(font.pointSizeF() * scale);
        const QFontMetricsF metrics(font, &control);
        if (caption.wraps) {
            const QRectF room(0, 0, caption.room.width() * scale, 1e6);
            return metrics.boundingRect(room, Qt::TextWordWrap, caption.text).size() / scale;
        }
        // The ink may reach past the advance on either side.
        const QRectF ink = metrics.tightBoundingRect(caption.text);
        const qreal width =
            std::max(metrics.horizontalAdvance(caption.text), ink.right()) - std::min(0.0, ink.left());
        return QSizeF(width, ink.height()) / scale;
    }

    // One line for each caption that doesn't fit.
    static QStringList misfits(const QWidget& window) {
        QStringList found;
        for (const QWidget* control : window.findChildren<QWidget*>()) {
            const std::optional<Caption> caption = captionOf(*control);
            if (!caption) continue;
            const QSizeF drawn = drawnSize(*control, *caption);
            if (drawn.width() > caption->room.width() || drawn.height() > caption->room.height())
                found << QStringLiteral("%1.%2 \"%3\" needs %4 x %5 px, has %6 x %7")
                             .arg(window.objectName(), control->objectName(), caption->text)
                             .arg(drawn.width(), 0, 'f', 1)
                             .arg(drawn.height(), 0, 'f', 1)
                             .arg(caption->room.width())
                             .arg(caption->room.height());
        }
        return found;
    }

private slots:
    void initTestCase() {
        tallix::RegisterFonts();
        run_.Start();
    }

    void everyWindow() {
        // The welcome window opens at start; the other two open once it has closed.
        QWidget* popup = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "Popup") popup = window;
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
