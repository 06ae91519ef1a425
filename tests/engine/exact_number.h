#pragma once

#include <QString>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <optional>

// Numbers of the engine's tables, written as C's strtod reads them (in the "C" locale).
inline double ReadNumber(const QString& text) {
    return std::strtod(text.toUtf8().constData(), nullptr);
}

// A number with its bits, so tables compare exactly (zero's sign too); "nan" for any NaN, "refused" for none.
inline QString Exact(std::optional<double> value) {
    if (!value) return QStringLiteral("refused");
    if (std::isnan(*value)) return QStringLiteral("nan");
    const QString bits = QString::number(std::bit_cast<quint64>(*value), 16);
    return QStringLiteral("%1 (bits %2)").arg(QString::number(*value, 'g', 17), bits);
}

// A table's number cell the same way; "refused" stays as it is.
inline QString Exact(const QString& cell) {
    return cell == u"refused" ? cell : Exact(ReadNumber(cell));
}
