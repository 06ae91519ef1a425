#include "settings/ini_file/ini_text.h"
#include "settings/ini_file/store_file.h"
#include "settings/store_backend.h"

#include <QStandardPaths>
#include <QString>

namespace tallix {
namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
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

    std::variant<std::optional<std::string>, ReadFailure>
    Read(std::string_view appName, std::string_view section, std::string_view key) const override {
        const auto read = ReadStoreFile(Where(appName));
        if (const auto* failure = std::get_if<FileFailure>(&read)) return ReadFailure{failure->reason};
        const auto& file = std::get<std::optional<QByteArray>>(read);
        const auto text = file ? ini::StoredText(*file, toQString(section), toQString(key)) : std::nullopt;
        if (!text) return std::nullopt;
        return std::optional(text->toStdString());
    }

    std::optional<std::string> Write(std::string_view appName,
                                     const std::vector<KeyChange>& changes) const override {
        const auto failure = EditStoreFile(Where(appName), [&](const QByteArray& file) {
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
};

} // namespace

std::unique_ptr<StoreBackend> MakeStoreBackend() {
    return std::make_unique<IniFileBackend>();
}

} // namespace tallix
