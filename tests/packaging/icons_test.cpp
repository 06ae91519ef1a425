// The icon theme's PNG files, made at build time from the program's icon file, are that file's images
// pixel for pixel, transparency included. The build names the icon file (TALLIX_ICON_FILE) and the
// installed theme folder (TALLIX_ICON_THEME_DIR, holding <size>x<size>/apps/tallix.png) that the
// packaging_install test fills.

#include <QImage>
#include <QImageReader>
#include <QTest>

namespace {

QImage IcoImage(int size) {
    QImageReader reader(QStringLiteral(TALLIX_ICON_FILE));
    for (int index = 0; index < reader.imageCount() && reader.jumpToImage(index); ++index) {
        const QImage image = reader.read();
        if (image.size() == QSize(size, size)) return image.convertToFormat(QImage::Format_ARGB32);
    }
    return {};
}

} // namespace

class IconsTest : public QObject {
    Q_OBJECT

private slots:
    void themeIconIsTheIconFileImage_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("24x24") << 24;
        QTest::newRow("48x48") << 48;
    }

    void themeIconIsTheIconFileImage() {
        QFETCH(int, size);
        const QString path = QStringLiteral(TALLIX_ICON_THEME_DIR "/%1x%1/apps/tallix.png").arg(size);
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage png = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!png.isNull(), qPrintable(path));
        const QImage ico = IcoImage(size);
        QVERIFY2(!ico.isNull(), "the icon file has no image of this size");

        QCOMPARE(png.size(), QSize(size, size));
        QVERIFY(png.hasAlphaChannel());
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (png.pixel(x, y) != ico.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("pixel (%1,%2) is %3 in the PNG, %4 in the icon file")
                                         .arg(x)
                                         .arg(y)
                                         .arg(png.pixel(x, y), 8, 16, QLatin1Char('0'))
                                         .arg(ico.pixel(x, y), 8, 16, QLatin1Char('0'))));
    }
};

QTEST_GUILESS_MAIN(IconsTest)

#include "icons_test.moc"
