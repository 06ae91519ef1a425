// store_check: reads the settings store of $XDG_CONFIG_HOME twice, through Qt's own parser and through
// the program's reader, and prints one line `KEY=TEXT` (the program's reading) or `KEY=<none>` for each
// key named on the command line. It exits with status 1, saying why on standard error, when Qt does not
// parse the file cleanly (status other than NoError) or when the two readings of a key disagree; so a
// half-written or garbled store fails here. For the hostile tests, which only write texts that Qt and
// the program read alike.
#include "settings/qt_settings_store.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString appName = QString::fromUtf8(tallix::kAppName.data(), qsizetype(tallix::kAppName.size()));
    const QString section = QString::fromUtf8(tallix::kSection.data(), qsizetype(tallix::kSection.size()));

    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, appName);
    static_cast<void>(settings.allKeys()); // makes Qt parse every section, where a format error shows
    settings.beginGroup(section);
    bool ok = true;
    if (settings.status() != QSettings::NoError) {
        std::cerr << "store_check: Qt reports status " << int(settings.status()) << " for "
                  << settings.fileName().toStdString() << '\n';
        ok = false;
    }

    for (int i = 1; i < argc; ++i) {
        const std::string key = argv[i];
        const auto text = tallix::QtSettingsStore::Stored(tallix::kAppName, tallix::kSection, key);
        const QVariant read = settings.value(QString::fromStdString(key));
        const bool agree = text
                               ? read.typeId() == QMetaType::QString && read.toString().toStdString() == *text
                               : !read.isValid();
        if (!agree) {
            std::cerr << "store_check: Qt reads " << key << " as '" << read.toString().toStdString()
                      << "', the program as '" << text.value_or("<none>") << "'\n";
            ok = false;
        }
        std::printf("%s=%s\n", key.c_str(), text ? text->c_str() : "<none>");
    }
    return ok ? 0 : 1;
}
