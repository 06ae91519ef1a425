#include "settings/qt_settings_store.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
#include "settings/ini_text.h"
#include "settings/store_file.h"
#define TALLIX_STORE_IS_INI_FILE 1
#endif

namespace tallix {
namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A change of one key, or of several under one address; nothing as value removes the key.
struct KeyChange {
    std::string section;
    std::string key;
    std::optional<std::string> value;
};

// What failed, in words; nothing when every change was stored.
using Outcome = std::optional<std::string>;

#ifdef TALLIX_STORE_IS_INI_FILE

// Where QSettings keeps <appName>'s user settings. Found without a QSettings object, which would read
// the file at once, whatever it is (a FIFO would block it for ever).
std::string storePath(std::string_view appName) {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
            toQString(appName) + QStringLiteral(".conf"))
        .toStdString();
}

std::variant<std::optional<QByteArray>, FileFailure> readStore(std::string_view appName) {
    return ReadStoreFile(storePath(appName));
}

std::optional<std::string> storedIn(const QByteArray& file, std::string_view section, std::string_view key) {
    const auto text = ini::StoredText(file, toQString(section), toQString(key));
    if (!text) return std::nullopt;
    return text->toStdString();
}

Outcome writeChanges(std::string_view appName, const std::vector<KeyChange>& changes) {
    const auto failure = EditStoreFile(storePath(appName), [&](const QByteArray& file) {
        QByteArray out = file;
        for (const KeyChange& change : changes) {
            const ini::Change edit{toQString(change.key),
                                   change.value ? std::optional(toQString(*change.value)) : std::nullopt};
            out = ini::Edited(out, toQString(change.section), {&edit, 1});
        }
        return out;
    });
    if (failure) return failure->reason;
    return std::nullopt;
}

#else

// On Windows the values live in the registry under HKEY_CURRENT_USER\Software\<application>\<section>;
// on macOS in the property list named after the application.
std::unique_ptr<QSettings> openStore(std::string_view appName) {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + toQString(appName),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, toQString(appName));
#endif
}

std::string storePath(std::string_view appName) {
    return openStore(appName)->fileName().toStdString();
}

#ifdef Q_OS_WIN
// QSettings reads a registry key that it may not open as an empty one; the registry tells the two apart.
std::optional<std::string> readFailure(std::string_view appName, std::string_view section) {
    const std::wstring path =
        (QStringLiteral("Software\\") + toQString(appName) + u'\\' + toQString(section)).toStdWString();
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    if (result == ERROR_SUCCESS) RegCloseKey(key);
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return std::nullopt;
    return result == ERROR_ACCESS_DENIED ? "Access was denied" : "Error " + std::to_string(result);
}
#else
std::optional<std::string> readFailure(std::string_view, std::string_view) {
    return std::nullopt;
}
#endif

Outcome writeChanges(std::string_view appName, const std::vector<KeyChange>& changes) {
    const auto store = openStore(appName);
    for (const KeyChange& change : changes) {
        const QString key = toQString(change.section) + u'/' + toQString(change.key);
        if (change.value)
            store->setValue(key, toQString(*change.value));
        else
            store->remove(key);
    }
    store->sync();
    if (store->status() == QSettings::NoError) return std::nullopt;
    return std::string("Access was denied");
}

#endif

} // namespace

std::string QtSettingsStore::GetSetting(std::string_view appName, std::string_view section,
                                        std::string_view key, std::string_view fallback) {
    if (const auto it = unsaved_.find(Address(appName, section, key)); it != unsaved_.end())
        return it->second;
#ifdef TALLIX_STORE_IS_INI_FILE
    const auto read = readStore(appName);
    if (const auto* failure = std::get_if<FileFailure>(&read)) {
        if (!std::exchange(readFailureTold_, true)) {
            const std::string where = storePath(appName);
            tell({where, failure->reason, false},
                 "tallix: could not read settings from " + where + ": " + failure->reason);
        }
        return std::string(fallback);
    }
    const auto& file = std::get<std::optional<QByteArray>>(read);
    return (file ? storedIn(*file, section, key) : std::nullopt).value_or(std::string(fallback));
#else
    if (const auto failure = readFailure(appName, section)) {
        if (!std::exchange(readFailureTold_, true)) {
            const std::string where = storePath(appName);
            tell({where, *failure, false}, "tallix: could not read settings from " + where + ": " + *failure);
        }
        return std::string(fallback);
    }
    return Stored(appName, section, key).value_or(std::string(fallback));
#endif
}

std::optional<std::string> QtSettingsStore::Stored(std::string_view appName, std::string_view section,
                                                   std::string_view key) {
#ifdef TALLIX_STORE_IS_INI_FILE
    const auto read = readStore(appName);
    const auto* file = std::get_if<std::optional<QByteArray>>(&read);
    if (!file || !*file) return std::nullopt;
    return storedIn(**file, section, key);
#else
    // The registry and property lists keep texts as they are; only an outside edit stores a list or a
    // number there.
    const auto store = openStore(appName);
    store->beginGroup(toQString(section));
    const QVariant read = store->value(toQString(key));
    if (store->status() == QSettings::AccessError || !read.isValid()) return std::nullopt;
    if (read.typeId() == QMetaType::QStringList) return read.toStringList().join(u',').toStdString();
    return read.toString().toStdString();
#endif
}

void QtSettingsStore::SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                                  std::string_view value) {
    unsaved_[Address(appName, section, key)] = std::string(value);
    const std::string application(appName);
    if (const auto failure = saveUnsaved(application)) {
        const std::string where = storePath(appName);
        tell({where, *failure, true},
             "tallix: could not save setting " + std::string(key) + " to " + where + ": " + *failure);
    }
}

void QtSettingsStore::Flush() {
    std::vector<std::string> applications;
    for (const auto& [address, value] : unsaved_)
        if (applications.empty() || applications.back() != std::get<0>(address))
            applications.push_back(std::get<0>(address));
    for (const std::string& application : applications) {
        const auto failure = saveUnsaved(application);
        if (!failure) continue;
        const std::string where = storePath(application);
        for (const auto& [address, value] : unsaved_)
            if (std::get<0>(address) == application)
                tell({where, *failure, true}, "tallix: could not save setting " + std::get<2>(address) +
                                                  " to " + where + ": " + *failure);
    }
    unsaved_.clear();
    readFailureTold_ = false;
}

std::optional<std::string> QtSettingsStore::saveUnsaved(const std::string& appName) {
    std::vector<KeyChange> changes;
    for (const auto& [address, value] : unsaved_)
        if (std::get<0>(address) == appName)
            changes.push_back({std::get<1>(address), std::get<2>(address), value});
    if (auto failure = writeChanges(appName, changes)) return failure;
    std::erase_if(unsaved_, [&](const auto& entry) { return std::get<0>(entry.first) == appName; });
    return std::nullopt;
}

bool QtSettingsStore::Edit(std::string_view appName, std::string_view section, std::string_view key,
                           std::optional<std::string_view> value) {
    return !writeChanges(appName, {{std::string(section), std::string(key),
                                    value ? std::optional<std::string>(*value) : std::nullopt}});
}

void QtSettingsStore::tell(const StoreProblem& problem, std::string_view line) {
    errors_ << line << '\n' << std::flush;
    if (onProblem_) onProblem_(problem);
}

} // namespace tallix
