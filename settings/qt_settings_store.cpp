#include "settings/qt_settings_store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <memory>
#include <optional>

namespace tallix {
namespace {

// Where the native store is a text file (Linux and the other freedesktop systems), Qt's INI reader does
// not give back every text as it was written. What Qt 6.4 makes of a hand-edited value:
//  - an unquoted "," splits it into a QStringList, trimming blanks around each item ("a, b" is {a, b});
//  - an unquoted ";" starts a comment, so "1;2" reads as "1";
//  - double quotes are dropped (x"y"z reads as xyz), and an unclosed one runs on over the following
//    lines, hiding the keys there;
//  - backslash escapes are decoded (\x41 is A), and a leading "@" marks a typed value (@Invalid() is
//    nothing at all).
// Qt writes every text so that it reads back exactly ("a,b" goes out as "\"a,b\"", "@x" as "@@x"). So
// the file is read here, line by line: a value spelt exactly as Qt writes some text is that text, and
// any other is a hand edit, taken as it stands after "=", without the blanks around it.
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
constexpr bool kStoreIsIniFile = false;
#else
constexpr bool kStoreIsIniFile = true;
#endif

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Qt's one-letter escapes in values: "\n" for a line break, and so on.
constexpr std::string_view kEscapeLetters = "abfnrtv\"\\";
constexpr std::string_view kEscapedChars = "\a\b\f\n\r\t\v\"\\";

int hexValue(char16_t ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// A section or key name as Qt decodes it: %XX and %UXXXX escapes, and "\" for "/".
QString unescapedName(QByteArrayView name) {
    const QString text = QString::fromUtf8(name);
    QString result;
    for (qsizetype i = 0; i < text.size();) {
        const QChar ch = text.at(i);
        if (ch == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (ch == u'%' && i + 1 < text.size()) {
            const bool wide = text.at(i + 1) == u'U';
            const qsizetype first = i + (wide ? 2 : 1);
            const qsizetype digits = wide ? 4 : 2;
            bool ok = false;
            const ushort code =
                first + digits <= text.size() ? text.sliced(first, digits).toUShort(&ok, 16) : 0;
            if (ok) {
                result += QChar(code);
                i = first + digits;
                continue;
            }
        }
        result += ch;
        ++i;
    }
    return result;
}

// The value exactly as Qt writes a text.
QByteArray iniWritten(const QString& value) {
    // A leading "@" marks a typed value, so Qt doubles it; a NUL makes the text a typed value too.
    const QString text = value.contains(QChar(0)) ? QStringLiteral("@String(") + value + u')'
                         : value.startsWith(u'@') ? u'@' + value
                                                  : value;
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    QByteArray out;
    bool needsQuotes = false;
    bool escapeNextIfHex = false; // so that "\x1" followed by "a" doesn't read as "\x1a"
    for (const QChar qch : text) {
        const char16_t ch = qch.unicode();
        if (ch == ';' || ch == ',' || ch == '=') needsQuotes = true;
        if (escapeNextIfHex && hexValue(ch) >= 0) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfHex = false;
        const auto named = ch < 0x80 ? kEscapedChars.find(char(ch)) : std::string_view::npos;
        if (ch == 0) {
            out += "\\0";
            escapeNextIfHex = true;
        } else if (named != std::string_view::npos) {
            out += '\\';
            out += kEscapeLetters[named];
        } else if (ch <= 0x1F) {
            out += "\\x" + QByteArray::number(ch, 16);
            escapeNextIfHex = true;
        } else {
            out += QByteArray(toUtf8(QStringView(&qch, 1)));
        }
    }
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' ')) out = '"' + out + '"';
    return out;
}

// The text that Qt wrote as `value`, or nothing when Qt would not have written it so.
std::optional<QString> textWrittenAs(QByteArrayView value) {
    QByteArrayView body = value;
    if (body.size() >= 2 && body.startsWith('"') && body.endsWith('"'))
        body = body.sliced(1, body.size() - 2);
    QString text;
    qsizetype plain = 0; // start of the bytes not yet decoded
    for (qsizetype i = 0; i < body.size();) {
        if (body[i] != '\\') {
            ++i;
            continue;
        }
        text += QString::fromUtf8(body.sliced(plain, i - plain));
        if (++i == body.size()) return std::nullopt;
        const char escape = body[i++];
        if (escape == 'x' || escape == '0') { // Qt reads as many hex (octal) digits as follow
            const int base = escape == 'x' ? 16 : 8;
            char32_t code = 0;
            for (int digit; i < body.size() && (digit = hexValue(body[i])) >= 0 && digit < base; ++i)
                if ((code = code * base + char32_t(digit)) > 0xFFFF) return std::nullopt;
            text += QChar(char16_t(code));
        } else {
            const auto at = kEscapeLetters.find(escape);
            if (at == std::string_view::npos) return std::nullopt;
            text += QChar(kEscapedChars[at]);
        }
        plain = i;
    }
    text += QString::fromUtf8(body.sliced(plain));
    if (text.startsWith(QStringLiteral("@String(")) && text.endsWith(u')'))
        text = text.sliced(8, text.size() - 9);
    else if (text.startsWith(QStringLiteral("@@")))
        text.remove(0, 1);
    if (iniWritten(text) != value) return std::nullopt;
    return text;
}

// The stored text, in UTF-8, of a value as the file spells it.
QByteArray storedText(const QByteArray& value) {
    const auto text = textWrittenAs(value);
    return text ? text->toUtf8() : value;
}

// The values of one section as the file spells them: the text after the first "=" up to the end of the
// line, without the blanks around it. As in Qt, a later line for a key wins, ";" at the start of a line
// makes it a comment, and a line without "=" is skipped.
QHash<QString, QByteArray> sectionValues(const QString& fileName, const QString& section) {
    QHash<QString, QByteArray> values;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return values; // no file, or not one that can be read
    QByteArray data = file.readAll();
    if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
    bool inSection = false;
    for (qsizetype start = 0; start < data.size();) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        const QByteArrayView line = QByteArrayView(data).sliced(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            inSection =
                unescapedName(line.sliced(1, (close < 0 ? line.size() : close) - 1).trimmed()) == section;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (inSection && equals > 0)
            values.insert(unescapedName(line.first(equals).trimmed()),
                          line.sliced(equals + 1).trimmed().toByteArray());
    }
    return values;
}

std::optional<QByteArray> valueOf(const QHash<QString, QByteArray>& values, const QString& key) {
    const auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return *it;
}

// A section or key name as Qt writes it: letters, digits and "_-." as they are, "/" as "\\", and any
// other character as %XX or %UXXXX ("Default Settings" is "Default%20Settings").
QByteArray escapedName(const QString& name) {
    QByteArray out;
    for (const QChar qch : name) {
        const char16_t ch = qch.unicode();
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_' ||
            ch == '-' || ch == '.')
            out += char(ch);
        else if (ch == '/')
            out += '\\';
        else if (ch <= 0xFF)
            out += '%' + QByteArray::number(ch, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(ch, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

// The file's text with `key` in `section` set to `line` (a whole "key=value" line), or removed when there
// is none. As the later of two lines for a key wins, every line for the key goes and the new one takes
// the place of the first. Every other name and value is written out as Qt writes it, so that Qt reads
// the file as this store does ("1;2" goes out quoted), and a line that no reader takes for a setting (no
// "=", a NUL byte) is dropped: a file of garbage becomes a settings file again.
QByteArray editedIni(QByteArray data, const QString& section, const QString& key,
                     const std::optional<QByteArray>& line) {
    const bool bom = data.startsWith("\xEF\xBB\xBF");
    if (bom) data.remove(0, 3);
    const QByteArray eol = data.contains("\r\n") ? "\r\n" : "\n";
    data.replace("\r\n", "\n").replace('\r', '\n'); // a carriage return ends a line too, as for Qt
    QList<QByteArray> lines;
    qsizetype header = -1, lastInSection = -1, first = -1;
    bool inSection = false;
    for (const QByteArray& raw : data.split('\n')) {
        const QByteArrayView text = QByteArrayView(raw).trimmed();
        if (text.isEmpty() || text.startsWith(';')) {
            lines.append(raw);
            continue;
        }
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            const QString name =
                unescapedName(text.sliced(1, (close < 0 ? text.size() : close) - 1).trimmed());
            inSection = name == section;
            if (inSection && header < 0) header = lastInSection = lines.size();
            lines.append('[' + escapedName(name) + ']');
            continue;
        }
        const qsizetype equals = text.indexOf('=');
        if (equals <= 0 || text.contains('\0')) continue;
        const QString name = unescapedName(text.first(equals).trimmed());
        if (inSection && name == key) {
            if (first >= 0 || !line) continue;
            first = lines.size();
            lines.append(*line);
        } else {
            const QByteArray value = storedText(text.sliced(equals + 1).trimmed().toByteArray());
            lines.append(escapedName(name) + '=' + iniWritten(QString::fromUtf8(value)));
        }
        if (inSection) lastInSection = lines.size() - 1;
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (line && first < 0) {
        if (header >= 0) {
            lines.insert(lastInSection + 1, *line);
        } else {
            if (!lines.isEmpty()) lines.append(QByteArray());
            lines.append('[' + escapedName(section) + ']');
            lines.append(*line);
        }
    }
    QByteArray out = bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const QByteArray& l : lines)
        out += l + eol;
    return out;
}

// Sets or removes one key in the file, under the lock that Qt's own writer takes, and replaces the file
// whole (write beside it, then rename), so that a copy killed mid-save leaves the old file or the new one.
// The file is read afresh under the lock, so a second copy's save in between is never lost. A file that
// can't be read or written is left alone, as Qt's writer would leave it.
bool editIniFile(const QString& fileName, const QString& section, const QString& key,
                 const std::optional<QString>& value) {
    const QFileInfo info(fileName);
    if (!QDir().mkpath(info.absolutePath())) return false;
    QLockFile lock(fileName + QStringLiteral(".lock"));
    lock.setStaleLockTime(2000); // a save takes milliseconds; an older lock is one a killed copy left
    if (!lock.tryLock(5000)) return false;
    QByteArray data;
    if (info.exists()) {
        QFile in(fileName);
        if (!info.isFile() || !info.isWritable() || !in.open(QIODevice::ReadOnly)) return false;
        data = in.readAll();
    }
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (!info.exists()) out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const auto line = value ? std::optional(escapedName(key) + '=' + iniWritten(*value)) : std::nullopt;
    out.write(editedIni(data, section, key, line));
    return out.commit();
}

// On Windows the values live in the registry under HKEY_CURRENT_USER\Software\<application>\<section>;
// elsewhere in the native per-user store named after the application (on Linux <application>.conf).
std::unique_ptr<QSettings> openStore(std::string_view appName) {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + toQString(appName),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, toQString(appName));
#endif
}

} // namespace

std::string QtSettingsStore::GetSetting(std::string_view appName, std::string_view section,
                                        std::string_view key, std::string_view fallback) {
    if (const auto it = unsaved_.find(Address(appName, section, key)); it != unsaved_.end())
        return it->second;
    return Stored(appName, section, key).value_or(std::string(fallback));
}

std::optional<std::string> QtSettingsStore::Stored(std::string_view appName, std::string_view section,
                                                   std::string_view key) {
    const auto store = openStore(appName);
    QSettings& settings = *store;
    const QString name = toQString(key);
    if (kStoreIsIniFile) {
        // The file itself, not Qt's reading of it: that one loses hand edits and may hold failed writes.
        // A file that can't be opened holds nothing; a malformed line is skipped, as Qt does.
        const auto value = valueOf(sectionValues(settings.fileName(), toQString(section)), name);
        if (!value) return std::nullopt;
        return storedText(*value).toStdString();
    }

    // The registry and property lists keep texts as they are; only an outside edit stores a list or a
    // number there.
    settings.beginGroup(toQString(section));
    const QVariant read = settings.value(name);
    if (settings.status() == QSettings::AccessError || !read.isValid()) return std::nullopt;
    if (read.typeId() == QMetaType::QStringList) return read.toStringList().join(u',').toStdString();
    return read.toString().toStdString();
}

void QtSettingsStore::SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                                  std::string_view value) {
    const Address address(appName, section, key);
    if (Edit(appName, section, key, value)) {
        unsaved_.erase(address);
        return;
    }
    unsaved_[address] = std::string(value);
    const QString fileName = openStore(appName)->fileName();
    errors_ << "tallix: could not save setting " << key << " to " << fileName.toStdString() << '\n'
            << std::flush;
}

bool QtSettingsStore::Edit(std::string_view appName, std::string_view section, std::string_view key,
                           std::optional<std::string_view> value) {
    const auto store = openStore(appName);
    if (kStoreIsIniFile)
        return editIniFile(store->fileName(), toQString(section), toQString(key),
                           value ? std::optional(toQString(*value)) : std::nullopt);
    store->beginGroup(toQString(section));
    if (value)
        store->setValue(toQString(key), toQString(*value));
    else
        store->remove(toQString(key));
    store->sync();
    return store->status() == QSettings::NoError;
}

} // namespace tallix
