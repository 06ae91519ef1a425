#include "tests/support/table_file.h"
#include "windows/companions/experience.h"

class ExperienceTest : public QObject {
    Q_OBJECT

private slots:
    void calculate_data() {
        AddTableRows(EXPERIENCE_TABLE, {"perKill", "current", "desired", "exp", "kills"});
    }
    void calculate() {
        QFETCH(QString, perKill);
        QFETCH(QString, current);
        QFETCH(QString, desired);
        const auto outputs = tallix::CalculateExperience(
            {perKill.toStdString(), current.toStdString(), desired.toStdString()});
        QTEST(outputs ? QString::fromStdString(outputs->expNeeded) : "refused", "exp");
        QTEST(outputs ? QString::fromStdString(outputs->killsNeeded) : "refused", "kills");
    }
};

QTEST_APPLESS_MAIN(ExperienceTest)
#include "experience_test.moc"
