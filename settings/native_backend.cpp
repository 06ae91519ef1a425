#include "settings/store_backend.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace tallix {
namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

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

// QSettings reads a registry key that it may not open as an empty one; the registry tells the two apart.
std::optional<std::string> readFailure([[maybe_unused]] std::string_view appName,
                                       [[maybe_unused]] std::string_view section) {
#ifdef Q_OS_WIN
    const std::wstring path =
        (QStringLiteral("Software\\") + toQString(appName) + u'\\' + toQString(section)).toStdWString();
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    if (result == ERROR_SUCCESS) RegCloseKey(key);
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return std::nullopt;
    return result == ERROR_ACCESS_DENIED ? "Access was denied" : "Error " + std::to_string(result);
#else
    return std::nullopt;
#endif
}

// The text stored under the key. The registry and property lists keep texts as they are; only an outside
// edit stores a list or a number there.
StoredValue valueOf(QSettings& store, std::string_view section, std::string_view key) {
    const QVariant read = store.value(toQString(section) + u'/' + toQString(key));
    if (store.status() == QSettings::AccessError || !read.isValid()) return std::nullopt;
    if (read.typeId() == QMetaType::QStringList) return read.toStringList().join(u',').toStdString();
    return read.toString().toStdString();
}

class NativeBackend : public StoreBackend {
public:
    std::string Where(std::string_view appName) const override {
        return openStore(appName)->fileName().toStdString();
    }

    std::variant<std::vector<StoredValue>, ReadFailure>
    Read(std::string_view appName, std::string_view section,
         std::span<const std::string_view> keys) const override {
        if (auto failure = readFailure(appName, section)) return ReadFailure{*failure};
        const auto store = openStore(appName);
        std::vector<StoredValue> values;
        for (const std::string_view key : keys)
            values.push_back(valueOf(*store, section, key));
        return values;
    }

    // The registry has no lock that other copies share: a change another copy saved since it was made
    // is left out as far as can be seen at the moment of writing.
    WriteOutcome Write(std::string_view appName, const std::vector<KeyChange>& changes, bool) const override {
        WriteOutcome outcome;
        const auto store = openStore(appName);
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const KeyChange& change = changes[i];
            if (change.madeOver && valueOf(*store, change.section, change.key) != *change.madeOver) {
                outcome.superseded.push_back(i);
                continue;
            }
            const QString key = toQString(change.section) + u'/' + toQString(change.key);
            if (change.value)
                store->setValue(key, toQString(*change.value));
            else
                store->remove(key);
        }
        store->sync();
        if (store->status() != QSettings::NoError) outcome = {"Access was denied", false, {}};
        return outcome;
    }
};

} // namespace

std::unique_ptr<StoreBackend> MakeStoreBackend() {
    return std::make_unique<NativeBackend>();
}

} // namespace tallix
