#include "windows/forms/control_table.h"

#include "resources/resources.h"
#include "windows/forms/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace tallix {

QFont MakeFont(const FontDef& def) {
    return ShownFont(QString::fromLatin1(def.family), def.points, def.bold);
}

QStyle* ClassicStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (style) style->setParent(qApp);
    }
    return style;
}

namespace {

void setCaption(QWidget* widget, const QString& caption) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(caption);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(caption);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(caption);
}

QWidget* buildOne(const ControlDef& def, QWidget* parent, QWidget* form, const ControlFactory& make) {
    QWidget* widget = make(def, parent);
    widget->setObjectName(QString::fromLatin1(def.name));
    setCaption(widget, QString::fromUtf8(def.caption));
    const auto* frame = qobject_cast<const QFrame*>(parent);
    const int inset = (frame && parent != form) ? frame->frameWidth() : 0;
    widget->setGeometry(TwipsRect(def.left, def.top, def.width, def.height).translated(inset, inset));
    if (def.font) widget->setFont(MakeFont(*def.font));
    if (def.accessibleName) widget->setAccessibleName(QString::fromUtf8(def.accessibleName));
    widget->raise();
    return widget;
}

} // namespace

void BuildControls(QWidget* form, std::span<const ControlDef> controls, const ControlFactory& make) {
    std::vector<std::pair<const ControlDef*, QWidget*>> built;
    built.reserve(controls.size());
    // Bottom first: a later sibling is drawn above an earlier one. A container lies below what it holds,
    // so a row whose container does not exist yet waits for a later pass.
    std::vector<const ControlDef*> waiting;
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        waiting.push_back(&*it);
    while (!waiting.empty()) {
        std::vector<const ControlDef*> later;
        for (const ControlDef* row : waiting) {
            QWidget* parent =
                row->container ? form->findChild<QWidget*>(QString::fromLatin1(row->container)) : form;
            if (parent)
                built.emplace_back(row, buildOne(*row, parent, form, make));
            else
                later.push_back(row);
        }
        Q_ASSERT_X(later.size() < waiting.size(), "BuildControls", "a row names a container that is missing");
        if (later.size() == waiting.size()) break;
        waiting = std::move(later);
    }
    std::vector<std::pair<const ControlDef*, QWidget*>> tabbed;
    std::copy_if(built.begin(), built.end(), std::back_inserter(tabbed),
                 [](const auto& entry) { return entry.first->tabIndex >= 0; });
    std::sort(tabbed.begin(), tabbed.end(),
              [](const auto& a, const auto& b) { return a.first->tabIndex < b.first->tabIndex; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);
}

} // namespace tallix
