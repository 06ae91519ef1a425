#include "resources/resources.h"
#include "tests/support/test_main.h"
#include "tests/windows/main_window_run.h"

#include <QImage>

#include <optional>

using namespace tallix;

namespace {

constexpr std::uint32_t kFace = 0x8000000F;
constexpr std::uint32_t kRed = 0x00000080;

} // namespace

class FeedbackButtonTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pressAndRelease_data();
    void pressAndRelease();
    void otherMouseButtons_data();
    void otherMouseButtons();
    void releaseOffTheKeyRestores();
    void keyboardChangesNoColour();
    void picture_data();
    void picture();

private:
    MainWindowRun& startWith(const char* redButtons);

    std::optional<MainWindowRun> run_;
};

void FeedbackButtonTest::initTestCase() {
    RegisterFonts();
}

void FeedbackButtonTest::init() {
    run_.emplace();
    run_->store.Seed("ShowPopup", "0");
}

void FeedbackButtonTest::cleanup() {
    run_.reset();
}

// nullptr: nothing stored.
MainWindowRun& FeedbackButtonTest::startWith(const char* redButtons) {
    if (redButtons) run_->store.Seed("RedBttns", redButtons);
    run_->Start();
    return *run_;
}

void FeedbackButtonTest::pressAndRelease_data() {
    QTest::addColumn<QByteArray>("redButtons"); // empty: nothing stored
    QTest::addColumn<std::uint32_t>("pressed");
    QTest::newRow("option on") << QByteArray("1") << kRed;
    QTest::newRow("nothing stored") << QByteArray() << kRed;
    QTest::newRow("option off") << QByteArray("0") << kFace;
    QTest::newRow("2 is off") << QByteArray("2") << kFace;
}

void FeedbackButtonTest::pressAndRelease() {
    QFETCH(QByteArray, redButtons);
    QFETCH(std::uint32_t, pressed);
    MainWindowRun& run = startWith(redButtons.isNull() ? nullptr : redButtons.constData());
    FeedbackButton* five = run.key("Num5");
    QCOMPARE(five->BackColor(), kFace);

    run.press(five);
    QCOMPARE(five->BackColor(), pressed);
    QCOMPARE(run.screen(), "0"); // the click comes with the release

    // The click follows the release, which has set the face colour already.
    std::optional<std::uint32_t> colourAtClick;
    connect(five, &QAbstractButton::clicked, five, [&] { colourAtClick = five->BackColor(); });
    run.release(five);
    QCOMPARE(five->BackColor(), kFace);
    QCOMPARE(colourAtClick, std::optional<std::uint32_t>(kFace));
    QCOMPARE(run.screen(), "5");
}

void FeedbackButtonTest::otherMouseButtons_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void FeedbackButtonTest::otherMouseButtons() {
    QFETCH(Qt::MouseButton, button);
    MainWindowRun& run = startWith("1");
    FeedbackButton* seven = run.key("Num7");
    run.press(seven, button);
    QCOMPARE(seven->BackColor(), kRed);
    run.release(seven, button);
    QCOMPARE(seven->BackColor(), kFace);
    QCOMPARE(run.screen(), "0"); // only the primary button clicks
}

void FeedbackButtonTest::releaseOffTheKeyRestores() {
    MainWindowRun& run = startWith("1");
    FeedbackButton* five = run.key("Num5");
    FeedbackButton* six = run.key("Num6");
    run.press(five);
    QTest::mouseMove(run.main().windowHandle(), run.centreOf(six));
    run.release(six);
    QCOMPARE(five->BackColor(), kFace);
    QCOMPARE(six->BackColor(), kFace);
    QCOMPARE(run.screen(), "0");
}

void FeedbackButtonTest::keyboardChangesNoColour() {
    MainWindowRun& run = startWith("1");
    QVERIFY(QTest::qWaitForWindowActive(&run.main()));
    FeedbackButton* five = run.key("Num5");
    five->setFocus();
    QTest::keyPress(five, Qt::Key_Space);
    QVERIFY(five->isDown());
    QCOMPARE(five->BackColor(), kFace);
    QTest::keyRelease(five, Qt::Key_Space);
    QCOMPARE(five->BackColor(), kFace);
    QCOMPARE(run.screen(), "5");
}

void FeedbackButtonTest::picture_data() {
    QTest::addColumn<QPoint>("point"); // in the client area
    QTest::addColumn<QColor>("colour");
    const QColor silver(192, 192, 192);
    const QColor navy(0, 0, 128);
    QTest::newRow("silver between the display and the keys") << QPoint(100, 36) << silver;
    QTest::newRow("silver at the top left corner") << QPoint(1, 1) << silver;
    QTest::newRow("navy in the left panel between keys") << QPoint(44, 100) << navy;
    QTest::newRow("navy in the left panel below the keys") << QPoint(60, 234) << navy;
    QTest::newRow("silver stripe between the key columns") << QPoint(172, 100) << silver;
    QTest::newRow("navy right panel at the edge") << QPoint(213, 100) << navy;
    QTest::newRow("pressed key, dark red") << QPoint(56, 145) << QColor(128, 0, 0);
}

void FeedbackButtonTest::picture() {
    QFETCH(QPoint, point);
    QFETCH(QColor, colour);
    MainWindowRun& run = startWith("1");
    QVERIFY(QTest::qWaitForWindowExposed(&run.main()));
    run.press(run.key("Num5"));
    const QImage image = run.main().grab().toImage();
    run.release(run.key("Num5"));
    QCOMPARE(image.size(), QSize(216, 254));
    QCOMPARE(image.pixelColor(point), colour);
}

TALLIX_TEST_MAIN(FeedbackButtonTest)
#include "feedback_button_test.moc"
