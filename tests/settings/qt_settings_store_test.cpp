#include "settings/qt_settings_store.h"
#include "tests/support/test_main.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <sstream>
#include <string>

#include <unistd.h>

using tallix::QtSettingsStore;

namespace {

constexpr std::string_view kApp = "Tallix.exe";
constexpr std::string_view kSection = "Default Settings";

struct Key {
    const char* name;
    const char* fallback;
};
constexpr Key kKeys[] = {{"MemoryValue", "0"}, {"FrstMmery", "Yes"}, {"RedBttns", "1"}, {"Value", "1"},
                         {"ShowPopup", "1"},   {"Top", "1000"},      {"Left", "1000"}};

QString ConfigHome() {
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}
QString StoreFile() {
    return ConfigHome() + QStringLiteral("/Tallix.exe.conf");
}

QString Get(QtSettingsStore& store, const char* key, const char* fallback = "<default>") {
    return QString::fromStdString(store.GetSetting(kApp, kSection, key, fallback));
}
void Save(QtSettingsStore& store, const char* key, const QString& value) {
    const QByteArray text = value.toUtf8();
    store.SaveSetting(kApp, kSection, key, std::string_view(text.constData(), std::size_t(text.size())));
}

// What Qt itself reads, as any other QSettings user of the file would.
QVariant QtRead(const char* key) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tallix.exe"));
    settings.beginGroup(QStringLiteral("Default Settings"));
    return settings.value(QLatin1String(key));
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

} // namespace

class QtSettingsStoreTest : public QObject {
    Q_OBJECT

    // An outside edit of the store file. Qt notices a changed file by its size and time, so each edit
    // gets a time of its own.
    void editFile(const QByteArray& content) {
        QFile file(StoreFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(++edits_),
                                 QFileDevice::FileModificationTime));
    }

    // Puts the config folder back as an empty, writable folder.
    static void resetConfigHome() {
        const QString home = ConfigHome();
        if (QFileInfo(home).isFile()) QFile::remove(home);
        QDir().mkpath(home);
        QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(StoreFile(), QFile::ReadOwner | QFile::WriteOwner);
        QDir(StoreFile()).removeRecursively();
        QFile::remove(StoreFile());
    }

    int edits_ = 0;

private slots:
    void init() { resetConfigHome(); }
    void cleanupTestCase() { resetConfigHome(); }

    void absentKeysGiveDefaults() {
        QtSettingsStore store;
        for (const Key& key : kKeys)
            QCOMPARE(Get(store, key.name, key.fallback), key.fallback);
        QVERIFY(!QFileInfo::exists(StoreFile())); // reading creates nothing
    }

    // Every text the program could write comes back exactly, to this process and to another copy.
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("number") << "12";
        QTest::newRow("negative fraction") << "-2.5";
        QTest::newRow("exponent") << "1E+20";
        QTest::newRow("zero as decimal") << "0.0";
        QTest::newRow("empty") << "";
        QTest::newRow("comma") << "a,b";
        QTest::newRow("comma and blank") << "a, b";
        QTest::newRow("semicolon") << "1;2";
        QTest::newRow("equals") << "a=b";
        QTest::newRow("double quote") << "x\"y";
        QTest::newRow("quoted") << "\"5\"";
        QTest::newRow("leading blank") << " lead";
        QTest::newRow("trailing blank") << "trail ";
        QTest::newRow("at sign") << "@foo";
        QTest::newRow("Qt's invalid marker") << "@Invalid()";
        QTest::newRow("backslash") << "back\\slash";
        QTest::newRow("hash") << "#hash";
        QTest::newRow("brackets") << "[br]";
        QTest::newRow("tab") << "tab\there";
        QTest::newRow("line break") << "line\nbreak";
        QTest::newRow("control then hex letter") << QStringLiteral("\x01") + "a";
        QTest::newRow("nul then digit") << QString(QChar(0)) + "1";
        QTest::newRow("not ASCII") << QStringLiteral("\u00E9\u20AC");
        QTest::newRow("outside the BMP") << QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("10000 characters") << QString(10000, u'9');
    }
    void roundTrip() {
        QFETCH(QString, text);
        std::ostringstream errors;
        QtSettingsStore writer(errors);
        Save(writer, "MemoryValue", text);
        QCOMPARE(errors.str(), std::string());
        QtSettingsStore reader;
        QCOMPARE(Get(reader, "MemoryValue"), text);
        QCOMPARE(QtRead("MemoryValue"), QVariant(text));
    }

    void fileLayout() {
        QtSettingsStore store;
        Save(store, "Top", "1000");
        Save(store, "MemoryValue", "a,b");
        QCOMPARE(QDir(ConfigHome()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{"Tallix.exe.conf"});
        QFile file(StoreFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.value(0), "[Default%20Settings]");
        QVERIFY(lines.contains("Top=1000"));
        QVERIFY(lines.contains("MemoryValue=\"a,b\""));
    }

    // Values edited by hand read back as written, even where Qt's own reading differs. A save of
    // another key keeps them, and leaves them so that Qt reads them the same way too.
    void handEditedValues_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        const QByteArray section = "[Default%20Settings]\n";
        const auto fileRow = [](const char* name, const QByteArray& file, const QString& expected) {
            QTest::newRow(name) << file << expected;
        };
        const auto row = [&](const char* name, const QByteArray& line, const QString& expected) {
            fileRow(name, section + "MemoryValue=" + line + "\n", expected);
        };
        row("plain", "12", "12");
        row("comma", "a,b", "a,b");                        // Qt: the list {a, b}
        row("comma and blank", "a, b", "a, b");            // Qt: the list {a, b}
        row("decimal comma", "1,5", "1,5");                // Qt: the list {1, 5}
        row("comma alone", ",", ",");                      // Qt: the list {"", ""}
        row("trailing comma", "a,", "a,");                 // Qt: the list {a, ""}
        row("semicolon", "1;2", "1;2");                    // Qt: "1", the rest a comment
        row("semicolon first", ";x", ";x");                // Qt: ""
        row("semicolon after blank", "1 ;x", "1 ;x");      // Qt: "1"
        row("quoted as Qt writes", "\"a,b\"", "a,b");      // Qt's own quoting
        row("quoted semicolon", "\"1;2\"", "1;2");         // Qt's own quoting
        row("escaped quote", "x\\\"y", "x\"y");            // Qt's own escape
        row("doubled at sign", "@@x", "@x");               // Qt's own escape
        row("needless quotes", "\"5\"", "\"5\"");          // Qt: 5
        row("inner quotes", "x\"y\"z", "x\"y\"z");         // Qt: xyz
        row("unclosed quote", "a\"b", "a\"b");             // Qt: runs on to the end of the file
        row("invalid marker", "@Invalid()", "@Invalid()"); // Qt: no value at all
        row("byte array marker", "@ByteArray(12)", "@ByteArray(12)");
        row("hex escape", "1\\x41", "1\\x41"); // Qt: 1A
        row("equals first", "=5", "=5");
        row("blanks around", "  padded  ", "padded");
        row("empty", "", "");
        row("not ASCII", "\xC3\xA9\xE2\x82\xAC", QStringLiteral("\u00E9\u20AC"));
        row("10000 digits", QByteArray(10000, '7'), QString(10000, u'7'));
        row("carriage return", "12\r", "12");
        fileRow("blanks around the key", section + "  MemoryValue = 12\n", "12");
        fileRow("section named with a blank", "[Default Settings]\nMemoryValue=12\n", "12");
        fileRow("later line wins", section + "MemoryValue=1\nMemoryValue=2\n", "2");
        fileRow("comment line", section + ";MemoryValue=1\nMemoryValue=2\n", "2");
        fileRow("other section", "[Other]\nMemoryValue=1\n", "<default>");
        fileRow("after an unclosed quote", section + "FrstMmery=a\"b\nMemoryValue=12\n", "12");
        fileRow("malformed line skipped", section + "not a setting\nMemoryValue=12\n", "12");
        fileRow("byte order mark", "\xEF\xBB\xBF" + section + "MemoryValue=12\n", "12");
    }
    void handEditedValues() {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        editFile(file);
        std::ostringstream errors;
        QtSettingsStore store(errors);
        QCOMPARE(Get(store, "MemoryValue"), expected);

        Save(store, "Top", "500");
        QCOMPARE(errors.str(), std::string());
        QCOMPARE(Get(store, "Top"), "500");
        QCOMPARE(Get(store, "MemoryValue"), expected);
        if (expected != "<default>") QCOMPARE(QtRead("MemoryValue"), QVariant(expected));
    }

    // A hand edit that Qt would lose on its next save survives saves of the same key's neighbours, and
    // a save of the key itself replaces it.
    void handEditReplacedBySave() {
        editFile("[Default%20Settings]\nMemoryValue=1;2\nFrstMmery=a,b\n");
        QtSettingsStore store;
        Save(store, "MemoryValue", "7");
        QCOMPARE(Get(store, "MemoryValue"), "7");
        QCOMPARE(Get(store, "FrstMmery"), "a,b");
    }

    // A store that can't be read gives every default.
    void unreadableStore_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("folder in place of the file") << "folder";
        QTest::newRow("binary garbage") << "garbage";
        QTest::newRow("file not readable") << "unreadable";
    }
    void unreadableStore() {
        QFETCH(QString, damage);
        if (damage == "folder") {
            QVERIFY(QDir().mkpath(StoreFile()));
        } else if (damage == "garbage") {
            QByteArray bytes;
            for (int i = 0; i < 4096; ++i)
                bytes += char((i * 37) % 256);
            editFile(bytes);
        } else {
            if (RunningAsRoot()) QSKIP("root reads files whatever their mode");
            editFile("[Default%20Settings]\nTop=5\n");
            QVERIFY(QFile::setPermissions(StoreFile(), QFile::WriteOwner));
        }
        QtSettingsStore store;
        for (const Key& key : kKeys)
            QCOMPARE(Get(store, key.name, key.fallback), key.fallback);
    }

    // A write that can't be saved: one line on the error stream per failed write, the value kept for
    // the rest of the run by this store, nothing saved for anyone else.
    void failedWrite_data() {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("storedBefore"); // what another copy reads for Top all along
        const auto row = [](const char* name, const char* obstacle, const char* storedBefore) {
            QTest::newRow(name) << obstacle << storedBefore;
        };
        row("config folder is a file", "file as folder", "<default>");
        row("folder in place of the file", "folder", "<default>");
        row("folder read-only", "read-only folder", "5");
        row("file read-only", "read-only file", "5");
    }
    void failedWrite() {
        QFETCH(QString, obstacle);
        QFETCH(QString, storedBefore);
        if (obstacle.startsWith("read-only") && RunningAsRoot()) QSKIP("root writes whatever the modes");
        if (storedBefore != "<default>")
            editFile("[Default%20Settings]\nTop=" + storedBefore.toUtf8() + "\n");
        if (obstacle == "file as folder") {
            QVERIFY(QDir(ConfigHome()).removeRecursively());
            QFile file(ConfigHome());
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (obstacle == "folder") {
            QVERIFY(QDir().mkpath(StoreFile()));
        } else if (obstacle == "read-only folder") {
            QVERIFY(QFile::setPermissions(ConfigHome(), QFile::ReadOwner | QFile::ExeOwner));
        } else {
            QVERIFY(QFile::setPermissions(StoreFile(), QFile::ReadOwner));
        }

        std::ostringstream errors;
        QtSettingsStore store(errors);
        const std::string line = "tallix: could not save setting Top to " + StoreFile().toStdString() + "\n";
        Save(store, "Top", "123");
        QCOMPARE(errors.str(), line);
        QCOMPARE(Get(store, "Top"), "123");
        Save(store, "Top", "124");
        QCOMPARE(errors.str(), line + line);
        QCOMPARE(Get(store, "Top"), "124");
        QCOMPARE(Get(store, "Left"), "<default>");
        QtSettingsStore other;
        QCOMPARE(Get(other, "Top"), storedBefore);

        // Once the store can be written again, the next save goes through and is what everyone reads;
        // the failed ones are not left pending in Qt's cache, to be written by some later sync.
        resetConfigHome();
        QCOMPARE(QtRead("Top"), QVariant());
        Save(store, "Top", "7");
        QCOMPARE(errors.str(), line + line);
        QCOMPARE(Get(store, "Top"), "7");
        QCOMPARE(Get(other, "Top"), "7");
    }

    // Two running copies share the store: each read sees the last write, whoever made it.
    void lastWriterWins() {
        QtSettingsStore first;
        QtSettingsStore second;
        Save(first, "Top", "1");
        QCOMPARE(Get(second, "Top"), "1");
        Save(second, "Top", "2");
        QCOMPARE(Get(first, "Top"), "2");
        Save(first, "Left", "3");
        QCOMPARE(Get(second, "Top"), "2");
        QCOMPARE(Get(second, "Left"), "3");
    }
};

TALLIX_TEST_MAIN(QtSettingsStoreTest)
#include "qt_settings_store_test.moc"
