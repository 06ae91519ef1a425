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

    // entry
    QTest::newRow("fresh") << ""
                           << "0"
                           << "";
    QTest::newRow("zero on zero ignored") << "0 0"
                                          << "0"
                                          << "";
    QTest::newRow("digit replaces zero") << "5"
                                         << "5"
                                         << "";
    QTest::newRow("digits append") << "123"
                                   << "123"
                                   << "";
    QTest::newRow("decimal") << "12.5"
                             << "12.5"
                             << "";
    QTest::newRow("second point refused") << "12.5 . 3"
                                          << "12.53"
                                          << "";
    QTest::newRow("point first") << "."
                                 << "."
                                 << "";
    QTest::newRow("point then digit") << ".5"
                                      << ".5"
                                      << "";
    QTest::newRow("zeros after a digit") << "100"
                                         << "100"
                                         << "";
    QTest::newRow("digit after result appends") << "50 + 5 = 7"
                                                << "557"
                                                << "";
    QTest::newRow("digit after zero result") << "9 - 9 = 3"
                                             << "03"
                                             << "";
    QTest::newRow("digits after Error") << "5 / 0 = 5"
                                        << "Error5"
                                        << "";
    QTest::newRow("point after result") << "5 / 2 = ."
                                        << "2.5."
                                        << "";
    QTest::newRow("second point result shown again") << "5 / 2 = . ="
                                                     << "2.5"
                                                     << "";
    QTest::newRow("16 digits kept as typed") << "1234567890123456"
                                             << "1234567890123456"
                                             << "";

    // sign change
    QTest::newRow("neg zero") << "neg"
                              << "0"
                              << "";
    QTest::newRow("neg five") << "5 neg"
                              << "-5"
                              << "";
    QTest::newRow("neg twice") << "5 neg neg"
                               << "5"
                               << "";
    QTest::newRow("neg fraction") << "0.5 neg"
                                  << "-0.5"
                                  << "";
    QTest::newRow("neg drops trailing point") << "12. neg"
                                              << "-12"
                                              << "";
    QTest::newRow("neg keeps point flag") << "12. neg . 3"
                                          << "-123"
                                          << "";
    QTest::newRow("neg drops leading zero") << "9 - 9 = 3 neg"
                                            << "-3"
                                            << "";
    QTest::newRow("neg leaves Error") << "5 / 0 = neg"
                                      << "Error"
                                      << "";
    QTest::newRow("neg after operator keeps left") << "5 + neg 3 ="
                                                   << "8"
                                                   << "";
    QTest::newRow("neg shown after operator") << "5 + neg"
                                              << "-5"
                                              << "+";
    QTest::newRow("neg on lone point") << ". neg"
                                       << "Error"
                                       << "";
    QTest::newRow("neg on Error digits") << "5 / 0 = 5 neg"
                                         << "Error"
                                         << "";

    // operators, chaining left to right
    QTest::newRow("add") << "5 + 3 ="
                         << "8"
                         << "";
    QTest::newRow("add shows symbol") << "5 +"
                                      << "5"
                                      << "+";
    QTest::newRow("right operand shown") << "5 + 3"
                                         << "3"
                                         << "+";
    QTest::newRow("second equal") << "5 + 3 = ="
                                  << "8"
                                  << "";
    QTest::newRow("chain") << "5 + 3 * 2 ="
                           << "16"
                           << "";
    QTest::newRow("chain shows partial") << "5 + 3 *"
                                         << "8"
                                         << "\u00D7";
    QTest::newRow("power") << "2 ^ 10 ="
                           << "1024"
                           << "";
    QTest::newRow("subtract below zero") << "9 - 12 ="
                                         << "-3"
                                         << "";
    QTest::newRow("third") << "1 / 3 ="
                           << "0.333333333333333"
                           << "";
    QTest::newRow("quarter") << "1 / 4 ="
                             << "0.25"
                             << "";
    QTest::newRow("root two by power") << "2 ^ 0.5 ="
                                       << "1.4142135623731"
                                       << "";
    QTest::newRow("exponent form") << "10 ^ 20 ="
                                   << "1E+20"
                                   << "";
    QTest::newRow("small exponent form") << "1 / 100000 ="
                                         << "1E-05"
                                         << "";
    QTest::newRow("plain small") << "1 / 10000 ="
                                 << "0.0001"
                                 << "";
    QTest::newRow("15 digits plain") << "999999999999999 + 0 ="
                                     << "999999999999999"
                                     << "";
    QTest::newRow("1E+15") << "999999999999999 + 1 ="
                           << "1E+15"
                           << "";
    QTest::newRow("rounded to 15 digits") << "1234567890123456 + 0 ="
                                          << "1.23456789012346E+15"
                                          << "";
    QTest::newRow("digits after exponent form") << "10 ^ 15 = 3"
                                                << "1E+153"
                                                << "";
    QTest::newRow("exponent digits reach no calculation") << "10 ^ 15 = 3 + 1 ="
                                                          << "1E+15"
                                                          << "";
    QTest::newRow("typed digits replaced by result") << "5 + 3 = 9 *"
                                                     << "8"
                                                     << "\u00D7";
    QTest::newRow("result is left operand") << "5 + 3 = 9 * 2 ="
                                            << "16"
                                            << "";
    QTest::newRow("equal without operator") << "5 ="
                                            << "5"
                                            << "";
    QTest::newRow("divide symbol") << "8 /"
                                   << "8"
                                   << "\u00F7";
    QTest::newRow("power symbol") << "8 ^"
                                  << "8"
                                  << "y^";
    QTest::newRow("minus symbol") << "8 -"
                                  << "8"
                                  << "-";
    QTest::newRow("underflow is zero") << "0.0000000001 ^ 40 ="
                                       << "0"
                                       << "";
    QTest::newRow("negative base odd power") << "2 neg ^ 3 ="
                                             << "-8"
                                             << "";
    QTest::newRow("zero to the zero") << "9 - 9 = ^ 5 CE 0 ="
                                      << "1"
                                      << "";
    QTest::newRow("exponent operand") << "10 ^ 20 = * 2 ="
                                      << "2E+20"
                                      << "";

    // the neutral right operand
    QTest::newRow("add alone") << "5 + ="
                               << "5"
                               << "";
    QTest::newRow("mult alone") << "5 * ="
                                << "5"
                                << "";
    QTest::newRow("power alone") << "5 ^ ="
                                 << "5"
                                 << "";
    QTest::newRow("minus alone") << "5 - ="
                                 << "5"
                                 << "";
    QTest::newRow("divide alone") << "5 / ="
                                  << "Error"
                                  << "";
    QTest::newRow("operator twice") << "5 + +"
                                    << "5"
                                    << "+";
    QTest::newRow("divide twice") << "5 / /"
                                  << "Error"
                                  << "\u00F7";
    QTest::newRow("zero on zero is no operand") << "9 - 9 = ^ 0 ="
                                                << "0"
                                                << "";
    QTest::newRow("point is no operand") << "5 + . ="
                                         << "5"
                                         << "";
    QTest::newRow("neg is no operand") << "5 * neg ="
                                       << "5"
                                       << "";

    // inactive before a number
    QTest::newRow("operators inactive") << "+ * ="
                                        << "0"
                                        << "";
    QTest::newRow("square inactive") << "sq"
                                     << "0"
                                     << "";
    QTest::newRow("after clear inactive") << "5 + C + ="
                                          << "0"
                                          << "";
    QTest::newRow("point alone keeps operators off") << ". +"
                                                     << "."
                                                     << "";

    // failures
    QTest::newRow("divide by zero") << "5 / 0 ="
                                    << "Error"
                                    << "";
    QTest::newRow("zero by zero") << "9 - 9 = / 5 CE 0 ="
                                  << "Error"
                                  << "";
    QTest::newRow("zeros do nothing when idle") << "0 / 0 ="
                                                << "0"
                                                << "";
    QTest::newRow("Error captured by operator") << "5 / 0 +"
                                                << "Error"
                                                << "+";
    QTest::newRow("Error stays after operator") << "5 / 0 + 3 ="
                                                << "Error"
                                                << "";
    QTest::newRow("overflow") << "10 ^ 200 = ^ 2 ="
                              << "Error"
                              << "";
    QTest::newRow("1E+200") << "10 ^ 200 ="
                            << "1E+200"
                            << "";
    QTest::newRow("multiply overflow") << "10 ^ 300 = * 100000000000000000000 ="
                                       << "Error"
                                       << "";
    QTest::newRow("root of negative by power") << "8 neg ^ 0.5 ="
                                               << "Error"
                                               << "";
    QTest::newRow("zero to negative power") << "9 - 9 = ^ 2 neg ="
                                            << "Error"
                                            << "";
    QTest::newRow("point after result replaced") << "5 + 3 = . . + 1 ="
                                                 << "9"
                                                 << "";
    QTest::newRow("point first operand") << "5 + . 3 . ="
                                         << "5.3"
                                         << "";
    QTest::newRow("two points operand") << "5 + 6.25 rt . ="
                                        << "Error"
                                        << "";
    QTest::newRow("lone point operand") << "5 + 3 CE . ="
                                        << "Error"
                                        << "";
    QTest::newRow("Error digits operand") << "5 / 0 = 7 + 1 ="
                                          << "Error"
                                          << "";
    QTest::newRow("neg beyond range") << "10 ^ 300 = 9 neg"
                                      << "Error"
                                      << "";
    QTest::newRow("root beyond range") << "10 ^ 300 = 9 rt"
                                       << "Error"
                                       << "";
    QTest::newRow("clear recovers") << "5 / 0 = C"
                                    << "0"
                                    << "";
    QTest::newRow("clear then compute") << "5 / 0 + C 2 + 2 ="
                                        << "4"
                                        << "";

    // square
    QTest::newRow("square") << "3 sq"
                            << "9"
                            << "y^2";
    QTest::newRow("square twice") << "3 sq sq"
                                  << "81"
                                  << "y^2";
    QTest::newRow("digit after square") << "3 sq sq 1"
                                        << "811"
                                        << "y^2";
    QTest::newRow("square finishes pending") << "2 + 3 sq"
                                             << "25"
                                             << "y^2";
    QTest::newRow("equal after square") << "2 + 3 sq ="
                                        << "5"
                                        << "";
    QTest::newRow("operator after square") << "2 + 3 sq + 1 ="
                                           << "6"
                                           << "";
    QTest::newRow("square after equal") << "2 + 3 = sq"
                                        << "25"
                                        << "y^2";
    QTest::newRow("square after equal twice") << "2 + 3 = sq sq"
                                              << "25"
                                              << "y^2";
    QTest::newRow("square overflow") << "10 ^ 200 = sq"
                                     << "Error"
                                     << "y^2";
    QTest::newRow("square on Error") << "5 / 0 = sq"
                                     << "Error"
                                     << "";
    QTest::newRow("square of failed pending") << "5 / 0 sq"
                                              << "Error"
                                              << "y^2";
    QTest::newRow("square of lone point") << "5 + 3 = C . 5 sq"
                                          << "0.25"
                                          << "y^2";
    QTest::newRow("square of Error digits") << "5 / 0 = 7 sq"
                                            << "Error"
                                            << "y^2";

    // square root
    QTest::newRow("root") << "9 rt"
                          << "3"
                          << "";
    QTest::newRow("root two") << "2 rt"
                              << "1.4142135623731"
                              << "";
    QTest::newRow("root negative") << "9 neg rt"
                                   << "-3"
                                   << "";
    QTest::newRow("root when idle") << "rt"
                                    << "0"
                                    << "";
    QTest::newRow("root then digit appends") << "rt 5"
                                             << "05"
                                             << "";
    QTest::newRow("root not an operand") << "16 + rt ="
                                         << "16"
                                         << "";
    QTest::newRow("root shown") << "16 + rt"
                                << "4"
                                << "+";
    QTest::newRow("root of typed operand") << "9 + 16 rt ="
                                           << "13"
                                           << "";
    QTest::newRow("root of result") << "5 + 3 = rt"
                                    << "2.82842712474619"
                                    << "";
    QTest::newRow("root writes result") << "5 + 3 = rt ="
                                        << "2.82842712474619"
                                        << "";
    QTest::newRow("root of Error") << "5 / 0 = rt"
                                   << "Error"
                                   << "";
    QTest::newRow("root of lone point") << ". rt"
                                        << "Error"
                                        << "";
    QTest::newRow("root allows a new point") << "2 . rt ."
                                             << "1.4142135623731."
                                             << "";

    // clear entry
    QTest::newRow("clear entry keeps screen") << "5 + 3 CE"
                                              << "3"
                                              << "+";
    QTest::newRow("clear entry new operand") << "5 + 3 CE 4 ="
                                             << "9"
                                             << "";
    QTest::newRow("clear entry shown operand") << "5 + 3 CE ="
                                               << "8"
                                               << "";
    QTest::newRow("clear entry new point") << "12. CE ."
                                           << "."
                                           << "";
    QTest::newRow("clear entry repairs Error") << "5 / 0 = CE 2 ="
                                               << "2.5"
                                               << "";
    QTest::newRow("clear") << "5 + 3 * C"
                           << "0"
                           << "";
    QTest::newRow("equal after clear") << "5 + 3 C ="
                                       << "0"
                                       << "";
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
        "flags"); // H=HaveNumber N=StartNewEntry P=HasDecimalPoint O=OperatorPending S=SecondEntered

    QTest::newRow("idle") << ""
                          << ""
                          << ""
                          << ""
                          << ""
                          << "N";
    QTest::newRow("idle with number") << "5"
                                      << ""
                                      << ""
                                      << "0"
                                      << ""
                                      << "H";
    QTest::newRow("waiting") << "5 +"
                             << "Add"
                             << "5"
                             << "0"
                             << ""
                             << "HNO";
    QTest::newRow("waiting with operand") << "5 + 3"
                                          << "Add"
                                          << "5"
                                          << "5"
                                          << ""
                                          << "HOS";
    QTest::newRow("done") << "5 + 3 ="
                          << "0"
                          << "0"
                          << "0"
                          << "8"
                          << "H";
    QTest::newRow("done then digits") << "5 + 3 = 9"
                                      << "0"
                                      << "0"
                                      << "8"
                                      << "8"
                                      << "H";
    QTest::newRow("waiting again") << "5 + 3 = *"
                                   << "Mult"
                                   << "8"
                                   << "0"
                                   << "8"
                                   << "HNO";
    QTest::newRow("failed equal stays waiting") << "5 / 0 ="
                                                << "Div"
                                                << "5"
                                                << "0"
                                                << ""
                                                << "HOS";
    QTest::newRow("failed operator captures Error") << "5 / 0 -"
                                                    << "Sub"
                                                    << "Error"
                                                    << "0"
                                                    << ""
                                                    << "HNOS";
    QTest::newRow("clear back to idle") << "5 + 3 = C"
                                        << ""
                                        << ""
                                        << ""
                                        << "8"
                                        << "N";
    QTest::newRow("point in entry") << "5 + 1."
                                    << "Add"
                                    << "5"
                                    << "1"
                                    << ""
                                    << "HPOS";
    QTest::newRow("clear entry") << "5 + 1. CE"
                                 << "Add"
                                 << "5"
                                 << "0"
                                 << ""
                                 << "HNOS";
    QTest::newRow("root keeps pending") << "5 + 9 rt"
                                        << "Add"
                                        << "5"
                                        << "9"
                                        << "3"
                                        << "HOS";
    QTest::newRow("square moves to done") << "5 + 1 sq"
                                          << "0"
                                          << "0"
                                          << "0"
                                          << "6"
                                          << "H";
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
