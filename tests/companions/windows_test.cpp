#include "settings/memory_store.h"
#include "tests/support/test_main.h"
#include "windows/companions/companions.h"
#include "windows/forms/form.h"
#include "windows/forms/message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWindow>

#include <memory>

using namespace tallix;

namespace {

QWidget* openWindow(const QString& name) {
    return OpenForm(name);
}

// A closed window is deleted on the event loop's next turn.
void finishCloses() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class CompanionsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reopenBeforeDeletionLoadsAfresh_data();
    void reopenBeforeDeletionLoadsAfresh();
    void rsExpFocusSkipsOutputs();

private:
    QWidget* show(const QString& window);

    std::unique_ptr<tallix::MemoryStore> store_;
    std::unique_ptr<QtMessageBoxes> boxes_;
    std::unique_ptr<Companions> companions_;
    std::unique_ptr<Form> main_;
};

void CompanionsTest::init() {
    store_ = std::make_unique<tallix::MemoryStore>();
    boxes_ = std::make_unique<QtMessageBoxes>();
    companions_ = std::make_unique<Companions>(*store_, *boxes_);
    main_ = std::make_unique<Form>();
    main_->setObjectName("MainCalc");
    main_->SetClientSize(3000, 3000);
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
}

void CompanionsTest::cleanup() {
    companions_.reset();
    main_.reset();
    finishCloses();
}

QWidget* CompanionsTest::show(const QString& window) {
    if (window == "Popup")
        companions_->ShowPopup(main_.get(), 2000, 300);
    else if (window == "Sett")
        companions_->ShowSett(*main_);
    else
        companions_->ShowRsExp();
    return openWindow(window);
}

void CompanionsTest::reopenBeforeDeletionLoadsAfresh_data() {
    QTest::addColumn<QString>("window");

    QTest::newRow("Popup") << "Popup";
    QTest::newRow("Sett") << "Sett";
    QTest::newRow("RsExp") << "RsExp";
}

void CompanionsTest::reopenBeforeDeletionLoadsAfresh() {
    QFETCH(QString, window);

    QPointer<QWidget> first = show(window);
    QVERIFY(first);
    if (auto* okay = first->findChild<QAbstractButton*>("Okay"))
        okay->click();
    else
        QVERIFY(first->close());
    QVERIFY(!openWindow(window));

    QPointer<QWidget> second = show(window);
    QVERIFY(second && second != first);
    finishCloses();
    QVERIFY(first.isNull());
    QCOMPARE(openWindow(window), second.data());
}

void CompanionsTest::rsExpFocusSkipsOutputs() {
    QWidget* rsExp = show("RsExp");
    QVERIFY(rsExp);
    QVERIFY(QTest::qWaitForWindowActive(rsExp));
    QCOMPARE(QApplication::focusWidget()->objectName(), "ExpKill");
    for (const char* next : {"CurrExp", "DesiredExp", "CalcXp", "ExpKill"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

TALLIX_TEST_MAIN(CompanionsTest)
#include "windows_test.moc"
