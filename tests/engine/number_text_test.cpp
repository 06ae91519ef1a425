#include "engine/number_text.h"

#include <QTest>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

using tallix::NumberToText;
using tallix::TextToNumber;

class NumberTextTest : public QObject {
    Q_OBJECT

private slots:
    void toText_data();
    void toText();
    void accepted_data();
    void accepted();
    void rejected_data();
    void rejected();
    void roundTrip();
    void ignoresTheUserLocale();
};

void NumberTextTest::toText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("half has leading zero") << 0.5 << "0.5";
    QTest::newRow("negative half") << -0.5 << "-0.5";
    QTest::newRow("no trailing zeros") << 2.5 << "2.5";
    QTest::newRow("third, 15 digits") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("root two, trailing zero dropped") << std::sqrt(2.0) << "1.4142135623731";
    QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999";
    QTest::newRow("1E+15") << 1e15 << "1E+15";
    QTest::newRow("rounds up into exponent form") << 999999999999999.9 << "1E+15";
    QTest::newRow("1E+20") << 1e20 << "1E+20";
    QTest::newRow("mantissa") << 1.5e20 << "1.5E+20";
    QTest::newRow("rounded mantissa") << 123456789012345678901.0 << "1.23456789012346E+20";
    QTest::newRow("three exponent digits") << 1e200 << "1E+200";
    QTest::newRow("smallest plain") << 0.0001 << "0.0001";
    QTest::newRow("1E-05") << 0.00001 << "1E-05";
    QTest::newRow("negative small") << -0.000012 << "-1.2E-05";
    QTest::newRow("DBL_MAX") << DBL_MAX << "1.79769313486232E+308";
    QTest::newRow("smallest normal") << DBL_MIN << "2.2250738585072E-308";
    QTest::newRow("smallest subnormal")
        << std::numeric_limits<double>::denorm_min() << "4.94065645841247E-324";
    QTest::newRow("infinity has no text") << std::numeric_limits<double>::infinity() << "Error";
    QTest::newRow("NaN has no text") << std::numeric_limits<double>::quiet_NaN() << "Error";
}

void NumberTextTest::toText() {
    QFETCH(double, value);
    QTEST(QString::fromStdString(NumberToText(value)), "text");
}

void NumberTextTest::accepted_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("trailing point") << "12." << 12.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("leading zero") << "03" << 3.0;
    QTest::newRow("negative zero") << "-0" << 0.0;
    QTest::newRow("exponent") << "1.5E+20" << 1.5e20;
    QTest::newRow("digits typed after exponent") << "1E+153" << 1e153;
    QTest::newRow("negative exponent") << "1E-05" << 1e-5;
    QTest::newRow("plain boundary") << "999999999999999" << 999999999999999.0;
    QTest::newRow("1E+15") << "1E+15" << 1e15;
    QTest::newRow("0.0001") << "0.0001" << 0.0001;
    QTest::newRow("28 digits") << "7777777777777777777777777777" << 7777777777777777777777777777.0;
    QTest::newRow("largest double") << "1.7976931348623157E+308" << DBL_MAX;
    QTest::newRow("smallest subnormal")
        << "4.94065645841247E-324" << std::numeric_limits<double>::denorm_min();
    QTest::newRow("below subnormal reads zero") << "1E-400" << 0.0;
    QTest::newRow("zeros with big exponent") << "0.000E+999" << 0.0;
}

void NumberTextTest::accepted() {
    QFETCH(QString, text);
    QFETCH(double, value);
    const auto read = TextToNumber(text.toStdString());
    QVERIFY(read.has_value());
    QCOMPARE(*read, value);
}

void NumberTextTest::rejected_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << "";
    QTest::newRow("point") << ".";
    QTest::newRow("minus") << "-";
    QTest::newRow("Error") << "Error";
    QTest::newRow("Error with digits") << "Error57";
    QTest::newRow("two points") << "1.2.";
    QTest::newRow("point after exponent") << "1E-05.";
    QTest::newRow("inf") << "inf";
    QTest::newRow("nan") << "nan";
    QTest::newRow("lower-case exponent") << "1e5";
    QTest::newRow("exponent without sign") << "1E05";
    QTest::newRow("one exponent digit") << "1E+5";
    QTest::newRow("exponent alone") << "E+05";
    QTest::newRow("plus sign") << "+5";
    QTest::newRow("leading blank") << " 5";
    QTest::newRow("comma separator") << "1,5";
    QTest::newRow("beyond range") << "1E+400";
    QTest::newRow("DBL_MAX as written") << "1.79769313486232E+308";
    QTest::newRow("digits typed after big exponent") << "1E+3009";
}

void NumberTextTest::rejected() {
    QFETCH(QString, text);
    QVERIFY(!TextToNumber(text.toStdString()).has_value());
}

// Any finite double written and read back gives the same text, and a number within 15 digits.
void NumberTextTest::roundTrip() {
    std::mt19937_64 random(12345);
    int checked = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        const std::string text = NumberToText(value);
        const auto read = TextToNumber(text);
        if (std::fabs(value) > 1.797693134862315e308) {
            QVERIFY2(!read, text.c_str()); // rounds up past the largest double
            continue;
        }
        QVERIFY2(read.has_value(), text.c_str());
        QCOMPARE(NumberToText(*read), text);
        if (value != 0 && std::fabs(value) >= DBL_MIN)
            QVERIFY2(std::fabs(*read - value) <= 6e-15 * std::fabs(value), text.c_str());
        ++checked;
    }
    QVERIFY(checked > 190000);
}

// The display always uses ".", whatever the user's locale writes.
void NumberTextTest::ignoresTheUserLocale() {
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            chosen = name;
            break;
        }
    }
    if (!chosen)
        QSKIP("no locale with a decimal comma is installed (the test command generates de_DE.UTF-8)");
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    QCOMPARE(QByteArray(probe), QByteArray("2,5")); // the locale really is in force

    QCOMPARE(QString::fromStdString(NumberToText(2.5)), QStringLiteral("2.5"));
    QCOMPARE(QString::fromStdString(NumberToText(1.5e-7)), QStringLiteral("1.5E-07"));
    QCOMPARE(TextToNumber("2.5"), std::optional<double>(2.5));
    QVERIFY(!TextToNumber("2,5").has_value());
    std::setlocale(LC_NUMERIC, "C");
}

QTEST_GUILESS_MAIN(NumberTextTest)
#include "number_text_test.moc"
