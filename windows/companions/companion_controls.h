#pragma once

#include "windows/forms/control_table.h"
#include "windows/forms/form.h"

#include <QCheckBox>

#include <cstdint>
#include <span>

namespace tallix {

// What a companion window's definition says about a control beyond the common columns.
struct ControlLook {
    bool disabled = false; // a disabled text box keeps the normal text colour
    bool checked = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop; // labels
    bool wordWrap = false;                                  // labels
    int lineWidthPixels = 1;                                // lines: drawn centred on the line's top
};

// One row of a companion window's definition table.
struct CompanionControl {
    ControlDef control;
    ControlLook look = {};
};

// A companion window's definition: its own properties and its table of controls.
struct CompanionWindow {
    const char* name;
    const char* title;
    Qt::WindowFlags flags;
    int clientWidth; // twips
    int clientHeight;
    std::span<const CompanionControl> controls;
};

// Builds the window from its definition. A line row runs from (left, top) to (left + width, top); the
// focus goes to the first control in tab order that can take it. Closing the window unloads it (the
// widget goes), and while it is open it keeps the program running, even as a tool window.
void BuildCompanionWindow(Form& form, const CompanionWindow& window);

// A check box that can show the greyed state when told to, but whose click only ever ticks or unticks.
// A click on a greyed box ticks it.
class TwoWayCheckBox : public QCheckBox {
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override;
};

// A check box's state in the numbering that the settings use: 0 not ticked, 1 ticked, 2 greyed.
std::int16_t CheckBoxState(const QCheckBox& box);
void SetCheckBoxState(QCheckBox& box, std::int16_t state);

// Shows a window without modality, or brings an open one to the front as the active window, restored
// if it was minimised.
void ShowInFront(QWidget& window);

} // namespace tallix
