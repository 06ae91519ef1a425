#include "windows/main/main_calc.h"

#include "resources/resources.h"
#include "settings/settings.h"
#include "windows/companions/companions.h"
#include "windows/forms/message_boxes.h"
#include "windows/forms/twips.h"
#include "windows/main/feedback_button.h"
#include "windows/main/main_calc_definition.h"
#include "windows/main/picture_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <algorithm>

namespace tallix {

namespace {

constexpr std::string_view kTitle = "Tallix - By Dorvik5150";
constexpr std::string_view kTitleWithMemory = "Tallix - By Dorvik5150 (M)";

// Shown once per user, the first time M stores a number. It ends without a full stop.
constexpr std::string_view kMemoryTipTitle = "Memory Tip";
constexpr std::string_view kMemoryTipText =
    "If this is your first time using the memory button, please note that any number that gets saved into "
    "memory gets saved into the registry as well. This feature of Tallix allows you to save a number to "
    "memory, close the calculator, and open it again later without losing what was stored in memory. If a "
    "number (Besides 0) is in memory, you will see '(M)' in the calculators title. You can always display "
    "what is in memory onto screen by clicking the 'MR' button, or clear the memory by clicking the 'MR' "
    "button twice";

constexpr float kDefaultEdge = 1000; // twips from the screen's top and left, the defaults of Top and Left

// Colours the box alike in every colour group, so that a disabled box isn't greyed out.
void colourBox(QLineEdit& box, QPalette::ColorRole background, QPalette::ColorRole text) {
    QPalette palette = box.palette();
    const QColor backgroundColour = palette.color(QPalette::Active, background);
    const QColor textColour = palette.color(QPalette::Active, text);
    palette.setColor(QPalette::Base, backgroundColour);
    palette.setColor(QPalette::Text, textColour);
    box.setPalette(palette);
}

bool onSomeScreen(const QRect& frame) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    return screens.isEmpty() || std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
               return screen->geometry().intersects(frame);
           });
}

} // namespace

MainCalc::MainCalc(SettingsStore& store, MessageBoxes& boxes, Companions& companions)
    : Form(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , store_(store)
    , boxes_(boxes)
    , companions_(companions)
    , memory_(store)
    , calculator_(*this, memory_, *this)
    , appWasActive_(QGuiApplication::applicationState() == Qt::ApplicationActive)
    , keyStyle_(QStyleFactory::create(QStringLiteral("Windows"))) {
    setObjectName(QStringLiteral("MainCalc"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowIcon(ProgramIcon());
    SetClientSize(kMainClientWidth, kMainClientHeight);
    QPalette palette = this->palette(); // shows only where the keypad picture is missing
    palette.setColor(QPalette::Window, RgbColor(kMainBackColor));
    setPalette(palette);

    BuildControls(this, kMainCalcControls,
                  [this](const ControlDef& def, QWidget* parent) { return makeControl(def, parent); });
    // Parented after the keys, so that it outlives them when the window goes.
    if (keyStyle_) keyStyle_->setParent(this);
    screen_ = findChild<QLineEdit*>(QStringLiteral("Screen"));
    display_ = findChild<QLineEdit*>(QStringLiteral("Display"));
    styleBoxes();

    setMousePointer(kSpecialPointer);
    findChild<QWidget*>(QStringLiteral("Mult"))->setFocus();
    connectHandlers();
}

MainCalc::~MainCalc() = default;

QWidget* MainCalc::makeControl(const ControlDef& def, QWidget* parent) {
    switch (def.kind) {
    case ControlKind::Button: {
        auto* key = new FeedbackButton(redButtonsSetting_, parent);
        // The classic style fills a key with exactly its palette colour, pressed or not.
        key->setStyle(keyStyle_);
        return key;
    }
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(parent);
        box->setEnabled(false); // only the program writes the texts
        box->setReadOnly(true);
        return box;
    }
    case ControlKind::PictureBox:
        return new PictureBox(LoadBitmap(QString::fromLatin1(kPictureBackgroundPath)), parent);
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::Line:
        break;
    }
    Q_UNREACHABLE();
    return nullptr;
}

void MainCalc::styleBoxes() {
    screen_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    screen_->setMaxLength(kScreenMaxLength);
    screen_->setStyle(keyStyle_);
    colourBox(*screen_, QPalette::ButtonText, QPalette::HighlightedText);
    // The operator box sits inside the number box, 19 pixels wide: without a frame, and without the two
    // pixels that a line edit keeps clear on either side of its text, "y^2" shows whole.
    display_->setFrame(false);
    display_->setTextMargins(-2, 0, -2, 0);
    colourBox(*display_, QPalette::WindowText, QPalette::Base);
}

void MainCalc::connectHandlers() {
    // The calculator's keys, memory keys included, go straight to the engine; the companion keys have
    // handlers.
    const auto button = [this](std::string_view name) {
        auto* found = findChild<FeedbackButton*>(QString::fromUtf8(name));
        Q_ASSERT(found);
        return found;
    };
    for (const KeyName& key : AllKeys())
        connect(button(key.name), &QAbstractButton::clicked, this,
                [this, key] { calculator_.Press(key.key); });
    connect(button("OptButton"), &QAbstractButton::clicked, this, &MainCalc::OptButton_Click);
    connect(button("RsCalc"), &QAbstractButton::clicked, this, &MainCalc::RsCalc_Click);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &MainCalc::App_StateChanged);
}

void MainCalc::Form_Load() {
    calculator_.LoadMemory();
    redButtonsSetting_ = ReadByte(store_, Setting::RedBttns);
    placeFromSettings();
    readPointer();
    show();
    // The engine's cleared state, and "0" on the screen once the window is up.
    calculator_.Load();
    if (ReadText(store_, Setting::ShowPopup) == "1")
        companions_.ShowPopup(this, Top() + kPopupBelowMain, Left() - kPopupLeftOfMain);
}

void MainCalc::placeFromSettings() {
    float top = ReadSingle(store_, Setting::Top);
    float left = ReadSingle(store_, Setting::Left);
    // Mended: a position wholly off every screen (saved on a monitor since removed) opens at the default.
    if (!onSomeScreen(QRect(QPoint(TwipsToPixels(left), TwipsToPixels(top)), frameGeometry().size())))
        top = left = kDefaultEdge;
    SetTop(top);
    SetLeft(left);
}

void MainCalc::readPointer() {
    if (ReadDouble(store_, Setting::Value) == 1) setMousePointer(kSpecialPointer);
    if (ReadDouble(store_, Setting::Value) == 0) setMousePointer(kDefaultPointer);
}

void MainCalc::setMousePointer(int code) {
    if (code == mousePointer_) return;
    mousePointer_ = code;
    if (code == kSpecialPointer)
        setCursor(SpecialPointer());
    else
        unsetCursor();
}

void MainCalc::Form_Activate() {
    redButtonsSetting_ = ReadByte(store_, Setting::RedBttns);
    readPointer();
}

void MainCalc::Form_Unload() {
    // A position the window system never told is not saved over the one stored.
    if (!WindowPositionsKnown()) return;
    WriteText(store_, Setting::Top, SingleToText(Top()));
    WriteText(store_, Setting::Left, SingleToText(Left()));
}

void MainCalc::changeEvent(QEvent* event) {
    Form::changeEvent(event);
    // Only a return from another window of this program counts, not one from another program. A greyed
    // window can't be activated where the program comes from; an X11 window manager activates it at a
    // click all the same, and the welcome window then takes the activation: the options are read when
    // the window is enabled and activated again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && appWasActive_ && isEnabled())
        Form_Activate();
}

void MainCalc::App_StateChanged(Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) {
        appWasActive_ = false;
        return;
    }
    // Qt reports the program active just before it activates the window that the user came to from
    // another program; the program counts as active from the next event on.
    QTimer::singleShot(
        0, this, [this] { appWasActive_ = QGuiApplication::applicationState() == Qt::ApplicationActive; });
}

void MainCalc::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

std::string MainCalc::ScreenText() const {
    return screen_->text().toStdString();
}

void MainCalc::SetScreenText(std::string_view text) {
    screen_->setText(QString::fromUtf8(text)); // the box keeps the first kScreenMaxLength characters
}

void MainCalc::SetDisplayText(std::string_view text) {
    display_->setText(QString::fromUtf8(text));
}

void MainCalc::ShowMemoryMark(bool held) {
    setWindowTitle(QString::fromUtf8(held ? kTitleWithMemory : kTitle));
}

void MainCalc::ShowMemoryTip() {
    boxes_.Show(this, QString::fromUtf8(kMemoryTipTitle), QString::fromUtf8(kMemoryTipText),
                MessageIcon::None);
}

// clang-format off
void MainCalc::OptButton_Click() { companions_.ShowSett(*this); }
void MainCalc::RsCalc_Click() { companions_.ShowRsExp(); }
// clang-format on

} // namespace tallix
