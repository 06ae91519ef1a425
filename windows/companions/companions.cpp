#include "windows/companions/companions.h"

#include "windows/companions/companion_controls.h"
#include "windows/companions/popup.h"
#include "windows/companions/rs_exp.h"
#include "windows/companions/sett.h"

namespace tallix {

namespace {

// A window that has closed is hidden at once but deleted only on the next turn of the event loop;
// until then it counts as unloaded already.
bool isLoaded(const QPointer<Form>& window) {
    return window && window->isVisible();
}

// Closing a window unloads it: the widget goes, and the next load builds it afresh.
Form* unloadedOnClose(Form* window) {
    window->setAttribute(Qt::WA_DeleteOnClose, true);
    return window;
}

} // namespace

Companions::Companions(SettingsStore& store, MessageBoxes& boxes, QObject* parent)
    : QObject(parent)
    , store_(store)
    , boxes_(boxes) {}

Companions::~Companions() {
    // The windows have no parent to delete them; one still open goes without its unload step.
    for (const QPointer<Form>& window : {welcome_, options_, experience_}) {
        if (!window) continue;
        window->disconnect(this);
        delete window.data();
    }
}

void Companions::ShowPopup(QWidget* main, float top, float left) {
    if (!isLoaded(welcome_)) {
        welcome_ = unloadedOnClose(new WelcomeWindow(store_, main));
        // Placed before it shows, so that the window manager puts its frame's corner there, where Top
        // and Left count from; moved once shown but not yet framed, its client area would go there.
        welcome_->SetTop(top);
        welcome_->SetLeft(left);
    }
    ShowInFront(*welcome_);
}

void Companions::ShowSett(const Form& main) {
    if (!isLoaded(options_)) options_ = unloadedOnClose(new OptionsWindow(store_, main));
    ShowInFront(*options_);
}

void Companions::ShowRsExp() {
    if (!isLoaded(experience_)) experience_ = unloadedOnClose(new ExperienceWindow(boxes_));
    ShowInFront(*experience_);
}

} // namespace tallix
