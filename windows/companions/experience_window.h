#pragma once

#include "windows/forms/form.h"

class QLineEdit;

namespace tallix {

class MessageBoxes;

// The RuneScape experience calculator: experience and kills still needed to reach a goal.
class ExperienceWindow : public Form {
    Q_OBJECT

public:
    explicit ExperienceWindow(MessageBoxes& boxes);

private:
    void CalcXp_Click();

    MessageBoxes& boxes_;
    QLineEdit* expKill_;
    QLineEdit* currExp_;
    QLineEdit* desiredExp_;
    QLineEdit* expNeeded_;
    QLineEdit* killsNeeded_;
};

} // namespace tallix
