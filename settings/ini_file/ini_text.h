#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <span>

namespace tallix::ini {

// The settings file's text, in the format that QSettings reads and writes on the freedesktop systems.
// Qt's own reader doesn't give back every text as it was written; what Qt 6.4 makes of a hand-edited
// value:
//  - an unquoted "," splits it into a QStringList, trimming blanks around each item ("a, b" is {a, b});
//  - an unquoted ";" starts a comment, so "1;2" reads as "1";
//  - double quotes are dropped (x"y"z reads as xyz), and an unclosed one runs on over the following
//    lines, hiding the keys there;
//  - backslash escapes are decoded (\x41 is A), and a leading "@" marks a typed value (@Invalid() is
//    nothing at all).
// Qt writes every text so that it reads back exactly ("a,b" goes out as "\"a,b\"", "@x" as "@@x"). So
// the program reads the lines itself: a value spelt exactly as Qt writes some text is that text, and any
// other is a hand edit, taken as it stands after "=", without the blanks around it. As in Qt, a later
// line for a key wins, a line starting with ";" is a comment and a line without "=" is skipped.

// The text stored under `key` in `section`, in UTF-8; nothing when the file holds no line for it.
std::optional<QByteArray> StoredText(QByteArrayView file, const QString& section, const QString& key);

// One change: the key's new text, or nothing to remove every line of the key.
struct Change {
    QString key;
    std::optional<QString> value;
};

// The file with the changes made in `section`. A change rewrites the line that holds the key's value
// (the last one), or adds the key after the section's last setting, or the section at the end of the
// file. Every other byte stays as it was: other sections and keys, Qt's typed values, comments, lines
// no reader understands, NUL bytes, line endings, a byte-order mark.
QByteArray Edited(QByteArrayView file, const QString& section, std::span<const Change> changes);

} // namespace tallix::ini
