#include "tests/windows/main_window_run.h"

#include <QAbstractButton>

#include <functional>
#include <optional>
#include <string>

using namespace tallix;

namespace {

QStringList accessLog(const std::vector<tallix::MemoryStore::Access>& log, bool withText) {
    QStringList entries;
    for (const tallix::MemoryStore::Access& access : log)
        entries << QString::fromStdString(withText ? access.key + "=" + access.text : access.key);
    return entries;
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
class FullStore : public tallix::MemoryStore {
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

    std::optional<MainWindowRun> run_;

private slots:
    void init() { run_.emplace(); }
    void cleanup() {
        run_.reset();
        // Closed companions are deleted, and report their closing, on the event loop's next turn.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // A save that fails is told once per run, in a box that opens once the handler that saved has
    // finished: M has set the title by then.
    void failedSaveToldOnceAfterTheHandler() {
        FullStore store;
        store.Seed("ShowPopup", "0");
        store.Seed("FrstMmery", "No");
        RecordingBoxes boxes;
        Program program(store, boxes);
        program.Start();
        MainCalc& main = *program.Main();
        const auto click = [&](const char* key) {
            main.findChild<QAbstractButton*>(QLatin1String(key))->click();
        };
        click("Num4");
        click("Mem");
        QCOMPARE(boxes.shown.size(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(boxes.shown, QStringList("Tallix: Tallix could not save its settings to\n"
                                          "/home/user/.config/Tallix.exe.conf | Tallix - By Dorvik5150 (M)"));
        click("Num2");
        click("Mem");
        QCoreApplication::processEvents();
        QCOMPARE(boxes.shown.size(), 1);
        main.close();
        program.Start(); // the next run tells it again
        for (const char* key : {"Num4", "Mem"})
            program.Main()->findChild<QAbstractButton*>(QLatin1String(key))->click();
        QCoreApplication::processEvents();
        QCOMPARE(boxes.shown.size(), 2);
    }

    void loadReadsInOrder() {
        const MainCalc& main = run_->Start();
        QCOMPARE(accessLog(run_->store.Reads(), false),
                 QStringList({"MemoryValue", "RedBttns", "Top", "Left", "Value", "Value", "ShowPopup"}));
        QVERIFY(run_->store.Writes().empty());
        QCOMPARE(main.cursor().shape(), Qt::BitmapCursor); // the special pointer
    }

    // Options are read again on a return from another window of the program, not from another program.
    void activationRereadsOptions_data() {
        QTest::addColumn<bool>("fromOtherProgram");
        QTest::newRow("back from a window of the program") << false;
        QTest::newRow("back from another program") << true;
    }
    void activationRereadsOptions() {
        QFETCH(bool, fromOtherProgram);
        run_->store.Seed("ShowPopup", "0");
        MainCalc& main = run_->Start();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        run_->press(run_->key("RsCalc"));
        run_->release(run_->key("RsCalc"));
        QWidget* rsExp = OpenForm(u"RsExp");
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
        QCOMPARE(accessLog(run_->store.Reads(), false), QStringList({"RedBttns", "Value", "Value"}));
        QCOMPARE(main.MousePointer(), 0);
        QCOMPARE(main.cursor().shape(), Qt::ArrowCursor);
        run_->press(run_->key("Num5"));
        QCOMPARE(run_->key("Num5")->BackColor(), FeedbackButton::kButtonFace);
        run_->release(run_->key("Num5"));
    }
};

TALLIX_TEST_MAIN(MainCalcLifecycleTest)
#include "main_calc_lifecycle_test.moc"
