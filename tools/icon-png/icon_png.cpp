// tallix-icon-png ICON SIZE OUTPUT: writes the SIZE x SIZE image of the icon file ICON as a PNG file,
// pixel for pixel (never scaled), so that the desktop's icon theme shows the program's own icon.
// Fails when the icon holds no image of that size.

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // lets Qt find its image format plugins (the icon reader is one)
    const QStringList args = QCoreApplication::arguments();
    bool sizeOk = false;
    const int size = args.size() == 4 ? args[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        std::fprintf(stderr, "usage: tallix-icon-png ICON SIZE OUTPUT.png\n");
        return 2;
    }

    QImageReader reader(args[1]);
    reader.setAutoTransform(false);
    for (int index = 0; index < reader.imageCount(); ++index) {
        if (!reader.jumpToImage(index)) break;
        const QImage image = reader.read();
        if (image.isNull()) break;
        if (image.width() != size || image.height() != size) continue;
        if (!image.save(args[3], "PNG")) {
            std::fprintf(stderr, "tallix-icon-png: cannot write %s\n", qPrintable(args[3]));
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "tallix-icon-png: %s has no %dx%d image (%s)\n", qPrintable(args[1]), size, size,
                 qPrintable(reader.errorString()));
    return 1;
}
