#include "tests/support/table_file.h"
#include "tests/windows/main_window_run.h"

#include <optional>

using tallix::FeedbackButton;

// Mouse and keyboard beyond the plain left clicks that the end-to-end scripts play: the red feedback
// with the option on, and the tab order.
class MainCalcInputTest : public QObject {
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
    void cleanup() {
        run_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A held key is red whatever the button; only the left button released on the same key clicks.
    void mouseWithoutAClick_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QByteArray>("releasedOn");
        QTest::newRow("right button") << Qt::RightButton << QByteArray("Num7");
        QTest::newRow("released off the key") << Qt::LeftButton << QByteArray("Num6");
    }
    void mouseWithoutAClick() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QByteArray, releasedOn);
        FeedbackButton* pressed = run_->key("Num7");
        FeedbackButton* released = run_->key(releasedOn);
        run_->press(pressed, button);
        QCOMPARE(pressed->BackColor(), FeedbackButton::kPressedRed);
        QTest::mouseMove(run_->main().windowHandle(), run_->centreOf(released));
        run_->release(released, button);
        QCOMPARE(pressed->BackColor(), FeedbackButton::kButtonFace);
        QCOMPARE(released->BackColor(), FeedbackButton::kButtonFace);
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

    // What the end-to-end layout script cannot see: the first focus, then Tab all the way round.
    void tabOrder_data() { AddTableRows(TAB_ORDER_TABLE, {"window", "opener", "order"}); }
    void tabOrder() {
        QFETCH(QString, window);
        QFETCH(QString, opener);
        QFETCH(QString, order);
        if (!opener.isEmpty()) run_->key(qPrintable(opener))->click();
        QVERIFY(QTest::qWaitForWindowActive(tallix::OpenForm(window)));
        QStringList visited{QApplication::focusWidget()->objectName()};
        while (visited.size() < order.count(' ') + 1) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.join(' '), order);
    }
};

TALLIX_TEST_MAIN(MainCalcInputTest)
#include "main_calc_input_test.moc"
