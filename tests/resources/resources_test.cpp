#include "resources/resources.h"
#include "tests/support/test_main.h"

#include <QBitmap>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QProcess>
#include <QtEndian>

// A committed image by its file name, as compiled into the program.
static QByteArray Committed(const QString& file) {
    QFile resource(QStringLiteral(":/images/") + file);
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { tallix::RegisterFonts(); }

    // The little-endian 32 bits at an offset; at -1, the file's length.
    void headers_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("at");
        QTest::addColumn<quint32>("value");
        QTest::newRow("picture.bmp length") << "picture.bmp" << -1 << 207926u;
        QTest::newRow("window.bmp length") << "window.bmp" << -1 << 207926u;
        QTest::newRow("pointer.cur length") << "pointer.cur" << -1 << 326u;
        QTest::newRow("tallix.ico length") << "tallix.ico" << -1 << 5526u;
        QTest::newRow("bmp file size") << "picture.bmp" << 2 << 207926u;
        QTest::newRow("bmp pixels right after the headers") << "picture.bmp" << 10 << 54u;
        QTest::newRow("bmp 270 wide") << "picture.bmp" << 18 << 270u;
        QTest::newRow("bmp 256 high, bottom-up") << "picture.bmp" << 22 << 256u;
        QTest::newRow("bmp one plane, 24 bits") << "picture.bmp" << 26 << (24u << 16 | 1u);
        QTest::newRow("bmp uncompressed") << "picture.bmp" << 30 << 0u;
        QTest::newRow("cur: a cursor, one image") << "pointer.cur" << 2 << (1u << 16 | 2u);
        QTest::newRow("cur 32x32, 2 colours") << "pointer.cur" << 6 << 0x00022020u;
        QTest::newRow("cur hot spot at 0,0") << "pointer.cur" << 10 << 0u;
        QTest::newRow("cur image offset") << "pointer.cur" << 18 << 22u;
        QTest::newRow("cur masks stacked: twice the height") << "pointer.cur" << 22 + 8 << 64u;
        QTest::newRow("cur 1 bit, uncompressed") << "pointer.cur" << 22 + 14 << 1u;
        QTest::newRow("ico: an icon, two images") << "tallix.ico" << 2 << (2u << 16 | 1u);
        QTest::newRow("ico first image 24x24") << "tallix.ico" << 6 << 0x1818u;
        QTest::newRow("ico second image 48x48") << "tallix.ico" << 6 + 16 << 0x3030u;
        QTest::newRow("ico second image offset") << "tallix.ico" << 6 + 16 + 12 << 38u + 1736u;
        QTest::newRow("ico second image 8 bits") << "tallix.ico" << 38 + 1736 + 14 << 8u;
    }
    void headers() {
        QFETCH(QString, file);
        QFETCH(int, at);
        QFETCH(quint32, value);
        const QByteArray data = Committed(file);
        QVERIFY(at + 4 <= data.size());
        QCOMPARE(at < 0 ? quint32(data.size()) : qFromLittleEndian<quint32>(data.constData() + at), value);
    }

    void bmpColours_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        const QColor silver(192, 192, 192), navy(0, 0, 128);
        QTest::newRow("band bottom") << "picture.bmp" << QPoint(100, 55) << silver;
        QTest::newRow("left panel top left") << "picture.bmp" << QPoint(0, 56) << navy;
        QTest::newRow("stripe left edge") << "picture.bmp" << QPoint(160, 100) << silver;
        QTest::newRow("right panel bottom left") << "picture.bmp" << QPoint(216, 255) << navy;
        // The panels' corners by the stripe are rounded: pixels on either side of the curve.
        QTest::newRow("left corner, just outside") << "picture.bmp" << QPoint(156, 56) << silver;
        QTest::newRow("left corner, just inside") << "picture.bmp" << QPoint(157, 57) << navy;
        QTest::newRow("right corner, just outside") << "picture.bmp" << QPoint(219, 56) << silver;
        QTest::newRow("right corner, just inside") << "picture.bmp" << QPoint(218, 57) << navy;
        QTest::newRow("picture: no line over the right panel") << "picture.bmp" << QPoint(269, 55) << silver;
        QTest::newRow("window: line over the right panel") << "window.bmp" << QPoint(216, 55) << navy;
        QTest::newRow("window: line ends at the panel") << "window.bmp" << QPoint(215, 55) << silver;
    }
    void bmpColours() {
        QFETCH(QString, file);
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        const QImage image = QImage::fromData(Committed(file));
        QCOMPARE(image.size(), QSize(270, 256));
        QCOMPARE(image.pixelColor(at), colour);
    }

    // Qt's pairs: 1/1 black, 0/1 white, 0/0 transparent, 1/0 inverted (Windows only); 1 is drawn black.
    void pointerMasks_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("bitmap");
        QTest::addColumn<bool>("mask");
        QTest::newRow("tip, black outline") << QPoint(0, 0) << true << true;
#ifdef Q_OS_WIN
        QTest::newRow("interior, inverted") << QPoint(1, 2) << true << false;
#else
        QTest::newRow("interior, white") << QPoint(1, 2) << false << true;
#endif
        QTest::newRow("right of the tip, transparent") << QPoint(2, 0) << false << false;
    }
    void pointerMasks() {
        QFETCH(QPoint, at);
        QFETCH(bool, bitmap);
        QFETCH(bool, mask);
        const QCursor cursor = tallix::SpecialPointer();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
        QCOMPARE(cursor.bitmap().toImage().pixelColor(at) == Qt::black, bitmap);
        QCOMPARE(cursor.mask().toImage().pixelColor(at) == Qt::black, mask);
    }

    void fontsResolveToBundledFaces() {
        // Each bundled file registered itself, whatever the system has installed: application font ids
        // count from 0 in a fresh process.
        QStringList registered;
        for (int id = 0; id < 3; ++id)
            registered += QFontDatabase::applicationFontFamilies(id);
        QCOMPARE(registered, QStringList({"Comic Neue", "Comic Neue", "Liberation Serif"}));
        QCOMPARE(QFontInfo(tallix::ShownFont("JACKIE", 12)).family(), "Comic Neue");
        QVERIFY(QFontInfo(tallix::ShownFont("JACKIE", 12, true)).bold());
        // Where the system has the real "Times New Roman", that face rightly wins.
        if (!QFontDatabase::families().contains("Times New Roman"))
            QCOMPARE(QFontInfo(tallix::ShownFont("Times New Roman", 12)).family(), "Liberation Serif");
    }

    void generatorReproducesCommittedImages() {
        QTemporaryDir output;
        QCOMPARE(QProcess::execute(QStringLiteral(TALLIX_MAKE_IMAGES), {output.path()}), 0);
        for (const char* name : {"picture.bmp", "window.bmp", "pointer.cur", "tallix.ico"}) {
            QFile written(output.filePath(name));
            QVERIFY(written.open(QIODevice::ReadOnly));
            QVERIFY2(written.readAll() == Committed(name),
                     qPrintable(QString(name) + " differs: rerun tallix_make_images into resources/images"));
        }
    }
};

TALLIX_TEST_MAIN(ResourcesTest)
#include "resources_test.moc"
