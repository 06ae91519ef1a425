// One read and one save of a setting by the program's store, beside QSettings doing the same on the
// same file in the same run, on a small settings file (1 KiB) and on the largest one the store reads
// (1 MiB). Each operation starts afresh, as every read and save of the program does: the store reads
// the file each time, and a fresh QSettings object parses it whole. Saves reach the disk (fsync) in both.
#include "settings/platform_settings_store.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <vector>

namespace {

// The median of `rounds` runs of `work`, in microseconds; `prepare` runs untimed before each.
double medianMicroseconds(int rounds, const std::function<void()>& prepare,
                          const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A settings file of about `size` bytes: the program's section, then other programs' keys.
QByteArray settingsFile(qsizetype size) {
    QByteArray file = "[Default%20Settings]\nMemoryValue=12\nFrstMmery=No\nRedBttns=1\nValue=1\n"
                      "ShowPopup=0\nTop=1000\nLeft=1000\n\n[Other]\n";
    for (int i = 0; file.size() < size - 40; ++i)
        file += "Key" + QByteArray::number(i).rightJustified(6, '0') + "=some value of another program\n";
    return file;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    const QString path = home.path() + QStringLiteral("/Tallix.exe.conf");
    const auto write = [&](const QByteArray& bytes) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
    };
    const auto qtSettings = [] {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("Tallix.exe"));
    };
    std::ostringstream errors;
    tallix::PlatformSettingsStore store(errors);
    volatile std::size_t sink = 0;
    int counter = 0;

    std::printf("%-6s %-5s %12s %12s %7s\n", "file", "op", "Tallix us", "QSettings us", "ratio");
    for (const qsizetype size : {qsizetype(1) << 10, qsizetype(1) << 20}) {
        const QByteArray bytes = settingsFile(size);
        const int rounds = size > 4096 ? 15 : 101;
        // Qt trusts the file it read last while its size and time stamp agree, and two writes can share
        // a clock tick: a size that changes each round makes it parse the file as a new run would.
        bool longer = false;
        const auto fresh = [&] { write((longer = !longer) ? bytes + '\n' : bytes); };
        const double read = medianMicroseconds(rounds, fresh, [&] {
            sink = sink + tallix::ReadText(store, tallix::Setting::MemoryValue).size();
        });
        const double qtRead = medianMicroseconds(rounds, fresh, [&] {
            sink =
                sink + qtSettings()->value(QStringLiteral("Default Settings/MemoryValue")).toString().size();
        });
        const double save = medianMicroseconds(rounds, fresh, [&] {
            tallix::WriteText(store, tallix::Setting::MemoryValue, std::to_string(++counter));
            store.WaitUntilTried(); // the whole save, which the writer makes beside the caller
        });
        const double qtSave = medianMicroseconds(rounds, fresh, [&] {
            const auto settings = qtSettings();
            settings->setValue(QStringLiteral("Default Settings/MemoryValue"), QString::number(++counter));
            settings->sync();
        });
        const char* label = size > 4096 ? "1 MiB" : "1 KiB";
        std::printf("%-6s %-5s %12.1f %12.1f %7.2f\n", label, "read", read, qtRead, read / qtRead);
        std::printf("%-6s %-5s %12.1f %12.1f %7.2f\n", label, "save", save, qtSave, save / qtSave);
    }
    if (!errors.str().empty()) std::fprintf(stderr, "%s", errors.str().c_str());
    return 0;
}
