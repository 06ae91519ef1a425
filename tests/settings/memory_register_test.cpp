#include "engine/calculator.h"
#include "settings/memory_register.h"
#include "settings/memory_store.h"
#include "tests/engine/recording_boxes.h"
#include "tests/support/table_file.h"

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
    void keys_data() { AddTableRows(MEMORY_KEYS, {"memory", "keys", "screen", "log", "count"}); }
    void keys() {
        QFETCH(QString, memory);
        QFETCH(QString, keys);
        QFETCH(QString, screen);
        QFETCH(QString, log);
        QFETCH(QString, count);
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
        QCOMPARE(QString::number(calculator.State().MrClickCount), count);
    }
};

QTEST_GUILESS_MAIN(MemoryRegisterTest)
#include "memory_register_test.moc"
