#include "settings/ini_file/ini_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace tallix::ini {
namespace {

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

// UTF-8 bytes as text, a byte-order mark among them kept: between two escapes it is a character.
QString decoded(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
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
        text += decoded(body.sliced(plain, i - plain));
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
    text += decoded(body.sliced(plain));
    if (text.startsWith(QStringLiteral("@String(")) && text.endsWith(u')'))
        text = text.sliced(8, text.size() - 9);
    else if (text.startsWith(QStringLiteral("@@")))
        text.remove(0, 1);
    if (iniWritten(text) != value) return std::nullopt;
    return text;
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

// One line of the file: its text, without the terminator ("\r\n", "\n" or a lone "\r", each of which
// ends a line for Qt too), and where it starts and ends in the file.
struct Line {
    qsizetype start;
    qsizetype end;       // of the text
    qsizetype next;      // start of the next line, after the terminator
    QByteArrayView text; // trimmed, without a byte-order mark
};

// Calls `visit` with each line of the file, first to last.
template <typename Visit>
void forEachLine(QByteArrayView file, Visit visit) {
    const char* const data = file.data();
    const qsizetype size = file.size();
    const qsizetype bom = file.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (qsizetype start = 0; start < size;) {
        const auto* newline =
            static_cast<const char*>(std::memchr(data + start, '\n', std::size_t(size - start)));
        const qsizetype lineFeed = newline ? newline - data : size;
        const auto* cr =
            static_cast<const char*>(std::memchr(data + start, '\r', std::size_t(lineFeed - start)));
        const qsizetype end = cr ? cr - data : lineFeed;
        const qsizetype next =
            end == size ? end : end + (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1);
        const qsizetype from = start == 0 ? bom : start;
        visit(Line{start, end, next, file.sliced(from, end - from).trimmed()});
        start = next;
    }
}

// Where one section's settings sit in a file: the lines that hold each of its keys, and the line after
// which a new key goes.
struct SectionMap {
    explicit SectionMap(QByteArrayView file, const QString& section) {
        bool inSection = false;
        forEachLine(file, [&](const Line& line) {
            const QByteArrayView text = line.text;
            if (text.isEmpty() || text.startsWith(';')) return;
            if (text.startsWith('[')) {
                const qsizetype close = text.indexOf(']');
                inSection =
                    unescapedName(text.sliced(1, (close < 0 ? text.size() : close) - 1).trimmed()) == section;
                if (inSection) last = line;
                return;
            }
            if (!inSection) return;
            const qsizetype equals = text.indexOf('=');
            if (equals <= 0) return;
            keyLines.push_back({unescapedName(text.first(equals).trimmed()), line});
            last = line;
        });
    }

    // The lines of `key`, first to last.
    std::vector<Line> LinesOf(const QString& key) const {
        std::vector<Line> found;
        for (const auto& [name, line] : keyLines)
            if (name == key) found.push_back(line);
        return found;
    }

    std::vector<std::pair<QString, Line>> keyLines;
    std::optional<Line> last; // the section's header or last setting; nothing when there is no section
};

// The terminator a new line gets: the one of the line before it, else the file's first one.
QByteArray terminatorAfter(QByteArrayView file, const std::optional<Line>& line) {
    if (line && line->next > line->end) return file.sliced(line->end, line->next - line->end).toByteArray();
    QByteArray eol = "\n";
    bool found = false;
    forEachLine(file, [&](const Line& each) {
        if (found || each.next == each.end) return;
        eol = file.sliced(each.end, each.next - each.end).toByteArray();
        found = true;
    });
    return eol;
}

// The pieces end to end.
QByteArray joined(std::initializer_list<QByteArrayView> pieces) {
    QByteArray out;
    for (const QByteArrayView piece : pieces)
        out.append(piece);
    return out;
}

QByteArray applied(QByteArrayView file, const QString& section, const Change& change) {
    const SectionMap map(file, section);
    const std::vector<Line> keyLines = map.LinesOf(change.key);
    if (!change.value) {
        QByteArray out;
        qsizetype kept = 0;
        for (const Line& line : keyLines) {
            out.append(file.sliced(kept, line.start - kept));
            kept = line.next;
        }
        return out.append(file.sliced(kept));
    }
    const QByteArray setting = escapedName(change.key) + '=' + iniWritten(*change.value);
    if (!keyLines.empty()) {
        // The last line for a key is the one every reader takes.
        const Line& line = keyLines.back();
        return joined({file.first(line.start), setting, file.sliced(line.end)});
    }
    const QByteArray eol = terminatorAfter(file, map.last);
    if (const auto& line = map.last) {
        if (line->next > line->end)
            return joined({file.first(line->next), setting, eol, file.sliced(line->next)});
        return joined({file, eol, setting}); // the section's last line ends the file, unterminated
    }
    QByteArray out = file.toByteArray();
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r')) out += eol;
    if (!out.isEmpty()) out += eol;
    return out + '[' + escapedName(section) + ']' + eol + setting + eol;
}

} // namespace

std::optional<QByteArray> StoredText(QByteArrayView file, const QString& section, const QString& key) {
    const SectionMap map(file, section);
    const std::vector<Line> keyLines = map.LinesOf(key);
    if (keyLines.empty()) return std::nullopt;
    const QByteArrayView text = keyLines.back().text;
    const QByteArray value = text.sliced(text.indexOf('=') + 1).trimmed().toByteArray();
    const auto written = textWrittenAs(value);
    return written ? written->toUtf8() : value;
}

QByteArray Edited(QByteArrayView file, const QString& section, std::span<const Change> changes) {
    QByteArray out = file.toByteArray();
    for (const Change& change : changes)
        out = applied(out, section, change);
    return out;
}

} // namespace tallix::ini
