#include "windows/companions/experience.h"

#include <QTest>

#include <string>

using tallix::CalculateExperience;

namespace {

// A row without outputs expects the inputs refused.
void row(const char* name, const char* perKill, const char* current, const char* desired,
         const char* expNeeded = nullptr, const char* killsNeeded = nullptr) {
    QTest::newRow(name) << QString(perKill) << QString(current) << QString(desired) << (expNeeded != nullptr)
                        << QString(expNeeded) << QString(killsNeeded);
}

} // namespace

class ExperienceTest : public QObject {
    Q_OBJECT

private slots:
    void calculate_data();
    void calculate();
};

void ExperienceTest::calculate_data() {
    QTest::addColumn<QString>("perKill");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("desired");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("expNeeded");
    QTest::addColumn<QString>("killsNeeded");

    row("whole kills", "25", "250", "750", "500 exp to 750.", "20 kills left.");
    row("kills not rounded", "35", "250", "750", "500 exp to 750.", "14.2857142857143 kills left.");
    row("from zero", "10", "0", "83", "83 exp to 83.", "8.3 kills left.");
    row("goal below current", "25", "750", "250", "-500 exp to 250.", "-20 kills left.");
    row("desired as typed", "25", "250", "0750", "500 exp to 0750.", "20 kills left.");
    row("exponent form", "1E+05", "0", "1E+20", "1E+20 exp to 1E+20.", "1E+15 kills left.");
    row("small kills", "1E+10", "0", "1", "1 exp to 1.", "1E-10 kills left.");
    // Kills come from the needed experience as shown (15 digits), not from the exact difference.
    row("kills from shown needed", "3", "0", "1234567890123456",
        "1.23456789012346E+15 exp to 1234567890123456.", "411522630041153 kills left.");

    // Refused on exact texts only: "0.0" or "00" per kill passes, and then the division fails.
    row("per kill empty", "", "250", "750");
    row("current empty", "25", "", "750");
    row("desired empty", "25", "250", "");
    row("per kill zero", "0", "250", "750");
    row("per kill 0.0", "0.0", "250", "750", "500 exp to 750.", "Error");
    row("per kill 00", "00", "250", "750", "500 exp to 750.", "Error");
    row("nothing over 0.0", "0.0", "750", "750", "0 exp to 750.", "Error");

    // No number, or beyond the double range: "Error" where it bites, the other output still computed
    row("desired letters", "25", "250", "abc", "Error", "Error");
    row("current lone point", "25", ".", "750", "Error", "Error");
    row("per kill letters", "abc", "250", "750", "500 exp to 750.", "Error");
    row("desired beyond range", "25", "250", "1E+400", "Error", "Error");
    row("per kill beyond range", "1E+400", "250", "750", "500 exp to 750.", "Error");
    row("difference overflows", "25", "-1E+308", "1E+308", "Error", "Error");
    row("shown needed beyond range", "25", "0", "1.7976931348623157E+308",
        "1.79769313486232E+308 exp to 1.7976931348623157E+308.", "Error");
    row("quotient overflows", "1E-300", "0", "1E+300", "1E+300 exp to 1E+300.", "Error");
}

void ExperienceTest::calculate() {
    QFETCH(QString, perKill);
    QFETCH(QString, current);
    QFETCH(QString, desired);
    QFETCH(bool, accepted);
    QFETCH(QString, expNeeded);
    QFETCH(QString, killsNeeded);

    const std::string perKillText = perKill.toStdString();
    const std::string currentText = current.toStdString();
    const std::string desiredText = desired.toStdString();
    const auto outputs = CalculateExperience({perKillText, currentText, desiredText});

    QCOMPARE(outputs.has_value(), accepted);
    if (!outputs) return;
    QCOMPARE(QString::fromStdString(outputs->expNeeded), expNeeded);
    QCOMPARE(QString::fromStdString(outputs->killsNeeded), killsNeeded);
}

QTEST_APPLESS_MAIN(ExperienceTest)
#include "experience_test.moc"
