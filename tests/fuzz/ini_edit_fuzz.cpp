// Any settings file up to 64 KiB, any key and any value: after the edit the value reads back as written,
// and every line of the old file that holds no setting of that key is still there, in order.
#include "settings/ini_file/ini_text.h"

#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// The file's lines; a carriage return ends a line as a line feed does.
QList<QByteArray> linesOf(QByteArray file) {
    return file.replace('\r', '\n').split('\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two length bytes, then the key and the value, then the file.
    if (size < 2 || size > 2 + 2 * 255 + (64 << 10)) return 0;
    const std::size_t keySize = data[0] % 32 + 1, valueSize = data[1];
    if (size < 2 + keySize + valueSize) return 0;
    const auto* bytes = reinterpret_cast<const char*>(data + 2);
    const QString key = QString::fromUtf8(bytes, qsizetype(keySize));
    const QString value = QString::fromUtf8(bytes + keySize, qsizetype(valueSize));
    const QByteArray file(bytes + keySize + valueSize, qsizetype(size - 2 - keySize - valueSize));
    if (key.isEmpty()) return 0; // the program's keys are names; a leading byte-order mark decodes to nothing
    const QString section = QStringLiteral("Default Settings");

    const tallix::ini::Change change{key, value};
    const QByteArray edited = tallix::ini::Edited(file, section, {&change, 1});
    const auto read = tallix::ini::StoredText(edited, section, key);
    check(read && *read == value.toUtf8());

    const QList<QByteArray> after = linesOf(edited);
    qsizetype next = 0;
    for (const QByteArray& line : linesOf(file)) {
        // A line that the reader takes for the key, in this section or any, is the edit's to change.
        if (tallix::ini::StoredText("[Default%20Settings]\n" + line, section, key)) continue;
        while (next < after.size() && after[next] != line)
            ++next;
        check(next < after.size());
        ++next;
    }
    return 0;
}
