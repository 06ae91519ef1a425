#include "tools/drive/driver.h"

#include "settings/qt_settings_store.h"
#include "settings/settings.h"
#include "windows/companions/sett.h"
#include "windows/forms/control_table.h"
#include "windows/forms/form.h"
#include "windows/forms/message_boxes.h"
#include "windows/forms/twips.h"
#include "windows/main/feedback_button.h"
#include "windows/main/main_calc.h"
#include "windows/main/program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace tallix::drive {

namespace {

// The program's windows, in the order `print Open` lists them; the main window also closes first.
const QStringList kWindows = {QStringLiteral("MainCalc"), QStringLiteral("Sett"), QStringLiteral("Popup"),
                              QStringLiteral("RsExp")};
const QString kMainWindow = QStringLiteral("MainCalc");

// A window manager activates each window as it is mapped, in the order they are mapped (offscreen the
// platform does it itself): asked for as each of the program's windows is about to show, the
// activation takes place once the window is there.
class NewWindowFocus : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !event->spontaneous())
            if (auto* form = qobject_cast<Form*>(watched); form && form->isWindow()) form->activateWindow();
        return false;
    }
};

// "KEY TEXT" with TEXT the rest of the line, possibly empty.
std::pair<QString, QString> SplitFirstWord(const QString& rest) {
    const qsizetype space = rest.indexOf(QLatin1Char(' '));
    if (space < 0) return {rest, QString()};
    return {rest.left(space), rest.mid(space + 1)};
}

} // namespace

Driver::Driver(Program& program, QtMessageBoxes& boxes)
    : program_(program)
    , commands_{{QStringLiteral("store"), &Driver::Store}, {QStringLiteral("unstore"), &Driver::Unstore},
                {QStringLiteral("start"), &Driver::Start}, {QStringLiteral("click"), &Driver::Click},
                {QStringLiteral("press"), &Driver::Press}, {QStringLiteral("release"), &Driver::Release},
                {QStringLiteral("type"), &Driver::Type},   {QStringLiteral("close"), &Driver::Close},
                {QStringLiteral("move"), &Driver::Move},   {QStringLiteral("restart"), &Driver::Restart},
                {QStringLiteral("print"), &Driver::Print}}
    , queries_{{QStringLiteral("Screen"), &Driver::Screen}, {QStringLiteral("Display"), &Driver::Display},
               {QStringLiteral("Title"), &Driver::Title},   {QStringLiteral("Pointer"), &Driver::Pointer},
               {QStringLiteral("Left"), &Driver::Left},     {QStringLiteral("Top"), &Driver::Top},
               {QStringLiteral("Open"), &Driver::Open},     {QStringLiteral("Active"), &Driver::Active}}
    , controlQueries_{{QStringLiteral("Text"), &Driver::Text},
                      {QStringLiteral("State"), &Driver::State},
                      {QStringLiteral("BackColor"), &Driver::BackColor},
                      {QStringLiteral("Rect"), &Driver::Rect}}
    , windowQueries_{{QStringLiteral("Title"), &Driver::WindowTitle},
                     {QStringLiteral("Left"), &Driver::WindowLeft},
                     {QStringLiteral("Top"), &Driver::WindowTop}}
    , newWindowFocus_(std::make_unique<NewWindowFocus>()) {
    boxes.SetObserver([this](QMessageBox& box) { AnswerBox(box); });
    // A modal window that bypasses the program's message-box wrapper would otherwise wait for a user
    // forever; this only fires while some event loop runs, that is while such a window is up.
    watchdog_.setInterval(1000);
    QObject::connect(&watchdog_, &QTimer::timeout, [this] { CheckForStuckModal(); });
    watchdog_.start();
    qApp->installEventFilter(newWindowFocus_.get());
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged,
                     [this](QWindow* window) { RecordActivation(window); });
}

void Driver::Run(std::istream& input) {
    std::string line;
    while (std::getline(input, line))
        Execute(QString::fromStdString(line));
    CloseAll();
    program_.Finish();
}

void Driver::Execute(QString text) {
    if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
    if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#'))) return;

    Line line;
    std::tie(line.name, line.rest) = SplitFirstWord(text);
    line.words = line.rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto command = commands_.find(line.name);
    if (command == commands_.end()) return Error(QStringLiteral("unknown command: ") + line.name);
    (this->*command->second)(line);
}

// Commands

void Driver::Store(const Line& line) {
    const auto [key, text] = SplitFirstWord(line.rest);
    if (key.isEmpty()) return Error(QStringLiteral("usage: store KEY TEXT"));
    // As an outside edit: straight into the store, every other text left as it stands.
    if (!QtSettingsStore::Edit(kAppName, kSection, key.toStdString(), text.toStdString()))
        Error(QStringLiteral("could not store ") + key);
}

void Driver::Unstore(const Line& line) {
    if (line.words.size() != 1) return Error(QStringLiteral("usage: unstore KEY"));
    if (!QtSettingsStore::Edit(kAppName, kSection, line.words.front().toStdString(), std::nullopt))
        Error(QStringLiteral("could not unstore ") + line.words.front());
}

void Driver::Start(const Line& line) {
    if (!line.words.isEmpty()) return Error(QStringLiteral("usage: start"));
    if (program_.Running()) return Error(QStringLiteral("the program is already running"));
    program_.Start();
    Settle();
}

void Driver::Click(const Line& line) {
    if (line.words.isEmpty()) return Error(QStringLiteral("usage: click TARGET..."));
    EnsureRunning();
    for (const QString& target : line.words) {
        QPointer<QWidget> control = ResolveTarget(target);
        if (!control) continue;
        MouseOver(*control, true);
        if (control) MouseOver(*control, false);
    }
}

void Driver::Press(const Line& line) {
    if (line.words.size() != 1) return Error(QStringLiteral("usage: press TARGET"));
    EnsureRunning();
    if (QWidget* control = ResolveTarget(line.words.front())) MouseOver(*control, true);
}

void Driver::Release(const Line& line) {
    if (line.words.size() != 1) return Error(QStringLiteral("usage: release TARGET"));
    EnsureRunning();
    if (QWidget* control = ResolveTarget(line.words.front())) MouseOver(*control, false);
}

void Driver::Type(const Line& line) {
    const auto [target, text] = SplitFirstWord(line.rest);
    if (target.isEmpty()) return Error(QStringLiteral("usage: type TARGET TEXT"));
    EnsureRunning();
    QWidget* control = ResolveTarget(target);
    if (!control) return;
    auto* box = qobject_cast<QLineEdit*>(control);
    if (!box) return Error(QStringLiteral("not a text box: ") + target);
    if (!box->isEnabled()) return Error(QStringLiteral("text box is disabled: ") + target);
    // Keystrokes rather than setText(), so that the box reacts as to typing (textEdited and the like).
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
    Settle();
}

void Driver::Close(const Line& line) {
    if (line.words.size() != 1) return Error(QStringLiteral("usage: close WINDOW"));
    const QString& name = line.words.front();
    if (!kWindows.contains(name)) return Error(QStringLiteral("unknown window: ") + name);
    if (name == QLatin1String("Sett")) return Error(QStringLiteral("Sett has no close control"));
    EnsureRunning();
    if (QWidget* window = RequireWindow(name)) {
        window->close();
        Settle();
    }
}

void Driver::Move(const Line& line) {
    bool xOk = false;
    bool yOk = false;
    const double x = line.words.value(0).toDouble(&xOk);
    const double y = line.words.value(1).toDouble(&yOk);
    if (line.words.size() != 2 || !xOk || !yOk) return Error(QStringLiteral("usage: move X Y"));
    EnsureRunning();
    // A drag lands on whole pixels; the window converts the new frame position back to twips.
    if (QWidget* main = RequireWindow(kMainWindow)) {
        main->move(TwipsToPixels(x), TwipsToPixels(y));
        Settle();
    }
}

void Driver::Restart(const Line& line) {
    if (!line.words.isEmpty()) return Error(QStringLiteral("usage: restart"));
    CloseAll();
    if (program_.Running()) return Error(QStringLiteral("the program still runs after its windows closed"));
    program_.Finish();
    program_.Start();
    Settle();
}

void Driver::Print(const Line& line) {
    if (line.words.isEmpty()) return Error(QStringLiteral("usage: print QUERY..."));
    for (const QString& query : line.words)
        if (const Answer value = Ask(query)) Emit(query + QLatin1Char('=') + *value);
}

// Queries

Driver::Answer Driver::Ask(const QString& query) {
    static const QString kSettingPrefix = QStringLiteral("setting.");
    if (query.startsWith(kSettingPrefix) && query.size() > kSettingPrefix.size())
        return StoredSetting(query.mid(kSettingPrefix.size()));

    const qsizetype dot = query.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        const auto plain = queries_.find(query);
        if (plain == queries_.end()) {
            Error(QStringLiteral("unknown query: ") + query);
            return std::nullopt;
        }
        if (query != QLatin1String("Open") && query != QLatin1String("Active")) EnsureRunning();
        return (this->*plain->second)();
    }

    const QString owner = query.left(dot);
    const QString property = query.mid(dot + 1);
    if (kWindows.contains(owner)) {
        const auto windowQuery = windowQueries_.find(property);
        if (windowQuery == windowQueries_.end()) {
            Error(QStringLiteral("unknown query: ") + query);
            return std::nullopt;
        }
        EnsureRunning();
        QWidget* window = RequireWindow(owner);
        if (!window) return std::nullopt;
        return (this->*windowQuery->second)(*window);
    }
    const auto controlQuery = controlQueries_.find(property);
    if (controlQuery == controlQueries_.end()) {
        Error(QStringLiteral("unknown query: ") + query);
        return std::nullopt;
    }
    EnsureRunning();
    QWidget* control = ResolveTarget(owner);
    if (!control) return std::nullopt;
    return (this->*controlQuery->second)(*control, owner);
}

Driver::Answer Driver::Screen() {
    return MainControlText("Screen");
}

Driver::Answer Driver::Display() {
    return MainControlText("Display");
}

Driver::Answer Driver::Title() {
    QWidget* main = RequireWindow(kMainWindow);
    if (!main) return std::nullopt;
    return WindowTitle(*main);
}

Driver::Answer Driver::Pointer() {
    auto* main = dynamic_cast<MainCalc*>(RequireWindow(kMainWindow));
    if (!main) return std::nullopt;
    return QString::number(main->MousePointer());
}

Driver::Answer Driver::Left() {
    QWidget* main = RequireWindow(kMainWindow);
    if (!main) return std::nullopt;
    return WindowLeft(*main);
}

Driver::Answer Driver::Top() {
    QWidget* main = RequireWindow(kMainWindow);
    if (!main) return std::nullopt;
    return WindowTop(*main);
}

Driver::Answer Driver::Open() {
    QStringList open;
    for (const QString& name : kWindows)
        if (FindOpenWindow(name)) open << name;
    return open.join(QLatin1Char(','));
}

Driver::Answer Driver::Active() {
    const QWidget* active = QApplication::activeWindow();
    if (!active || !active->isVisible() || !kWindows.contains(active->objectName())) return QString();
    return active->objectName();
}

Driver::Answer Driver::Text(QWidget& control, const QString& target) {
    if (auto* box = qobject_cast<QLineEdit*>(&control)) return box->text();
    if (auto* label = qobject_cast<QLabel*>(&control)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) return button->text();
    Error(QStringLiteral("has no text: ") + target);
    return std::nullopt;
}

Driver::Answer Driver::State(QWidget& control, const QString& target) {
    if (auto* box = qobject_cast<QCheckBox*>(&control)) return QString::number(CheckBoxState(*box));
    Error(QStringLiteral("not a check box: ") + target);
    return std::nullopt;
}

Driver::Answer Driver::BackColor(QWidget& control, const QString& target) {
    std::uint32_t colour = FeedbackButton::kButtonFace; // what a plain button shows
    if (auto* feedback = dynamic_cast<FeedbackButton*>(&control)) {
        colour = feedback->BackColor();
    } else if (!qobject_cast<QPushButton*>(&control)) {
        Error(QStringLiteral("not a button: ") + target);
        return std::nullopt;
    }
    return QStringLiteral("%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

Driver::Answer Driver::Rect(QWidget& control, const QString&) {
    const QPoint corner = control.mapTo(control.window(), QPoint(0, 0));
    return QStringLiteral("%1,%2,%3,%4")
        .arg(corner.x())
        .arg(corner.y())
        .arg(control.width())
        .arg(control.height());
}

Driver::Answer Driver::WindowTitle(QWidget& window) {
    return window.windowTitle();
}

Driver::Answer Driver::WindowLeft(QWidget& window) {
    auto* form = dynamic_cast<Form*>(&window);
    if (!form) {
        Error(QStringLiteral("not a program window: ") + window.objectName());
        return std::nullopt;
    }
    return QString::fromStdString(SingleToText(form->Left()));
}

Driver::Answer Driver::WindowTop(QWidget& window) {
    auto* form = dynamic_cast<Form*>(&window);
    if (!form) {
        Error(QStringLiteral("not a program window: ") + window.objectName());
        return std::nullopt;
    }
    return QString::fromStdString(SingleToText(form->Top()));
}

Driver::Answer Driver::StoredSetting(const QString& key) {
    // Read as the program reads the store, so that a hand-edited text shows as the program sees it
    // (Qt's own reading splits "a,b", cuts "1;2" and lets an unclosed quote hide the lines after it).
    const auto text = QtSettingsStore::Stored(kAppName, kSection, key.toStdString());
    if (!text) return QStringLiteral("<none>");
    return QString::fromUtf8(*text);
}

// Windows and controls

void Driver::EnsureRunning() {
    if (program_.Running()) return;
    program_.Start();
    Settle();
}

void Driver::CloseAll() {
    for (const QString& name : kWindows) {
        QWidget* window = FindOpenWindow(name);
        if (!window) continue;
        if (auto* options = qobject_cast<OptionsWindow*>(window))
            options->Accept();
        else
            window->close();
        Settle();
    }
}

void Driver::Settle() {
    // A handler may queue work that queues more: a close that activates another window, a window that
    // takes the activation back, a deferred delete. Settled is a round in which nothing changed.
    constexpr int kRounds = 100;
    for (int round = 0; round < kRounds; ++round) {
        const int activations = activations_;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ReactivateAfterClose();
        const bool told = display_.Sync();
        if (!told && activations == activations_) return;
    }
    Error(QStringLiteral("the windows do not settle"));
}

void Driver::ReactivateAfterClose() {
    // Qt may go on reporting a window that has closed as active until the server says otherwise.
    const QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible()) return;
    for (auto window = activated_.rbegin(); window != activated_.rend(); ++window) {
        if (*window && (*window)->isVisible()) return (*window)->activateWindow();
    }
}

void Driver::RecordActivation(QWindow* window) {
    ++activations_;
    QWidget* widget = nullptr;
    for (QWidget* candidate : QApplication::topLevelWidgets())
        if (window && candidate->windowHandle() == window) widget = candidate;
    if (!widget || !kWindows.contains(widget->objectName())) return;
    std::erase_if(activated_, [widget](const QPointer<QWidget>& seen) { return !seen || seen == widget; });
    activated_.emplace_back(widget);
}

QWidget* Driver::FindOpenWindow(const QString& name) const {
    return OpenForm(name);
}

QWidget* Driver::RequireWindow(const QString& name) {
    QWidget* window = FindOpenWindow(name);
    if (!window) Error(QStringLiteral("window not open: ") + name);
    return window;
}

QWidget* Driver::ResolveTarget(const QString& target) {
    const qsizetype dot = target.indexOf(QLatin1Char('.'));
    const QString windowName = dot < 0 ? kMainWindow : target.left(dot);
    const QString controlName = dot < 0 ? target : target.mid(dot + 1);
    if (!kWindows.contains(windowName)) {
        Error(QStringLiteral("unknown window: ") + windowName);
        return nullptr;
    }
    QWidget* window = RequireWindow(windowName);
    if (!window) return nullptr;
    QWidget* control = controlName.isEmpty() ? nullptr : window->findChild<QWidget*>(controlName);
    if (!control) Error(QStringLiteral("unknown control: ") + target);
    return control;
}

Driver::Answer Driver::MainControlText(const char* name) {
    QWidget* control = ResolveTarget(QLatin1String(name));
    if (!control) return std::nullopt;
    return Text(*control, QLatin1String(name));
}

void Driver::MouseOver(QWidget& control, bool press) {
    QPointer<QWidget> target = control.window();
    QWindow* window = target->windowHandle();
    if (!window) return Error(QStringLiteral("no window under ") + control.objectName());
    // Through the window, not the widget, so that Qt picks the receiver and routes the release to the
    // widget that took the press, as on a desktop.
    const QPoint centre = control.mapTo(target, control.rect().center());
    if (!press) {
        QTest::mouseRelease(window, Qt::LeftButton, {}, centre);
        return Settle();
    }
    QTest::mousePress(window, Qt::LeftButton, {}, centre);
    // Click to focus: the window manager activates the window of the program that the press lands on,
    // greyed or not, while the button is still down; whatever the activation sets off meets a click
    // under way, as on a desktop.
    if (target && QApplication::activeWindow() != target) target->activateWindow();
    Settle();
}

// Message boxes

void Driver::AnswerBox(QMessageBox& box) {
    Emit(QStringLiteral("msgbox ") + box.windowTitle() + QStringLiteral(": ") + box.text());
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->click();
    else
        box.accept();
}

void Driver::CheckForStuckModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal != suspectModal_) {
        suspectModal_ = modal;
        return;
    }
    suspectModal_ = nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) return AnswerBox(*box);
    Error(QStringLiteral("unexpected modal window: ") + modal->windowTitle());
    modal->close();
}

// Output

void Driver::Emit(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Driver::Error(const QString& message) {
    failed_ = true;
    Emit(QStringLiteral("error: ") + message);
}

} // namespace tallix::drive
