#include "tests/windows/main_window_run.h"

#include <QImage>

#include <optional>

using tallix::FeedbackButton;

// The red feedback with the option on, beyond the plain left click that the end-to-end scripts cover.
class FeedbackButtonTest : public QObject {
    Q_OBJECT

    std::optional<MainWindowRun> run_;

private slots:
    void initTestCase() { tallix::RegisterFonts(); }
    void init() {
        run_.emplace();
        run_->store.Seed("ShowPopup", "0");
        run_->store.Seed("RedBttns", "1");
        run_->Start();
    }
    void cleanup() { run_.reset(); }

    void rightButtonTurnsRedAndDoesNotClick() {
        FeedbackButton* seven = run_->key("Num7");
        run_->press(seven, Qt::RightButton);
        QCOMPARE(seven->BackColor(), FeedbackButton::kPressedRed);
        run_->release(seven, Qt::RightButton);
        QCOMPARE(seven->BackColor(), FeedbackButton::kButtonFace);
        QCOMPARE(run_->screen(), "0");
    }

    void releaseOffTheKeyRestores() {
        FeedbackButton* five = run_->key("Num5");
        FeedbackButton* six = run_->key("Num6");
        run_->press(five);
        QTest::mouseMove(run_->main().windowHandle(), run_->centreOf(six));
        run_->release(six);
        QCOMPARE(five->BackColor(), FeedbackButton::kButtonFace);
        QCOMPARE(six->BackColor(), FeedbackButton::kButtonFace);
        QCOMPARE(run_->screen(), "0");
    }

    void keyboardChangesNoColour() {
        QVERIFY(QTest::qWaitForWindowActive(&run_->main()));
        FeedbackButton* five = run_->key("Num5");
        five->setFocus();
        QTest::keyPress(five, Qt::Key_Space);
        QVERIFY(five->isDown());
        QCOMPARE(five->BackColor(), FeedbackButton::kButtonFace);
        QTest::keyRelease(five, Qt::Key_Space);
        QCOMPARE(run_->screen(), "5");
    }

    // What the window really shows while Num5 is held down.
    void picture_data() {
        QTest::addColumn<QPoint>("point"); // in the client area
        QTest::addColumn<QColor>("colour");
        QTest::newRow("silver between the display and the keys") << QPoint(100, 36) << QColor(192, 192, 192);
        QTest::newRow("navy in the left panel between keys") << QPoint(44, 100) << QColor(0, 0, 128);
        QTest::newRow("silver stripe between the key columns") << QPoint(172, 100) << QColor(192, 192, 192);
        QTest::newRow("navy right panel at the edge") << QPoint(213, 100) << QColor(0, 0, 128);
        QTest::newRow("pressed key, dark red") << QPoint(56, 145) << QColor(128, 0, 0);
    }
    void picture() {
        QFETCH(QPoint, point);
        QFETCH(QColor, colour);
        QVERIFY(QTest::qWaitForWindowExposed(&run_->main()));
        run_->press(run_->key("Num5"));
        const QImage image = run_->main().grab().toImage();
        run_->release(run_->key("Num5"));
        QCOMPARE(image.size(), QSize(216, 254));
        QCOMPARE(image.pixelColor(point), colour);
    }
};

TALLIX_TEST_MAIN(FeedbackButtonTest)
#include "feedback_button_test.moc"
