#include "windows/companions/companions.h"

#include "windows/companions/experience_window.h"
#include "windows/companions/options_window.h"
#include "windows/companions/welcome_window.h"

namespace tallix {

namespace {

bool isLoaded(const Form* window) {
    return window && window->isVisible();
}

} // namespace

Companions::Companions(SettingsStore& store, MessageBoxes& boxes, QObject* parent)
    : QObject(parent)
    , store_(store)
    , boxes_(boxes) {}

// Out of line, where the windows' types are complete; one still open goes without its unload step.
Companions::~Companions() = default;

void Companions::ShowWelcome(QWidget* main, float top, float left) {
    if (!isLoaded(welcome_.get())) {
        welcome_ = std::make_unique<WelcomeWindow>(store_, main);
        // Placed before it shows, so that the window manager puts its frame's corner there, where Top
        // and Left count from; moved once shown but not yet framed, its client area would go there.
        welcome_->SetTop(top);
        welcome_->SetLeft(left);
    }
    welcome_->ShowInFront();
}

void Companions::ShowOptions(const Form& main) {
    if (!isLoaded(options_.get())) options_ = std::make_unique<OptionsWindow>(store_, main);
    options_->ShowInFront();
}

void Companions::ShowExperience() {
    if (!isLoaded(experience_.get())) experience_ = std::make_unique<ExperienceWindow>(boxes_);
    experience_->ShowInFront();
}

void Companions::CloseOptions() {
    if (isLoaded(options_.get())) options_->Accept();
}

void Companions::CloseAll() {
    CloseOptions();
    if (isLoaded(welcome_.get())) welcome_->close();
    if (isLoaded(experience_.get())) experience_->close();
}

} // namespace tallix
