#include "engine/calculator.h"
#include "engine/keys.h"
#include "settings/memory_register.h"
#include "tests/support/memory_store.h"

#include <QTest>

#include <map>
#include <string>
#include <vector>

using tallix::Key;

namespace {

using Log = std::vector<MemoryStore::Access>;

const QString kNothing = QStringLiteral("<nothing>");
const QString kMarked = QStringLiteral("Tallix - By Dorvik5150 (M)");
const QString kPlain = QStringLiteral("Tallix - By Dorvik5150");

class Boxes : public tallix::DisplayBoxes {
public:
    std::string ScreenText() const override { return screen; }
    void SetScreenText(std::string_view text) override { screen = std::string(text.substr(0, 28)); }
    void SetDisplayText(std::string_view text) override { display = std::string(text); }

    std::string screen;
    std::string display;
};

// The window's side of the memory keys. Each call notes how many store writes had happened by then.
class Host : public tallix::MemoryHost {
public:
    struct Tip {
        std::string title;
        std::string text;
        std::size_t writesBefore;
    };

    explicit Host(const MemoryStore& store)
        : store_(store) {}

    void SetTitle(std::string_view title) override {
        titles.emplace_back(title);
        titleWritesBefore.push_back(store_.Writes().size());
    }
    void ShowMemoryTip(std::string_view title, std::string_view text) override {
        tips.push_back({std::string(title), std::string(text), store_.Writes().size()});
    }

    std::vector<std::string> titles;
    std::vector<std::size_t> titleWritesBefore;
    std::vector<Tip> tips;

private:
    const MemoryStore& store_;
};

// A freshly loaded main window: calculator cleared, memory register loaded from the store.
struct Window {
    explicit Window(const QString& memory = kNothing) {
        if (memory != kNothing) store.Seed("MemoryValue", memory.toStdString());
        calculator.Load();
        register_.Load();
    }

    // Space-separated words: a run of digits and points is typed; M and MR are the memory keys; the
    // others are + - * / = C CE neg, or a key's name.
    void Press(const QString& keys) {
        static const std::map<QString, Key> kAliases = {
            {"+", Key::Add},   {"-", Key::Minus},  {"*", Key::Mult},        {"/", Key::Divide},
            {"=", Key::Equal}, {"C", Key::Clear2}, {"CE", Key::ClearLast2}, {"neg", Key::Polarity},
        };
        for (const QString& word : keys.split(u' ', Qt::SkipEmptyParts)) {
            if (word == "M") {
                register_.Mem();
            } else if (word == "MR") {
                register_.GatherMem();
            } else if (kAliases.contains(word)) {
                calculator.Press(kAliases.at(word));
            } else if (const auto key = tallix::KeyByName(word.toStdString())) {
                calculator.Press(*key);
            } else {
                for (const QChar c : word) {
                    QVERIFY2(c.isDigit() || c == u'.', qPrintable(word));
                    calculator.Press(c == u'.' ? Key::Deci : Key(int(Key::Num0) + c.digitValue()));
                }
            }
        }
    }

    QString Stored(std::string_view key) const {
        const auto text = store.Stored(key);
        return text ? QString::fromStdString(*text) : kNothing;
    }
    QString Title() const {
        return host.titles.empty() ? kNothing : QString::fromStdString(host.titles.back());
    }

    MemoryStore store;
    Boxes boxes;
    tallix::Calculator calculator{boxes};
    Host host{store};
    tallix::MemoryRegister register_{store, calculator, boxes, host};
};

} // namespace

class MemoryRegisterTest : public QObject {
    Q_OBJECT

private slots:
    // Start-up: the title is marked unless the stored text is exactly "0" (or nothing is stored).
    void loadTitle_data() {
        QTest::addColumn<QString>("memory");
        QTest::addColumn<QString>("title");
        QTest::newRow("nothing stored") << kNothing << kNothing;
        QTest::newRow("zero") << "0" << kNothing;
        QTest::newRow("number") << "7" << kMarked;
        QTest::newRow("negative fraction") << "-2.5" << kMarked;
        QTest::newRow("zero as decimal") << "0.0" << kMarked;
        QTest::newRow("negative zero") << "-0" << kMarked;
        QTest::newRow("empty text") << "" << kMarked;
    }
    void loadTitle() {
        QFETCH(QString, memory);
        QFETCH(QString, title);
        Window window(memory);
        QCOMPARE(window.Title(), title);
        QVERIFY(window.store.Writes().empty());
    }

    // Key sequences from a freshly loaded window. `stored` is MemoryValue afterwards, `title` the last
    // title set (none at all when the memory never changed), `tips` the number of memory tips shown.
    void keys_data() {
        QTest::addColumn<QString>("memory");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("tips");
        QTest::addColumn<int>("count"); // MrClickCount

        // M stores the screen text, verbatim; the tip comes with the first store only
        QTest::newRow("first M") << kNothing << "12 M"
                                 << "12"
                                 << "12" << kMarked << 1 << 0;
        QTest::newRow("second M shows no tip") << kNothing << "12 M 3 M"
                                               << "123"
                                               << "123" << kMarked << 1 << 0;
        QTest::newRow("M replaces the memory") << "7"
                                               << "12 M C 5 M"
                                               << "5"
                                               << "5" << kMarked << 1 << 0;
        QTest::newRow("M keeps the text as shown") << kNothing << "2.50 neg M"
                                                   << "-2.5"
                                                   << "-2.5" << kMarked << 1 << 0;
        QTest::newRow("M keeps a trailing point") << kNothing << "12. M"
                                                  << "12."
                                                  << "12." << kMarked << 1 << 0;
        QTest::newRow("M mid calculation") << kNothing << "5 + 3 M ="
                                           << "8"
                                           << "3" << kMarked << 1 << 0;
        QTest::newRow("M on start-up zero") << kNothing << "M"
                                            << "0" << kNothing << kNothing << 0 << 0;
        QTest::newRow("M on Error") << "7"
                                    << "1 / 0 = M"
                                    << "Error"
                                    << "7" << kMarked << 0 << 0;
        QTest::newRow("M on Error then digits") << kNothing << "1 / 0 = 5 M"
                                                << "Error5"
                                                << "Error5" << kMarked << 1 << 0;
        QTest::newRow("M after MR resets the count") << "7"
                                                     << "MR M MR"
                                                     << "7"
                                                     << "7" << kMarked << 1 << 1;

        // MR recalls a stored text onto the screen
        QTest::newRow("M C MR") << kNothing << "12 M C MR"
                                << "12"
                                << "12" << kMarked << 1 << 1;
        QTest::newRow("recalled number used at once") << kNothing << "12 M C MR + 1 ="
                                                      << "13"
                                                      << "12" << kMarked << 1 << 0;
        QTest::newRow("MR then digit appends") << "7"
                                               << "MR 5"
                                               << "75"
                                               << "7" << kMarked << 0 << 0;
        QTest::newRow("digit between recalls") << "7"
                                               << "MR 5 MR"
                                               << "7"
                                               << "7" << kMarked << 0 << 1;
        QTest::newRow("point after MR appends") << "7"
                                                << "MR ."
                                                << "7."
                                                << "7" << kMarked << 0 << 0;
        QTest::newRow("zero as decimal is a number") << "0.0"
                                                     << "MR"
                                                     << "0.0"
                                                     << "0.0" << kMarked << 0 << 1;
        QTest::newRow("Error stored by hand") << "Error"
                                              << "MR"
                                              << "Error"
                                              << "Error" << kMarked << 0 << 1;

        // MR supplies the right operand of a pending operation
        QTest::newRow("MR as second operand") << "7"
                                              << "5 + MR ="
                                              << "12"
                                              << "7" << kMarked << 0 << 0;
        QTest::newRow("MR then digit as operand") << "7"
                                                  << "5 * MR 1 ="
                                                  << "355"
                                                  << "7" << kMarked << 0 << 0;
        QTest::newRow("clearing MR keeps the operand") << "7"
                                                       << "5 + MR MR ="
                                                       << "12"
                                                       << "0" << kPlain << 0 << 0;

        // a second MR in a row clears the memory and leaves the screen alone; a third does nothing
        QTest::newRow("MR MR") << "7"
                               << "3 MR MR"
                               << "7"
                               << "0" << kPlain << 0 << 0;
        QTest::newRow("MR MR MR") << "7"
                                  << "3 MR MR MR"
                                  << "7"
                                  << "0" << kPlain << 0 << 0;
        QTest::newRow("MR MR then M") << "7"
                                      << "MR MR M"
                                      << "7"
                                      << "7" << kMarked << 1 << 0;
        QTest::newRow("zero as decimal cleared") << "0.0"
                                                 << "MR MR"
                                                 << "0.0"
                                                 << "0" << kPlain << 0 << 0;

        // an empty memory makes MR do nothing at all
        QTest::newRow("MR with nothing stored") << kNothing << "5 MR"
                                                << "5" << kNothing << kNothing << 0 << 0;
        QTest::newRow("MR with zero stored") << "0"
                                             << "5 MR"
                                             << "5"
                                             << "0" << kNothing << 0 << 0;
        QTest::newRow("MR with empty text stored") << ""
                                                   << "5 MR"
                                                   << "5"
                                                   << "" << kMarked << 0 << 0;
    }
    void keys() {
        QFETCH(QString, memory);
        QFETCH(QString, keys);
        QFETCH(QString, screen);
        QFETCH(QString, stored);
        QFETCH(QString, title);
        QFETCH(int, tips);
        QFETCH(int, count);
        Window window(memory);
        window.Press(keys);
        QCOMPARE(QString::fromStdString(window.boxes.screen), screen);
        QCOMPARE(window.Stored("MemoryValue"), stored);
        QCOMPARE(window.Title(), title);
        QCOMPARE(int(window.host.tips.size()), tips);
        QCOMPARE(window.Stored("FrstMmery"), tips > 0 ? "No" : kNothing);
        QCOMPARE(int(window.calculator.State().MrClickCount), count);
    }

    // M on "0", "" or "Error" does nothing but reset the recall count; any other text is stored.
    void mOnScreenText_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("stores");
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("Error") << "Error" << false;
        QTest::newRow("zero as decimal") << "0.0" << true;
        QTest::newRow("negative zero") << "-0" << true;
        QTest::newRow("point alone") << "." << true;
        QTest::newRow("lower-case error") << "error" << true;
    }
    void mOnScreenText() {
        QFETCH(QString, screen);
        QFETCH(bool, stores);
        Window window;
        window.boxes.screen = screen.toStdString();
        window.calculator.State().MrClickCount = 1;
        const tallix::CalcState before = window.calculator.State();
        window.Press("M");
        QCOMPARE(int(window.calculator.State().MrClickCount), 0);
        QCOMPARE(QString::fromStdString(window.boxes.screen), screen);
        QCOMPARE(window.calculator.State().EntryText, before.EntryText);
        QCOMPARE(window.calculator.State().HaveNumber, before.HaveNumber);
        QCOMPARE(window.Stored("MemoryValue"), stores ? screen : kNothing);
        QCOMPARE(window.Title(), stores ? kMarked : kNothing);
        QCOMPARE(int(window.host.tips.size()), stores ? 1 : 0);
    }

    // What MR leaves in the calculator's state, on the press that recalls and on the one that clears.
    void recallState() {
        Window window("7");
        window.Press("5 + MR");
        tallix::CalcState& state = window.calculator.State();
        QCOMPARE(state.EntryText, "5"); // the screen just before the recall
        QVERIFY(state.SecondEntered);
        QVERIFY(!state.StartNewEntry);
        QVERIFY(state.HaveNumber);
        QCOMPARE(window.register_.MemoryText, "7");

        // The clearing press still takes the screen as the entry, but puts nothing on it.
        window.boxes.SetScreenText("9");
        state.HaveNumber = false;
        state.SecondEntered = false;
        state.StartNewEntry = true;
        window.Press("MR");
        QCOMPARE(window.boxes.screen, "9");
        QCOMPARE(state.EntryText, "9");
        QVERIFY(state.SecondEntered);
        QVERIFY(!state.StartNewEntry);
        QVERIFY(!state.HaveNumber);
        QCOMPARE(int(state.MrClickCount), 0);
        QCOMPARE(window.register_.MemoryText, "0");
        QVERIFY(!window.register_.MemJustCleared);
    }

    // The first M: tip first (title "Memory Tip"), then FrstMmery, then MemoryValue, then the title.
    void firstStoreOrder() {
        Window window;
        window.Press("12 M");
        QCOMPARE(window.host.tips.size(), std::size_t(1));
        QCOMPARE(window.host.tips[0].title, "Memory Tip");
        QCOMPARE(window.host.tips[0].writesBefore, std::size_t(0));
        QVERIFY(window.host.tips[0].text.starts_with("If this is your first time using the memory button"));
        QVERIFY(window.host.tips[0].text.ends_with("clicking the 'MR' button twice"));
        QCOMPARE(window.store.Writes(), (Log{{"FrstMmery", "No"}, {"MemoryValue", "12"}}));
        QCOMPARE(window.host.titleWritesBefore, std::vector<std::size_t>{2});
    }

    // Reads and writes of the register: MR reads it once when empty, twice when it recalls, and once
    // before clearing it.
    void recallReadsAndWrites() {
        Window window("7");
        window.store.ClearLog();
        window.Press("MR");
        QCOMPARE(window.store.Reads().size(), std::size_t(2));
        QVERIFY(window.store.Writes().empty());
        window.store.ClearLog();
        window.Press("MR");
        QCOMPARE(window.store.Reads(), (Log{{"MemoryValue", "7"}}));
        QCOMPARE(window.store.Writes(), (Log{{"MemoryValue", "0"}}));
        window.store.ClearLog();
        window.Press("MR");
        QCOMPARE(window.store.Reads(), (Log{{"MemoryValue", "0"}}));
        QVERIFY(window.store.Writes().empty());
    }

    // The tip is shown once per user: a store that already says "No" (or anything but "Yes") shows none.
    void tipOnlyWhileYes_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("tip");
        QTest::newRow("nothing stored") << kNothing << true;
        QTest::newRow("Yes") << "Yes" << true;
        QTest::newRow("No") << "No" << false;
        QTest::newRow("lower-case yes") << "yes" << false;
        QTest::newRow("empty") << "" << false;
    }
    void tipOnlyWhileYes() {
        QFETCH(QString, first);
        QFETCH(bool, tip);
        Window window;
        if (first != kNothing) window.store.Seed("FrstMmery", first.toStdString());
        window.Press("12 M");
        QCOMPARE(window.host.tips.size(), std::size_t(tip ? 1 : 0));
        QCOMPARE(window.Stored("FrstMmery"), tip ? "No" : first);
        QCOMPARE(window.Stored("MemoryValue"), "12");
    }
};

QTEST_GUILESS_MAIN(MemoryRegisterTest)
#include "memory_register_test.moc"
