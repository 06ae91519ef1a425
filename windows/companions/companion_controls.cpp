#include "windows/companions/companion_controls.h"

#include "windows/forms/twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace tallix {

namespace {

QWidget* makeControl(const ControlDef& def, QWidget* parent) {
    switch (def.kind) {
    case ControlKind::Button:
        return new QPushButton(parent);
    case ControlKind::TextBox:
        return new QLineEdit(parent);
    case ControlKind::Label:
        return new QLabel(parent);
    case ControlKind::CheckBox:
        return new TwoWayCheckBox(parent);
    case ControlKind::Line: {
        auto* line = new QFrame(parent);
        line->setFrameStyle(QFrame::HLine | QFrame::Plain);
        return line;
    }
    case ControlKind::PictureBox:
        break;
    }
    return new QFrame(parent);
}

void applyLook(QWidget& widget, const ControlDef& def, const ControlLook& look) {
    widget.setEnabled(!look.disabled);
    if (auto* box = qobject_cast<QLineEdit*>(&widget); box && look.disabled) {
        // A disabled box takes no focus and no typing, but its text is there to be read: in the text
        // colour of an enabled box, not greyed out, and read-only to a screen reader as well.
        box->setReadOnly(true);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Disabled, QPalette::Text, palette.color(QPalette::Active, QPalette::Text));
        box->setPalette(palette);
    }
    if (auto* box = qobject_cast<QCheckBox*>(&widget)) box->setChecked(look.checked);
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setAlignment(look.alignment);
        label->setWordWrap(look.wordWrap);
    }
    if (def.kind == ControlKind::Line) {
        auto& line = static_cast<QFrame&>(widget);
        line.setLineWidth(look.lineWidthPixels);
        const QRect span = TwipsRect(def.left, def.top, def.width, 0);
        line.setGeometry(span.left(), span.top() - look.lineWidthPixels / 2, span.width(),
                         look.lineWidthPixels);
    }
}

} // namespace

void BuildCompanionWindow(Form& window, const CompanionWindow& definition) {
    window.setWindowFlags(definition.flags);
    // Set after the flags: a tool window would otherwise not keep the program running.
    window.setAttribute(Qt::WA_QuitOnClose, true);
    window.setAttribute(Qt::WA_MacAlwaysShowToolWindow, true);
    window.setAttribute(Qt::WA_DeleteOnClose, true);
    window.setObjectName(QString::fromLatin1(definition.name));
    window.setWindowTitle(QString::fromLatin1(definition.title));
    window.SetClientSize(definition.clientWidth, definition.clientHeight);

    QWidget* form = &window;
    const std::span<const CompanionControl> table = definition.controls;
    std::vector<ControlDef> controls;
    controls.reserve(table.size());
    for (const CompanionControl& row : table)
        controls.push_back(row.control);
    BuildControls(form, controls, makeControl);

    const CompanionControl* first = nullptr;
    for (const CompanionControl& row : table) {
        auto* widget = form->findChild<QWidget*>(QString::fromLatin1(row.control.name));
        applyLook(*widget, row.control, row.look);
        const bool focusable = row.control.tabIndex >= 0 && !row.look.disabled &&
                               (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (focusable && (!first || row.control.tabIndex < first->control.tabIndex)) first = &row;
    }
    if (first) form->findChild<QWidget*>(QString::fromLatin1(first->control.name))->setFocus();
}

void TwoWayCheckBox::nextCheckState() {
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

std::int16_t CheckBoxState(const QCheckBox& box) {
    switch (box.checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        break;
    }
    return 2;
}

void SetCheckBoxState(QCheckBox& box, std::int16_t state) {
    box.setCheckState(state == 0 ? Qt::Unchecked : state == 1 ? Qt::Checked : Qt::PartiallyChecked);
}

void ShowInFront(QWidget& window) {
    // A window being shown for the first time comes up in front anyway; a minimised one comes back.
    if (!window.isVisible()) {
        window.show();
    } else {
        if (window.isMinimized()) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.raise();
    }
    window.activateWindow();
}

} // namespace tallix
