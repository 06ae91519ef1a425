#include "windows/main/main_window.h"

#include "engine/number_text.h"
#include "resources/resources.h"
#include "settings/settings.h"
#include "windows/companions/companions.h"
#include "windows/forms/message_boxes.h"
#include "windows/forms/twips.h"
#include "windows/main/feedback_button.h"
#include "windows/main/main_window_definition.h"
#include "windows/main/picture_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace tallix {

namespace {

// Shown once per user, the first time M stores a number. It ends without a full stop.
constexpr std::string_view kMemoryTipTitle = "Memory Tip";
constexpr std::string_view kMemoryTipText =
    "If this is your first time using the memory button, please note that any number that gets saved into "
    "memory gets saved into the registry as well. This feature of Tallix allows you to save a number to "
    "memory, close the calculator, and open it again later without losing what was stored in memory. If a "
    "number (Besides 0) is in memory, you will see '(M)' in the calculators title. You can always display "
    "what is in memory onto screen by clicking the 'MR' button, or clear the memory by clicking the 'MR' "
    "button twice";

bool onSomeScreen(const QRect& frame) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    return screens.isEmpty() || std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
               return screen->geometry().intersects(frame);
           });
}

} // namespace

MainWindow::MainWindow(SettingsStore& store, MessageBoxes& boxes, Companions& companions)
    : store_(store)
    , boxes_(boxes)
    , companions_(companions)
    , memory_(store)
    , calculator_(*this, memory_, *this)
    , appWasActive_(QGuiApplication::applicationState() == Qt::ApplicationActive) {
    setWindowIcon(ProgramIcon());
    QPalette palette = this->palette(); // shows only where the keypad picture is missing
    palette.setColor(QPalette::Window, RgbColor(kMainBackColor));
    setPalette(palette);
    BuildForm(*this, kMainWindowForm, [](const ControlDef& def, QWidget* parent) -> QWidget* {
        if (def.kind == ControlKind::Key) return new FeedbackButton(parent);
        return new PictureBox(LoadBitmap(QString::fromLatin1(kPictureBackgroundPath)), parent);
    });
    screen_ = RequireChild<QLineEdit>(*this, "Screen");
    display_ = RequireChild<QLineEdit>(*this, "Display");

    setMousePointer(PointerCode::Special);
    connectHandlers();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectHandlers() {
    // The calculator's keys, memory keys included, go straight to the engine; the companion keys have
    // handlers.
    for (const KeyName& key : AllKeys())
        connect(RequireChild<FeedbackButton>(*this, key.name), &QAbstractButton::clicked, this,
                [this, key] { calculator_.Press(key.key); });
    connect(RequireChild<FeedbackButton>(*this, "OptButton"), &QAbstractButton::clicked, this,
            &MainWindow::OptButton_Click);
    connect(RequireChild<FeedbackButton>(*this, "RsCalc"), &QAbstractButton::clicked, this,
            &MainWindow::RsCalc_Click);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &MainWindow::App_StateChanged);
}

void MainWindow::Form_Load() {
    calculator_.LoadMemory();
    readRedButtons();
    placeFromSettings();
    readPointer();
    show();
    // The engine's cleared state, and "0" on the screen once the window is up.
    calculator_.Load();
    if (ReadSwitch(store_, Setting::ShowWelcome) == true)
        companions_.ShowWelcome(this, Top() + kWelcomeBelowMain, Left() - kWelcomeLeftOfMain);
}

void MainWindow::placeFromSettings() {
    float top = ReadSingle(store_, Setting::Top);
    float left = ReadSingle(store_, Setting::Left);
    // Mended: a position wholly off every screen (saved on a monitor since removed) opens at the default.
    if (!onSomeScreen(QRect(QPoint(TwipsToPixels(left), TwipsToPixels(top)), frameGeometry().size())))
        top = SingleDefault(Setting::Top), left = SingleDefault(Setting::Left);
    SetTop(top);
    SetLeft(left);
}

void MainWindow::readPointer() {
    // Read twice, as each choice reads it afresh; a number other than 1 and 0 leaves the pointer as it is.
    if (ReadSwitch(store_, Setting::SpecialPointer) == true) setMousePointer(PointerCode::Special);
    if (ReadSwitch(store_, Setting::SpecialPointer) == false) setMousePointer(PointerCode::Default);
}

void MainWindow::setMousePointer(PointerCode code) {
    if (code == mousePointer_) return;
    mousePointer_ = code;
    if (code == PointerCode::Special)
        setCursor(SpecialPointer());
    else
        unsetCursor();
}

void MainWindow::readRedButtons() {
    const bool red = ReadSwitch(store_, Setting::RedWhilePressed) == true;
    for (FeedbackButton* key : findChildren<FeedbackButton*>())
        key->SetRedWhilePressed(red);
}

void MainWindow::Form_Activate() {
    readRedButtons();
    readPointer();
}

void MainWindow::Form_Unload() {
    // A position the window system never told is not saved over the one stored.
    if (!WindowPositionsKnown()) return;
    WriteTexts(store_, {{Setting::Top, SingleToText(Top())}, {Setting::Left, SingleToText(Left())}});
}

void MainWindow::changeEvent(QEvent* event) {
    Form::changeEvent(event);
    // Only a return from another window of this program counts, not one from another program. A greyed
    // window can't be activated where the program comes from; an X11 window manager activates it at a
    // click all the same, and the welcome window then takes the activation: the options are read when
    // the window is enabled and activated again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && appWasActive_ && isEnabled())
        Form_Activate();
}

void MainWindow::App_StateChanged(Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) {
        appWasActive_ = false;
        return;
    }
    // Qt reports the program active just before it activates the window that the user came to from
    // another program; the program counts as active from the next event on.
    QTimer::singleShot(
        0, this, [this] { appWasActive_ = QGuiApplication::applicationState() == Qt::ApplicationActive; });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void MainWindow::SetScreenText(std::string_view text) {
    screen_->setText(QString::fromUtf8(text));
}

void MainWindow::SetOperatorText(std::string_view text) {
    display_->setText(QString::fromUtf8(text));
}

void MainWindow::ShowMemoryMark(bool held) {
    setWindowTitle(QString::fromUtf8(held ? kMainTitleWithMemory : kMainTitle));
}

void MainWindow::ShowMemoryTip() {
    boxes_.Show(this, QString::fromUtf8(kMemoryTipTitle), QString::fromUtf8(kMemoryTipText),
                MessageIcon::None);
}

// clang-format off
void MainWindow::OptButton_Click() { companions_.ShowOptions(*this); }
void MainWindow::RsCalc_Click() { companions_.ShowExperience(); }
// clang-format on

} // namespace tallix
