#include "engine/experience.h"
#include "tests/support/table_file.h"

#include <QTest>

class ExperienceTest : public QObject {
    Q_OBJECT

private slots:
    // The experience calculator: its two outputs, or "refused" for inputs turned down with a message box.
    void experience_data() {
        AddTableRows(TABLES "experience.txt", {"perKill", "current", "desired", "exp", "kills"});
    }
    void experience() {
        QFETCH(QString, perKill);
        QFETCH(QString, current);
        QFETCH(QString, desired);
        const auto outputs = tallix::CalculateExperience(
            {perKill.toStdString(), current.toStdString(), desired.toStdString()});
        QTEST(outputs ? QString::fromStdString(outputs->expNeeded) : "refused", "exp");
        QTEST(outputs ? QString::fromStdString(outputs->killsNeeded) : "refused", "kills");
    }
};

QTEST_GUILESS_MAIN(ExperienceTest)
#include "experience_test.moc"
