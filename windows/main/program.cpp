#include "windows/main/program.h"

#include "windows/companions/companions.h"
#include "windows/main/main_calc.h"

#include <QApplication>

#include <algorithm>

namespace tallix {

Program::Program(SettingsStore& store, MessageBoxes& boxes)
    : store_(store)
    , boxes_(boxes) {}

Program::~Program() = default;

void Program::Start() {
    main_.reset();
    companions_ = std::make_unique<Companions>(store_, boxes_);
    main_ = std::make_unique<MainCalc>(store_, boxes_, *companions_);
    main_->Form_Load();
}

bool Program::Running() const {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
        return window->isVisible() && qobject_cast<const Form*>(window);
    });
}

MainCalc* Program::Main() const {
    return main_.get();
}

} // namespace tallix
