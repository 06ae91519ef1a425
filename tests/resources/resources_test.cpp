#include "resources/resources.h"
#include "tests/support/test_main.h"

#include <QBitmap>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QtEndian>

namespace {

const QColor kSilver(192, 192, 192);
const QColor kNavy(0, 0, 128);

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint8 U8(const QByteArray& data, qsizetype at) {
    return static_cast<quint8>(data.at(at));
}
quint16 U16(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.constData() + at);
}
quint32 U32(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.constData() + at);
}

} // namespace

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { tallix::RegisterFonts(); }

    void fileSizes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qsizetype>("size");
        QTest::newRow("picture.bmp") << QString(tallix::kPictureBackgroundPath) << qsizetype(207926);
        QTest::newRow("window.bmp") << QString(tallix::kWindowBackgroundPath) << qsizetype(207926);
        QTest::newRow("pointer.cur") << QString(tallix::kPointerPath) << qsizetype(326);
        QTest::newRow("tallix.ico") << QString(tallix::kProgramIconPath) << qsizetype(5526);
    }
    void fileSizes() {
        QFETCH(QString, path);
        QFETCH(qsizetype, size);
        QCOMPARE(ReadAll(path).size(), size);
    }

    void bmpHeader_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("picture.bmp") << QString(tallix::kPictureBackgroundPath);
        QTest::newRow("window.bmp") << QString(tallix::kWindowBackgroundPath);
    }
    void bmpHeader() {
        QFETCH(QString, path);
        const QByteArray bmp = ReadAll(path);
        QCOMPARE(bmp.size(), 207926);
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QCOMPARE(U32(bmp, 2), 207926u); // file size
        QCOMPARE(U32(bmp, 10), 54u);    // pixels follow both headers directly
        QCOMPARE(U32(bmp, 14), 40u);    // BITMAPINFOHEADER
        QCOMPARE(U32(bmp, 18), 270u);
        QCOMPARE(U32(bmp, 22), 256u); // positive: rows stored bottom-up
        QCOMPARE(U16(bmp, 26), 1u);   // planes
        QCOMPARE(U16(bmp, 28), 24u);
        QCOMPARE(U32(bmp, 30), 0u); // uncompressed
    }

    void bmpColours_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        const QString picture(tallix::kPictureBackgroundPath);
        // Silver band across the top
        QTest::newRow("top left") << picture << QPoint(0, 0) << kSilver;
        QTest::newRow("top right") << picture << QPoint(269, 0) << kSilver;
        QTest::newRow("band bottom") << picture << QPoint(100, 55) << kSilver;
        // Left panel
        QTest::newRow("left panel top") << picture << QPoint(0, 56) << kNavy;
        QTest::newRow("left panel bottom") << picture << QPoint(159, 255) << kNavy;
        QTest::newRow("left panel below corner") << picture << QPoint(159, 62) << kNavy;
        // Stripe
        QTest::newRow("stripe left") << picture << QPoint(160, 100) << kSilver;
        QTest::newRow("stripe right bottom") << picture << QPoint(215, 255) << kSilver;
        // Right panel
        QTest::newRow("right panel top") << picture << QPoint(269, 56) << kNavy;
        QTest::newRow("right panel bottom") << picture << QPoint(216, 255) << kNavy;
        QTest::newRow("right panel below corner") << picture << QPoint(216, 62) << kNavy;
        // Curved inner corners: their corner pixels lie outside the curve
        QTest::newRow("left corner outside") << picture << QPoint(159, 56) << kSilver;
        QTest::newRow("left corner inside") << picture << QPoint(155, 58) << kNavy;
        QTest::newRow("right corner outside") << picture << QPoint(216, 56) << kSilver;
        QTest::newRow("right corner inside") << picture << QPoint(220, 58) << kNavy;
        // The window's copy shares the design
        const QString window(tallix::kWindowBackgroundPath);
        QTest::newRow("window band") << window << QPoint(0, 0) << kSilver;
        QTest::newRow("window left panel") << window << QPoint(0, 56) << kNavy;
        QTest::newRow("window stripe") << window << QPoint(180, 200) << kSilver;
        QTest::newRow("window right panel") << window << QPoint(269, 255) << kNavy;
    }
    void bmpColours() {
        QFETCH(QString, path);
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        const QImage image(path);
        QCOMPARE(image.size(), QSize(270, 256));
        QCOMPARE(image.pixelColor(at), colour);
    }

    void pictureUsesTwoColours() {
        const QImage image(tallix::kPictureBackgroundPath);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QCOMPARE(colours, (QSet<QRgb>{kSilver.rgb(), kNavy.rgb()}));
    }

    // The window's picture is the keypad's with a line along the top of the right-hand panel.
    void windowPictureDiffersOnlyByOutline() {
        const QImage picture(tallix::kPictureBackgroundPath);
        const QImage window(tallix::kWindowBackgroundPath);
        QCOMPARE(window.size(), picture.size());
        int differences = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixel(x, y) == window.pixel(x, y)) continue;
                ++differences;
                QVERIFY2(y == 55 && x >= 216, qPrintable(QStringLiteral("differs at %1,%2").arg(x).arg(y)));
            }
        }
        QCOMPARE(differences, 270 - 216);
    }

    void cursorHeader() {
        const QByteArray cur = ReadAll(tallix::kPointerPath);
        QCOMPARE(cur.size(), 326);
        QCOMPARE(U16(cur, 0), 0u);
        QCOMPARE(U16(cur, 2), 2u); // cursor
        QCOMPARE(U16(cur, 4), 1u); // one image
        QCOMPARE(U8(cur, 6), 32u);
        QCOMPARE(U8(cur, 7), 32u);
        QCOMPARE(U16(cur, 10), 0u); // hot spot
        QCOMPARE(U16(cur, 12), 0u);
        QCOMPARE(U32(cur, 14), 326u - 22u);
        QCOMPARE(U32(cur, 18), 22u);
        QCOMPARE(U32(cur, 22), 40u);
        QCOMPARE(U32(cur, 26), 32u);
        QCOMPARE(U32(cur, 30), 64u);         // XOR and AND masks stacked
        QCOMPARE(U16(cur, 36), 1u);          // bits per pixel
        QCOMPARE(U32(cur, 62), 0x000000u);   // palette: black
        QCOMPARE(U32(cur, 66), 0x00ffffffu); // and white
    }

    void iconHeader_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("size");
        QTest::addColumn<quint32>("bytes");
        QTest::addColumn<quint32>("offset");
        QTest::newRow("24x24") << 0 << 24 << 1736u << 38u;
        QTest::newRow("48x48") << 1 << 48 << 3752u << 38u + 1736u;
    }
    void iconHeader() {
        QFETCH(int, index);
        QFETCH(int, size);
        QFETCH(quint32, bytes);
        QFETCH(quint32, offset);
        const QByteArray ico = ReadAll(tallix::kProgramIconPath);
        QCOMPARE(ico.size(), 5526);
        QCOMPARE(U16(ico, 2), 1u); // icon
        QCOMPARE(U16(ico, 4), 2u); // two images
        const qsizetype entry = 6 + 16 * index;
        QCOMPARE(int(U8(ico, entry)), size);
        QCOMPARE(int(U8(ico, entry + 1)), size);
        QCOMPARE(U16(ico, entry + 6), 8u); // bits per pixel
        QCOMPARE(U32(ico, entry + 8), bytes);
        QCOMPARE(U32(ico, entry + 12), offset);
        QCOMPARE(U32(ico, offset), 40u);
        QCOMPARE(U32(ico, offset + 4), quint32(size));
        QCOMPARE(U32(ico, offset + 8), quint32(2 * size)); // image and transparency mask
        QCOMPARE(U16(ico, offset + 14), 8u);
        QCOMPARE(U32(ico, offset + 16), 0u);
    }

    void programIconOffersBothSizes() {
        const QList<QSize> sizes = tallix::ProgramIcon().availableSizes();
        QVERIFY2(sizes.contains(QSize(24, 24)), qPrintable(QDebug::toString(sizes)));
        QVERIFY2(sizes.contains(QSize(48, 48)), qPrintable(QDebug::toString(sizes)));
    }

    // The large image carries the drawing in its top-left quarter only.
    void largeIconIsTransparentOutsideDrawing() {
        QImageReader reader(tallix::kProgramIconPath);
        QCOMPARE(reader.imageCount(), 2);
        QVERIFY(reader.jumpToImage(1));
        const QImage large = reader.read();
        QCOMPARE(large.size(), QSize(48, 48));
        QCOMPARE(qAlpha(large.pixel(0, 0)), 255);
        QCOMPARE(qAlpha(large.pixel(23, 23)), 255);
        QCOMPARE(qAlpha(large.pixel(24, 0)), 0);
        QCOMPARE(qAlpha(large.pixel(0, 24)), 0);
        QCOMPARE(qAlpha(large.pixel(47, 47)), 0);
    }

    void pointerBits_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("bitmap");
        QTest::addColumn<bool>("mask");
        // Qt's pairs: 1/1 black, 0/1 white, 0/0 transparent, 1/0 inverted (Windows only)
        QTest::newRow("tip, outline") << QPoint(0, 0) << true << true;
        QTest::newRow("left edge, outline") << QPoint(0, 10) << true << true;
#ifdef Q_OS_WIN
        QTest::newRow("interior, inverted") << QPoint(1, 2) << true << false;
#else
        QTest::newRow("interior, white") << QPoint(1, 2) << false << true;
#endif
        QTest::newRow("right of tip, clear") << QPoint(2, 0) << false << false;
        QTest::newRow("far corner, clear") << QPoint(31, 31) << false << false;
    }
    void pointerBits() {
        QFETCH(QPoint, at);
        QFETCH(bool, bitmap);
        QFETCH(bool, mask);
        const QCursor cursor = tallix::SpecialPointer();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
        const QImage bits = cursor.bitmap().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage maskBits = cursor.mask().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(bits.size(), QSize(32, 32));
        QCOMPARE(maskBits.size(), QSize(32, 32));
        // In a QBitmap, 1 (color1) is drawn black.
        QCOMPARE(bits.pixelColor(at) == Qt::black, bitmap);
        QCOMPARE(maskBits.pixelColor(at) == Qt::black, mask);
    }

    void fontsResolveToBundledFaces_data() {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QString>("family");
        QTest::newRow("JACKIE") << "JACKIE" << int(QFont::Normal) << "Comic Neue";
        QTest::newRow("JACKIE bold") << "JACKIE" << int(QFont::Bold) << "Comic Neue";
        QTest::newRow("Times New Roman") << "Times New Roman" << int(QFont::Normal) << "Liberation Serif";
    }
    void fontsResolveToBundledFaces() {
        QFETCH(QString, requested);
        QFETCH(int, weight);
        QFETCH(QString, family);
        // On a system that has the real "Times New Roman", that face rightly wins.
        if (requested != "JACKIE" && QFontDatabase::families().contains(requested))
            QSKIP("the system has this face itself");
        const QFontInfo info(QFont(requested, 12, weight));
        QCOMPARE(info.family(), family);
        QCOMPARE(info.bold(), weight >= QFont::Bold);
    }

    // Resolving by name would pass on a system that has the faces installed; the bundled files must
    // have been registered themselves. Application font ids are handed out from 0 in a fresh process.
    void bundledFacesAreRegistered() {
        QStringList families;
        for (int id = 0; id < 8; ++id)
            families += QFontDatabase::applicationFontFamilies(id);
        QVERIFY2(families.contains("Comic Neue"), qPrintable(families.join(", ")));
        QVERIFY2(families.contains("Liberation Serif"), qPrintable(families.join(", ")));
    }

    void generatorReproducesCommittedImages_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("resource");
        QTest::newRow("picture.bmp") << "picture.bmp" << QString(tallix::kPictureBackgroundPath);
        QTest::newRow("window.bmp") << "window.bmp" << QString(tallix::kWindowBackgroundPath);
        QTest::newRow("pointer.cur") << "pointer.cur" << QString(tallix::kPointerPath);
        QTest::newRow("tallix.ico") << "tallix.ico" << QString(tallix::kProgramIconPath);
    }
    void generatorReproducesCommittedImages() {
        QFETCH(QString, file);
        QFETCH(QString, resource);
        if (!generated_) {
            QVERIFY(output_.isValid());
            QCOMPARE(QProcess::execute(QStringLiteral(TALLIX_MAKE_IMAGES), {output_.path()}), 0);
            generated_ = true;
        }
        const QByteArray written = ReadAll(output_.filePath(file));
        QVERIFY(!written.isEmpty());
        QVERIFY2(written == ReadAll(resource), "rerun tallix_make_images into resources/images");
    }

private:
    QTemporaryDir output_;
    bool generated_ = false;
};

TALLIX_TEST_MAIN(ResourcesTest)

#include "resources_test.moc"
