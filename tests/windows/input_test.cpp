#include "resources/resources.h"
#include "tests/support/table_file.h"
#include "tests/support/test_main.h"
#include "tests/windows/main_window_run.h"
#include "windows/forms/form.h"

#include <QWindow>

using namespace tallix;

// Mouse, keyboard and focus on the windows, beyond the end-to-end scripts' left clicks on the keys.
class InputTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { RegisterFonts(); }
    void cleanup() { DeleteClosedWindows(); }

    // Red feedback on: a held key is red whatever the button, only the left
    // button released on the same key clicks, and the keyboard changes no colour.
    void mouseWithoutAClick_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QByteArray>("releasedOn");
        QTest::newRow("right button") << Qt::RightButton << QByteArray("Num7");
        QTest::newRow("released off the key") << Qt::LeftButton << QByteArray("Num6");
    }
    void mouseWithoutAClick() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QByteArray, releasedOn);
        MainWindowRun run;
        run.Start();
        FeedbackButton* pressed = run.key("Num7");
        FeedbackButton* released = run.key(releasedOn);
        // Through the window, as on a desktop: the release goes to the control that got the press.
        QWindow* window = run.main().windowHandle();
        const QPoint from = pressed->mapTo(&run.main(), pressed->rect().center());
        const QPoint to = released->mapTo(&run.main(), released->rect().center());
        QTest::mousePress(window, button, {}, from);
        QCOMPARE(pressed->BackColor(), FeedbackButton::kPressedRed);
        QTest::mouseMove(window, to);
        QTest::mouseRelease(window, button, {}, to);
        QCOMPARE(pressed->BackColor(), FeedbackButton::kButtonFace);
        QCOMPARE(released->BackColor(), FeedbackButton::kButtonFace);
        QCOMPARE(run.screen(), "0");
    }
    void keyboardChangesNoColour() {
        MainWindowRun run;
        QVERIFY(QTest::qWaitForWindowActive(&run.Start()));
        FeedbackButton* five = run.key("Num5");
        five->setFocus();
        QTest::keyPress(five, Qt::Key_Space);
        QVERIFY(five->isDown());
        QCOMPARE(five->BackColor(), FeedbackButton::kButtonFace);
        QTest::keyRelease(five, Qt::Key_Space);
        QCOMPARE(run.screen(), "5");
    }

    // What the end-to-end layout script cannot see: the first focus, then Tab all the way round.
    void tabOrder_data() { AddTableRows(TABLES "tab_order.txt", {"window", "opener", "order"}); }
    void tabOrder() {
        QFETCH(QString, window);
        QFETCH(QString, opener);
        QFETCH(QString, order);
        MainWindowRun run;
        run.Start();
        if (!opener.isEmpty()) run.key(qPrintable(opener))->click();
        QVERIFY(QTest::qWaitForWindowActive(OpenForm(window)));
        QStringList visited{QApplication::focusWidget()->objectName()};
        while (visited.size() < order.count(' ') + 1) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.join(' '), order);
    }
};

TALLIX_TEST_MAIN(InputTest)
#include "input_test.moc"
