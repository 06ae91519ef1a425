#include "tests/windows/main_window_run.h"

#include <QAbstractButton>

#include <functional>

using namespace tallix;

namespace {

QStringList readKeys(const MemoryStore& store) {
    QStringList keys;
    for (const MemoryStore::Access& access : store.Reads())
        keys << QString::fromStdString(access.key);
    return keys;
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

// A store whose every save fails, as on a full disk, telling its problem handler each time.
class FullStore : public MemoryStore {
public:
    void SaveSetting(std::string_view, std::string_view, std::string_view, std::string_view) override {
        if (handler_) handler_({"/home/user/.config/Tallix.exe.conf", "No space left on device", true});
    }
    void SetProblemHandler(std::function<void(const StoreProblem&)> handler) override {
        handler_ = std::move(handler);
    }

private:
    std::function<void(const StoreProblem&)> handler_;
};

// Records each box with the main window's title at the moment it showed.
class RecordingBoxes : public MessageBoxes {
public:
    void Show(QWidget* parent, const QString& title, const QString& text, MessageIcon) override {
        shown << title + ": " + text.section(QLatin1Char('\n'), 0, 1) + " | " +
                     (parent ? parent->windowTitle() : "");
    }
    QStringList shown;
};

} // namespace

class MainCalcLifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        // Closed companions are deleted, and report their closing, on the event loop's next turn.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // A failed save's box opens once the handler that saved has finished: M has set the title by then.
    // (That it is told once per run is the hostile stores' check.)
    void failedSaveToldAfterTheHandler() {
        FullStore store;
        store.Seed("ShowPopup", "0");
        store.Seed("FrstMmery", "No");
        RecordingBoxes boxes;
        Program program(store, boxes);
        program.Start();
        for (const char* key : {"Num4", "Mem"})
            program.Main()->findChild<QAbstractButton*>(QLatin1String(key))->click();
        QCOMPARE(boxes.shown.size(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(boxes.shown, QStringList("Tallix: Tallix could not save its settings to\n"
                                          "/home/user/.config/Tallix.exe.conf | Tallix - By Dorvik5150 (M)"));
    }

    // Load reads each setting in turn and writes none. The options are read again on a return from
    // another window of the program, not on one from another program.
    void settingsReadAtLoadAndOnReturn() {
        MainWindowRun run;
        run.store.Seed("ShowPopup", "0");
        MainCalc& main = run.Start();
        QCOMPARE(readKeys(run.store),
                 QStringList({"MemoryValue", "RedBttns", "Top", "Left", "Value", "Value", "ShowPopup"}));
        QVERIFY(run.store.Writes().empty());
        QVERIFY(QTest::qWaitForWindowActive(&main));
        run.key("RsCalc")->click();
        QWidget* rsExp = OpenForm(u"RsExp");
        QVERIFY(rsExp && QTest::qWaitForWindowActive(rsExp));
        run.store.ClearLog();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QCOMPARE(readKeys(run.store), QStringList({"RedBttns", "Value", "Value"}));

        rsExp->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rsExp));
        run.store.ClearLog();
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        ReturnFromOtherProgram returning;
        main.installEventFilter(&returning);
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(run.store.Reads().empty());
    }
};

TALLIX_TEST_MAIN(MainCalcLifecycleTest)
#include "main_calc_lifecycle_test.moc"
