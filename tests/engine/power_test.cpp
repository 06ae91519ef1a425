#include "engine/power.h"
#include "tests/engine/exact_number.h"
#include "tests/support/table_file.h"

#include <QTest>

class PowerTest : public QObject {
    Q_OBJECT

private slots:
    void correctlyRounded_data() { AddTableRows(TABLES "powers.txt", {"case", "x", "y", "power"}); }
    void correctlyRounded() {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QString, power);
        QCOMPARE(Exact(tallix::Pow(ReadNumber(x), ReadNumber(y))), Exact(power));
    }
};

QTEST_GUILESS_MAIN(PowerTest)
#include "power_test.moc"
