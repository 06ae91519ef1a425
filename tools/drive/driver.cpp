#include "tools/drive/driver.h"

#include "engine/number_text.h"
#include "settings/platform_settings_store.h"
#include "settings/settings.h"
#include "settings/store_backend.h"
#include "windows/companions/options_window.h"
#include "windows/forms/control_table.h"
#include "windows/forms/form.h"
#include "windows/forms/message_boxes.h"
#include "windows/forms/twips.h"
#include "windows/main/feedback_button.h"
#include "windows/main/main_window.h"
#include "windows/main/program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeySequence>
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
std::pair<QString, QString> splitFirstWord(const QString& rest) {
    const qsizetype space = rest.indexOf(QLatin1Char(' '));
    if (space < 0) return {rest, QString()};
    return {rest.left(space), rest.mid(space + 1)};
}

} // namespace

Driver::Driver(Program& program, PlatformSettingsStore& store, QtMessageBoxes& boxes)
    : program_(program)
    , store_(store)
    , storeItself_(MakeStoreBackend())
    , commands_{{QStringLiteral("store"), &Driver::store}, {QStringLiteral("unstore"), &Driver::unstore},
                {QStringLiteral("start"), &Driver::start}, {QStringLiteral("click"), &Driver::click},
                {QStringLiteral("press"), &Driver::press}, {QStringLiteral("release"), &Driver::release},
                {QStringLiteral("type"), &Driver::type},   {QStringLiteral("close"), &Driver::close},
                {QStringLiteral("move"), &Driver::move},   {QStringLiteral("restart"), &Driver::restart},
                {QStringLiteral("print"), &Driver::print}, {QStringLiteral("focus"), &Driver::focus},
                {QStringLiteral("key"), &Driver::key},     {QStringLiteral("keydown"), &Driver::keyDown},
                {QStringLiteral("keyup"), &Driver::keyUp}}
    , queries_{{QStringLiteral("Screen"), &Driver::screen}, {QStringLiteral("Display"), &Driver::display},
               {QStringLiteral("Title"), &Driver::title},   {QStringLiteral("Pointer"), &Driver::pointer},
               {QStringLiteral("Left"), &Driver::left},     {QStringLiteral("Top"), &Driver::top},
               {QStringLiteral("Open"), &Driver::open},     {QStringLiteral("Active"), &Driver::active},
               {QStringLiteral("Focus"), &Driver::focused}}
    , controlQueries_{{QStringLiteral("Text"), &Driver::text},
                      {QStringLiteral("State"), &Driver::state},
                      {QStringLiteral("BackColor"), &Driver::backColor},
                      {QStringLiteral("Rect"), &Driver::rect}}
    , windowQueries_{{QStringLiteral("Title"), &Driver::windowTitle},
                     {QStringLiteral("Left"), &Driver::windowLeft},
                     {QStringLiteral("Top"), &Driver::windowTop}}
    , newWindowFocus_(std::make_unique<NewWindowFocus>()) {
    boxes.SetObserver([this](QMessageBox& box) { answerBox(box); });
    qApp->installEventFilter(newWindowFocus_.get());
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged,
                     [this](QWindow* window) { recordActivation(window); });
}

Driver::~Driver() = default;

void Driver::Run(std::istream& input) {
    std::string line;
    while (std::getline(input, line))
        execute(QString::fromStdString(line));
    closeAll();
    program_.Finish();
}

void Driver::execute(QString text) {
    if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
    if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#'))) return;

    Line line;
    std::tie(line.name, line.rest) = splitFirstWord(text);
    line.words = line.rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto command = commands_.find(line.name);
    if (command == commands_.end()) return error(QStringLiteral("unknown command: ") + line.name);
    (this->*command->second)(line);
}

// Commands

void Driver::store(const Line& line) {
    const auto [key, text] = splitFirstWord(line.rest);
    if (key.isEmpty()) return error(QStringLiteral("usage: store KEY TEXT"));
    // As an outside edit: straight into the store, every other text left as it stands.
    if (!edit(key, text.toStdString())) error(QStringLiteral("could not store ") + key);
}

void Driver::unstore(const Line& line) {
    if (line.words.size() != 1) return error(QStringLiteral("usage: unstore KEY"));
    if (!edit(line.words.front(), std::nullopt))
        error(QStringLiteral("could not unstore ") + line.words.front());
}

bool Driver::edit(const QString& key, std::optional<std::string> text) {
    const KeyChange change{std::string(kSection), key.toStdString(), std::move(text), std::nullopt};
    return !storeItself_->Write(kAppName, {change}).failure;
}

void Driver::start(const Line& line) {
    if (!line.words.isEmpty()) return error(QStringLiteral("usage: start"));
    if (program_.Running()) return error(QStringLiteral("the program is already running"));
    program_.Start();
    settle();
}

void Driver::click(const Line& line) {
    if (line.words.isEmpty()) return error(QStringLiteral("usage: click TARGET..."));
    ensureRunning();
    for (const QString& target : line.words) {
        QPointer<QWidget> control = resolveTarget(target);
        if (!control) continue;
        mouseOver(*control, true, Qt::LeftButton);
        if (control) mouseOver(*control, false, Qt::LeftButton);
    }
}

void Driver::press(const Line& line) {
    pressOrRelease(line, true);
}

void Driver::release(const Line& line) {
    pressOrRelease(line, false);
}

// `press TARGET [right]`: the left button unless told.
void Driver::pressOrRelease(const Line& line, bool press) {
    const bool right = line.words.size() == 2 && line.words[1] == QLatin1String("right");
    if (line.words.size() != 1 && !right)
        return error(QStringLiteral("usage: ") + line.name + QStringLiteral(" TARGET [right]"));
    ensureRunning();
    if (QWidget* control = resolveTarget(line.words.front()))
        mouseOver(*control, press, right ? Qt::RightButton : Qt::LeftButton);
}

void Driver::focus(const Line& line) {
    if (line.words.size() != 1) return error(QStringLiteral("usage: focus TARGET"));
    ensureRunning();
    if (QWidget* control = resolveTarget(line.words.front())) control->setFocus(Qt::OtherFocusReason);
    settle();
}

// `key NAME...` strikes each key, `keydown NAME` and `keyup NAME` hold and let go of one, named as Qt
// names keys ("Tab", "Space"), on the control that has the keyboard focus, through its window.
void Driver::key(const Line& line) {
    keys(line, {QEvent::KeyPress, QEvent::KeyRelease});
}
void Driver::keyDown(const Line& line) {
    keys(line, {QEvent::KeyPress});
}
void Driver::keyUp(const Line& line) {
    keys(line, {QEvent::KeyRelease});
}

void Driver::keys(const Line& line, std::initializer_list<QEvent::Type> steps) {
    if (line.words.isEmpty()) return error(QStringLiteral("usage: ") + line.name + QStringLiteral(" KEY..."));
    ensureRunning();
    for (const QString& name : line.words) {
        const QKeySequence sequence(name);
        if (sequence.count() != 1) return error(QStringLiteral("unknown key: ") + name);
        for (const QEvent::Type step : steps) {
            const QWidget* focus = QApplication::focusWidget();
            if (!focus || !focus->window()->windowHandle())
                return error(QStringLiteral("no control has the focus"));
            QWindow* window = focus->window()->windowHandle();
            if (step == QEvent::KeyPress)
                QTest::keyPress(window, sequence[0].key());
            else
                QTest::keyRelease(window, sequence[0].key());
            settle();
        }
    }
}

void Driver::type(const Line& line) {
    const auto [target, text] = splitFirstWord(line.rest);
    if (target.isEmpty()) return error(QStringLiteral("usage: type TARGET TEXT"));
    ensureRunning();
    QWidget* control = resolveTarget(target);
    if (!control) return;
    auto* box = qobject_cast<QLineEdit*>(control);
    if (!box) return error(QStringLiteral("not a text box: ") + target);
    if (!box->isEnabled()) return error(QStringLiteral("text box is disabled: ") + target);
    // Keystrokes rather than setText(), so that the box reacts as to typing (textEdited and the like).
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
    settle();
}

void Driver::close(const Line& line) {
    if (line.words.size() != 1) return error(QStringLiteral("usage: close WINDOW"));
    const QString& name = line.words.front();
    if (!kWindows.contains(name)) return error(QStringLiteral("unknown window: ") + name);
    if (name == QLatin1String("Sett")) return error(QStringLiteral("Sett has no close control"));
    ensureRunning();
    if (QWidget* window = requireWindow(name)) {
        window->close();
        settle();
    }
}

void Driver::move(const Line& line) {
    bool xOk = false;
    bool yOk = false;
    const double x = line.words.value(0).toDouble(&xOk);
    const double y = line.words.value(1).toDouble(&yOk);
    if (line.words.size() != 2 || !xOk || !yOk) return error(QStringLiteral("usage: move X Y"));
    ensureRunning();
    // A drag lands on whole pixels; the window converts the new frame position back to twips.
    if (QWidget* main = requireWindow(kMainWindow)) {
        main->move(TwipsToPixels(x), TwipsToPixels(y));
        settle();
    }
}

void Driver::restart(const Line& line) {
    if (!line.words.isEmpty()) return error(QStringLiteral("usage: restart"));
    closeAll();
    if (program_.Running()) return error(QStringLiteral("the program still runs after its windows closed"));
    program_.Finish();
    program_.Start();
    settle();
}

void Driver::print(const Line& line) {
    if (line.words.isEmpty()) return error(QStringLiteral("usage: print QUERY..."));
    for (const QString& query : line.words)
        if (const Answer value = ask(query)) printLine(query + QLatin1Char('=') + *value);
}

// Queries

Driver::Answer Driver::ask(const QString& query) {
    static const QString kSettingPrefix = QStringLiteral("setting.");
    if (query.startsWith(kSettingPrefix) && query.size() > kSettingPrefix.size())
        return storedSetting(query.mid(kSettingPrefix.size()));

    const qsizetype dot = query.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        const auto plain = queries_.find(query);
        if (plain == queries_.end()) {
            error(QStringLiteral("unknown query: ") + query);
            return std::nullopt;
        }
        if (query != QLatin1String("Open") && query != QLatin1String("Active")) ensureRunning();
        return (this->*plain->second)();
    }

    const QString owner = query.left(dot);
    const QString property = query.mid(dot + 1);
    if (kWindows.contains(owner)) {
        const auto windowQuery = windowQueries_.find(property);
        if (windowQuery == windowQueries_.end()) {
            error(QStringLiteral("unknown query: ") + query);
            return std::nullopt;
        }
        ensureRunning();
        QWidget* window = requireWindow(owner);
        if (!window) return std::nullopt;
        return (this->*windowQuery->second)(*window);
    }
    const auto controlQuery = controlQueries_.find(property);
    if (controlQuery == controlQueries_.end()) {
        error(QStringLiteral("unknown query: ") + query);
        return std::nullopt;
    }
    ensureRunning();
    QWidget* control = resolveTarget(owner);
    if (!control) return std::nullopt;
    return (this->*controlQuery->second)(*control, owner);
}

Driver::Answer Driver::screen() {
    return mainControlText("Screen");
}

Driver::Answer Driver::display() {
    return mainControlText("Display");
}

Driver::Answer Driver::title() {
    QWidget* main = requireWindow(kMainWindow);
    if (!main) return std::nullopt;
    return windowTitle(*main);
}

Driver::Answer Driver::pointer() {
    auto* main = dynamic_cast<MainWindow*>(requireWindow(kMainWindow));
    if (!main) return std::nullopt;
    return QString::number(static_cast<int>(main->MousePointer()));
}

Driver::Answer Driver::left() {
    QWidget* main = requireWindow(kMainWindow);
    if (!main) return std::nullopt;
    return windowLeft(*main);
}

Driver::Answer Driver::top() {
    QWidget* main = requireWindow(kMainWindow);
    if (!main) return std::nullopt;
    return windowTop(*main);
}

Driver::Answer Driver::open() {
    QStringList open;
    for (const QString& name : kWindows)
        if (findOpenWindow(name)) open << name;
    return open.join(QLatin1Char(','));
}

Driver::Answer Driver::active() {
    const QWidget* active = QApplication::activeWindow();
    if (!active || !active->isVisible() || !kWindows.contains(active->objectName())) return QString();
    return active->objectName();
}

Driver::Answer Driver::focused() {
    const QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

Driver::Answer Driver::text(QWidget& control, const QString& target) {
    if (auto* box = qobject_cast<QLineEdit*>(&control)) return box->text();
    if (auto* label = qobject_cast<QLabel*>(&control)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(&control)) return button->text();
    error(QStringLiteral("has no text: ") + target);
    return std::nullopt;
}

Driver::Answer Driver::state(QWidget& control, const QString& target) {
    if (auto* box = qobject_cast<QCheckBox*>(&control)) return QString::number(CheckBoxState(*box));
    error(QStringLiteral("not a check box: ") + target);
    return std::nullopt;
}

Driver::Answer Driver::backColor(QWidget& control, const QString& target) {
    std::uint32_t colour = FeedbackButton::kButtonFace; // what a plain button shows
    if (auto* feedback = dynamic_cast<FeedbackButton*>(&control)) {
        colour = feedback->BackColor();
    } else if (!qobject_cast<QPushButton*>(&control)) {
        error(QStringLiteral("not a button: ") + target);
        return std::nullopt;
    }
    return QStringLiteral("%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

Driver::Answer Driver::rect(QWidget& control, const QString&) {
    const QPoint corner = control.mapTo(control.window(), QPoint(0, 0));
    return QStringLiteral("%1,%2,%3,%4")
        .arg(corner.x())
        .arg(corner.y())
        .arg(control.width())
        .arg(control.height());
}

Driver::Answer Driver::windowTitle(QWidget& window) {
    return window.windowTitle();
}

Driver::Answer Driver::windowLeft(QWidget& window) {
    auto* form = dynamic_cast<Form*>(&window);
    if (!form) {
        error(QStringLiteral("not a program window: ") + window.objectName());
        return std::nullopt;
    }
    return QString::fromStdString(SingleToText(form->Left()));
}

Driver::Answer Driver::windowTop(QWidget& window) {
    auto* form = dynamic_cast<Form*>(&window);
    if (!form) {
        error(QStringLiteral("not a program window: ") + window.objectName());
        return std::nullopt;
    }
    return QString::fromStdString(SingleToText(form->Top()));
}

Driver::Answer Driver::storedSetting(const QString& key) {
    // Read as the program reads the store, so that a hand-edited text shows as the program sees it
    // (Qt's own reading splits "a,b", cuts "1;2" and lets an unclosed quote hide the lines after it),
    // once the program's saves so far have been tried.
    store_.WaitUntilTried();
    const std::string keyText = key.toStdString();
    const std::string_view keys[] = {keyText};
    const auto read = storeItself_->Read(kAppName, kSection, keys);
    const auto* texts = std::get_if<std::vector<StoredValue>>(&read);
    if (!texts || !texts->front()) return QStringLiteral("<none>");
    return QString::fromUtf8(*texts->front());
}

// Windows and controls

void Driver::ensureRunning() {
    if (program_.Running()) return;
    program_.Start();
    settle();
}

void Driver::closeAll() {
    for (const QString& name : kWindows) {
        QWidget* window = findOpenWindow(name);
        if (!window) continue;
        if (auto* options = qobject_cast<OptionsWindow*>(window))
            options->Accept();
        else
            window->close();
        settle();
    }
}

void Driver::settle() {
    // A handler may queue work that queues more: a close that activates another window, a window that
    // takes the activation back, a deferred delete. Settled is a round in which nothing changed.
    constexpr int kRounds = 100;
    for (int round = 0; round < kRounds; ++round) {
        const int activations = activations_;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        reactivateAfterClose();
        const bool told = display_.Sync();
        if (!told && activations == activations_) return;
    }
    error(QStringLiteral("the windows do not settle"));
}

void Driver::reactivateAfterClose() {
    // Qt may go on reporting a window that has closed as active until the server says otherwise.
    const QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible()) return;
    for (auto window = activated_.rbegin(); window != activated_.rend(); ++window) {
        if (*window && (*window)->isVisible()) return (*window)->activateWindow();
    }
}

void Driver::recordActivation(QWindow* window) {
    ++activations_;
    QWidget* widget = nullptr;
    for (QWidget* candidate : QApplication::topLevelWidgets())
        if (window && candidate->windowHandle() == window) widget = candidate;
    if (!widget || !kWindows.contains(widget->objectName())) return;
    std::erase_if(activated_, [widget](const QPointer<QWidget>& seen) { return !seen || seen == widget; });
    activated_.emplace_back(widget);
}

QWidget* Driver::findOpenWindow(const QString& name) const {
    return OpenForm(name);
}

QWidget* Driver::requireWindow(const QString& name) {
    QWidget* window = findOpenWindow(name);
    if (!window) error(QStringLiteral("window not open: ") + name);
    return window;
}

QWidget* Driver::resolveTarget(const QString& target) {
    const qsizetype dot = target.indexOf(QLatin1Char('.'));
    const QString windowName = dot < 0 ? kMainWindow : target.left(dot);
    const QString controlName = dot < 0 ? target : target.mid(dot + 1);
    if (!kWindows.contains(windowName)) {
        error(QStringLiteral("unknown window: ") + windowName);
        return nullptr;
    }
    QWidget* window = requireWindow(windowName);
    if (!window) return nullptr;
    QWidget* control = controlName.isEmpty() ? nullptr : window->findChild<QWidget*>(controlName);
    if (!control) error(QStringLiteral("unknown control: ") + target);
    return control;
}

Driver::Answer Driver::mainControlText(const char* name) {
    QWidget* control = resolveTarget(QLatin1String(name));
    if (!control) return std::nullopt;
    return text(*control, QLatin1String(name));
}

void Driver::mouseOver(QWidget& control, bool press, Qt::MouseButton button) {
    QPointer<QWidget> target = control.window();
    QWindow* window = target->windowHandle();
    if (!window) return error(QStringLiteral("no window under ") + control.objectName());
    // Through the window, not the widget, so that Qt picks the receiver and routes the release to the
    // widget that took the press, as on a desktop.
    const QPoint centre = control.mapTo(target, control.rect().center());
    if (!press) {
        QTest::mouseRelease(window, button, {}, centre);
        return settle();
    }
    QTest::mousePress(window, button, {}, centre);
    // Click to focus: the window manager activates the window of the program that the press lands on,
    // greyed or not, while the button is still down; whatever the activation sets off meets a click
    // under way, as on a desktop.
    if (target && QApplication::activeWindow() != target) target->activateWindow();
    settle();
}

// Message boxes

void Driver::answerBox(QMessageBox& box) {
    printLine(QStringLiteral("msgbox ") + box.windowTitle() + QStringLiteral(": ") + box.text());
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->click();
    else
        box.accept();
}

// A message box that bypasses the program's wrapper is answered all the same; any other modal window is
// an error.
void Driver::modalStuck(QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) return answerBox(*box);
    error(QStringLiteral("unexpected modal window: ") + modal.windowTitle());
    modal.close();
}

// Output

void Driver::printLine(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Driver::error(const QString& message) {
    failed_ = true;
    printLine(QStringLiteral("error: ") + message);
}

} // namespace tallix::drive
