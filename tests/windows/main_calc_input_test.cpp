#include "tests/windows/main_window_run.h"

#include <optional>

using tallix::FeedbackButton;

// Mouse and keyboard on the keypad, beyond the plain left clicks that the end-to-end scripts play: the
// red feedback with the option on, and the tab order.
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

    // What the end-to-end layout script cannot see: the first focus and the tab order.
    void tabRunsFromMultRoundToMult() {
        QVERIFY(QTest::qWaitForWindowActive(&run_->main()));
        tallix::MainCalc& main = run_->main();
        QCOMPARE(main.focusWidget(), run_->key("Mult")); // the first focus
        const QStringList expected{"Add",   "Minus",     "Divide",   "Mem",        "GatherMem", "Polarity",
                                   "Sroot", "Deci",      "Picture1", "RsCalc",     "Num7",      "Num8",
                                   "Num9",  "Num4",      "Num5",     "Num6",       "Num1",      "Num2",
                                   "Num3",  "Num0",      "Clear2",   "ClearLast2", "Power",     "PowerTwo",
                                   "Equal", "OptButton", "Mult"};
        QStringList visited;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QTest::keyClick(&main, Qt::Key_Tab);
            visited << (main.focusWidget() ? main.focusWidget()->objectName() : QString());
        }
        QCOMPARE(visited, expected);
    }
};

TALLIX_TEST_MAIN(MainCalcInputTest)
#include "main_calc_input_test.moc"
