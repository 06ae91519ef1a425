#include "settings/memory_store.h"
#include "tests/support/test_main.h"
#include "windows/companions/companions.h"
#include "windows/forms/form.h"
#include "windows/forms/message_boxes.h"

#include <QAbstractButton>

using namespace tallix;

// A companion opened again while its closed window waits for deletion gets a new window, loaded
// afresh, and the closed one no longer counts as open.
class CompanionsTest : public QObject {
    Q_OBJECT

private slots:
    void reopenBeforeDeletionLoadsAfresh_data() {
        QTest::addColumn<QString>("window");
        for (const char* window : {"Popup", "Sett", "RsExp"})
            QTest::newRow(window) << window;
    }
    void reopenBeforeDeletionLoadsAfresh() {
        QFETCH(QString, window);
        MemoryStore store;
        QtMessageBoxes boxes;
        Companions companions(store, boxes);
        Form main;
        main.setObjectName("MainCalc");
        main.SetClientSize(3000, 3000);
        main.show();
        const auto show = [&] {
            if (window == "Popup")
                companions.ShowPopup(&main, 2000, 300);
            else if (window == "Sett")
                companions.ShowSett(main);
            else
                companions.ShowRsExp();
            return QPointer<QWidget>(OpenForm(window));
        };

        const QPointer<QWidget> first = show();
        QVERIFY(first);
        if (auto* okay = first->findChild<QAbstractButton*>("Okay"))
            okay->click();
        else
            QVERIFY(first->close());
        QVERIFY(!OpenForm(window));

        const QPointer<QWidget> second = show();
        QVERIFY(second && second != first);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        QCOMPARE(OpenForm(window), second.data());
    }
};

TALLIX_TEST_MAIN(CompanionsTest)
#include "windows_test.moc"
