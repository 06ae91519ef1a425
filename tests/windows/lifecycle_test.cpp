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

    // A return from another program doesn't read the options again, as a return from
    // another window of the program does (pointer.drive).
    void optionsNotRereadOnReturnFromAnotherProgram() {
        MainWindowRun run;
        MainWindow& main = run.Start();
        run.key("RsCalc")->click();
        QWidget* rsExp = OpenForm(u"RsExp");
        QVERIFY(rsExp && QTest::qWaitForWindowActive(rsExp));
        QCoreApplication::processEvents(); // what the program's becoming active set off
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
