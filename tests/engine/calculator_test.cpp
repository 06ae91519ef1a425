#include "engine/calculator.h"
#include "tests/engine/recording_boxes.h"

#include <QTest>

using tallix::Calculator;

namespace {

struct Run {
    RecordingBoxes boxes;
    Calculator calc{boxes};
    Run() { calc.Load(); }
};

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

class CalculatorTest : public QObject {
    Q_OBJECT

private slots:
    void keySequences_data();
    void keySequences();
    void states_data();
    void states();
    void screenHoldsAtMost28Characters();
    void failedEqualIsRepairedByClearEntry();
};

// Keys in; the screen and the operator box after the last key.
void CalculatorTest::keySequences_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("display");
    const auto row = [](const char* name, const char* keys, const char* screen, const char* display) {
        QTest::newRow(name) << QString(keys) << QString(screen) << QString(display);
    };

    // entry
    row("fresh", "", "0", "");
    row("zero on zero ignored", "0 0", "0", "");
    row("decimal", "12.5", "12.5", "");
    row("second point refused", "12.5 . 3", "12.53", "");
    row("point first", ".", ".", "");
    row("digit after result appends", "50 + 5 = 7", "557", "");
    row("digit after zero result", "9 - 9 = 3", "03", "");
    row("digits after Error", "5 / 0 = 5", "Error5", "");
    row("point after result", "5 / 2 = .", "2.5.", "");
    row("second point result shown again", "5 / 2 = . =", "2.5", "");
    row("16 digits kept as typed", "1234567890123456", "1234567890123456", "");

    // sign change
    row("neg zero", "neg", "0", "");
    row("neg twice", "5 neg neg", "5", "");
    row("neg fraction", "0.5 neg", "-0.5", "");
    row("neg drops trailing point", "12. neg", "-12", "");
    row("neg keeps point flag", "12. neg . 3", "-123", "");
    row("neg drops leading zero", "9 - 9 = 3 neg", "-3", "");
    row("neg leaves Error", "5 / 0 = neg", "Error", "");
    row("neg after operator keeps left", "5 + neg 3 =", "8", "");
    row("neg on lone point", ". neg", "Error", "");
    row("neg on Error digits", "5 / 0 = 5 neg", "Error", "");

    // operators, chaining left to right
    row("add", "5 + 3 =", "8", "");
    row("right operand shown", "5 + 3", "3", "+");
    row("second equal", "5 + 3 = =", "8", "");
    row("chain", "5 + 3 * 2 =", "16", "");
    row("chain shows partial", "5 + 3 *", "8", "\u00D7");
    row("power", "2 ^ 10 =", "1024", "");
    row("subtract below zero", "9 - 12 =", "-3", "");
    row("third", "1 / 3 =", "0.333333333333333", "");
    row("root two by power", "2 ^ 0.5 =", "1.4142135623731", "");
    row("exponent form", "10 ^ 20 =", "1E+20", "");
    row("small exponent form", "1 / 100000 =", "1E-05", "");
    row("plain small", "1 / 10000 =", "0.0001", "");
    row("15 digits plain", "999999999999999 + 0 =", "999999999999999", "");
    row("1E+15", "999999999999999 + 1 =", "1E+15", "");
    row("rounded to 15 digits", "1234567890123456 + 0 =", "1.23456789012346E+15", "");
    row("digits after exponent form", "10 ^ 15 = 3", "1E+153", "");
    row("exponent digits reach no calculation", "10 ^ 15 = 3 + 1 =", "1E+15", "");
    row("result is left operand", "5 + 3 = 9 * 2 =", "16", "");
    row("equal without operator", "5 =", "5", "");
    row("divide symbol", "8 /", "8", "\u00F7");
    row("power symbol", "8 ^", "8", "y^");
    row("minus symbol", "8 -", "8", "-");
    row("underflow is zero", "0.0000000001 ^ 40 =", "0", "");
    row("negative base odd power", "2 neg ^ 3 =", "-8", "");
    row("zero to the zero", "9 - 9 = ^ 5 CE 0 =", "1", "");

    // the neutral right operand
    row("add alone", "5 + =", "5", "");
    row("mult alone", "5 * =", "5", "");
    row("power alone", "5 ^ =", "5", "");
    row("minus alone", "5 - =", "5", "");
    row("divide alone", "5 / =", "Error", "");
    row("operator twice", "5 + +", "5", "+");
    row("divide twice", "5 / /", "Error", "\u00F7");
    row("zero on zero is no operand", "9 - 9 = ^ 0 =", "0", "");
    row("point is no operand", "5 + . =", "5", "");
    row("neg is no operand", "5 * neg =", "5", "");

    // inactive before a number
    row("operators inactive", "+ * =", "0", "");
    row("square inactive", "sq", "0", "");
    row("after clear inactive", "5 + C + =", "0", "");
    row("point alone keeps operators off", ". +", ".", "");

    // failures
    row("divide by zero", "5 / 0 =", "Error", "");
    row("zero by zero", "9 - 9 = / 5 CE 0 =", "Error", "");
    row("Error captured by operator", "5 / 0 +", "Error", "+");
    row("overflow", "10 ^ 200 = ^ 2 =", "Error", "");
    row("multiply overflow", "10 ^ 300 = * 100000000000000000000 =", "Error", "");
    row("root of negative by power", "8 neg ^ 0.5 =", "Error", "");
    row("zero to negative power", "9 - 9 = ^ 2 neg =", "Error", "");
    row("point after result replaced", "5 + 3 = . . + 1 =", "9", "");
    row("point first operand", "5 + . 3 . =", "5.3", "");
    row("two points operand", "5 + 6.25 rt . =", "Error", "");
    row("lone point operand", "5 + 3 CE . =", "Error", "");
    row("Error digits operand", "5 / 0 = 7 + 1 =", "Error", "");
    row("neg beyond range", "10 ^ 300 = 9 neg", "Error", "");
    row("root beyond range", "10 ^ 300 = 9 rt", "Error", "");
    row("clear then compute", "5 / 0 + C 2 + 2 =", "4", "");

    // square
    row("square", "3 sq", "9", "y^2");
    row("digit after square", "3 sq sq 1", "811", "y^2");
    row("square finishes pending", "2 + 3 sq", "25", "y^2");
    row("equal after square", "2 + 3 sq =", "5", "");
    row("operator after square", "2 + 3 sq + 1 =", "6", "");
    row("square after equal", "2 + 3 = sq", "25", "y^2");
    row("square after equal twice", "2 + 3 = sq sq", "25", "y^2");
    row("square overflow", "10 ^ 200 = sq", "Error", "y^2");
    row("square on Error", "5 / 0 = sq", "Error", "");
    row("square of failed pending", "5 / 0 sq", "Error", "y^2");
    row("square of lone point", "5 + 3 = C . 5 sq", "0.25", "y^2");
    row("square of Error digits", "5 / 0 = 7 sq", "Error", "y^2");

    // square root
    row("root two", "2 rt", "1.4142135623731", "");
    row("root negative", "9 neg rt", "-3", "");
    row("root when idle", "rt", "0", "");
    row("root then digit appends", "rt 5", "05", "");
    row("root not an operand", "16 + rt =", "16", "");
    row("root shown", "16 + rt", "4", "+");
    row("root of typed operand", "9 + 16 rt =", "13", "");
    row("root of result", "5 + 3 = rt", "2.82842712474619", "");
    row("root writes result", "5 + 3 = rt =", "2.82842712474619", "");
    row("root of lone point", ". rt", "Error", "");
    row("root allows a new point", "2 . rt .", "1.4142135623731.", "");

    // clear entry
    row("clear entry keeps screen", "5 + 3 CE", "3", "+");
    row("clear entry new operand", "5 + 3 CE 4 =", "9", "");
    row("clear entry shown operand", "5 + 3 CE =", "8", "");
    row("clear entry new point", "12. CE .", ".", "");
    row("clear entry repairs Error", "5 / 0 = CE 2 =", "2.5", "");
    row("clear", "5 + 3 * C", "0", "");
    row("equal after clear", "5 + 3 C =", "0", "");
}

void CalculatorTest::keySequences() {
    QFETCH(QString, keys);
    Run run;
    QVERIFY(PressKeys(run.calc, keys.toStdString()));
    QTEST(q(run.boxes.screen), "screen");
    QTEST(q(run.boxes.display), "display");
}

// The pending operation's states, and the fields the keys leave behind.
void CalculatorTest::states_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("pendingOp");
    QTest::addColumn<QString>("firstOperand");
    QTest::addColumn<QString>("entryText");
    QTest::addColumn<QString>("resultText");
    QTest::addColumn<QString>(
        "flags"); // HaveNumber StartNewEntry HasDecimalPoint OperatorPending SecondEntered
    const auto row = [](const char* name, const char* keys, const char* pendingOp, const char* firstOperand,
                        const char* entryText, const char* resultText, const char* flags) {
        QTest::newRow(name) << QString(keys) << QString(pendingOp) << QString(firstOperand)
                            << QString(entryText) << QString(resultText) << QString(flags);
    };

    row("idle", "", "", "", "", "", "N");
    row("idle with number", "5", "", "", "0", "", "H");
    row("waiting", "5 +", "Add", "5", "0", "", "HNO");
    row("waiting with operand", "5 + 3", "Add", "5", "5", "", "HOS");
    row("done", "5 + 3 =", "0", "0", "0", "8", "H");
    row("done then digits", "5 + 3 = 9", "0", "0", "8", "8", "H");
    row("waiting again", "5 + 3 = *", "Mult", "8", "0", "8", "HNO");
    row("failed equal stays waiting", "5 / 0 =", "Div", "5", "0", "", "HOS");
    row("failed operator captures Error", "5 / 0 -", "Sub", "Error", "0", "", "HNOS");
    row("clear back to idle", "5 + 3 = C", "", "", "", "8", "N");
    row("point in entry", "5 + 1.", "Add", "5", "1", "", "HPOS");
    row("clear entry", "5 + 1. CE", "Add", "5", "0", "", "HNOS");
    row("root keeps pending", "5 + 9 rt", "Add", "5", "9", "3", "HOS");
    row("square moves to done", "5 + 1 sq", "0", "0", "0", "6", "H");
}

void CalculatorTest::states() {
    QFETCH(QString, keys);
    QFETCH(QString, flags);
    Run run;
    QVERIFY(PressKeys(run.calc, keys.toStdString()));
    const tallix::CalcState& s = run.calc.State();
    QTEST(q(s.PendingOp), "pendingOp");
    QTEST(q(s.FirstOperand), "firstOperand");
    QTEST(q(s.EntryText), "entryText");
    QTEST(q(s.ResultText), "resultText");
    QString actual;
    if (s.HaveNumber) actual += 'H';
    if (s.StartNewEntry) actual += 'N';
    if (s.HasDecimalPoint) actual += 'P';
    if (s.OperatorPending) actual += 'O';
    if (s.SecondEntered) actual += 'S';
    QCOMPARE(actual, flags);
}

void CalculatorTest::screenHoldsAtMost28Characters() {
    Run run;
    const std::string typed(28, '7');
    QVERIFY(PressKeys(run.calc, typed));
    QCOMPARE(q(run.boxes.screen), q(typed));
    QVERIFY(PressKeys(run.calc, "7 . 7"));
    QCOMPARE(q(run.boxes.screen), q(typed));
    // The keys still act: the point was taken, and the typed number takes part in a calculation.
    QVERIFY(run.calc.State().HasDecimalPoint);
    QVERIFY(PressKeys(run.calc, "+ 1 ="));
    QCOMPARE(q(run.boxes.screen), QStringLiteral("7.77777777777778E+27"));
}

void CalculatorTest::failedEqualIsRepairedByClearEntry() {
    Run run;
    QVERIFY(PressKeys(run.calc, "5 / 0 ="));
    QCOMPARE(q(run.boxes.screen), QStringLiteral("Error"));
    QCOMPARE(q(run.calc.State().FirstOperand), QStringLiteral("5"));
    QVERIFY(PressKeys(run.calc, "CE 2 ="));
    QCOMPARE(q(run.boxes.screen), QStringLiteral("2.5"));
    QCOMPARE(q(run.calc.State().PendingOp), QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(CalculatorTest)
#include "calculator_test.moc"
