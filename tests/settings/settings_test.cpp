#include "engine/number_text.h"
#include "settings/settings.h"
#include "tests/support/fake_settings_store.h"
#include "tests/support/table_file.h"

#include <QTest>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

using tallix::Setting;

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void typedReaders_data() {
        AddTableRows(TABLES "typed_readers.txt", {"stored", "byte", "check", "real", "single"});
        const QString seven = QString(9999, u'0') + u'7'; // read as 7, however long
        QTest::newRow("10000 characters")
            << seven << QString("off") << QString("1") << QString("neither") << QString("7");
    }
    void typedReaders() {
        QFETCH(QString, stored);
        QFETCH(QString, byte);
        QFETCH(QString, check);
        QFETCH(QString, real);
        QFETCH(QString, single);
        tallix::FakeSettingsStore store;
        for (const Setting setting :
             {Setting::RedWhilePressed, Setting::ShowWelcome, Setting::SpecialPointer, Setting::Top})
            store.Seed(tallix::InfoOf(setting).key, stored.toStdString());
        const auto named = [](std::optional<bool> on) {
            return QString(on ? *on ? "on" : "off" : "neither");
        };
        QCOMPARE(named(tallix::ReadSwitch(store, Setting::RedWhilePressed)), byte);
        QCOMPARE(int(tallix::ReadCheckState(store, Setting::ShowWelcome)), check.toInt());
        QCOMPARE(named(tallix::ReadSwitch(store, Setting::SpecialPointer)), real);
        QCOMPARE(tallix::ReadSingle(store, Setting::Top), single.toFloat());
    }

    // A position is written as the shortest text (exponent "E+20") that ReadSingle reads back exactly.
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
            tallix::FakeSettingsStore store;
            store.Seed("Left", text);
            const float read = tallix::ReadSingle(store, Setting::Left);
            QVERIFY2(std::bit_cast<std::uint32_t>(read) == std::bit_cast<std::uint32_t>(value), text.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "settings_test.moc"
