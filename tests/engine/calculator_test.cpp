#include "engine/calculator.h"
#include "tests/engine/recording_boxes.h"
#include "tests/support/table_file.h"

#include <QTest>

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
        QTEST(QString::fromStdString(run.boxes.operatorText), "display");
        QTEST(QString::fromStdString(run.memory.log), "memory");
    }
};

QTEST_GUILESS_MAIN(CalculatorTest)
#include "calculator_test.moc"
