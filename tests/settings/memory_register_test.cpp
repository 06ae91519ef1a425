#include "engine/calculator.h"
#include "settings/memory_register.h"
#include "settings/memory_store.h"
#include "tests/engine/recording_boxes.h"

#include <QTest>

#include <string>
#include <vector>

namespace {

// The window's side of the memory keys: notes how many store writes came before each tip.
struct Host : tallix::MemoryHost {
    void SetTitle(std::string_view) override {}
    void ShowMemoryTip(std::string_view, std::string_view) override {
        tipsAt.push_back(store->Writes().size());
    }

    const tallix::MemoryStore* store = nullptr;
    std::vector<std::size_t> tipsAt;
};

} // namespace

class MemoryRegisterTest : public QObject {
    Q_OBJECT

private slots:
    // Key sequences from a freshly loaded window with `memory` stored ("0" is none). Words are calculator
    // keys (see PressKeys), M, MR, or 'TEXT, which puts TEXT on the screen as no key does. `log` lists the
    // memory tips and the store writes in order; `count` is MrClickCount afterwards.
    void keys_data() {
        QTest::addColumn<QString>("memory");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("log");
        QTest::addColumn<int>("count");
        const auto row = [](const char* name, const QString& memory, const char* keys, const char* screen,
                            const char* log,
                            int count) { QTest::newRow(name) << memory << keys << screen << log << count; };
        row("first M", "0", "12 M", "12", "tip FrstMmery=No MemoryValue=12", 0);
        row("M resets the MR count", "7", "MR M MR", "7", "tip FrstMmery=No MemoryValue=7", 1);
        row("M on 0 only resets the count", "7", "MR '0 M MR", "7", "", 1);
        row("M on empty only resets the count", "7", "MR ' M MR", "7", "", 1);
        row("M on Error only resets the count", "7", "MR 'Error M MR", "7", "", 1);
        row("M on 0.0 stores it", "0", "'0.0 M", "0.0", "tip FrstMmery=No MemoryValue=0.0", 0);
        row("after clearing, digits append and MR recalls", "7", "MR MR 5 M C MR", "75",
            "MemoryValue=0 tip FrstMmery=No MemoryValue=75", 1);
        row("clearing MR keeps the recalled operand", "7", "5 + MR MR =", "12", "MemoryValue=0", 0);
        row("MR on an empty text stored", "", "5 MR", "5", "", 0);
    }
    void keys() {
        QFETCH(QString, memory);
        QFETCH(QString, keys);
        QFETCH(QString, screen);
        QFETCH(QString, log);
        QFETCH(int, count);
        tallix::MemoryStore store;
        store.Seed("MemoryValue", memory.toStdString());
        RecordingBoxes boxes;
        tallix::Calculator calculator(boxes);
        Host host;
        host.store = &store;
        tallix::MemoryRegister memoryRegister(store, calculator, boxes, host);
        calculator.Load();
        memoryRegister.Load();
        for (const QString& word : keys.split(u' ', Qt::SkipEmptyParts)) {
            if (word == "M")
                memoryRegister.Mem();
            else if (word == "MR")
                memoryRegister.GatherMem();
            else if (word.startsWith(u'\''))
                boxes.screen = word.mid(1).toStdString();
            else
                QVERIFY2(PressKeys(calculator, word.toStdString()), qPrintable(word));
        }
        QCOMPARE(QString::fromStdString(boxes.screen), screen);
        QStringList events;
        for (const tallix::MemoryStore::Access& write : store.Writes())
            events << QString::fromStdString(write.key + "=" + write.text);
        for (auto at = host.tipsAt.rbegin(); at != host.tipsAt.rend(); ++at)
            events.insert(qsizetype(*at), "tip");
        QCOMPARE(events.join(u' '), log);
        QCOMPARE(int(calculator.State().MrClickCount), count);
    }
};

QTEST_GUILESS_MAIN(MemoryRegisterTest)
#include "memory_register_test.moc"
