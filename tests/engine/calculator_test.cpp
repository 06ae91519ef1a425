#include "engine/calculator.h"
#include "tests/engine/recording_boxes.h"
#include "tests/support/table_file.h"

#include <QTest>

#include <random>

namespace {

// A freshly loaded calculator; `memory` is the number an earlier run stored, "0" for none.
struct Run {
    RecordingBoxes boxes;
    RecordingMemory memory;
    tallix::Calculator calc{boxes, memory, memory};
    explicit Run(std::string_view stored = "0") {
        memory.stored = std::string(stored);
        calc.LoadMemory();
        calc.Load();
    }
};

// The rules that every calculator key keeps; the first one broken, or nullptr.
const char* brokenInvariant(const tallix::CalcState& s, const RecordingBoxes& boxes) {
    if (boxes.screen.empty()) return "the screen is empty";
    if (s.PendingOp && s.FirstOperand.empty()) return "an operation waits without its left operand";
    if (s.SecondEntered && !s.OperatorPending()) return "a right operand without a waiting operator";
    if (!s.HaveNumber && !s.FirstOperand.empty()) return "a left operand without a number";
    if (s.MrClickCount > 1) return "a second MR in a row that did not clear";
    return nullptr;
}

} // namespace

class CalculatorTest : public QObject {
    Q_OBJECT

private slots:
    // The table of key sequences: keys | screen | operator box | the memory's log.
    void keySequences_data() {
        AddTableRows(TABLES "key_sequences.txt", {"keys", "screen", "display", "memory"});
    }
    void keySequences() {
        QFETCH(QString, keys);
        // A leading "[TEXT]" is the memory an earlier run stored.
        QString stored = QStringLiteral("0");
        if (keys.startsWith(u'[')) {
            const qsizetype end = keys.indexOf(u']');
            stored = keys.mid(1, end - 1);
            keys = keys.mid(end + 1).trimmed();
        }
        Run run(stored.toStdString());
        QVERIFY(PressKeys(run.calc, keys.toStdString()));
        QTEST(QString::fromStdString(run.boxes.screen), "screen");
        QTEST(QString::fromStdString(run.boxes.display), "display");
        QTEST(QString::fromStdString(run.memory.log), "memory");
    }

    // Random key sequences, some heavy on digits to reach the screen's limit and exponent texts.
    void randomSequencesKeepInvariants() {
        const auto keys = tallix::AllKeys();
        for (const unsigned seed : {1u, 2u, 3u, 42u, 7u, 99u}) {
            std::mt19937 random(seed);
            std::uniform_int_distribution<std::size_t> pickKey(0, keys.size() - 1);
            std::uniform_int_distribution<int> pickDigit(0, 9);
            std::bernoulli_distribution digitFirst(seed > 42 ? 0.7 : 0.3);
            std::uniform_int_distribution<int> length(1, 60);
            for (int sequence = 0; sequence < 4000; ++sequence) {
                Run run;
                std::string trail;
                for (int i = length(random); i > 0; --i) {
                    const auto& key = digitFirst(random) ? keys[pickDigit(random)] : keys[pickKey(random)];
                    trail += std::string(key.name) + ' ';
                    run.calc.Press(key.key);
                    if (const char* broken = brokenInvariant(run.calc.State(), run.boxes))
                        QFAIL(qPrintable(QStringLiteral("%1 after: %2").arg(broken, trail.c_str())));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(CalculatorTest)
#include "calculator_test.moc"
