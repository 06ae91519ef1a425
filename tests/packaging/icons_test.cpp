// The icon theme's PNG files (TALLIX_ICON_THEME_DIR/<size>x<size>/apps/tallix.png, installed by the
// packaging_install test) are the images of the program's icon file (TALLIX_ICON_FILE), pixel for
// pixel, transparency included.

#include <QImage>
#include <QImageReader>
#include <QTest>

class IconsTest : public QObject {
    Q_OBJECT

private slots:
    void themeIconIsTheIconFileImage() {
        for (const int size : {24, 48}) {
            QImageReader png(QStringLiteral(TALLIX_ICON_THEME_DIR "/%1x%1/apps/tallix.png").arg(size));
            QCOMPARE(png.format(), QByteArray("png"));
            QImage ico;
            QImageReader reader(QStringLiteral(TALLIX_ICON_FILE));
            for (int index = 0; ico.size() != QSize(size, size) && reader.jumpToImage(index); ++index)
                ico = reader.read();
            QCOMPARE(ico.size(), QSize(size, size));
            QCOMPARE(png.read().convertToFormat(QImage::Format_ARGB32),
                     ico.convertToFormat(QImage::Format_ARGB32));
        }
    }
};

QTEST_GUILESS_MAIN(IconsTest)
#include "icons_test.moc"
