#pragma once

#include <QFont>
#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <string_view>

class QStyle;
class QWidget;

namespace tallix {

enum class ControlKind {
    Button,
    TextBox,
    PictureBox,
    Label,
    CheckBox,
    Line
};

struct FontDef {
    const char* family;
    double points;
    bool bold = false;
};

// One control of a window definition. Measures are twips relative to the container's inner area; a
// container of nullptr is the window itself.
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
};

// The font that shows `def`: its face, or a stand-in where the system lacks the face (ShownFont).
QFont MakeFont(const FontDef& def);

// The classic style, which fills a control with exactly its palette colour, pressed or not. The
// application owns it, so it outlives every control drawn in it.
QStyle* ClassicStyle();

// Creates the widget for one definition row, parented to `parent`; the builder does the rest.
using ControlFactory = std::function<QWidget*(const ControlDef&, QWidget* parent)>;

// Builds every control of `controls` on `form`: object name, caption, geometry (a container's frame
// is added to its children's offsets), font, stacking order (the table lists the topmost control of
// each container first) and tab order (by tab index, across containers).
void BuildControls(QWidget* form, std::span<const ControlDef> controls, const ControlFactory& make);

} // namespace tallix
