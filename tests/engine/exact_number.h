#pragma once

#include <QString>

#include <cmath>
#include <cstdlib>
#include <optional>

// Numbers of the engine's tables, written as C's strtod reads them (in the "C" locale).
inline double ReadNumber(const QString& text) {
    return std::strtod(text.toUtf8().constData(), nullptr);
}

// A number as hexadecimal text, so that tables compare it bit for bit (the sign of zero too): "nan" for
// every NaN, "refused" for no number.
inline QString Exact(std::optional<double> value) {
    if (!value) return QStringLiteral("refused");
    return std::isnan(*value) ? QStringLiteral("nan") : QString::asprintf("%a", *value);
}

// A table's number cell the same way; "refused" stays as it is.
inline QString Exact(const QString& cell) {
    return cell == u"refused" ? cell : Exact(ReadNumber(cell));
}
