#include "tests/windows/main_window_run.h"

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
};

TALLIX_TEST_MAIN(FeedbackButtonTest)
#include "feedback_button_test.moc"
