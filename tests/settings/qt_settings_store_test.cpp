#include "settings/qt_settings_store.h"
#include "settings/settings.h"
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

const QByteArray kSectionLine = "[Default%20Settings]\n";

QString StoreFile() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tallix.exe.conf");
}

// Through the program's own application name and section, so that the file above is theirs.
QString Get(QtSettingsStore& store, const char* key) {
    return QString::fromStdString(store.GetSetting(tallix::kAppName, tallix::kSection, key, "<default>"));
}
void Save(QtSettingsStore& store, const char* key, const QString& value) {
    store.SaveSetting(tallix::kAppName, tallix::kSection, key, value.toStdString());
}

// What Qt itself reads, as any other QSettings user of the file would.
QVariant QtRead(const char* key) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tallix.exe"));
    settings.beginGroup(QStringLiteral("Default Settings"));
    return settings.value(QLatin1String(key));
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

    // Leaves no store file, nor anything in its place.
    static void removeStore() {
        QFile::setPermissions(StoreFile(), QFile::ReadOwner | QFile::WriteOwner);
        QDir(StoreFile()).removeRecursively();
        QFile::remove(StoreFile());
    }

    int edits_ = 0;

private slots:
    void init() { removeStore(); }

    // A value edited by hand reads back as written, even where Qt's own reading differs. A save of
    // another key keeps it, so that Qt then reads it the same way too, and a save of the text itself
    // reads back exactly.
    void handEditedValues_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += char(i * 37 % 256);
        const auto file = [](const char* name, const QByteArray& content, const QString& expected) {
            QTest::newRow(name) << content << expected;
        };
        const auto row = [&](const char* name, const QByteArray& line, const QString& expected) {
            file(name, kSectionLine + "MemoryValue=" + line + "\n", expected);
        };
        row("comma and blank", "a, b", "a, b");          // Qt: the list {a, b}
        row("semicolon", "1;2", "1;2");                  // Qt: "1", the rest a comment
        row("quoted as Qt writes", "\"a,b\"", "a,b");    // Qt's own quoting
        row("needless quotes", "\"5\"", "\"5\"");        // Qt: 5
        row("doubled at sign", "@@x", "@x");             // Qt's own escape
        row("typed marker", "@Invalid()", "@Invalid()"); // Qt: no value at all
        row("empty", "", "");                            // not the default
        file("after an unclosed quote", kSectionLine + "FrstMmery=a\"b\nMemoryValue=12\n", "12");
        file("later line wins, junk skipped", kSectionLine + "MemoryValue=1\nMemoryValue=2\njunk\n", "2");
        file("unescaped section, blanks", "[Default Settings]\n  MemoryValue = 12\n", "12");
        file("byte order mark, CRLF", "\xEF\xBB\xBF[Default%20Settings]\r\nMemoryValue=12\r\n", "12");
        file("other section", "[Other]\nMemoryValue=1\n", "<default>");
        file("binary garbage", garbage, "<default>");
    }
    void handEditedValues() {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        editFile(file);
        std::ostringstream errors;
        QtSettingsStore store(errors);
        QCOMPARE(Get(store, "MemoryValue"), expected);
        Save(store, "Top", "500");
        QCOMPARE(Get(store, "MemoryValue"), expected);
        if (expected != "<default>") QCOMPARE(QtRead("MemoryValue"), QVariant(expected));
        Save(store, "MemoryValue", expected);
        QtSettingsStore reader;
        QCOMPARE(Get(reader, "MemoryValue"), expected);
        QCOMPARE(QtRead("MemoryValue"), QVariant(expected));
        QCOMPARE(errors.str(), std::string());
    }

    // A store that can't be read gives defaults. A write that can't be saved prints one line and is kept
    // by this store for the rest of the run, but is saved for no one else, not even by a later sync.
    void hostileStore_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("folder in place of the file") << true;
        QTest::newRow("file neither readable nor writable") << false;
    }
    void hostileStore() {
        QFETCH(bool, folder);
        if (folder) {
            QVERIFY(QDir().mkpath(StoreFile()));
        } else {
            if (geteuid() == 0) QSKIP("root reads and writes files whatever their mode");
            editFile(kSectionLine + "Top=5\n");
            QVERIFY(QFile::setPermissions(StoreFile(), QFileDevice::Permissions()));
        }
        std::ostringstream errors;
        QtSettingsStore store(errors);
        QtSettingsStore other;
        QCOMPARE(Get(store, "Top"), "<default>");
        Save(store, "Top", "123");
        const std::string line = "tallix: could not save setting Top to " + StoreFile().toStdString() + "\n";
        QCOMPARE(errors.str(), line);
        QCOMPARE(Get(store, "Top"), "123");
        QCOMPARE(Get(other, "Top"), "<default>");

        // Once the store can be written again, the next save goes through and is what everyone reads.
        removeStore();
        QCOMPARE(QtRead("Top"), QVariant());
        Save(store, "Top", "7");
        QCOMPARE(Get(other, "Top"), "7");
        QCOMPARE(errors.str(), line);
    }
};

TALLIX_TEST_MAIN(QtSettingsStoreTest)
#include "qt_settings_store_test.moc"
