#include "engine/calculator.h"
#include "tests/engine/invariants.h"
#include "tests/engine/recording_boxes.h"

#include <QTest>

#include <random>

using tallix::CalcState;
using tallix::Key;


class CalculatorPropertyTest : public QObject {
    Q_OBJECT

private slots:
    void randomSequencesKeepInvariants_data();
    void randomSequencesKeepInvariants();
    void evaluationLeavesDoneState();
};

void CalculatorPropertyTest::randomSequencesKeepInvariants_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<bool>("digitHeavy"); // long entries reach the screen's limit and exponent texts
    for (unsigned seed : {1u, 2u, 3u, 42u, 2024u})
        QTest::addRow("seed %u", seed) << seed << false;
    for (unsigned seed : {7u, 99u})
        QTest::addRow("seed %u digit-heavy", seed) << seed << true;
}

void CalculatorPropertyTest::randomSequencesKeepInvariants() {
    QFETCH(unsigned, seed);
    QFETCH(bool, digitHeavy);
    std::mt19937 random(seed);
    const auto keys = tallix::AllKeys();
    std::uniform_int_distribution<std::size_t> pickKey(0, keys.size() - 1);
    std::uniform_int_distribution<int> pickDigit(0, 9);
    std::bernoulli_distribution digitFirst(digitHeavy ? 0.7 : 0.3);
    std::uniform_int_distribution<int> length(1, 60);

    for (int sequence = 0; sequence < 4000; ++sequence) {
        RecordingBoxes boxes;
        tallix::Calculator calc(boxes);
        calc.Load();
        std::string trail;
        const int n = length(random);
        for (int i = 0; i < n; ++i) {
            const Key key =
                digitFirst(random) ? tallix::DigitKey(pickDigit(random)) : keys[pickKey(random)].key;
            trail += std::string(tallix::NameOf(key)) + ' ';
            calc.Press(key);
            if (const char* broken = brokenInvariant(calc.State(), boxes))
                QFAIL(qPrintable(QStringLiteral("%1 after: %2(screen \"%3\")")
                                     .arg(QLatin1String(broken), QString::fromStdString(trail),
                                          QString::fromStdString(boxes.screen))));
        }
    }
}

// After every evaluation that runs to its end, the operands are reset to "0" together.
void CalculatorPropertyTest::evaluationLeavesDoneState() {
    std::mt19937 random(5);
    const auto keys = tallix::AllKeys();
    std::uniform_int_distribution<std::size_t> pickKey(0, keys.size() - 1);
    for (int sequence = 0; sequence < 2000; ++sequence) {
        RecordingBoxes boxes;
        tallix::Calculator calc(boxes);
        calc.Load();
        for (int i = 0; i < 30; ++i) {
            const Key key = keys[pickKey(random)].key;
            calc.Press(key);
            const CalcState& s = calc.State();
            if (key == Key::Equal && boxes.screen != "Error" && !s.PendingOp.empty()) {
                QCOMPARE(QString::fromStdString(s.PendingOp), QStringLiteral("0"));
                QCOMPARE(QString::fromStdString(s.FirstOperand), QStringLiteral("0"));
                QCOMPARE(QString::fromStdString(s.EntryText), QStringLiteral("0"));
                QCOMPARE(boxes.screen, s.ResultText);
            }
        }
    }
}

QTEST_GUILESS_MAIN(CalculatorPropertyTest)
#include "calculator_property_test.moc"
