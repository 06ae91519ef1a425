#include "windows/companions/experience_window.h"

#include "engine/experience.h"
#include "windows/forms/control_table.h"
#include "windows/forms/message_boxes.h"

#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace tallix {

namespace {

// clang-format off
const std::array<ControlDef, 9> kControls{{
    // kind, name, text, container, left, top, width, height, tab, font, accessible name, look
    {ControlKind::TextBox, "ExpKill", "", nullptr, 3120, 210, 975, 285, 0, {}, "Exp per kill"},
    {ControlKind::TextBox, "CurrExp", "", nullptr, 3120, 690, 975, 285, 1, {}, "Current Exp"},
    {ControlKind::TextBox, "DesiredExp", "", nullptr, 3120, 1170, 975, 285, 2, {}, "Desired Exp"},
    {ControlKind::TextBox, "ExpNeeded", "Experience Needed", nullptr, 120, 2280, 6855, 285, 3, {}, "Experience needed",
     {.disabled = true}},
    {ControlKind::Button, "CalcXp", "Calculate Kills/Exp Needed", nullptr, 2040, 1680, 3135, 495, 4},
    {ControlKind::Label, "Label2", "Current Exp:", nullptr, 2160, 720, 1215, 255, 5},
    {ControlKind::Label, "Label3", "Desired Exp:", nullptr, 2160, 1200, 1095, 255, 6},
    {ControlKind::Label, "Label1", "Exp per kill:", nullptr, 2160, 240, 855, 255, 7},
    {ControlKind::TextBox, "KillsNeeded", "Kills Needed", nullptr, 120, 2520, 6855, 285, 8, {}, "Kills needed",
     {.disabled = true}},
}};
// clang-format on

const FormDef kWindow{
    .name = "RsExp",
    .title = "RuneScape Experience Calculator",
    .flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint,
    .clientWidth = 7095,
    .clientHeight = 2865,
    .controls = kControls,
};

} // namespace

ExperienceWindow::ExperienceWindow(MessageBoxes& boxes)
    : Form()
    , boxes_(boxes) {
    BuildForm(*this, kWindow);
    expKill_ = RequireChild<QLineEdit>(*this, "ExpKill");
    currExp_ = RequireChild<QLineEdit>(*this, "CurrExp");
    desiredExp_ = RequireChild<QLineEdit>(*this, "DesiredExp");
    expNeeded_ = RequireChild<QLineEdit>(*this, "ExpNeeded");
    killsNeeded_ = RequireChild<QLineEdit>(*this, "KillsNeeded");

    connect(RequireChild<QPushButton>(*this, "CalcXp"), &QPushButton::clicked, this,
            &ExperienceWindow::CalcXp_Click);
}

void ExperienceWindow::CalcXp_Click() {
    const std::string desired = desiredExp_->text().toStdString();
    const std::string current = currExp_->text().toStdString();
    const std::string perKill = expKill_->text().toStdString();
    const std::optional<ExperienceOutputs> outputs = CalculateExperience({perKill, current, desired});
    if (!outputs) {
        boxes_.Show(this, QStringLiteral("Error"),
                    QStringLiteral("You must specify all fields, and ExpPerKill cannot be zero."),
                    MessageIcon::Information);
        return;
    }
    expNeeded_->setText(QString::fromStdString(outputs->expNeeded));
    killsNeeded_->setText(QString::fromStdString(outputs->killsNeeded));
}

} // namespace tallix
