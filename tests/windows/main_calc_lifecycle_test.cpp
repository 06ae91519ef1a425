#include "tests/support/test_main.h"
#include "tests/windows/main_window_run.h"
#include "windows/forms/form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPushButton>

#include <optional>
#include <string>

using namespace tallix;

namespace {

using Seeds = QList<QPair<QString, QString>>; // key, text stored before the run starts

void seed(MemoryStore& store, const Seeds& seeds) {
    for (const auto& [key, text] : seeds)
        store.Seed(key.toStdString(), text.toStdString());
}

QStringList readKeys(const MemoryStore& store) {
    QStringList keys;
    for (const MemoryStore::Access& read : store.Reads())
        keys << QString::fromStdString(read.key);
    return keys;
}

QStringList writes(const MemoryStore& store) {
    QStringList written;
    for (const MemoryStore::Access& write : store.Writes())
        written << QString::fromStdString(write.key + "=" + write.text);
    return written;
}

// A closed companion is deleted, and reports its closing, on the event loop's next turn.
void finishCloses() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Reports the program active just before the window that the user comes back to is activated, as Qt
// does when the user returns from another program.
class ReturnFromOtherProgram : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ActivationChange && !reported_) {
            reported_ = true;
            emit qApp->applicationStateChanged(Qt::ApplicationActive);
        }
        return false;
    }

private:
    bool reported_ = false;
};

} // namespace

class MainCalcLifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Load
    void loadReadsInOrder();
    void loadClearsTheCalculator();
    void titleMarker_data();
    void titleMarker();
    void pointer_data();
    void pointer();
    void position_data();
    void position();
    void welcomeWindow_data();
    void welcomeWindow();

    // Activation
    void activationRereadsOptions_data();
    void activationRereadsOptions();
    void optionsWindowChangesApplyOnClose();

    // Unload
    void unloadWritesTopThenLeft_data();
    void unloadWritesTopThenLeft();
    void movedWindowSavesNewPosition();
    void closingMainLeavesCompanionsOpen();
    void startBeginsAFreshRun();

private:
    std::optional<MainWindowRun> run_;
};

void MainCalcLifecycleTest::init() {
    run_.emplace();
}

void MainCalcLifecycleTest::cleanup() {
    run_.reset();
    finishCloses();
}

void MainCalcLifecycleTest::loadReadsInOrder() {
    run_->Start();
    QCOMPARE(readKeys(run_->store),
             QStringList({"MemoryValue", "RedBttns", "Top", "Left", "Value", "Value", "ShowPopup"}));
    QVERIFY(run_->store.Writes().empty());
}

void MainCalcLifecycleTest::loadClearsTheCalculator() {
    run_->store.Seed("ShowPopup", "0");
    run_->Start();
    QCOMPARE(run_->screen(), "0");
    QCOMPARE(run_->display(), "");
    QVERIFY(run_->main().isVisible());
    // A fresh entry replaces the "0".
    run_->click("Num4");
    run_->click("Num2");
    QCOMPARE(run_->screen(), "42");
}

void MainCalcLifecycleTest::titleMarker_data() {
    QTest::addColumn<Seeds>("seeds");
    QTest::addColumn<QString>("title");
    QTest::newRow("memory 7") << Seeds{{"MemoryValue", "7"}} << "Tallix - By Dorvik5150 (M)";
    QTest::newRow("memory 0") << Seeds{{"MemoryValue", "0"}} << "Tallix - By Dorvik5150";
    QTest::newRow("memory 0.0 is a value") << Seeds{{"MemoryValue", "0.0"}} << "Tallix - By Dorvik5150 (M)";
    QTest::newRow("nothing stored") << Seeds{} << "Tallix - By Dorvik5150";
}

void MainCalcLifecycleTest::titleMarker() {
    QFETCH(Seeds, seeds);
    QFETCH(QString, title);
    seed(run_->store, seeds);
    run_->Start();
    QCOMPARE(run_->main().windowTitle(), title);
}

void MainCalcLifecycleTest::pointer_data() {
    QTest::addColumn<Seeds>("seeds");
    QTest::addColumn<int>("code");
    QTest::newRow("Value 1") << Seeds{{"Value", "1"}} << 99;
    QTest::newRow("Value 0") << Seeds{{"Value", "0"}} << 0;
    QTest::newRow("Value 2 keeps the built pointer") << Seeds{{"Value", "2"}} << 99;
    QTest::newRow("Value abc reads as the default") << Seeds{{"Value", "abc"}} << 99;
    QTest::newRow("nothing stored") << Seeds{} << 99;
}

void MainCalcLifecycleTest::pointer() {
    QFETCH(Seeds, seeds);
    QFETCH(int, code);
    seed(run_->store, seeds);
    run_->Start();
    QCOMPARE(run_->main().MousePointer(), code);
    QCOMPARE(run_->main().cursor().shape(), code == 99 ? Qt::BitmapCursor : Qt::ArrowCursor);
}

void MainCalcLifecycleTest::position_data() {
    // The offscreen screen is 800 by 600 pixels: 12000 by 9000 twips.
    QTest::addColumn<Seeds>("seeds");
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("left");
    QTest::newRow("nothing stored") << Seeds{} << 1000.f << 1000.f;
    QTest::newRow("stored") << Seeds{{"Top", "2000"}, {"Left", "3000.5"}} << 2000.f << 3000.5f;
    QTest::newRow("not a number reads as the default")
        << Seeds{{"Top", "x"}, {"Left", "2500"}} << 1000.f << 2500.f;
    QTest::newRow("partly off the right edge")
        << Seeds{{"Top", "1500"}, {"Left", "11000"}} << 1500.f << 11000.f;
    QTest::newRow("partly off the bottom") << Seeds{{"Top", "8000"}, {"Left", "600"}} << 8000.f << 600.f;
    // Mended: wholly off every screen (a monitor since removed) opens at the default position.
    QTest::newRow("wholly left of the screen")
        << Seeds{{"Top", "2000"}, {"Left", "-9000"}} << 1000.f << 1000.f;
    QTest::newRow("wholly right of the screen")
        << Seeds{{"Top", "2000"}, {"Left", "30000"}} << 1000.f << 1000.f;
    QTest::newRow("wholly below the screen") << Seeds{{"Top", "20000"}, {"Left", "2000"}} << 1000.f << 1000.f;
}

void MainCalcLifecycleTest::position() {
    QFETCH(Seeds, seeds);
    QFETCH(float, top);
    QFETCH(float, left);
    seed(run_->store, seeds);
    run_->store.Seed("ShowPopup", "0");
    MainCalc& main = run_->Start();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QCOMPARE(main.Top(), top);
    QCOMPARE(main.Left(), left);
    QCOMPARE(main.pos(), QPoint(qRound(left / 15), qRound(top / 15)));
}

void MainCalcLifecycleTest::welcomeWindow_data() {
    QTest::addColumn<QString>("showPopup");
    QTest::addColumn<bool>("shown");
    QTest::newRow("1") << "1" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("2") << "2" << false;
    QTest::newRow("empty") << "" << false;
}

void MainCalcLifecycleTest::welcomeWindow() {
    QFETCH(QString, showPopup);
    QFETCH(bool, shown);
    run_->store.Seed("ShowPopup", showPopup.toStdString());
    run_->store.Seed("Top", "1500");
    run_->store.Seed("Left", "2000");
    run_->Start();
    auto* popup = qobject_cast<Form*>(openWindow(QStringLiteral("Popup")));
    QCOMPARE(popup != nullptr, shown);
    if (!popup) return;
    // Below the main window's top edge and left of its left edge.
    QCOMPARE(popup->Top(), 2500.f);
    QCOMPARE(popup->Left(), 1300.f);
}

void MainCalcLifecycleTest::activationRereadsOptions_data() {
    QTest::addColumn<bool>("fromOtherProgram");
    QTest::newRow("back from a window of the program") << false;
    QTest::newRow("back from another program") << true;
}

void MainCalcLifecycleTest::activationRereadsOptions() {
    QFETCH(bool, fromOtherProgram);
    run_->store.Seed("ShowPopup", "0");
    MainCalc& main = run_->Start();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    run_->click("RsCalc");
    QWidget* rsExp = openWindow(QStringLiteral("RsExp"));
    QVERIFY(rsExp);
    QVERIFY(QTest::qWaitForWindowActive(rsExp));

    run_->store.Seed("RedBttns", "0");
    run_->store.Seed("Value", "0");
    run_->store.ClearLog();
    ReturnFromOtherProgram returning;
    if (fromOtherProgram) {
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        main.installEventFilter(&returning);
    }
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    if (fromOtherProgram) {
        QVERIFY(run_->store.Reads().empty());
        QCOMPARE(main.MousePointer(), 99);
        return;
    }
    QCOMPARE(readKeys(run_->store), QStringList({"RedBttns", "Value", "Value"}));
    QCOMPARE(main.MousePointer(), 0);
    run_->press(run_->key("Num5"));
    QCOMPARE(run_->key("Num5")->BackColor(), 0x8000000Fu);
    run_->release(run_->key("Num5"));
}

void MainCalcLifecycleTest::optionsWindowChangesApplyOnClose() {
    run_->store.Seed("ShowPopup", "0");
    MainCalc& main = run_->Start();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    run_->click("OptButton");
    QWidget* sett = openWindow(QStringLiteral("Sett"));
    QVERIFY(sett);
    QVERIFY(QTest::qWaitForWindowActive(sett));

    // Untick "Use Special Cursor" and close with OK: the main window, active again, drops its pointer.
    for (const char* name : {"Check1", "Okay"}) {
        auto* control = sett->findChild<QAbstractButton*>(QString::fromLatin1(name));
        QVERIFY(control);
        QTest::mouseClick(sett->windowHandle(), Qt::LeftButton, {},
                          control->mapTo(sett, control->rect().center()));
    }
    finishCloses();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTRY_COMPARE(main.MousePointer(), 0);
}

void MainCalcLifecycleTest::unloadWritesTopThenLeft_data() {
    QTest::addColumn<Seeds>("seeds");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("default position") << Seeds{} << QStringList{"Top=1000", "Left=1000"};
    QTest::newRow("shortest texts") << Seeds{{"Top", "1500.25"}, {"Left", "2000.5"}}
                                    << QStringList{"Top=1500.25", "Left=2000.5"};
    QTest::newRow("single precision")
        << Seeds{{"Top", "1234.56789"}, {"Left", "700.125"}} << QStringList{"Top=1234.5679", "Left=700.125"};
}

void MainCalcLifecycleTest::unloadWritesTopThenLeft() {
    QFETCH(Seeds, seeds);
    QFETCH(QStringList, written);
    seed(run_->store, seeds);
    run_->store.Seed("ShowPopup", "0");
    MainCalc& main = run_->Start();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(main.close());
    QCOMPARE(writes(run_->store), written);
    QVERIFY(!main.isVisible());
}

void MainCalcLifecycleTest::movedWindowSavesNewPosition() {
    run_->store.Seed("ShowPopup", "0");
    MainCalc& main = run_->Start();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.move(300, 200);
    QTRY_COMPARE(main.pos(), QPoint(300, 200));
    main.close();
    QCOMPARE(writes(run_->store), QStringList({"Top=3000", "Left=4500"}));

    MainWindowRun next;
    next.store.Seed("Top", *run_->store.Stored("Top"));
    next.store.Seed("Left", *run_->store.Stored("Left"));
    next.store.Seed("ShowPopup", "0");
    MainCalc& reopened = next.Start();
    QCOMPARE(reopened.pos(), QPoint(300, 200));
}

void MainCalcLifecycleTest::closingMainLeavesCompanionsOpen() {
    run_->store.Seed("ShowPopup", "0");
    MainCalc& main = run_->Start();
    run_->click("RsCalc");
    QVERIFY(openWindow(QStringLiteral("RsExp")));
    main.close();
    finishCloses();
    QVERIFY(openWindow(QStringLiteral("RsExp")));
    QVERIFY(run_->program.Running());
    openWindow(QStringLiteral("RsExp"))->close();
    finishCloses();
    QVERIFY(!run_->program.Running());
}

void MainCalcLifecycleTest::startBeginsAFreshRun() {
    run_->store.Seed("ShowPopup", "0");
    run_->Start();
    run_->click("Num8");
    run_->click("Mem");
    QCOMPARE(run_->boxes.shown.size(), std::size_t{1}); // the memory tip, once per user
    QCOMPARE(run_->boxes.shown.front().title, "Memory Tip");
    QCOMPARE(run_->boxes.shown.front().icon, MessageIcon::None);
    run_->main().close();
    QVERIFY(!run_->program.Running());

    MainCalc& second = run_->Start();
    QVERIFY(run_->program.Running());
    QCOMPARE(run_->screen(), "0");
    QCOMPARE(second.windowTitle(), "Tallix - By Dorvik5150 (M)");
    run_->click("GatherMem");
    QCOMPARE(run_->screen(), "8");
}

TALLIX_TEST_MAIN(MainCalcLifecycleTest)
#include "main_calc_lifecycle_test.moc"
