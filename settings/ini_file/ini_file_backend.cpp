#include "settings/ini_file/ini_text.h"
#include "settings/ini_file/store_file.h"
#include "settings/store_backend.h"

#include <QStandardPaths>
#include <QString>

#include <cerrno>

namespace tallix {
namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

StoredValue storedIn(QByteArrayView file, std::string_view section, std::string_view key) {
    const auto text = ini::StoredText(file, toQString(section), toQString(key));
    if (!text) return std::nullopt;
    return text->toStdString();
}

class IniFileBackend : public StoreBackend {
public:
    // Where QSettings keeps <appName>'s user settings. Found without a QSettings object, which would
    // read the file at once, whatever it is (a FIFO would block it for ever).
    std::string Where(std::string_view appName) const override {
        return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
                toQString(appName) + QStringLiteral(".conf"))
            .toStdString();
    }

    std::variant<std::vector<StoredValue>, ReadFailure>
    Read(std::string_view appName, std::string_view section,
         std::span<const std::string_view> keys) const override {
        const auto read = ReadStoreFile(Where(appName));
        if (const auto* failure = std::get_if<FileFailure>(&read)) return ReadFailure{failure->reason};
        const auto& file = std::get<std::optional<QByteArray>>(read);
        std::vector<StoredValue> values;
        for (const std::string_view key : keys)
            values.push_back(file ? storedIn(*file, section, key) : std::nullopt);
        return values;
    }

    WriteOutcome Write(std::string_view appName, const std::vector<KeyChange>& changes,
                       bool wholeAnew) const override {
        WriteOutcome outcome;
        const auto edit = [&](const QByteArray& file) {
            outcome.superseded.clear();
            QByteArray out = file;
            for (std::size_t i = 0; i < changes.size(); ++i) {
                const KeyChange& change = changes[i];
                if (change.madeOver && storedIn(file, change.section, change.key) != *change.madeOver) {
                    outcome.superseded.push_back(i);
                    continue;
                }
                const ini::Change edit{toQString(change.key),
                                       change.value ? std::optional(toQString(*change.value)) : std::nullopt};
                out = ini::Edited(out, toQString(change.section), {&edit, 1});
            }
            return out;
        };
        if (const auto failure = EditStoreFile(Where(appName), edit, wholeAnew))
            outcome = {failure->reason, failure->error == EWOULDBLOCK, {}};
        return outcome;
    }
};

} // namespace

std::unique_ptr<StoreBackend> MakeStoreBackend() {
    return std::make_unique<IniFileBackend>();
}

} // namespace tallix
