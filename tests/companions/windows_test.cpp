#include "settings/memory_store.h"
#include "settings/settings.h"
#include "tests/support/test_main.h"
#include "windows/companions/companions.h"
#include "windows/forms/form.h"
#include "windows/forms/message_boxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QWindow>

#include <memory>

using namespace tallix;

namespace {

// Every write of the store so far, oldest first, as "KEY=TEXT KEY=TEXT".
QString writesOf(const tallix::MemoryStore& store) {
    QStringList writes;
    for (const tallix::MemoryStore::Access& write : store.Writes())
        writes << QString::fromStdString(write.key + "=" + write.text);
    return writes.join(' ');
}

QWidget* openWindow(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible()) return widget;
    return nullptr;
}

// Check1 to Check3 in the settings' numbering (0 unticked, 1 ticked, 2 greyed), as "1 0 2".
QString statesOf(const QWidget& sett) {
    QStringList states;
    for (const char* name : {"Check1", "Check2", "Check3"}) {
        const Qt::CheckState state = sett.findChild<QCheckBox*>(name)->checkState();
        states << (state == Qt::Checked ? "1" : state == Qt::PartiallyChecked ? "2" : "0");
    }
    return states.join(' ');
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
    void settLoadsAndWritesInOrder_data();
    void settLoadsAndWritesInOrder();
    void popupDisablesMainAndWritesNothingUntouched();
    void popupLineCentredOnItsTop();
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

void CompanionsTest::settLoadsAndWritesInOrder_data() {
    QTest::addColumn<QStringList>("stored"); // Value, RedBttns, ShowPopup; "-" when nothing is stored
    QTest::addColumn<QString>("states");
    QTest::addColumn<QString>("clicks"); // box numbers, clicked in turn before OK
    QTest::addColumn<QString>("writes");

    const auto row = [](const char* name, const char* stored, const char* states, const char* clicks,
                        const char* writes) {
        QTest::newRow(name) << QString(stored).split('|') << QString(states) << QString(clicks)
                            << QString(writes);
    };
    row("nothing stored", "-|-|-", "1 1 1", "", "Value=1 RedBttns=1 ShowPopup=1");
    row("each key its box", "0|1|2", "0 1 2", "", "Value=0 RedBttns=1 ShowPopup=2");
    row("empty text", "|0|0", "1 0 0", "", "Value=1 RedBttns=0 ShowPopup=0");
    row("letters", "0|abc|0", "0 1 0", "", "Value=0 RedBttns=1 ShowPopup=0");
    row("beyond 2", "0|0|7", "0 0 1", "", "Value=0 RedBttns=0 ShowPopup=1");
    // A greyed box ticks at a click, and never comes back to greyed.
    row("clicked", "2|2|1", "2 2 1", "1 2 2 2 3", "Value=1 RedBttns=1 ShowPopup=0");
}

void CompanionsTest::settLoadsAndWritesInOrder() {
    QFETCH(QStringList, stored);
    QFETCH(QString, states);
    QFETCH(QString, clicks);
    QFETCH(QString, writes);

    const Setting keys[] = {Setting::Value, Setting::RedBttns, Setting::ShowPopup};
    for (int i = 0; i < 3; ++i)
        if (stored[i] != "-") store_->Seed(InfoOf(keys[i]).key, stored[i].toStdString());

    QWidget* sett = show("Sett");
    QVERIFY(sett);
    QCOMPARE(statesOf(*sett), states);
    for (const QString& number : clicks.split(' ', Qt::SkipEmptyParts))
        QTest::mouseClick(sett->findChild<QCheckBox*>("Check" + number), Qt::LeftButton);
    QCOMPARE(writesOf(*store_), QString());
    QTest::mouseClick(sett->findChild<QAbstractButton*>("Okay"), Qt::LeftButton);
    QVERIFY(!openWindow("Sett"));
    QCOMPARE(writesOf(*store_), writes);
}

void CompanionsTest::popupDisablesMainAndWritesNothingUntouched() {
    QWidget* popup = show("Popup");
    QVERIFY(popup);
    QVERIFY(!main_->isEnabled());
    QVERIFY(popup->isEnabled());
    QVERIFY(popup->close());
    QVERIFY(main_->isEnabled());
    finishCloses();
    QCOMPARE(writesOf(*store_), QString());
}

void CompanionsTest::popupLineCentredOnItsTop() {
    QWidget* popup = show("Popup");
    QVERIFY(popup);
    // 5 pixels thick, centred on pixel row 38 (563 twips)
    QCOMPARE(popup->findChild<QWidget*>("Line1")->geometry(), QRect(8, 36, 288, 5));
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
