#include "windows/forms/control_table.h"

#include "resources/resources.h"
#include "windows/forms/form.h"
#include "windows/forms/twips.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>
#include <utility>
#include <vector>

namespace tallix {

namespace {

// A sunken client edge as the classic desktop draws it: outer lines in button shadow at the top and left
// and button highlight at the bottom and right, inner ones in dark shadow and 3D light. Those are the
// same for a disabled box as for an enabled one, and in an inactive window: the colours of the active
// group, not the washed-out ones that Qt keeps for disabled controls. Each line is a whole logical pixel,
// as thick as the rest of the drawing at any scale.
void drawSunkenEdge(QPainter& painter, QRect rect, const QPalette& palette) {
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> lines[] = {
        {QPalette::Dark, QPalette::Light},
        {QPalette::Shadow, QPalette::Midlight},
    };
    for (const auto& [topLeft, bottomRight] : lines) {
        const QColor upper = palette.color(QPalette::Active, topLeft);
        const QColor lower = palette.color(QPalette::Active, bottomRight);
        painter.fillRect(rect.left(), rect.top(), rect.width() - 1, 1, upper);
        painter.fillRect(rect.left(), rect.top(), 1, rect.height() - 1, upper);
        painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, lower);
        painter.fillRect(rect.right(), rect.top(), 1, rect.height(), lower);
        rect.adjust(1, 1, -1, -1);
    }
}

// Qt's Windows style, but for the text boxes' frame: that style draws its inner bottom and right lines
// in the colour of the window behind (the calculator's dark red), and every line one device pixel thin
// above scale 1.
class ClassicLook : public QProxyStyle {
public:
    ClassicLook()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_FrameLineEdit)
            drawSunkenEdge(*painter, option->rect, option->palette);
        else
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

QStyle* ClassicStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new ClassicLook;
        style->setParent(qApp);
    }
    return style;
}

namespace {

QWidget* makeControl(const ControlDef& def, QWidget* parent, ControlFactory makeOwn) {
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
    case ControlKind::Key:
    case ControlKind::PictureBox:
        break;
    }
    if (!makeOwn) qFatal("%s: a kind of control that its window makes, and it makes none", def.name);
    return makeOwn(def, parent);
}

void setCaption(QWidget& widget, const QString& caption) {
    if (auto* button = qobject_cast<QAbstractButton*>(&widget))
        button->setText(caption);
    else if (auto* label = qobject_cast<QLabel*>(&widget))
        label->setText(caption);
    else if (auto* edit = qobject_cast<QLineEdit*>(&widget))
        edit->setText(caption);
}

void applyLook(QWidget& widget, const ControlDef& def) {
    const ControlLook& look = def.look;
    if (look.disabled) widget.setEnabled(false);
    if (look.classic) widget.setStyle(ClassicStyle());
    if (auto* box = qobject_cast<QLineEdit*>(&widget)) {
        // A disabled box takes no focus and no typing, but its text is there to be read: in the text
        // colour of an enabled box, not greyed out, and read-only to a screen reader as well.
        if (look.disabled) box->setReadOnly(true);
        QPalette palette = box->palette();
        if (look.disabled)
            palette.setColor(QPalette::Disabled, QPalette::Text,
                             palette.color(QPalette::Active, QPalette::Text));
        if (look.background != QPalette::NoRole) {
            const QColor background = palette.color(QPalette::Active, look.background);
            palette.setColor(QPalette::Text, palette.color(QPalette::Active, look.text));
            palette.setColor(QPalette::Base, background);
        }
        if (look.disabled || look.background != QPalette::NoRole) box->setPalette(palette);
        if (look.alignment) box->setAlignment(look.alignment);
        if (look.maxLength > 0) box->setMaxLength(look.maxLength);
        if (look.frameless) {
            box->setFrame(false);
            box->setTextMargins(-2, 0, -2, 0);
        }
    }
    if (auto* box = qobject_cast<QCheckBox*>(&widget)) box->setChecked(look.checked);
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setAlignment(look.alignment ? look.alignment : Qt::AlignLeft | Qt::AlignTop);
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

QWidget* buildOne(const ControlDef& def, QWidget* parent, QWidget& form, ControlFactory makeOwn) {
    QWidget* widget = makeControl(def, parent, makeOwn);
    widget->setObjectName(QString::fromLatin1(def.name));
    setCaption(*widget, QString::fromUtf8(def.caption));
    const auto* frame = qobject_cast<const QFrame*>(parent);
    const int inset = (frame && parent != &form) ? frame->frameWidth() : 0;
    widget->setGeometry(TwipsRect(def.left, def.top, def.width, def.height).translated(inset, inset));
    if (def.font)
        widget->setFont(ShownFont(QString::fromLatin1(def.font->family), def.font->points, def.font->bold));
    if (def.accessibleName) widget->setAccessibleName(QString::fromUtf8(def.accessibleName));
    applyLook(*widget, def);
    widget->raise();
    return widget;
}

} // namespace

void BuildForm(Form& form, const FormDef& definition, ControlFactory makeOwn) {
    form.setWindowFlags(definition.flags);
    // Set after the flags: a tool window would otherwise not keep the program running.
    form.setAttribute(Qt::WA_QuitOnClose, true);
    form.setAttribute(Qt::WA_MacAlwaysShowToolWindow, true);
    form.setObjectName(QString::fromLatin1(definition.name));
    form.setWindowTitle(QString::fromUtf8(definition.title));
    form.SetClientSize(definition.clientWidth, definition.clientHeight);

    // Bottom first: a later sibling is drawn above an earlier one. The window's own controls come before
    // those that its containers hold, so that each container is there for them.
    std::vector<const ControlDef*> rows;
    for (auto it = definition.controls.rbegin(); it != definition.controls.rend(); ++it)
        rows.push_back(&*it);
    std::stable_partition(rows.begin(), rows.end(), [](const ControlDef* row) { return !row->container; });
    std::vector<std::pair<const ControlDef*, QWidget*>> built;
    for (const ControlDef* row : rows) {
        QWidget* parent = row->container ? RequireChild<QWidget>(form, row->container) : &form;
        built.emplace_back(row, buildOne(*row, parent, form, makeOwn));
    }

    std::vector<std::pair<const ControlDef*, QWidget*>> tabbed;
    std::copy_if(built.begin(), built.end(), std::back_inserter(tabbed),
                 [](const auto& entry) { return entry.first->tabIndex >= 0; });
    std::sort(tabbed.begin(), tabbed.end(),
              [](const auto& a, const auto& b) { return a.first->tabIndex < b.first->tabIndex; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);
    const auto first = std::find_if(tabbed.begin(), tabbed.end(), [](const auto& entry) {
        return entry.second->isEnabled() && (entry.second->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
    });
    if (first != tabbed.end()) first->second->setFocus();
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

} // namespace tallix
