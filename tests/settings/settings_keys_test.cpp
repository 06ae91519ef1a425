#include "engine/number_text.h"
#include "settings/settings.h"
#include "tests/support/memory_store.h"

#include <QTest>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

using tallix::Setting;

Q_DECLARE_METATYPE(tallix::Setting)

namespace {

const QString kNothing = QStringLiteral("<nothing stored>");

// A store holding `stored` under the setting's key, or nothing at all.
MemoryStore StoreWith(Setting setting, const QString& stored) {
    MemoryStore store;
    if (stored != kNothing) store.Seed(tallix::InfoOf(setting).key, stored.toStdString());
    return store;
}

} // namespace

class SettingsKeysTest : public QObject {
    Q_OBJECT

private slots:
    // The persisted names and defaults: every read and write goes to Tallix.exe / Default Settings.
    void keyAddressAndDefault_data() {
        QTest::addColumn<Setting>("setting");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("fallback");
        QTest::newRow("MemoryValue") << Setting::MemoryValue << "MemoryValue"
                                     << "0";
        QTest::newRow("FrstMmery") << Setting::FrstMmery << "FrstMmery"
                                   << "Yes";
        QTest::newRow("RedBttns") << Setting::RedBttns << "RedBttns"
                                  << "1";
        QTest::newRow("Value") << Setting::Value << "Value"
                               << "1";
        QTest::newRow("ShowPopup") << Setting::ShowPopup << "ShowPopup"
                                   << "1";
        QTest::newRow("Top") << Setting::Top << "Top"
                             << "1000";
        QTest::newRow("Left") << Setting::Left << "Left"
                              << "1000";
    }
    void keyAddressAndDefault() {
        QFETCH(Setting, setting);
        QFETCH(QString, key);
        QFETCH(QString, fallback);
        MemoryStore store;
        QCOMPARE(QString::fromStdString(tallix::ReadText(store, setting)), fallback);
        tallix::WriteText(store, setting, "written");
        QCOMPARE(store.Stored("Tallix.exe", "Default Settings", key.toStdString()), "written");
        QCOMPARE(QString::fromStdString(tallix::ReadText(store, setting)), "written");
    }

    // A stored text is returned as it is, even one no reader converts.
    void readTextVerbatim_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty") << "";
        QTest::newRow("zero as decimal") << "0.0";
        QTest::newRow("blanks kept") << " 7 ";
        QTest::newRow("comma") << "1,5";
        QTest::newRow("semicolon") << "1;2";
        QTest::newRow("not ASCII") << "\u00E9\u20AC";
    }
    void readTextVerbatim() {
        QFETCH(QString, stored);
        MemoryStore store = StoreWith(Setting::MemoryValue, stored);
        QCOMPARE(QString::fromStdString(tallix::ReadText(store, Setting::MemoryValue)), stored);
    }

    // Each typed reader on a stored text; a text that doesn't convert reads as the key's default.
    // The stored texts are chosen so that the default (1, 1, 1, 1000) can't pass by accident.
    void typedReaders_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<Setting>("setting");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("expected");
        const auto row = [](const char* name, const char* reader, Setting setting, const QString& stored,
                            double expected) {
            QTest::newRow(name) << reader << setting << stored << expected;
        };
        const QString longNumber = QString(9999, u'0') + u'7';
        const QString longText = QString(10000, u'x');

        // byte (RedBttns): integral values 0..255 in the display's number format
        row("byte nothing stored", "byte", Setting::RedBttns, kNothing, 1);
        row("byte 0", "byte", Setting::RedBttns, "0", 0);
        row("byte 255", "byte", Setting::RedBttns, "255", 255);
        row("byte 256", "byte", Setting::RedBttns, "256", 1);
        row("byte -1", "byte", Setting::RedBttns, "-1", 1);
        row("byte -0", "byte", Setting::RedBttns, "-0", 0);
        row("byte 0.0 is whole", "byte", Setting::RedBttns, "0.0", 0);
        row("byte 2. is whole", "byte", Setting::RedBttns, "2.", 2);
        row("byte exponent form", "byte", Setting::RedBttns, "1E+02", 100);
        row("byte 1.5", "byte", Setting::RedBttns, "1.5", 1);
        row("byte 0.5", "byte", Setting::RedBttns, "0.5", 1);
        row("byte empty", "byte", Setting::RedBttns, "", 1);
        row("byte letters", "byte", Setting::RedBttns, "abc", 1);
        row("byte leading blank", "byte", Setting::RedBttns, " 0", 1);
        row("byte trailing blank", "byte", Setting::RedBttns, "0 ", 1);
        row("byte plus sign", "byte", Setting::RedBttns, "+0", 1);
        row("byte small e", "byte", Setting::RedBttns, "0e0", 1);
        row("byte hexadecimal", "byte", Setting::RedBttns, "0x0", 1);
        row("byte comma", "byte", Setting::RedBttns, ",", 1);
        row("byte decimal comma", "byte", Setting::RedBttns, "0,0", 1);
        row("byte semicolon", "byte", Setting::RedBttns, "0;2", 1);
        row("byte Error", "byte", Setting::RedBttns, "Error", 1);
        row("byte 10000 digits of 7", "byte", Setting::RedBttns, longNumber, 7);
        row("byte 10000 letters", "byte", Setting::RedBttns, longText, 1);
        row("byte beyond double", "byte", Setting::RedBttns, "1E+400", 1);
        row("byte below double", "byte", Setting::RedBttns, "1E-400", 0);

        // check state (ShowPopup): integral values 0..2
        row("check nothing stored", "check", Setting::ShowPopup, kNothing, 1);
        row("check 0", "check", Setting::ShowPopup, "0", 0);
        row("check 2 greyed", "check", Setting::ShowPopup, "2", 2);
        row("check 2.0", "check", Setting::ShowPopup, "2.0", 2);
        row("check 3", "check", Setting::ShowPopup, "3", 1);
        row("check -1", "check", Setting::ShowPopup, "-1", 1);
        row("check 65536", "check", Setting::ShowPopup, "65536", 1);
        row("check 0.5", "check", Setting::ShowPopup, "0.5", 1);
        row("check Yes", "check", Setting::ShowPopup, "Yes", 1);
        row("check empty", "check", Setting::ShowPopup, "", 1);

        // double (Value): any number text
        row("double nothing stored", "double", Setting::Value, kNothing, 1);
        row("double 0", "double", Setting::Value, "0", 0);
        row("double 0.5", "double", Setting::Value, "0.5", 0.5);
        row("double point first", "double", Setting::Value, ".5", 0.5);
        row("double negative", "double", Setting::Value, "-3", -3);
        row("double huge", "double", Setting::Value, "1E+300", 1e300);
        row("double beyond range", "double", Setting::Value, "1E+400", 1);
        row("double 10000 nines", "double", Setting::Value, QString(10000, u'9'), 1);
        row("double decimal comma", "double", Setting::Value, "0,5", 1);
        row("double semicolon", "double", Setting::Value, "0;5", 1);
        row("double point alone", "double", Setting::Value, ".", 1);
        row("double two points", "double", Setting::Value, "0.5.", 1);
        row("double letters", "double", Setting::Value, "abc", 1);
        row("double empty", "double", Setting::Value, "", 1);

        // single (Top): numbers within the float range, parsed as floats
        row("single nothing stored", "single", Setting::Top, kNothing, 1000);
        row("single negative half", "single", Setting::Top, "-66.5", -66.5);
        row("single tenth as float", "single", Setting::Top, "0.1", double(0.1f));
        row("single largest float", "single", Setting::Top, "3.4028235E+38", double(FLT_MAX));
        row("single beyond float", "single", Setting::Top, "3.5E+38", 1000);
        row("single beyond double", "single", Setting::Top, "1E+400", 1000);
        row("single below float", "single", Setting::Top, "1E-50", 0);
        row("single double rounding", "single", Setting::Top, "7.038531E-26", double(7.038531E-26f));
        row("single twips with comma", "single", Setting::Top, "1,5", 1000);
        row("single letters", "single", Setting::Top, "abc", 1000);
        row("single empty", "single", Setting::Top, "", 1000);
        row("single 10000 letters", "single", Setting::Top, longText, 1000);
    }
    void typedReaders() {
        QFETCH(QString, reader);
        QFETCH(Setting, setting);
        QFETCH(QString, stored);
        QFETCH(double, expected);
        MemoryStore store = StoreWith(setting, stored);
        double read = 0;
        if (reader == "byte") read = tallix::ReadByte(store, setting);
        if (reader == "check") read = tallix::ReadCheckState(store, setting);
        if (reader == "double") read = tallix::ReadDouble(store, setting);
        if (reader == "single") read = tallix::ReadSingle(store, setting);
        QCOMPARE(read, expected);
    }

    void singleToText_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("default position") << 1000.0f << "1000";
        QTest::newRow("negative half") << -66.5f << "-66.5";
        QTest::newRow("tenth") << 0.1f << "0.1";
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("large exponent") << 1e20f << "1E+20";
        QTest::newRow("small exponent") << 1e-5f << "1E-05";
        QTest::newRow("nine digits") << 123456792.0f << "123456792";
        QTest::newRow("largest float") << FLT_MAX << "3.4028235E+38";
    }
    void singleToText() {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(tallix::SingleToText(value)), text);
    }

    // Whatever a window position is, its text is a number text that ReadSingle turns back into the very
    // same float.
    void singleTextRoundTrip() {
        std::mt19937 random(20240517);
        std::uniform_int_distribution<std::uint32_t> bits;
        for (int i = 0; i < 200000; ++i) {
            const float value = i == 0 ? 7.038531E-26f : i == 1 ? -0.0f : std::bit_cast<float>(bits(random));
            if (!std::isfinite(value)) continue;
            const std::string text = tallix::SingleToText(value);
            QVERIFY2(tallix::TextToNumber(text).has_value(), text.c_str());
            MemoryStore store;
            store.Seed("Left", text);
            const float read = tallix::ReadSingle(store, Setting::Left);
            QVERIFY2(std::bit_cast<std::uint32_t>(read) == std::bit_cast<std::uint32_t>(value), text.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(SettingsKeysTest)
#include "settings_keys_test.moc"
