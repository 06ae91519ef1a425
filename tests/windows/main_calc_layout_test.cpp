#include "tests/windows/main_window_run.h"

// What the end-to-end layout script cannot see: fonts, focus, tab order and the window's frame.
class MainCalcLayoutTest : public QObject {
    Q_OBJECT

    MainWindowRun run_;

private slots:
    void initTestCase() {
        tallix::RegisterFonts();
        run_.store.Seed("ShowPopup", "0");
        run_.Start();
        QVERIFY(QTest::qWaitForWindowActive(&run_.main()));
    }

    // The keys whose face or size differs from the usual JACKIE 12.
    void fonts_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::newRow("Num4") << "Times New Roman" << 14.25;
        QTest::newRow("Num1") << "JACKIE" << 9.75;
        QTest::newRow("Divide") << "Times New Roman" << 12.0;
        QTest::newRow("Sroot") << "JACKIE" << 11.25;
    }
    void fonts() {
        QFETCH(QString, family);
        QFETCH(double, points);
        QCOMPARE(run_.key(QTest::currentDataTag())->font(), tallix::ShownFont(family, points));
    }

    void tabRunsFromMultRoundToMult() {
        tallix::MainCalc& main = run_.main();
        QCOMPARE(main.focusWidget(), run_.key("Mult")); // the first focus
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

    // Fixed size; a title bar with the title and a close box only, no minimise or maximise box.
    void windowIsFixedWithTitleAndCloseBox() {
        const tallix::MainCalc& main = run_.main();
        QCOMPARE(main.minimumSize(), QSize(216, 254));
        QCOMPARE(main.maximumSize(), QSize(216, 254));
        const Qt::WindowFlags flags = main.windowFlags();
        QCOMPARE(main.windowType(), Qt::Window);
        QVERIFY(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(main.windowIcon().availableSizes().contains(QSize(48, 48))); // read through the ico plugin
    }
};

TALLIX_TEST_MAIN(MainCalcLayoutTest)
#include "main_calc_layout_test.moc"
