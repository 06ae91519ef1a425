#include "windows/main/program.h"

#include "settings/settings_store.h"
#include "windows/companions/companions.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/main_window.h"

#include <QApplication>
#include <QTimer>

namespace tallix {

namespace {

QString noticeText(const StoreProblem& problem) {
    const QString where = QString::fromStdString(problem.where);
    const QString reason = QString::fromStdString(problem.reason);
    const QString what = problem.saving ? QStringLiteral("Tallix could not save its settings to")
                                        : QStringLiteral("Tallix could not read its settings from");
    const QString after =
        problem.saving ? QString() : QStringLiteral("It starts with its default settings. ");
    return what + QStringLiteral("\n") + where + QStringLiteral("\n\n") + reason + QStringLiteral(".\n\n") +
           after +
           QStringLiteral("Your changes are kept until Tallix closes, and Tallix tries to save them again "
                          "at every change and when it closes.");
}

} // namespace

Program::Program(SettingsStore& store, MessageBoxes& boxes)
    : store_(store)
    , boxes_(boxes) {
    store_.SetProblemHandler([this](const StoreProblem& problem) { Store_Problem(problem); });
}

Program::~Program() {
    store_.SetProblemHandler(nullptr);
}

void Program::Start() {
    main_.reset();
    problemTold_ = false;
    companions_ = std::make_unique<Companions>(store_, boxes_);
    main_ = std::make_unique<MainWindow>(store_, boxes_, *companions_);
    main_->Form_Load();
}

void Program::Close() {
    if (!companions_) return;
    // The options window first: while it is open it takes the activation back from the others.
    companions_->CloseOptions();
    if (main_ && main_->isVisible()) main_->close();
    companions_->CloseAll();
}

void Program::Finish() {
    store_.Flush();
}

void Program::Store_Problem(const StoreProblem& problem) {
    if (problemTold_) return;
    problemTold_ = true;
    // Once the handler that read or saved has finished, so that no handler's steps change order; and
    // only while a window is open to tell it beside (the last save of a run comes as its windows close).
    QTimer::singleShot(0, main_.get(), [this, problem] {
        if (!Running()) return;
        QWidget* parent = main_ && main_->isVisible() ? main_.get() : nullptr;
        boxes_.Show(parent, QStringLiteral("Tallix"), noticeText(problem), MessageIcon::Warning);
    });
}

bool Program::Running() const {
    return !OpenForms().isEmpty();
}

MainWindow* Program::Main() const {
    return main_.get();
}

} // namespace tallix
