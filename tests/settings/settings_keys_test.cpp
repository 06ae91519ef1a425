#include "settings/memory_store.h"
#include "settings/settings.h"

#include <QTest>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

using tallix::Setting;

class SettingsKeysTest : public QObject {
    Q_OBJECT

private slots:
    // A stored text as each typed reader reads it; one that doesn't convert gives the key's default:
    // 1 for the byte (RedBttns), the check state (ShowPopup) and the double (Value), 1000 for the single
    // (Top). Whole numbers are chosen other than 1, so that a wrong fallback can't pass by accident.
    void typedReaders_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("check");
        QTest::addColumn<double>("real");
        QTest::addColumn<float>("single");
        const auto row = [](const char* name, const QString& stored, int byte, int check, double real,
                            float single) {
            QTest::newRow(name) << stored << byte << check << real << single;
        };
        row("empty", "", 1, 1, 1, 1000);
        row("letters", "abc", 1, 1, 1, 1000);
        row("decimal comma", "2,5", 1, 1, 1, 1000);
        row("leading blank", " 2", 1, 1, 1, 1000);
        row("small e", "2e0", 1, 1, 1, 1000);
        row("zero", "0", 0, 0, 0, 0);
        row("two", "2", 2, 2, 2, 2);
        row("two as decimal", "2.0", 2, 2, 2, 2);
        row("exponent form", "1E+02", 100, 1, 100, 100);
        row("largest byte", "255", 255, 1, 255, 255);
        row("beyond byte", "256", 1, 1, 256, 256);
        row("negative", "-1", 1, 1, -1, -1);
        row("fraction", "2.5", 1, 1, 2.5, 2.5);
        row("10000 characters", QString(9999, u'0') + u'7', 7, 1, 7, 7);
        row("beyond float", "3.5E+38", 1, 1, 3.5e38, 1000);
        row("beyond double", "1E+400", 1, 1, 1, 1000);
        row("below float", "1E-50", 1, 1, 1e-50, 0);
    }
    void typedReaders() {
        QFETCH(QString, stored);
        QFETCH(int, byte);
        QFETCH(int, check);
        QFETCH(double, real);
        QFETCH(float, single);
        tallix::MemoryStore store;
        for (const Setting setting : {Setting::RedBttns, Setting::ShowPopup, Setting::Value, Setting::Top})
            store.Seed(tallix::InfoOf(setting).key, stored.toStdString());
        QCOMPARE(int(tallix::ReadByte(store, Setting::RedBttns)), byte);
        QCOMPARE(int(tallix::ReadCheckState(store, Setting::ShowPopup)), check);
        QCOMPARE(tallix::ReadDouble(store, Setting::Value), real);
        QCOMPARE(tallix::ReadSingle(store, Setting::Top), single);
    }

    // A position is written as the shortest number text (exponent as "E+20") that ReadSingle turns back
    // into the very same float.
    void singleTextRoundTrip() {
        QCOMPARE(tallix::SingleToText(-66.5f), "-66.5");
        QCOMPARE(tallix::SingleToText(1e20f), "1E+20");
        QCOMPARE(tallix::SingleToText(1e-5f), "1E-05");
        std::mt19937 random(20240517);
        std::uniform_int_distribution<std::uint32_t> bits;
        const float edges[] = {7.038531E-26f, -7.038531E-26f, -0.0f, FLT_MAX, -FLT_MAX, FLT_TRUE_MIN};
        for (int i = 0; i < 200000; ++i) {
            const float value = i < int(std::size(edges)) ? edges[i] : std::bit_cast<float>(bits(random));
            if (!std::isfinite(value)) continue;
            const std::string text = tallix::SingleToText(value);
            tallix::MemoryStore store;
            store.Seed("Left", text);
            const float read = tallix::ReadSingle(store, Setting::Left);
            QVERIFY2(std::bit_cast<std::uint32_t>(read) == std::bit_cast<std::uint32_t>(value), text.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(SettingsKeysTest)
#include "settings_keys_test.moc"
