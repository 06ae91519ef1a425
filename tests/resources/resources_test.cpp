#include "resources/resources.h"
#include "tests/support/test_main.h"
#include "windows/main/picture_box.h"

#include <QBitmap>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>

// A committed image by its file name, as compiled into the program.
static QByteArray Committed(const QString& file) {
    QFile resource(QStringLiteral(":/images/") + file);
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { tallix::RegisterFonts(); }

    // The picture's edges are the main window's at scale 1 and 2 (main_window); here, what the
    // window hides: the bottom right, and the panels' rounded corners by the stripe, a pixel either side.
    void bmpColours_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        const QColor silver(192, 192, 192), navy(0, 0, 128);
        QTest::newRow("right panel bottom left") << QPoint(216, 255) << navy;
        QTest::newRow("left corner, just outside") << QPoint(156, 56) << silver;
        QTest::newRow("left corner, just inside") << QPoint(157, 57) << navy;
        QTest::newRow("right corner, just outside") << QPoint(219, 56) << silver;
        QTest::newRow("right corner, just inside") << QPoint(218, 57) << navy;
    }
    void bmpColours() {
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        const QImage image = QImage::fromData(Committed("picture.bmp"));
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

    // The direct readers give what Qt's readers give. What they don't handle (here an 8-bit bitmap and a
    // 32-bit icon, as Qt writes them) goes to Qt's readers, and a file no reader takes gives nothing.
    void readersAgreeWithQtAndFallBack() {
        QTemporaryDir dir;
        const QString bmp8 = dir.filePath("8-bit.bmp"), ico32 = dir.filePath("32-bit.ico"),
                      junk = dir.filePath("junk");
        QImage sample(24, 24, QImage::Format_ARGB32);
        sample.fill(QColor(10, 120, 230));
        QVERIFY(sample.convertToFormat(QImage::Format_Indexed8).save(bmp8, "BMP"));
        QVERIFY(sample.save(ico32, "ICO"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("BM and nothing of a picture") > 0);
        file.close();
        const auto same = [](const QImage& image) {
            return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        };
        for (const QString& path : {QStringLiteral(":/images/picture.bmp"), bmp8})
            QCOMPARE(same(tallix::LoadBitmap(path).toImage()), same(QImageReader(path, "bmp").read()));
        for (const QString& path : {QStringLiteral(":/images/tallix.ico"), ico32}) {
            const QIcon icon = tallix::LoadIcon(path);
            QImageReader reader(path, "ico");
            do {
                const QImage image = reader.read();
                QCOMPARE(same(icon.pixmap(image.size()).toImage()), same(image));
            } while (reader.jumpToNextImage());
        }
        QVERIFY(tallix::LoadBitmap(junk).isNull());
        QVERIFY(tallix::LoadIcon(junk).availableSizes().isEmpty());
    }

    void generatorReproducesCommittedImages() {
        QTemporaryDir output;
        QCOMPARE(QProcess::execute(QStringLiteral(TALLIX_MAKE_IMAGES), {output.path()}), 0);
        for (const char* name : {"picture.bmp", "pointer.cur", "tallix.ico"}) {
            QFile written(output.filePath(name));
            QVERIFY(written.open(QIODevice::ReadOnly));
            QVERIFY2(written.readAll() == Committed(name),
                     qPrintable(QString(name) + " differs: rerun tallix_make_images into resources/images"));
        }
    }
};

TALLIX_TEST_MAIN(ResourcesTest)
#include "resources_test.moc"
