#pragma once

#include <QCheckBox>
#include <QPalette>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

class QStyle;

namespace tallix {

class Form;

enum class ControlKind {
    Button,
    Key, // made by the window itself
    TextBox,
    PictureBox, // made by the window itself
    Label,
    CheckBox,
    Line
};

struct FontDef {
    const char* family;
    double points;
    bool bold = false;
};

// What a definition row says about a control beyond the common columns.
struct ControlLook {
    bool disabled = false; // a disabled text box is read-only and keeps the normal text colour
    bool checked = false;
    Qt::Alignment alignment = {}; // labels (top left when unset) and text boxes
    bool wordWrap = false;        // labels
    int lineWidthPixels = 1;      // lines: drawn centred on the line's top
    int maxLength = 0;            // text boxes; 0 leaves Qt's limit
    bool classic = false;         // drawn in ClassicStyle()
    bool frameless = false;       // text boxes: no frame, and no margin kept clear beside the text
    // Text boxes: background and text in these colours of the palette, alike in every colour group.
    QPalette::ColorRole background = QPalette::NoRole;
    QPalette::ColorRole text = QPalette::NoRole;
};

// One control of a window definition. Measures are twips relative to the container's inner area; a
// container of nullptr is the window itself, any other is one of the window's own controls. A line runs
// from (left, top) to (left + width, top).
struct ControlDef {
    ControlKind kind;
    const char* name;
    const char* caption;
    const char* container;
    int left;
    int top;
    int width;
    int height;
    int tabIndex; // -1: not in the tab order
    std::optional<FontDef> font = std::nullopt;
    const char* accessibleName = nullptr; // what a screen reader says for a key whose caption is terse
    ControlLook look = {};
};

// Creates the widget of a kind that only its window knows how to make (Key, PictureBox).
using ControlFactory = QWidget* (*)(const ControlDef&, QWidget* parent);

// A window's definition: its own properties and its table of controls.
struct FormDef {
    const char* name;
    const char* title;
    Qt::WindowFlags flags;
    int clientWidth; // twips
    int clientHeight;
    std::span<const ControlDef> controls;
};

// Builds `form` from its definition: the window's properties, then every control with its object name,
// caption, geometry (a container's frame is added to its children's offsets), font, look, stacking
// order (the table lists the topmost control of each container first) and tab order (by tab index,
// across containers). The focus goes to the first control in tab order that can take it. While open,
// the window keeps the program running, even as a tool window.
void BuildForm(Form& form, const FormDef& definition, ControlFactory makeOwn = nullptr);

// The classic style, which fills a control with exactly its palette colour, pressed or not, and frames a
// text box with the classic sunken edge in the palette's 3D colours. The application owns it, so it
// outlives every control drawn in it.
QStyle* ClassicStyle();

// The child of `parent` named `name`, which its window's definition promises. One missing, or of
// another type, is a fault in the program: it stops at once, saying which.
template <typename T>
T* RequireChild(const QObject& parent, std::string_view name) {
    T* child = parent.findChild<T*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
    if (!child)
        qFatal("%s has no %s named %.*s", qPrintable(parent.objectName()), T::staticMetaObject.className(),
               int(name.size()), name.data());
    return child;
}

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

} // namespace tallix
