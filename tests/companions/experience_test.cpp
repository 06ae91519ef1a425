#include "windows/companions/experience.h"

#include <QTest>

#include <string>

using tallix::CalculateExperience;

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

    // Plain goals
    QTest::newRow("whole kills") << "25"
                                 << "250"
                                 << "750" << true << "500 exp to 750."
                                 << "20 kills left.";
    QTest::newRow("kills not rounded") << "35"
                                       << "250"
                                       << "750" << true << "500 exp to 750."
                                       << "14.2857142857143 kills left.";
    QTest::newRow("from zero") << "10"
                               << "0"
                               << "83" << true << "83 exp to 83."
                               << "8.3 kills left.";
    QTest::newRow("goal below current") << "25"
                                        << "750"
                                        << "250" << true << "-500 exp to 250."
                                        << "-20 kills left.";
    QTest::newRow("desired as typed") << "25"
                                      << "250"
                                      << "0750" << true << "500 exp to 0750."
                                      << "20 kills left.";
    QTest::newRow("fractions") << "2.5"
                               << "0.5"
                               << "10.25" << true << "9.75 exp to 10.25."
                               << "3.9 kills left.";
    QTest::newRow("goal reached") << "25"
                                  << "750"
                                  << "750" << true << "0 exp to 750."
                                  << "0 kills left.";
    QTest::newRow("negative per kill") << "-25"
                                       << "250"
                                       << "750" << true << "500 exp to 750."
                                       << "-20 kills left.";

    // Exponent form, in and out
    QTest::newRow("exponent inputs") << "1E+05"
                                     << "0"
                                     << "1E+20" << true << "1E+20 exp to 1E+20."
                                     << "1E+15 kills left.";
    QTest::newRow("small kills") << "1E+10"
                                 << "0"
                                 << "1" << true << "1 exp to 1."
                                 << "1E-10 kills left.";
    // Kills come from the needed experience as shown (15 digits), not from the exact difference.
    QTest::newRow("kills from shown needed")
        << "3"
        << "0"
        << "1234567890123456" << true << "1.23456789012346E+15 exp to 1234567890123456."
        << "411522630041153 kills left.";

    // Refused on exact texts
    QTest::newRow("per kill empty") << ""
                                    << "250"
                                    << "750" << false << ""
                                    << "";
    QTest::newRow("current empty") << "25"
                                   << ""
                                   << "750" << false << ""
                                   << "";
    QTest::newRow("desired empty") << "25"
                                   << "250"
                                   << "" << false << ""
                                   << "";
    QTest::newRow("per kill zero") << "0"
                                   << "250"
                                   << "750" << false << ""
                                   << "";
    QTest::newRow("all empty") << ""
                               << ""
                               << "" << false << ""
                               << "";
    QTest::newRow("zero and empty") << "0"
                                    << ""
                                    << "" << false << ""
                                    << "";

    // Zero in value but not the text "0": the division fails
    QTest::newRow("per kill 0.0") << "0.0"
                                  << "250"
                                  << "750" << true << "500 exp to 750."
                                  << "Error";
    QTest::newRow("per kill 00") << "00"
                                 << "250"
                                 << "750" << true << "500 exp to 750."
                                 << "Error";
    QTest::newRow("per kill -0") << "-0"
                                 << "250"
                                 << "750" << true << "500 exp to 750."
                                 << "Error";
    QTest::newRow("nothing over 0.0") << "0.0"
                                      << "750"
                                      << "750" << true << "0 exp to 750."
                                      << "Error";

    // Inputs that are no number
    QTest::newRow("desired letters") << "25"
                                     << "250"
                                     << "abc" << true << "Error"
                                     << "Error";
    QTest::newRow("current letters") << "25"
                                     << "abc"
                                     << "750" << true << "Error"
                                     << "Error";
    QTest::newRow("per kill letters") << "abc"
                                      << "250"
                                      << "750" << true << "500 exp to 750."
                                      << "Error";
    QTest::newRow("current lone point") << "25"
                                        << "."
                                        << "750" << true << "Error"
                                        << "Error";
    QTest::newRow("per kill lone point") << "."
                                         << "250"
                                         << "750" << true << "500 exp to 750."
                                         << "Error";
    QTest::newRow("padded zero") << "0 "
                                 << "250"
                                 << "750" << true << "500 exp to 750."
                                 << "Error";
    QTest::newRow("lower-case exponent") << "25"
                                         << "0"
                                         << "1e5" << true << "Error"
                                         << "Error";
    QTest::newRow("desired beyond range") << "25"
                                          << "250"
                                          << "1E+400" << true << "Error"
                                          << "Error";
    QTest::newRow("per kill beyond range") << "1E+400"
                                           << "250"
                                           << "750" << true << "500 exp to 750."
                                           << "Error";

    // Results beyond the double range
    QTest::newRow("difference overflows") << "25"
                                          << "-1E+308"
                                          << "1E+308" << true << "Error"
                                          << "Error";
    QTest::newRow("shown needed beyond range")
        << "25"
        << "0"
        << "1.7976931348623157E+308" << true << "1.79769313486232E+308 exp to 1.7976931348623157E+308."
        << "Error";
    QTest::newRow("quotient overflows") << "1E-300"
                                        << "0"
                                        << "1E+300" << true << "1E+300 exp to 1E+300."
                                        << "Error";
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
