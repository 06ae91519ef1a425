#include "settings/ini_file/ini_text.h"
#include "settings/platform_settings_store.h"
#include "settings/settings.h"
#include "tests/support/table_file.h"
#include "tests/support/test_main.h"

#include <QFile>
#include <QSettings>

#include <sys/file.h>

#include <atomic>
#include <memory>
#include <ostream>
#include <semaphore>
#include <sstream>
#include <streambuf>
#include <string>

using tallix::PlatformSettingsStore;

namespace {

// Table cells spell line breaks as \n and \r, and any other byte as \HH.
QByteArray Unescaped(const QString& cell) {
    return QByteArray::fromPercentEncoding(cell.toUtf8().replace("\\n", "\n").replace("\\r", "\r"), '\\');
}

QString StoreFile() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tallix.exe.conf");
}

// Through the program's own application name and section, so that the file above is theirs.
QString Get(PlatformSettingsStore& store, const char* key) {
    return QString::fromStdString(store.GetSetting(tallix::kAppName, tallix::kSection, key, "<default>"));
}
void Save(PlatformSettingsStore& store, const char* key, const QString& value) {
    store.SaveSetting(tallix::kAppName, tallix::kSection, key, value.toStdString());
}

// What any other QSettings user reads. Qt trusts a cached file while its size and time stamp agree, which
// two same-size saves in one clock tick defeat, so each read copies the file to a fresh path.
QVariant QtRead(const char* key) {
    static int copies = 0;
    const QString path =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/qt-read-%1.conf").arg(++copies);
    QFile::copy(StoreFile(), path);
    return QSettings(path, QSettings::IniFormat).value(QStringLiteral("Default Settings/") + key);
}

// The platform's store, whose saves wait for a read, and whose next read once `straddle` is set takes
// its texts, lets the save under way end, and only then returns them: a read that a save outlasts.
class StraddledBackend : public tallix::StoreBackend {
public:
    PlatformSettingsStore* store = nullptr;
    mutable std::atomic<bool> straddle = false;
    bool failing = false; // every save fails at once

    std::string Where(std::string_view appName) const override { return platform_->Where(appName); }
    std::variant<std::vector<tallix::StoredValue>, tallix::ReadFailure>
    Read(std::string_view appName, std::string_view section,
         std::span<const std::string_view> keys) const override {
        auto values = platform_->Read(appName, section, keys);
        if (straddle.exchange(false)) {
            saving_.release();
            store->WaitUntilTried();
        }
        return values;
    }
    tallix::WriteOutcome Write(std::string_view appName, const std::vector<tallix::KeyChange>& changes,
                               bool wholeAnew) const override {
        if (failing) return {"the disk is full", false, {}};
        saving_.acquire();
        auto outcome = platform_->Write(appName, changes, wholeAnew);
        saving_.release(); // the saves after the straddled one go on
        return outcome;
    }

private:
    std::unique_ptr<tallix::StoreBackend> platform_ = tallix::MakeStoreBackend();
    mutable std::counting_semaphore<> saving_{0};
};

// Standard error on a full pipe: the first character waits until let go.
class StalledOutput : public std::streambuf {
public:
    std::binary_semaphore writing{0}, letGo{0};

protected:
    int overflow(int c) override {
        if (!stalled_.exchange(true)) {
            writing.release();
            letGo.acquire();
        }
        return c;
    }
    std::atomic<bool> stalled_ = false;
};

} // namespace

class StoreTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(StoreFile()); }

    // Hand edits read back as written, even where Qt differs; a saved text reads back exactly, for Qt too.
    void handEditedValues_data() { AddTableRows(TABLES "hand_edited.txt", {"case", "file", "read", "qt"}); }
    void handEditedValues() {
        QFETCH(QString, file);
        QFETCH(QString, read);
        QFETCH(QString, qt);
        QFile edit(StoreFile());
        QVERIFY(edit.open(QIODevice::WriteOnly) && edit.write(Unescaped(file)) >= 0);
        edit.close();
        std::ostringstream errors;
        PlatformSettingsStore store(errors);
        QCOMPARE(Get(store, "MemoryValue"), read);
        Save(store, "MemoryValue", read);
        store.Flush();
        PlatformSettingsStore reader;
        QCOMPARE(Get(reader, "MemoryValue"), read);
        if (qt == "yes") QCOMPARE(QtRead("MemoryValue"), QVariant(read));
        QCOMPARE(errors.str(), std::string());
    }

    void edits_data() { AddTableRows(TABLES "edits.txt", {"case", "before", "after"}); }
    void edits() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        const tallix::ini::Change change{QStringLiteral("Top"), QStringLiteral("7")};
        QCOMPARE(tallix::ini::Edited(Unescaped(before), QStringLiteral("Default Settings"), {&change, 1}),
                 Unescaped(after));
    }

    // A save waits for the lock beside the caller, and never writes over what another copy saved after
    // the change was made: neither then nor in a later save. Until then, the copy's reads see its change.
    void noSaveOverANewerText() {
        QFile file(StoreFile());
        QVERIFY(file.open(QIODevice::ReadWrite) && file.write("[Default%20Settings]\nMemoryValue=5\n") > 0);
        QVERIFY(file.flush() &&
                flock(file.handle(), LOCK_EX) == 0); // another copy saving, for as long as it likes
        PlatformSettingsStore store;
        Save(store, "MemoryValue", "3");
        QCOMPARE(Get(store, "MemoryValue"), "3");
        QVERIFY(file.resize(0) && file.seek(0) && file.write("[Default%20Settings]\nMemoryValue=9\n") > 0);
        QVERIFY(file.flush());
        QCOMPARE(Get(store, "MemoryValue"), "9");
        flock(file.handle(), LOCK_UN);
        store.WaitUntilTried();
        Save(store, "Top", "1");
        store.Flush();
        QCOMPARE(Get(store, "MemoryValue"), "9");
        QCOMPARE(QtRead("MemoryValue"), QVariant("9"));
        QCOMPARE(QtRead("Top"), QVariant("1"));
        Save(store, "MemoryValue", "4"); // made over the 9
        store.Flush();
        QCOMPARE(QtRead("MemoryValue"), QVariant("4"));
    }
    // A read that begins before this copy's save of the key ends and returns after it still sees the
    // change, whether it reads for the window or for the next change of the key.
    void ownChangeSeenByAReadThatASaveOutlasts_data() {
        QTest::addColumn<bool>("nextChange");
        QTest::newRow("read for the window") << false;
        QTest::newRow("read for the next change") << true;
    }
    void ownChangeSeenByAReadThatASaveOutlasts() {
        QFETCH(bool, nextChange);
        auto owned = std::make_unique<StraddledBackend>();
        StraddledBackend& backend = *owned;
        PlatformSettingsStore store(std::move(owned));
        backend.store = &store;
        Save(store, "MemoryValue", "3"); // its save waits for the straddled read
        backend.straddle = true;
        if (nextChange) Save(store, "MemoryValue", "4");
        const QString expected = nextChange ? "4" : "3";
        QCOMPARE(Get(store, "MemoryValue"), expected);
        store.Flush();
        QCOMPARE(QtRead("MemoryValue"), QVariant(expected));
    }
    // Telling of a failed save never holds up the window's reads, however long standard error takes.
    void readsAnswerWhileAFailureIsTold() {
        auto backend = std::make_unique<StraddledBackend>();
        backend->failing = true;
        StalledOutput stalled;
        std::ostream errors(&stalled);
        PlatformSettingsStore store(std::move(backend), errors);
        Save(store, "MemoryValue", "3");
        stalled.writing.acquire();
        QCOMPARE(Get(store, "MemoryValue"), "3");
        stalled.letGo.release();
        store.Flush();
    }
};

TALLIX_TEST_MAIN(StoreTest)
#include "store_test.moc"
