#include "settings/settings.h"
#include "tests/support/memory_store.h"
#include "tests/support/test_main.h"
#include "windows/companions/companions.h"
#include "windows/forms/form.h"
#include "windows/forms/message_boxes.h"
#include "windows/forms/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

using namespace tallix;

namespace {

// Every write of the store so far, oldest first, as "KEY=TEXT".
QStringList writesOf(const MemoryStore& store) {
    QStringList writes;
    for (const MemoryStore::Access& write : store.Writes())
        writes << QString::fromStdString(write.key + "=" + write.text);
    return writes;
}

class RecordingBoxes : public MessageBoxes {
public:
    struct Shown {
        QWidget* parent;
        QString title;
        QString text;
        MessageIcon icon;
    };

    void Show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override {
        shown.push_back({parent, title, text, icon});
    }

    std::vector<Shown> shown;
};

QWidget* openWindow(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible()) return widget;
    return nullptr;
}

template <class T>
T* control(const QString& window, const QString& name) {
    QWidget* form = openWindow(window);
    return form ? form->findChild<T*>(name) : nullptr;
}

int stateOf(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return -1;
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

    // Every window
    void definition_data();
    void definition();
    void geometry_data();
    void geometry();
    void closeUnloadsAndSignals_data();
    void closeUnloadsAndSignals();

    // Options window
    void settLoadsStates_data();
    void settLoadsStates();
    void settUnloadWrites_data();
    void settUnloadWrites();
    void settPlacedBesideMain();
    void settReshowKeepsUnsavedStates();
    void settReloadsAfterClose();
    void settRefusesOutsideClose_data();
    void settRefusesOutsideClose();
    void settTakesActivationBack_data();
    void settTakesActivationBack();

    // Welcome window
    void popupShowStartWritesAtOnce_data();
    void popupShowStartWritesAtOnce();
    void popupCloseWithoutTouchingWritesNothing();
    void popupDisablesMainWhileOpen();

    // Experience calculator window
    void rsExpCalculate_data();
    void rsExpCalculate();
    void rsExpRefusalKeepsLastResults();
    void rsExpTabOrder();
    void rsExpReshowKeepsTexts();
    void rsExpReloadsDefinedTexts();

private:
    QWidget* show(const QString& window);
    void click(const QString& window, const QString& name);
    void type(const QString& name, const QString& text);

    std::unique_ptr<MemoryStore> store_;
    std::unique_ptr<RecordingBoxes> boxes_;
    std::unique_ptr<Companions> companions_;
    std::unique_ptr<Form> main_;
};

void CompanionsTest::init() {
    store_ = std::make_unique<MemoryStore>();
    boxes_ = std::make_unique<RecordingBoxes>();
    companions_ = std::make_unique<Companions>(*store_, *boxes_);
    main_ = std::make_unique<Form>();
    main_->setObjectName("MainCalc");
    main_->SetClientSize(3000, 3000);
    main_->SetLeft(1000);
    main_->SetTop(1000);
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
        companions_->ShowPopup(main_.get());
    else if (window == "Sett")
        companions_->ShowSett(*main_);
    else if (window == "RsExp")
        companions_->ShowRsExp();
    return openWindow(window);
}

void CompanionsTest::click(const QString& window, const QString& name) {
    auto* button = control<QAbstractButton>(window, name);
    QVERIFY2(button, qPrintable(window + "." + name));
    QTest::mouseClick(button, Qt::LeftButton);
}

void CompanionsTest::type(const QString& name, const QString& text) {
    auto* edit = control<QLineEdit>("RsExp", name);
    QVERIFY2(edit, qPrintable(name));
    edit->clear();
    QTest::keyClicks(edit, text);
}

void CompanionsTest::definition_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("clientTwips");
    QTest::addColumn<bool>("tool");
    QTest::addColumn<bool>("closeBox");

    QTest::newRow("Popup") << "Popup"
                           << "Welcome" << QSize(4575, 1680) << true << true;
    QTest::newRow("Sett") << "Sett"
                          << "Options" << QSize(2145, 1530) << true << false;
    QTest::newRow("RsExp") << "RsExp"
                           << "RuneScape Experience Calculator" << QSize(7095, 2865) << false << true;
}

void CompanionsTest::definition() {
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QSize, clientTwips);
    QFETCH(bool, tool);
    QFETCH(bool, closeBox);

    QWidget* form = show(window);
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), title);
    const QSize client(TwipsToPixels(clientTwips.width()), TwipsToPixels(clientTwips.height()));
    QCOMPARE(form->minimumSize(), client);
    QCOMPARE(form->maximumSize(), client);
    QVERIFY(!form->parentWidget());
    QCOMPARE(form->windowType() == Qt::Tool, tool);
    QCOMPARE(form->windowFlags().testFlag(Qt::WindowCloseButtonHint), closeBox);
    QVERIFY(!form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(form->testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(!form->isModal());
}

void CompanionsTest::geometry_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Popup.Label1") << "Popup"
                                  << "Label1" << TwipsRect(120, 83, 4335, 375)
                                  << "Tallix Created by Dorvik5150";
    // 5 pixels thick, centred on the line's pixel row 38 (563 twips)
    QTest::newRow("Popup.Line1") << "Popup"
                                 << "Line1" << QRect(8, 36, 288, 5) << "";
    QTest::newRow("Popup.Label2")
        << "Popup"
        << "Label2" << TwipsRect(1200, 683, 2175, 615)
        << "If you are a first time user, please be sure to check the options menu.";
    QTest::newRow("Popup.ShowStart") << "Popup"
                                     << "ShowStart" << TwipsRect(1380, 1283, 1815, 375)
                                     << "Show this on startup";
    QTest::newRow("Sett.Check1") << "Sett"
                                 << "Check1" << TwipsRect(120, 0, 1695, 255) << "Use Special Cursor";
    QTest::newRow("Sett.Check2") << "Sett"
                                 << "Check2" << TwipsRect(120, 360, 2295, 255) << "Red Buttons (On Click)";
    QTest::newRow("Sett.Check3") << "Sett"
                                 << "Check3" << TwipsRect(120, 720, 2055, 255) << "Show Popup On Startup";
    QTest::newRow("Sett.Okay") << "Sett"
                               << "Okay" << TwipsRect(430, 1080, 1215, 375) << "OK";
    QTest::newRow("RsExp.ExpKill") << "RsExp"
                                   << "ExpKill" << TwipsRect(3120, 210, 975, 285) << "";
    QTest::newRow("RsExp.ExpNeeded") << "RsExp"
                                     << "ExpNeeded" << TwipsRect(120, 2280, 6855, 285) << "Experience Needed";
    QTest::newRow("RsExp.CalcXp") << "RsExp"
                                  << "CalcXp" << TwipsRect(2040, 1680, 3135, 495)
                                  << "Calculate Kills/Exp Needed";
    QTest::newRow("RsExp.Label1") << "RsExp"
                                  << "Label1" << TwipsRect(2160, 240, 855, 255) << "Exp per kill:";
    QTest::newRow("RsExp.KillsNeeded") << "RsExp"
                                       << "KillsNeeded" << TwipsRect(120, 2520, 6855, 285) << "Kills Needed";
}

void CompanionsTest::geometry() {
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    QFETCH(QString, caption);

    QWidget* form = show(window);
    QVERIFY(form);
    auto* widget = form->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        text = button->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        text = edit->text();
    QCOMPARE(text, caption);
}

void CompanionsTest::closeUnloadsAndSignals_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("closer"); // the control that closes it, or "" for its close box

    QTest::newRow("Popup") << "Popup"
                           << "";
    QTest::newRow("Sett") << "Sett"
                          << "Okay";
    QTest::newRow("RsExp") << "RsExp"
                           << "";
}

void CompanionsTest::closeUnloadsAndSignals() {
    QFETCH(QString, window);
    QFETCH(QString, closer);

    QSignalSpy closed(companions_.get(), &Companions::Closed);
    QPointer<QWidget> first = show(window);
    QVERIFY(first);
    QCOMPARE(show(window), first.data());
    if (closer.isEmpty())
        QVERIFY(first->close());
    else
        click(window, closer);
    QVERIFY(!openWindow(window));

    // Shown again before the closed one is gone: a fresh load all the same.
    QPointer<QWidget> second = show(window);
    QVERIFY(second);
    QVERIFY(second != first);
    finishCloses();
    QVERIFY(first.isNull());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(openWindow(window), second.data());
}

void CompanionsTest::settLoadsStates_data() {
    QTest::addColumn<QStringList>("stored"); // Value, RedBttns, ShowPopup; "<none>" when nothing is stored
    QTest::addColumn<QList<int>>("states");  // Check1, Check2, Check3

    const QString none = "<none>";
    QTest::newRow("nothing stored") << QStringList{none, none, none} << QList<int>{1, 1, 1};
    QTest::newRow("each key its box") << QStringList{"0", "1", "2"} << QList<int>{0, 1, 2};
    QTest::newRow("each key its box, turned") << QStringList{"2", "0", "1"} << QList<int>{2, 0, 1};
    QTest::newRow("all unticked") << QStringList{"0", "0", "0"} << QList<int>{0, 0, 0};
    QTest::newRow("empty text") << QStringList{"", "0", "0"} << QList<int>{1, 0, 0};
    QTest::newRow("letters") << QStringList{"0", "abc", "0"} << QList<int>{0, 1, 0};
    QTest::newRow("beyond 2") << QStringList{"0", "0", "7"} << QList<int>{0, 0, 1};
}

void CompanionsTest::settLoadsStates() {
    QFETCH(QStringList, stored);
    QFETCH(QList<int>, states);

    const Setting keys[] = {Setting::Value, Setting::RedBttns, Setting::ShowPopup};
    for (int i = 0; i < 3; ++i)
        if (stored[i] != "<none>") store_->Seed(InfoOf(keys[i]).key, stored[i].toStdString());

    QVERIFY(show("Sett"));
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check1")), states[0]);
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check2")), states[1]);
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check3")), states[2]);
    QVERIFY(writesOf(*store_).isEmpty());
}

void CompanionsTest::settUnloadWrites_data() {
    QTest::addColumn<QStringList>("stored"); // Value, RedBttns, ShowPopup
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("writes");

    QTest::newRow("unchanged defaults") << QStringList{"<none>", "<none>", "<none>"} << QStringList{}
                                        << QStringList{"Value=1", "RedBttns=1", "ShowPopup=1"};
    QTest::newRow("greyed written back")
        << QStringList{"1", "2", "0"} << QStringList{} << QStringList{"Value=1", "RedBttns=2", "ShowPopup=0"};
    QTest::newRow("untick red") << QStringList{"1", "1", "1"} << QStringList{"Check2"}
                                << QStringList{"Value=1", "RedBttns=0", "ShowPopup=1"};
    QTest::newRow("tick all") << QStringList{"0", "0", "0"} << QStringList{"Check1", "Check2", "Check3"}
                              << QStringList{"Value=1", "RedBttns=1", "ShowPopup=1"};
    QTest::newRow("untick and tick") << QStringList{"1", "1", "1"} << QStringList{"Check1", "Check1"}
                                     << QStringList{"Value=1", "RedBttns=1", "ShowPopup=1"};
    QTest::newRow("greyed clicked ticks") << QStringList{"2", "2", "2"} << QStringList{"Check3"}
                                          << QStringList{"Value=2", "RedBttns=2", "ShowPopup=1"};
    QTest::newRow("greyed clicked twice unticks")
        << QStringList{"2", "2", "2"} << QStringList{"Check1", "Check1"}
        << QStringList{"Value=0", "RedBttns=2", "ShowPopup=2"};
    QTest::newRow("greyed never comes back")
        << QStringList{"2", "2", "2"} << QStringList{"Check2", "Check2", "Check2"}
        << QStringList{"Value=2", "RedBttns=1", "ShowPopup=2"};
}

void CompanionsTest::settUnloadWrites() {
    QFETCH(QStringList, stored);
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, writes);

    const Setting keys[] = {Setting::Value, Setting::RedBttns, Setting::ShowPopup};
    for (int i = 0; i < 3; ++i)
        if (stored[i] != "<none>") store_->Seed(InfoOf(keys[i]).key, stored[i].toStdString());

    QVERIFY(show("Sett"));
    for (const QString& name : clicks)
        click("Sett", name);
    QVERIFY(writesOf(*store_).isEmpty());
    click("Sett", "Okay");
    QVERIFY(!openWindow("Sett"));
    QCOMPARE(writesOf(*store_), writes);
}

void CompanionsTest::settPlacedBesideMain() {
    main_->move(200, 150); // as the user drags it: 3000 x 2250 twips
    QTRY_COMPARE(main_->Left(), 3000.0f);
    main_->SetLeft(2000.5f);
    QWidget* sett = show("Sett");
    QVERIFY(sett);
    auto* form = static_cast<Form*>(sett);
    QCOMPARE(form->Left(), 2600.5f);
    QCOMPARE(form->Top(), main_->Top() + 500.0f);
    QCOMPARE(form->Top(), 2750.0f);
    QCOMPARE(form->pos(), QPoint(TwipsToPixels(2600.5), TwipsToPixels(2750)));
}

void CompanionsTest::settReshowKeepsUnsavedStates() {
    QWidget* sett = show("Sett");
    QVERIFY(sett);
    click("Sett", "Check2");
    click("Sett", "Check3");
    store_->Seed("RedBttns", "2"); // a reload would pick this up
    main_->move(400, 400);

    QCOMPARE(show("Sett"), sett);
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check1")), 1);
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check2")), 0);
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check3")), 0);
    QCOMPARE(static_cast<Form*>(sett)->Left(), 1600.0f);
    QVERIFY(writesOf(*store_).isEmpty());
}

void CompanionsTest::settReloadsAfterClose() {
    QVERIFY(show("Sett"));
    click("Sett", "Check1");
    click("Sett", "Okay");
    QCOMPARE(store_->Stored("Value"), "0");
    store_->Seed("RedBttns", "2");
    main_->SetLeft(5000);

    QWidget* sett = show("Sett");
    QVERIFY(sett);
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check1")), 0);
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check2")), 2);
    QCOMPARE(stateOf(control<QCheckBox>("Sett", "Check3")), 1);
    QCOMPARE(static_cast<Form*>(sett)->Left(), 5600.0f);
}

void CompanionsTest::settRefusesOutsideClose_data() {
    QTest::addColumn<bool>("fromWindowSystem");

    QTest::newRow("close() from code") << false;
    QTest::newRow("window manager") << true;
}

void CompanionsTest::settRefusesOutsideClose() {
    QFETCH(bool, fromWindowSystem);

    QSignalSpy closed(companions_.get(), &Companions::Closed);
    QPointer<QWidget> sett = show("Sett");
    QVERIFY(sett);
    if (fromWindowSystem)
        sett->windowHandle()->close();
    else
        QVERIFY(!sett->close());
    finishCloses();
    QVERIFY(!sett.isNull());
    QVERIFY(sett->isVisible());
    QVERIFY(writesOf(*store_).isEmpty());
    QCOMPARE(closed.count(), 0);
}

// Counts the activations a window gains and loses.
class ActivationCounter : public QObject {
public:
    int activations = 0;
    int deactivations = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate) ++activations;
        if (event->type() == QEvent::WindowDeactivate) ++deactivations;
        return QObject::eventFilter(watched, event);
    }
};

void CompanionsTest::settTakesActivationBack_data() {
    QTest::addColumn<QString>("other");

    QTest::newRow("main window") << "MainCalc";
    QTest::newRow("experience calculator") << "RsExp";
}

void CompanionsTest::settTakesActivationBack() {
    QFETCH(QString, other);

    QWidget* window = other == "RsExp" ? show("RsExp") : main_.get();
    QWidget* sett = show("Sett");
    QVERIFY(sett);
    QVERIFY(QTest::qWaitForWindowActive(sett));
    ActivationCounter counter;
    window->installEventFilter(&counter);
    window->activateWindow();
    QTRY_COMPARE(counter.deactivations, 1);
    QCOMPARE(counter.activations, 1);
    QTRY_COMPARE(QApplication::activeWindow(), sett);
    QVERIFY(writesOf(*store_).isEmpty());
}

void CompanionsTest::popupShowStartWritesAtOnce_data() {
    QTest::addColumn<QList<bool>>("byKeyboard"); // one entry per state change
    QTest::addColumn<QStringList>("stored");     // ShowPopup after each change

    QTest::newRow("untick") << QList<bool>{false} << QStringList{"0"};
    QTest::newRow("untick and tick") << QList<bool>{false, false} << QStringList{"0", "1"};
    QTest::newRow("keyboard") << QList<bool>{true, true, true} << QStringList{"0", "1", "0"};
    QTest::newRow("mouse and keyboard") << QList<bool>{false, true} << QStringList{"0", "1"};
}

void CompanionsTest::popupShowStartWritesAtOnce() {
    QFETCH(QList<bool>, byKeyboard);
    QFETCH(QStringList, stored);

    QVERIFY(show("Popup"));
    auto* box = control<QCheckBox>("Popup", "ShowStart");
    QVERIFY(box);
    QCOMPARE(stateOf(box), 1);
    for (qsizetype i = 0; i < byKeyboard.size(); ++i) {
        if (byKeyboard[i])
            QTest::keyClick(box, Qt::Key_Space);
        else
            QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(writesOf(*store_).size(), i + 1);
        QCOMPARE(store_->Stored("ShowPopup"), stored[i].toStdString());
    }
    QVERIFY(openWindow("Popup"));
}

void CompanionsTest::popupCloseWithoutTouchingWritesNothing() {
    QWidget* popup = show("Popup");
    QVERIFY(popup);
    QVERIFY(popup->close());
    finishCloses();
    QVERIFY(writesOf(*store_).isEmpty());
}

void CompanionsTest::popupDisablesMainWhileOpen() {
    QVERIFY(main_->isEnabled());
    QWidget* popup = show("Popup");
    QVERIFY(popup);
    QVERIFY(!main_->isEnabled());
    QVERIFY(popup->isEnabled());
    QVERIFY(popup->close());
    QVERIFY(main_->isEnabled());
}

void CompanionsTest::rsExpCalculate_data() {
    QTest::addColumn<QStringList>("inputs"); // ExpKill, CurrExp, DesiredExp
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("expNeeded");
    QTest::addColumn<QString>("killsNeeded");

    QTest::newRow("whole kills") << QStringList{"25", "250", "750"} << false << "500 exp to 750."
                                 << "20 kills left.";
    QTest::newRow("kills not rounded") << QStringList{"35", "250", "750"} << false << "500 exp to 750."
                                       << "14.2857142857143 kills left.";
    QTest::newRow("from zero") << QStringList{"10", "0", "83"} << false << "83 exp to 83."
                               << "8.3 kills left.";
    QTest::newRow("goal below current") << QStringList{"25", "750", "250"} << false << "-500 exp to 250."
                                        << "-20 kills left.";
    QTest::newRow("desired as typed") << QStringList{"25", "250", "0750"} << false << "500 exp to 0750."
                                      << "20 kills left.";
    QTest::newRow("exponent form") << QStringList{"1E+05", "0", "1E+20"} << false << "1E+20 exp to 1E+20."
                                   << "1E+15 kills left.";
    QTest::newRow("per kill empty") << QStringList{"", "250", "750"} << true << "Experience Needed"
                                    << "Kills Needed";
    QTest::newRow("current empty") << QStringList{"25", "", "750"} << true << "Experience Needed"
                                   << "Kills Needed";
    QTest::newRow("desired empty") << QStringList{"25", "250", ""} << true << "Experience Needed"
                                   << "Kills Needed";
    QTest::newRow("per kill zero") << QStringList{"0", "250", "750"} << true << "Experience Needed"
                                   << "Kills Needed";
    QTest::newRow("per kill 0.0") << QStringList{"0.0", "250", "750"} << false << "500 exp to 750."
                                  << "Error";
    QTest::newRow("per kill 00") << QStringList{"00", "250", "750"} << false << "500 exp to 750."
                                 << "Error";
    QTest::newRow("letters") << QStringList{"25", "abc", "750"} << false << "Error"
                             << "Error";
    QTest::newRow("lone point") << QStringList{"25", "250", "."} << false << "Error"
                                << "Error";
    QTest::newRow("beyond range") << QStringList{"1E+400", "250", "750"} << false << "500 exp to 750."
                                  << "Error";
    QTest::newRow("huge difference") << QStringList{"25", "-1E+308", "1E+308"} << false << "Error"
                                     << "Error";
}

void CompanionsTest::rsExpCalculate() {
    QFETCH(QStringList, inputs);
    QFETCH(bool, refused);
    QFETCH(QString, expNeeded);
    QFETCH(QString, killsNeeded);

    QWidget* rsExp = show("RsExp");
    QVERIFY(rsExp);
    type("ExpKill", inputs[0]);
    type("CurrExp", inputs[1]);
    type("DesiredExp", inputs[2]);
    click("RsExp", "CalcXp");

    QCOMPARE(boxes_->shown.size(), refused ? 1u : 0u);
    if (refused) {
        const RecordingBoxes::Shown& box = boxes_->shown.front();
        QCOMPARE(box.parent, rsExp);
        QCOMPARE(box.title, "Error");
        QCOMPARE(box.text, "You must specify all fields, and ExpPerKill cannot be zero.");
        QCOMPARE(box.icon, MessageIcon::Information);
    }
    QCOMPARE(control<QLineEdit>("RsExp", "ExpNeeded")->text(), expNeeded);
    QCOMPARE(control<QLineEdit>("RsExp", "KillsNeeded")->text(), killsNeeded);
    QCOMPARE(control<QLineEdit>("RsExp", "ExpKill")->text(), inputs[0]);
    QCOMPARE(control<QLineEdit>("RsExp", "CurrExp")->text(), inputs[1]);
    QCOMPARE(control<QLineEdit>("RsExp", "DesiredExp")->text(), inputs[2]);
    QVERIFY(writesOf(*store_).isEmpty());
}

void CompanionsTest::rsExpRefusalKeepsLastResults() {
    QVERIFY(show("RsExp"));
    type("ExpKill", "25");
    type("CurrExp", "250");
    type("DesiredExp", "750");
    click("RsExp", "CalcXp");
    type("ExpKill", "0");
    type("DesiredExp", "1000");
    click("RsExp", "CalcXp");

    QCOMPARE(boxes_->shown.size(), 1u);
    QCOMPARE(control<QLineEdit>("RsExp", "ExpNeeded")->text(), "500 exp to 750.");
    QCOMPARE(control<QLineEdit>("RsExp", "KillsNeeded")->text(), "20 kills left.");
}

void CompanionsTest::rsExpTabOrder() {
    QWidget* rsExp = show("RsExp");
    QVERIFY(rsExp);
    QVERIFY(QTest::qWaitForWindowActive(rsExp));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>("RsExp", "ExpKill"));
    QVERIFY(!control<QWidget>("RsExp", "ExpNeeded")->isEnabled());
    QVERIFY(!control<QWidget>("RsExp", "KillsNeeded")->isEnabled());
    for (const char* next : {"CurrExp", "DesiredExp", "CalcXp", "ExpKill"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString(next));
    }
}

void CompanionsTest::rsExpReshowKeepsTexts() {
    QWidget* rsExp = show("RsExp");
    QVERIFY(rsExp);
    type("ExpKill", "25");
    type("CurrExp", "250");
    type("DesiredExp", "750");
    click("RsExp", "CalcXp");
    type("DesiredExp", "900");

    QCOMPARE(show("RsExp"), rsExp);
    QCOMPARE(control<QLineEdit>("RsExp", "ExpKill")->text(), "25");
    QCOMPARE(control<QLineEdit>("RsExp", "DesiredExp")->text(), "900");
    QCOMPARE(control<QLineEdit>("RsExp", "ExpNeeded")->text(), "500 exp to 750.");
    QCOMPARE(control<QLineEdit>("RsExp", "KillsNeeded")->text(), "20 kills left.");
}

void CompanionsTest::rsExpReloadsDefinedTexts() {
    QWidget* rsExp = show("RsExp");
    QVERIFY(rsExp);
    type("ExpKill", "25");
    type("CurrExp", "250");
    type("DesiredExp", "750");
    click("RsExp", "CalcXp");
    QVERIFY(rsExp->close());
    finishCloses();

    QVERIFY(show("RsExp"));
    QCOMPARE(control<QLineEdit>("RsExp", "ExpKill")->text(), "");
    QCOMPARE(control<QLineEdit>("RsExp", "CurrExp")->text(), "");
    QCOMPARE(control<QLineEdit>("RsExp", "DesiredExp")->text(), "");
    QCOMPARE(control<QLineEdit>("RsExp", "ExpNeeded")->text(), "Experience Needed");
    QCOMPARE(control<QLineEdit>("RsExp", "KillsNeeded")->text(), "Kills Needed");
}

TALLIX_TEST_MAIN(CompanionsTest)
#include "windows_test.moc"
