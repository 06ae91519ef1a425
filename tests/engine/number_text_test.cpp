#include "engine/number_text.h"

#include <QTest>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

using tallix::NumberToText;
using tallix::TextToNumber;

namespace {
constexpr double kRefused = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kSmallest = std::numeric_limits<double>::denorm_min();
} // namespace

// Number texts both ways; the fuzz target checks every other text against the C library.
class NumberTextTest : public QObject {
    Q_OBJECT

private slots:
    void toText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        const std::pair<double, const char*> rows[] = {{-0.0, "0"},
                                                       {0.5, "0.5"},
                                                       {-0.5, "-0.5"},
                                                       {1.0 / 3.0, "0.333333333333333"},
                                                       {std::sqrt(2.0), "1.4142135623731"},
                                                       {999999999999999.0, "999999999999999"},
                                                       {999999999999999.9, "1E+15"},
                                                       {123456789012345678901.0, "1.23456789012346E+20"},
                                                       {1e200, "1E+200"},
                                                       {0.0001, "0.0001"},
                                                       {0.00001, "1E-05"},
                                                       {-0.000012, "-1.2E-05"},
                                                       {DBL_MAX, "1.79769313486232E+308"},
                                                       {kSmallest, "4.94065645841247E-324"},
                                                       {kInfinity, "Error"},
                                                       {kRefused, "Error"}};
        for (const auto& [value, text] : rows)
            QTest::newRow(text) << value << QString(text);
    }
    void toText() {
        QFETCH(double, value);
        QTEST(QString::fromStdString(NumberToText(value)), "text");
    }

    void toNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // NaN: refused
        const std::pair<const char*, double> rows[] = {
            {"12.", 12},
            {".5", 0.5},
            {"03", 3},
            {"-0", 0},
            {"1E+153", 1e153},
            {"1E-05", 1e-5},
            {"7777777777777777777777777777", 7777777777777777777777777777.0},
            {"1.7976931348623157E+308", DBL_MAX},
            {"4.94065645841247E-324", kSmallest},
            {"1E-400", 0},
            {"0.000E+999", 0},
            {"", kRefused},
            {".", kRefused},
            {"-", kRefused},
            {"Error57", kRefused},
            {"1.2.", kRefused},
            {"inf", kRefused},
            {"1e5", kRefused},
            {"1E05", kRefused},
            {"1E+5", kRefused},
            {"+5", kRefused},
            {" 5", kRefused},
            {"1,5", kRefused},
            {"1.79769313486232E+308", kRefused},
            {"1E+3009", kRefused}};
        for (const auto& [text, value] : rows)
            QTest::newRow(text) << QString(text) << value;
    }
    void toNumber() {
        QFETCH(QString, text);
        QFETCH(double, value);
        const auto read = TextToNumber(text.toStdString());
        QCOMPARE(read.has_value(), !std::isnan(value));
        if (read) QCOMPARE(*read, value);
    }

    // The display always writes ".", whatever the user's locale writes.
    void ignoresTheUserLocale() {
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
            QSKIP("no locale with a decimal comma is installed (the test command generates de_DE.UTF-8)");
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 2.5);
        QCOMPARE(QByteArray(probe), QByteArray("2,5")); // the locale really is in force
        QCOMPARE(NumberToText(1.5e-7), "1.5E-07");
        QCOMPARE(TextToNumber("2.5"), std::optional<double>(2.5));
        QVERIFY(!TextToNumber("2,5").has_value());
        std::setlocale(LC_NUMERIC, "C");
    }
};

QTEST_GUILESS_MAIN(NumberTextTest)
#include "number_text_test.moc"
