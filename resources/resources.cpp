#include "resources/resources.h"

#include <QBitmap>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QResource>
#include <QtEndian>

#include <array>
#include <optional>
#include <utility>

namespace tallix {

namespace {

// Only Windows can show the cursor pixels that invert the screen.
#ifdef Q_OS_WIN
constexpr bool kCursorCanInvert = true;
#else
constexpr bool kCursorCanInvert = false;
#endif

struct MonoCursor {
    QBitmap bitmap;
    QBitmap mask;
    QPoint hotSpot;
};

quint16 u16(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.constData() + at);
}
quint32 u32(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.constData() + at);
}
qint32 s32(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<qint32>(data.constData() + at);
}

// An uncompressed 24-bit bottom-up bitmap (what the program's backgrounds are) copied row by row,
// without the general reader's per-pixel work; anything else gives a null image.
QImage readPlainBitmap(const QByteArray& data) {
    constexpr qsizetype kInfo = 14;
    if (data.size() < kInfo + 40 || u16(data, 0) != 0x4D42 || u32(data, kInfo) != 40 ||
        u16(data, kInfo + 12) != 1 || u16(data, kInfo + 14) != 24 || u32(data, kInfo + 16) != 0)
        return {};
    const qint32 width = s32(data, kInfo + 4);
    const qint32 height = s32(data, kInfo + 8);
    const qsizetype pixels = u32(data, 10);
    if (width <= 0 || width > 4096 || height <= 0 || height > 4096 || pixels < kInfo + 40) return {};
    const qsizetype rowBytes = (qsizetype(width) * 3 + 3) / 4 * 4;
    if (pixels > data.size() || (data.size() - pixels) / rowBytes < height) return {};
    // In the pixmaps' own format, so that making the pixmap converts nothing.
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int y = 0; y < height; ++y) {
        const auto* bgr =
            reinterpret_cast<const uchar*>(data.constData() + pixels + (height - 1 - y) * rowBytes);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, bgr += 3)
            line[x] = qRgb(bgr[2], bgr[1], bgr[0]);
    }
    const qint32 dotsX = s32(data, kInfo + 24);
    const qint32 dotsY = s32(data, kInfo + 28);
    if (dotsX > 0) image.setDotsPerMeterX(dotsX);
    if (dotsY > 0) image.setDotsPerMeterY(dotsY);
    return image;
}

// Reads the first image of a CUR file, which must be a 1-bit XOR/AND pair, into Qt's bitmap/mask
// pair. Qt reads bitmap/mask as 1/1 black, 0/1 white, 0/0 transparent and 1/0 inverted.
std::optional<MonoCursor> parseMonoCursor(const QByteArray& data) {
    constexpr qsizetype kDirectoryEnd = 6 + 16;
    if (data.size() < kDirectoryEnd || u16(data, 0) != 0 || u16(data, 2) != 2 || u16(data, 4) < 1)
        return std::nullopt;
    const int width = static_cast<uchar>(data[6]) ? static_cast<uchar>(data[6]) : 256;
    const int height = static_cast<uchar>(data[7]) ? static_cast<uchar>(data[7]) : 256;
    const QPoint hotSpot(u16(data, 10), u16(data, 12));
    const qsizetype image = u32(data, 18);
    if (image < kDirectoryEnd || image > data.size() - 40) return std::nullopt;
    const qsizetype headerSize = u32(data, image);
    if (headerSize < 40 || u32(data, image + 4) != quint32(width) ||
        u32(data, image + 8) != quint32(2 * height) || u16(data, image + 14) != 1 ||
        u32(data, image + 16) != 0)
        return std::nullopt;
    const qsizetype palette = image + headerSize;
    const qsizetype rowBytes = (width + 31) / 32 * 4;
    const qsizetype xorMask = palette + 2 * 4;
    const qsizetype andMask = xorMask + rowBytes * height;
    if (andMask + rowBytes * height > data.size()) return std::nullopt;

    // Which of the two palette entries is the light one (entries are blue, green, red, unused).
    bool light[2];
    for (int i = 0; i < 2; ++i) {
        const auto* entry = reinterpret_cast<const uchar*>(data.constData() + palette + 4 * i);
        light[i] = entry[0] + entry[1] + entry[2] >= 3 * 128;
    }
    const auto bit = [&](qsizetype plane, int x, int y) {
        const auto byte = static_cast<uchar>(data[plane + (height - 1 - y) * rowBytes + x / 8]);
        return ((byte >> (7 - x % 8)) & 1) != 0;
    };

    QImage bitmap(width, height, QImage::Format_MonoLSB);
    QImage mask(width, height, QImage::Format_MonoLSB);
    for (QImage* plane : {&bitmap, &mask}) {
        plane->setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)}); // Qt's color0 and color1
        plane->fill(0);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool screenKept = bit(andMask, x, y);
            const bool lightPixel = light[bit(xorMask, x, y) ? 1 : 0];
            if (!screenKept) { // drawn in the palette colour
                bitmap.setPixel(x, y, lightPixel ? 0 : 1);
                mask.setPixel(x, y, 1);
            } else if (lightPixel) { // XOR with white: inverts the screen
                bitmap.setPixel(x, y, kCursorCanInvert ? 1 : 0);
                mask.setPixel(x, y, kCursorCanInvert ? 0 : 1);
            } // else transparent: 0/0 already
        }
    }
    return MonoCursor{QBitmap::fromImage(bitmap), QBitmap::fromImage(mask), hotSpot};
}

// Reads the images of an ICO file whose every image is an uncompressed 8-bit bitmap with its AND
// mask (what the program's icon holds), as Qt's ico plugin would: palette colours, transparent where
// the mask is set. Done here, so that the plugin library need not be looked for and loaded before
// the first paint. Anything else gives an empty list.
QList<QImage> readPalettedIcon(const QByteArray& data) {
    if (data.size() < 6 || u16(data, 0) != 0 || u16(data, 2) != 1) return {};
    const int count = u16(data, 4);
    if (count < 1 || data.size() < 6 + 16 * qsizetype(count)) return {};
    QList<QImage> images;
    for (int entry = 0; entry < count; ++entry) {
        const qsizetype directory = 6 + 16 * qsizetype(entry);
        const qsizetype image = u32(data, directory + 12);
        if (image < 6 + 16 * qsizetype(count) || image > data.size() - 40) return {};
        const qsizetype headerSize = u32(data, image);
        const qint32 width = qint32(u32(data, image + 4));
        const qint32 doubleHeight = qint32(u32(data, image + 8));
        if (headerSize != 40 || width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight > 512 ||
            doubleHeight % 2 != 0 || u16(data, image + 12) != 1 || u16(data, image + 14) != 8 ||
            u32(data, image + 16) != 0)
            return {};
        const int height = doubleHeight / 2;
        const quint32 used = u32(data, image + 32);
        const int colours = used == 0 ? 256 : int(used);
        if (colours > 256) return {};
        const qsizetype palette = image + headerSize;
        const qsizetype xorRow = (qsizetype(width) * 8 + 31) / 32 * 4;
        const qsizetype andRow = (qsizetype(width) + 31) / 32 * 4;
        const qsizetype xorMask = palette + 4 * qsizetype(colours);
        const qsizetype andMask = xorMask + xorRow * height;
        if (andMask + andRow * height > data.size()) return {};
        QImage picture(width, height, QImage::Format_ARGB32);
        if (picture.isNull()) return {};
        for (int y = 0; y < height; ++y) {
            const auto* indices =
                reinterpret_cast<const uchar*>(data.constData() + xorMask + (height - 1 - y) * xorRow);
            const auto* masks =
                reinterpret_cast<const uchar*>(data.constData() + andMask + (height - 1 - y) * andRow);
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const int index = indices[x];
                QRgb colour = qRgba(0, 0, 0, 255);
                if (index < colours) {
                    const auto* bgr = reinterpret_cast<const uchar*>(data.constData() + palette + 4 * index);
                    colour = qRgba(bgr[2], bgr[1], bgr[0], 255);
                }
                const bool transparent = ((masks[x / 8] >> (7 - x % 8)) & 1) != 0;
                line[x] = transparent ? (colour & RGB_MASK) : colour;
            }
        }
        images.append(std::move(picture));
    }
    return images;
}

// Installs a font compiled into the program. Qt's addApplicationFont(path) would copy the file into
// memory, and FreeType would read it into memory a second time; the fonts are stored uncompressed,
// so both can use the bytes where they lie in the program instead, which stay for the process's life.
void addBundledFont(const QString& path) {
    const QResource resource(path);
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression &&
        resource.data()) {
        QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
            reinterpret_cast<const char*>(resource.data()), static_cast<qsizetype>(resource.size())));
        return;
    }
    QFontDatabase::addApplicationFont(path);
}

// A face of the window definitions that few systems have, and what shows in its place: the first of
// `families` that is installed, at the size that gives it about the width of the face it replaces.
struct StandIn {
    const char* face;
    std::array<const char*, 2> families;
    double scale;
};

const std::array<StandIn, 3> kStandIns{{
    // Comic Neue runs wider than JACKIE: at full size the welcome heading and the experience
    // calculator key would not fit their boxes.
    {"JACKIE", {"Comic Neue", nullptr}, 0.95},
    {"Times New Roman", {"Liberation Serif", nullptr}, 1.0}, // the same metrics
    // The classic dialog face of texts without a font of their own; its 8-point bitmaps are about as
    // wide as Arial at 7.5 points.
    {"MS Sans Serif", {"Arial", "Liberation Sans"}, 7.5 / 8},
}};

// Only installed families are named: a name that the font database lacks costs a fontconfig search
// for fallbacks every time a text needs a new size, and resolves to the next name anyway.
QFont standInFont(const QStringList& installed, const QString& face, double points, bool bold) {
    QStringList families{face};
    double size = points;
    for (const StandIn& standIn : kStandIns) {
        if (face.compare(QLatin1String(standIn.face), Qt::CaseInsensitive) != 0 ||
            installed.contains(face, Qt::CaseInsensitive))
            continue;
        families.clear();
        for (const char* family : standIn.families)
            if (family && installed.contains(QLatin1String(family), Qt::CaseInsensitive))
                families.append(QLatin1String(family));
        size = points * standIn.scale;
    }
    QFont font; // the desktop's face where no stand-in is installed
    if (!families.isEmpty()) font.setFamilies(families);
    font.setPointSizeF(size);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

const QStringList& installedFamilies() {
    static const QStringList families = [] {
        for (const char* path : {":/fonts/ComicNeue-Regular.otf", ":/fonts/ComicNeue-Bold.otf",
                                 ":/fonts/LiberationSerif-Regular.ttf"})
            addBundledFont(QString::fromLatin1(path));
        const QStringList installed = QFontDatabase::families();
        // The windows were laid out for the classic 8-point dialog font: the larger and wider defaults
        // of today's desktops would cut captions off inside their boxes.
        QFont standard = standInFont(installed, QStringLiteral("MS Sans Serif"), 8, false);
        standard.setFamilies(standard.families() << QGuiApplication::font().family());
        QGuiApplication::setFont(standard);
        return installed;
    }();
    return families;
}

} // namespace

void RegisterFonts() {
    installedFamilies();
}

QFont ShownFont(const QString& face, double points, bool bold) {
    return standInFont(installedFamilies(), face, points, bold);
}

QCursor SpecialPointer() {
    QFile file(QString::fromLatin1(kPointerPath));
    if (!file.open(QIODevice::ReadOnly)) return QCursor(Qt::ArrowCursor);
    const std::optional<MonoCursor> cursor = parseMonoCursor(file.readAll());
    if (!cursor) return QCursor(Qt::ArrowCursor);
    return QCursor(cursor->bitmap, cursor->mask, cursor->hotSpot.x(), cursor->hotSpot.y());
}

QPixmap LoadBitmap(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QImage image = readPlainBitmap(file.readAll());
        if (!image.isNull()) return QPixmap::fromImage(std::move(image));
    }
    QImageReader reader(path, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) return QPixmap(path);
    return QPixmap::fromImage(std::move(image));
}

QIcon ProgramIcon() {
    return LoadIcon(QString::fromLatin1(kProgramIconPath));
}

QIcon LoadIcon(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QImage> images = readPalettedIcon(file.readAll());
        if (!images.isEmpty()) {
            QIcon icon;
            for (const QImage& image : images)
                icon.addPixmap(QPixmap::fromImage(image));
            return icon;
        }
    }
    return QIcon(path);
}

} // namespace tallix
