#include "engine/calculator.h"
#include "engine/power.h"
#include "tests/engine/recording_boxes.h"

#include <QTest>

#include <bit>
#include <cmath>

// Expected values are the exact powers rounded to the nearest double (ties to even), worked out with
// exact rationals or with 400 decimal digits.
class PowerTest : public QObject {
    Q_OBJECT

private slots:
    void correctlyRounded_data();
    void correctlyRounded();
    void sameTextsEverywhere_data();
    void sameTextsEverywhere();
};

namespace {
QString bits(double v) {
    return std::isnan(v) ? QStringLiteral("nan") : QString::number(std::bit_cast<quint64>(v), 16);
}
} // namespace

void PowerTest::correctlyRounded_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("expected");
    const auto row = [](const char* name, double x, double y, double expected) {
        QTest::newRow(name) << x << y << expected;
    };
    row("ten to -150", 10, -150, 0x1.a2fe76a3f9475p-499);
    row("ten to -300", 10, -300, 0x1.56e1fc2f8f359p-997);
    row("ten to 22, exact", 10, 22, 1e22);
    row("ten to 23, halfway, glibc one up", 10, 23, 0x1.52d02c7e14af6p+76);
    row("negative base, odd", -3, 5, -243);
    row("negative base, even", -10, -150, 0x1.a2fe76a3f9475p-499);
    row("negative base, negative odd, underflow", -2, -1075, -0.0);
    row("negative base, fraction", -8, 1.0 / 3, NAN);
    row("root", 2, 0.5, 0x1.6a09e667f3bcdp+0);
    row("fraction of a fraction", 0.1, 0.3, 0x1.009b9cf334253p-1);
    row("negative fraction", 7, -2.5, 0x1.f98412d43e086p-8);
    row("halfway, integer power", 0x1.ffffffc000000p+26, 2, 0x1.ffffff8000000p+53);
    row("halfway, power one and a half", 0x1.ffff000020000p+35, 1.5, 0x1.fffe800060000p+53);
    row("huge", 1.5, 1750, 0x1.9b64d0768f358p+1023);
    row("largest", 0x1.fffffffffffffp+1023, 1, 0x1.fffffffffffffp+1023);
    row("overflow", 10, 309, HUGE_VAL);
    row("negative overflow", -10, 309, -HUGE_VAL);
    row("tiny", 3, -600, 0x1.0406143142763p-951);
    row("subnormal", 10, -310, 0x0.012688b70e62bp-1022);
    row("smallest subnormal", 2, -1074, 0x1p-1074);
    row("half the smallest subnormal", 0x1p-43, 25, 0);
    row("half the smallest subnormal, fraction", 0.25, 537.5, 0);
    row("underflow", 3, -1000, 0);
    row("near one, huge power, glibc one down", 0x1.ffffe769071eap-1, -0x1.bd2d6f1faafebp+25,
        0x1.9d490242a4d58p+61);
    row("glibc one up, integer", 0x1.0027eba7f360bp+0, -119, 0x1.dc35c983c3294p-1);
    row("glibc one up, fraction", 0x1.d3379a359e376p+170, -0x1.6130445e39848p+1, 0x1.70c30532a5ae7p-472);
    row("glibc one down, large", 0x1.5794cec83c4dcp-2, -0x1.1d2f5aa6242dfp+9, 0x1.87acd4bc6a992p+898);
}

void PowerTest::correctlyRounded() {
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, expected);
    QCOMPARE(bits(tallix::Pow(x, y)), bits(expected));
}

// Keys whose results a less exact pow shows differently in the fifteenth digit.
void PowerTest::sameTextsEverywhere_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("screen");
    QTest::newRow("ten to -150") << "10 ^ 150 neg ="
                                 << "1E-150";
    QTest::newRow("divided below the normal range") << "10 ^ 300 neg = / 10000000000 ="
                                                    << "9.99999999999997E-311";
    QTest::newRow("square") << "10 ^ 150 neg = sq"
                            << "1E-300";
}

void PowerTest::sameTextsEverywhere() {
    QFETCH(QString, keys);
    RecordingBoxes boxes;
    tallix::Calculator calc{boxes};
    calc.Load();
    QVERIFY(PressKeys(calc, keys.toStdString()));
    QTEST(QString::fromStdString(boxes.screen), "screen");
}

QTEST_GUILESS_MAIN(PowerTest)
#include "power_test.moc"
