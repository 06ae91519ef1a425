#include "resources/resources.h"
#include "tests/support/test_main.h"
#include "tests/windows/main_window_run.h"

#include <QStyle>

#include <memory>

using namespace tallix;

class MainCalcLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void geometry_data();
    void geometry();
    void fonts_data();
    void fonts();
    void captions_data();
    void captions();
    void accessibleNames_data();
    void accessibleNames();
    void windowIsFixedWithTitleAndCloseBox();
    void keysShareOneClassicStyle();
    void firstFocusIsMult();
    void tabRunsFromMultRoundToMult();
    void screenKeepsFirst28Characters();
    void boxesAreDisabledAndKeepTheirColours();
    void operatorSymbolsReachTheDisplay_data();
    void operatorSymbolsReachTheDisplay();

private:
    std::unique_ptr<MainWindowRun> run_;
};

void MainCalcLayoutTest::initTestCase() {
    RegisterFonts();
    run_ = std::make_unique<MainWindowRun>();
    run_->store.Seed("ShowPopup", "0");
    run_->Start();
    QVERIFY(QTest::qWaitForWindowActive(&run_->main()));
}

void MainCalcLayoutTest::cleanupTestCase() {
    run_.reset();
}

void MainCalcLayoutTest::geometry_data() {
    QTest::addColumn<QRect>("expected"); // pixels, relative to the window's client area
    const auto row = [](const char* name, int x, int y, int w, int h) {
        QTest::newRow(name) << QRect(x, y, w, h);
    };
    // On the window
    row("Display", 12, 12, 19, 17);
    row("Screen", 8, 8, 201, 25);
    row("Deci", 88, 200, 33, 33);
    row("Sroot", 176, 80, 33, 33);
    row("Polarity", 48, 200, 33, 33);
    row("GatherMem", 136, 40, 33, 33);
    row("Mem", 176, 40, 33, 33);
    row("Divide", 136, 80, 33, 33);
    row("Minus", 136, 160, 33, 33);
    row("Add", 136, 200, 33, 33);
    row("Mult", 136, 120, 33, 33);
    row("Picture1", -8, -3, 257, 259);
    // In Picture1, from its inner corner at (-6, -1): in one grid with the keys on the window
    row("OptButton", 155, 235, 54, 18);
    row("Equal", 176, 200, 33, 33);
    row("PowerTwo", 176, 160, 33, 33);
    row("Power", 176, 120, 33, 33);
    row("ClearLast2", 68, 40, 53, 33);
    row("Clear2", 8, 40, 53, 33);
    row("Num0", 8, 200, 33, 33);
    row("Num3", 88, 160, 33, 33);
    row("Num2", 48, 160, 33, 33);
    row("Num1", 8, 161, 33, 33);
    row("Num6", 88, 120, 33, 33);
    row("Num5", 48, 120, 33, 33);
    row("Num4", 8, 120, 33, 33);
    row("Num9", 88, 80, 33, 33);
    row("Num8", 48, 80, 33, 33);
    row("Num7", 8, 80, 33, 33);
    row("RsCalc", 8, 235, 145, 17);
}

void MainCalcLayoutTest::geometry() {
    QFETCH(QRect, expected);
    MainCalc& main = run_->main();
    const QWidget* control = main.findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(control);
    QCOMPARE(QRect(control->mapTo(&main, QPoint(0, 0)), control->size()), expected);
    // Nothing lies over a control but what the definition puts there: Display over the left end of Screen.
    if (control->objectName() != QLatin1String("Picture1"))
        QCOMPARE(main.childAt(expected.center()), control);
}

void MainCalcLayoutTest::fonts_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::newRow("Num4") << "Times New Roman" << 14.25;
    QTest::newRow("Num1") << "JACKIE" << 9.75;
    QTest::newRow("Num5") << "JACKIE" << 12.0;
    QTest::newRow("Divide") << "Times New Roman" << 12.0;
    QTest::newRow("Sroot") << "JACKIE" << 11.25;
    QTest::newRow("RsCalc") << "JACKIE" << 9.75;
    QTest::newRow("OptButton") << "JACKIE" << 9.75;
    QTest::newRow("Screen") << "Times New Roman" << 9.75;
    QTest::newRow("Display") << "Times New Roman" << 9.0;
}

void MainCalcLayoutTest::fonts() {
    QFETCH(QString, family);
    QFETCH(double, points);
    const QFont font = run_->main().findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()))->font();
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.italic());
}

void MainCalcLayoutTest::captions_data() {
    QTest::addColumn<QString>("caption");
    QTest::newRow("Mult") << QStringLiteral("\u00D7");
    QTest::newRow("Divide") << QStringLiteral("\u00F7");
    QTest::newRow("Minus") << "_";
    QTest::newRow("Add") << "+";
    QTest::newRow("Polarity") << "+/-";
    QTest::newRow("Sroot") << "Sqrt";
    QTest::newRow("Power") << "y^";
    QTest::newRow("PowerTwo") << "y^2";
    QTest::newRow("ClearLast2") << "CE";
    QTest::newRow("GatherMem") << "MR";
    QTest::newRow("Num0") << "0";
    QTest::newRow("Num9") << "9";
    QTest::newRow("RsCalc") << "RS Experience Calculator";
    QTest::newRow("OptButton") << "Options";
}

void MainCalcLayoutTest::captions() {
    QFETCH(QString, caption);
    QCOMPARE(run_->key(QTest::currentDataTag())->text(), caption);
}

void MainCalcLayoutTest::accessibleNames_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("Divide") << "Divide";
    QTest::newRow("Sroot") << "Square root";
    QTest::newRow("GatherMem") << "Memory recall";
    QTest::newRow("Mem") << "Memory store";
    QTest::newRow("Polarity") << "Change sign";
    QTest::newRow("PowerTwo") << "Square";
    QTest::newRow("Num0") << "Zero";
    QTest::newRow("RsCalc") << "RuneScape experience calculator";
}

void MainCalcLayoutTest::accessibleNames() {
    QFETCH(QString, name);
    QCOMPARE(run_->key(QTest::currentDataTag())->accessibleName(), name);
}

void MainCalcLayoutTest::windowIsFixedWithTitleAndCloseBox() {
    MainCalc& main = run_->main();
    QCOMPARE(main.size(), QSize(216, 254));
    QCOMPARE(main.minimumSize(), QSize(216, 254));
    QCOMPARE(main.maximumSize(), QSize(216, 254));
    // A title bar with the title and a close box only: no minimise or maximise box.
    const Qt::WindowFlags flags = main.windowFlags();
    QCOMPARE(main.windowType(), Qt::Window);
    QVERIFY(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(main.windowTitle(), "Tallix - By Dorvik5150");
    QVERIFY(!main.windowIcon().isNull());
    QCOMPARE(main.objectName(), "MainCalc");
}

void MainCalcLayoutTest::keysShareOneClassicStyle() {
    const QList<FeedbackButton*> keys = run_->main().findChildren<FeedbackButton*>();
    QCOMPARE(keys.size(), 26);
    QStyle* style = keys.front()->style();
    QCOMPARE(style->name(), "windows");
    for (const FeedbackButton* key : keys)
        QCOMPARE(key->style(), style);
}

void MainCalcLayoutTest::firstFocusIsMult() {
    QCOMPARE(run_->main().focusWidget(), run_->key("Mult"));
}

void MainCalcLayoutTest::tabRunsFromMultRoundToMult() {
    MainCalc& main = run_->main();
    run_->key("Mult")->setFocus();
    const QStringList expected{
        "Add",    "Minus", "Divide", "Mem",        "GatherMem", "Polarity", "Sroot", "Deci",      "Picture1",
        "RsCalc", "Num7",  "Num8",   "Num9",       "Num4",      "Num5",     "Num6",  "Num1",      "Num2",
        "Num3",   "Num0",  "Clear2", "ClearLast2", "Power",     "PowerTwo", "Equal", "OptButton", "Mult"};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(&main, Qt::Key_Tab);
        visited << (main.focusWidget() ? main.focusWidget()->objectName() : QString());
    }
    QCOMPARE(visited, expected);
}

void MainCalcLayoutTest::screenKeepsFirst28Characters() {
    MainCalc& main = run_->main();
    main.SetScreenText("1234567890123456789012345678901");
    QCOMPARE(main.ScreenText(), "1234567890123456789012345678");
    main.SetScreenText("0");
}

void MainCalcLayoutTest::boxesAreDisabledAndKeepTheirColours() {
    const QPalette standard = QApplication::palette();
    struct Box {
        const char* name;
        QPalette::ColorRole background;
        QPalette::ColorRole text;
    };
    for (const Box& box : {Box{"Screen", QPalette::ButtonText, QPalette::HighlightedText},
                           Box{"Display", QPalette::WindowText, QPalette::Base}}) {
        const auto* edit = run_->main().findChild<QLineEdit*>(QString::fromLatin1(box.name));
        QVERIFY(!edit->isEnabled());
        const QPalette palette = edit->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            QCOMPARE(palette.color(group, QPalette::Base), standard.color(QPalette::Active, box.background));
            QCOMPARE(palette.color(group, QPalette::Text), standard.color(QPalette::Active, box.text));
        }
    }
    QCOMPARE(run_->main().findChild<QLineEdit*>(QStringLiteral("Screen"))->alignment() &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
}

void MainCalcLayoutTest::operatorSymbolsReachTheDisplay_data() {
    QTest::addColumn<QString>("symbol");
    QTest::newRow("Mult") << QStringLiteral("\u00D7");
    QTest::newRow("Divide") << QStringLiteral("\u00F7");
    QTest::newRow("Minus") << "-";
    QTest::newRow("Power") << "y^";
}

void MainCalcLayoutTest::operatorSymbolsReachTheDisplay() {
    QFETCH(QString, symbol);
    run_->click("Clear2");
    run_->click("Num7");
    run_->click(QTest::currentDataTag());
    QCOMPARE(run_->display(), symbol);
    run_->click("Clear2");
}

TALLIX_TEST_MAIN(MainCalcLayoutTest)
#include "main_calc_layout_test.moc"
