#pragma once

#include "windows/forms/form.h"

#include <string>

class QLineEdit;

namespace tallix {

class MessageBoxes;

// The RuneScape experience calculator: experience and kills still needed to reach a goal.
class RsExp : public Form {
    Q_OBJECT

public:
    explicit RsExp(MessageBoxes& boxes);

private:
    void CalcXp_Click();

    MessageBoxes& boxes_;
    QLineEdit* expKill_;
    QLineEdit* currExp_;
    QLineEdit* desiredExp_;
    QLineEdit* expNeeded_;
    QLineEdit* killsNeeded_;
    // The inputs of the last accepted calculation.
    std::string desiredText_;
    std::string currentText_;
    std::string perKillText_;
};

} // namespace tallix
