#include "settings/end_at_once.h"
#include "settings/ini_text.h"
#include "settings/qt_settings_store.h"
#include "settings/settings.h"
#include "tests/support/test_main.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRect>
#include <QSettings>

#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include <sys/wait.h>
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

// Qt keeps each file it has read and trusts it while its size and time stamp agree, which two saves
// within one clock tick of the same size defeat; a copy at a fresh path is read afresh.
std::unique_ptr<QSettings> QtCopyOfStore() {
    static int copies = 0;
    const QString path =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/qt-read-%1.conf").arg(++copies);
    QFile::remove(path);
    QFile::copy(StoreFile(), path); // no store: an empty file for Qt
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

// What Qt itself reads, as any other QSettings user of the file would.
QVariant QtRead(const char* key) {
    return QtCopyOfStore()->value(QStringLiteral("Default Settings/") + QLatin1String(key));
}

// Every key of every section as Qt reads it, with its type.
QMap<QString, QVariant> QtReadAll() {
    const auto settings = QtCopyOfStore();
    QMap<QString, QVariant> all;
    for (const QString& key : settings->allKeys())
        if (!key.isEmpty()) all.insert(key, settings->value(key)); // "=x" is a key without a name
    return all;
}

QByteArray FileBytes() {
    QFile file(StoreFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's lines, other than those of the keys saved and the section the program adds.
QList<QByteArray> ForeignLines(const QByteArray& file) {
    QList<QByteArray> lines;
    for (const QByteArray& line : file.split('\n')) {
        const QByteArray text = line.trimmed();
        if (!text.isEmpty() && text != kSectionLine.trimmed() && !text.startsWith("MemoryValue=") &&
            !text.startsWith("Top="))
            lines << line;
    }
    return lines;
}

} // namespace

class QtSettingsStoreTest : public QObject {
    Q_OBJECT

    // An outside edit of the store file.
    static void editFile(const QByteArray& content, QIODevice::OpenMode mode = QIODevice::Truncate) {
        QFile file(StoreFile());
        QVERIFY(file.open(QIODevice::WriteOnly | mode));
        file.write(content);
    }

    // Leaves no store file, nor anything in its place.
    static void removeStore() {
        QFile::setPermissions(StoreFile(), QFile::ReadOwner | QFile::WriteOwner);
        QDir(StoreFile()).removeRecursively();
        QFile::remove(StoreFile());
    }

private slots:
    void init() { removeStore(); }

    // A value edited by hand reads back as written, even where Qt's own reading differs; a save of
    // another key leaves its line alone, and a save of the text itself reads back exactly for Qt too.
    void handEditedValues_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("qtReadsIt"); // once the program has saved it
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += char(i * 37 % 256);
        const auto file = [](const char* name, const QByteArray& content, const QString& expected,
                             bool qtReadsIt = true) {
            QTest::newRow(name) << content << expected << qtReadsIt;
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
        // The other key's line stays as it is, and hides this one from Qt.
        file("after an unclosed quote", kSectionLine + "FrstMmery=a\"b\nMemoryValue=12\n", "12", false);
        file("later line wins, junk skipped", kSectionLine + "MemoryValue=1\nMemoryValue=2\njunk\n", "2");
        file("unescaped section, blanks", "[Default Settings]\n  MemoryValue = 12\n", "12");
        file("byte order mark, CRLF", "\xEF\xBB\xBF[Default%20Settings]\r\nMemoryValue=12\r\n", "12");
        file("other section", "[Other]\nMemoryValue=1\n", "<default>");
        file("binary garbage", garbage, "<default>");
    }
    void handEditedValues() {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QFETCH(bool, qtReadsIt);
        editFile(file);
        std::ostringstream errors;
        QtSettingsStore store(errors);
        QCOMPARE(Get(store, "MemoryValue"), expected);
        Save(store, "Top", "500");
        QCOMPARE(Get(store, "MemoryValue"), expected);
        QVERIFY(FileBytes().startsWith(file.first(file.lastIndexOf("MemoryValue") + 1)));
        Save(store, "MemoryValue", expected);
        QtSettingsStore reader;
        QCOMPARE(Get(reader, "MemoryValue"), expected);
        if (qtReadsIt) QCOMPARE(QtRead("MemoryValue"), QVariant(expected));
        QCOMPARE(errors.str(), std::string());
    }

    // Whatever else the file holds stays byte for byte, so that Qt reads every other key as before with
    // its type: Qt's own typed values and lists, comments, lines no reader understands, NUL bytes, line
    // endings and a byte-order mark, in the program's section and in others.
    void foreignContent_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, const QByteArray& before, const QByteArray& after = {}) {
            QTest::newRow(name) << before << after;
        };
        row("comments and notes", "# a comment\n; another\nnote without equals\n=x\n# Old=3\n");
        row("comment after a value", kSectionLine + "Theme=dark ; comment\n");
        row("string lists", kSectionLine + "List=a, b\nQuoted=\"x\", \"y\"\n");
        row("NUL bytes", QByteArray("[Other]\nA=1\0\x02\nB\0=2\n", 20));
        row("mixed line endings", "[Other]\r\nA=1\nB=2\rC=3\r\n" + kSectionLine + "Top=1\r\n");
        row("byte order mark", "\xEF\xBB\xBF", "[Other]\r\nA=1\r\n");
        row("no final line break", kSectionLine + "Z=1");
        row("the key twice", kSectionLine + "MemoryValue=1\nX=y\nMemoryValue=2\n");
        row("a section of the program's twice",
            kSectionLine + "A=1\n[Other]\nB=2\n" + kSectionLine + "C=3\n");
    }
    void foreignContent() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QByteArray written;
        {
            // Values as Qt writes them, in a section of their own and in the program's.
            const auto settings = QtCopyOfStore();
            settings->setValue("Typed/Blob", QByteArray("\x01\x02", 2));
            settings->setValue("Typed/Area", QRect(0, 0, 10, 20));
            settings->setValue("Typed/Size", QSize(3, 4));
            settings->setValue("Typed/When", QDateTime(QDate(2026, 12, 6), QTime(16, 2)));
            settings->setValue("Typed/Names", QStringList{"a", "b"});
            settings->setValue("Default Settings/Rect", QRect(1, 2, 3, 4));
            settings->sync();
            QFile file(settings->fileName());
            QVERIFY(file.open(QIODevice::ReadOnly));
            written = file.readAll();
        }
        editFile(before + written + after);
        const QByteArray original = FileBytes();
        const QMap<QString, QVariant> read = QtReadAll();

        std::ostringstream errors;
        QtSettingsStore store(errors);
        Save(store, "MemoryValue", "42");
        Save(store, "Top", "7");
        QCOMPARE(errors.str(), std::string());
        QCOMPARE(Get(store, "MemoryValue"), "42");
        QCOMPARE(QtRead("Top"), QVariant("7"));

        QCOMPARE(ForeignLines(FileBytes()), ForeignLines(original));
        QMap<QString, QVariant> readAfter = QtReadAll();
        for (auto it = read.begin(); it != read.end(); ++it) {
            if (it.key() == "Default Settings/MemoryValue" || it.key() == "Default Settings/Top") continue;
            QCOMPARE(readAfter.value(it.key()).typeId(), it.value().typeId());
            QCOMPARE(readAfter.value(it.key()), it.value());
        }
    }

    // A key goes into the program's section where it stands, even an empty one, not into a second copy.
    void keyJoinsItsSection() {
        editFile(kSectionLine + "[Other]\nA=1\n");
        QtSettingsStore store;
        Save(store, "Top", "7");
        QCOMPARE(FileBytes(), kSectionLine + "Top=7\n[Other]\nA=1\n");
    }

    // Files pieced together at random from what settings files hold: whatever a file looks like, a value
    // written into it reads back exactly, and every line that isn't the key's stays as it was.
    void randomFilesKeepTheirLines() {
        // Lines and bits of lines, split at '|'; a NUL byte besides.
        QList<QByteArray> pieces =
            QByteArray("[Default%20Settings]|[Default Settings]|[Other]|[|Top=1| Top = 2 "
                       "|MemoryValue=3|Top|=x|; Top=4|# Top=5|\"|@Rect(1 2 3 4)|"
                       "\xEF\xBB\xBF|\r|\n|\r\n|\n| |a,b")
                .split('|');
        pieces << QByteArray("\0", 1);
        std::mt19937 random(7);
        for (int round = 0; round < 3000; ++round) {
            QByteArray file;
            for (int n = int(random() % 24); n > 0; --n)
                file += pieces[int(random() % pieces.size())];
            const QString value =
                QString::number(random() % 3 ? double(random()) / 7 : -1.5) + (round % 5 ? "" : ",;\"");
            const tallix::ini::Change change{QStringLiteral("Top"), value};
            const QByteArray edited =
                tallix::ini::Edited(file, QStringLiteral("Default Settings"), {&change, 1});
            const auto read =
                tallix::ini::StoredText(edited, QStringLiteral("Default Settings"), QStringLiteral("Top"));
            QVERIFY2(read && *read == value.toUtf8(), file.toPercentEncoding().constData());
            // One line changed or added (with a section and a line break where needed), no other.
            qsizetype kept = 0;
            const QByteArray lines = QByteArray(edited).replace('\r', '\n');
            for (const QByteArray& line : QByteArray(file).replace('\r', '\n').split('\n')) {
                const qsizetype at = lines.indexOf(line, kept);
                QVERIFY2(at >= 0 || line.contains("Top"), file.toPercentEncoding().constData());
                if (at >= 0) kept = at + line.size();
            }
        }
    }

    // A store that can't be read gives defaults. A write that can't be saved prints one line, tells the
    // problem handler and is kept by this store for the rest of the run, but saved for no one else, until
    // the store can be written again: then the next save, or the end of the run, saves it too.
    void hostileStore_data() {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("flush");
        QTest::newRow("folder in place of the file, next save") << true << false;
        QTest::newRow("folder in place of the file, end of the run") << true << true;
        QTest::newRow("file neither readable nor writable") << false << false;
    }
    void hostileStore() {
        QFETCH(bool, folder);
        QFETCH(bool, flush);
        if (folder) {
            QVERIFY(QDir().mkpath(StoreFile()));
        } else {
            if (geteuid() == 0) QSKIP("root reads and writes files whatever their mode");
            editFile(kSectionLine + "Top=5\n");
            QVERIFY(QFile::setPermissions(StoreFile(), QFileDevice::Permissions()));
        }
        std::ostringstream errors;
        QtSettingsStore store(errors);
        int problems = 0;
        store.SetProblemHandler([&](const tallix::StoreProblem& problem) {
            ++problems;
            QCOMPARE(problem.where, StoreFile().toStdString());
            QVERIFY(!problem.reason.empty());
        });
        std::ostringstream otherErrors;
        QtSettingsStore other(otherErrors);
        QCOMPARE(Get(store, "Top"), "<default>");
        Save(store, "Top", "123");
        const std::string saveLine =
            "tallix: could not save setting Top to " + StoreFile().toStdString() + ": ";
        QVERIFY(errors.str().find(saveLine) != std::string::npos);
        QCOMPARE(problems, 2); // the read, then the save
        QCOMPARE(Get(store, "Top"), "123");
        QCOMPARE(Get(other, "Top"), "<default>");

        removeStore();
        if (flush) {
            store.Flush();
        } else {
            Save(store, "Left", "7");
            QCOMPARE(Get(other, "Left"), "7");
        }
        QCOMPARE(Get(other, "Top"), "123");
        QCOMPARE(problems, 2);
    }

    // Asked to end at once (from a signal handler, on whatever thread) while the file is rewritten in
    // place, the process ends as soon as the rewrite is done; at any other time, there and then.
    void endAtOnceWaitsForARewriteInPlace_data() {
        QTest::addColumn<bool>("rewriting");
        QTest::newRow("during a rewrite in place") << true;
        QTest::newRow("at any other time") << false;
    }
    void endAtOnceWaitsForARewriteInPlace() {
        QFETCH(bool, rewriting);
        int written[2];
        QCOMPARE(pipe(written), 0);
        const pid_t child = fork();
        if (child == 0) {
            {
                std::optional<tallix::HoldEndAtOnce> rewrite;
                if (rewriting) rewrite.emplace();
                tallix::EndProcessAtOnce(3);
                static_cast<void>(write(written[1], "w", 1)); // the rest of the rewrite
            }
            _exit(0);
        }
        close(written[1]);
        char byte = 0;
        QCOMPARE(read(written[0], &byte, 1), rewriting ? 1 : 0);
        close(written[0]);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 3);
    }
};

TALLIX_TEST_MAIN(QtSettingsStoreTest)
#include "qt_settings_store_test.moc"
