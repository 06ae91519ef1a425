#include "resources/resources.h"
#include "tests/support/test_main.h"
#include "tests/windows/main_window_run.h"
#include "windows/forms/form.h"

#include <QAbstractButton>

using namespace tallix;

// Windows opening, closing and returning, and what the program tells meanwhile.
class LifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { RegisterFonts(); }
    void cleanup() { DeleteClosedWindows(); }

    // The box opens once the saving handler has finished, so M has set the title (told once: hostile tests).
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

    // Load never writes. A return from another program doesn't read the options again, as a return from
    // another window of the program does (pointer.drive).
    void optionsNotRereadOnReturnFromAnotherProgram() {
        MainWindowRun run;
        MainWindow& main = run.Start();
        QVERIFY(run.store.Writes().empty());
        run.key("RsCalc")->click();
        QWidget* rsExp = OpenForm(u"RsExp");
        QVERIFY(rsExp && QTest::qWaitForWindowActive(rsExp));
        run.store.Seed("Value", "0");
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        ReturnFromOtherProgram returning;
        main.installEventFilter(&returning);
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QCOMPARE(main.MousePointer(), PointerCode::Special);
    }
};

TALLIX_TEST_MAIN(LifecycleTest)
#include "lifecycle_test.moc"
