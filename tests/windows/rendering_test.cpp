#include "resources/resources.h"
#include "tests/support/table_file.h"
#include "tests/support/test_main.h"
#include "tests/windows/captions.h"
#include "tests/windows/main_window_run.h"
#include "windows/forms/form.h"
#include "windows/main/picture_box.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QImageReader>
#include <QProcess>

using namespace tallix;

namespace {

QByteArray committed(const QString& file) {
    QFile resource(QStringLiteral(":/images/") + file);
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

} // namespace

// The pointer, fonts and images, and the windows as drawn; captions and drawing run again at
// QT_SCALE_FACTOR=2.
class RenderingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { RegisterFonts(); }
    void cleanup() { DeleteClosedWindows(); }

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
        const QCursor cursor = SpecialPointer();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
        QCOMPARE(cursor.bitmap().toImage().pixelColor(at) == Qt::black, bitmap);
        QCOMPARE(cursor.mask().toImage().pixelColor(at) == Qt::black, mask);
    }

    void fontsResolveToBundledFaces() {
        // Font ids count from 0 in a fresh process: each bundled file registered, whatever is installed.
        QStringList registered;
        for (int id = 0; id < 3; ++id)
            registered += QFontDatabase::applicationFontFamilies(id);
        QCOMPARE(registered, QStringList({"Comic Neue", "Comic Neue", "Liberation Serif"}));
        QCOMPARE(QFontInfo(ShownFont("JACKIE", 12)).family(), "Comic Neue");
        QVERIFY(QFontInfo(ShownFont("JACKIE", 12, true)).bold());
        // Where the system has the real "Times New Roman", that face rightly wins.
        if (!QFontDatabase::families().contains("Times New Roman"))
            QCOMPARE(QFontInfo(ShownFont("Times New Roman", 12)).family(), "Liberation Serif");
    }

    // The direct readers match Qt's; what they don't handle (8-bit BMP, 32-bit icon) falls back to Qt's,
    // and a file no reader takes gives nothing.
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
            QCOMPARE(same(LoadBitmap(path).toImage()), same(QImageReader(path, "bmp").read()));
        for (const QString& path : {QStringLiteral(":/images/tallix.ico"), ico32}) {
            const QIcon icon = LoadIcon(path);
            QImageReader reader(path, "ico");
            do {
                const QImage image = reader.read();
                QCOMPARE(same(icon.pixmap(image.size()).toImage()), same(image));
            } while (reader.jumpToNextImage());
        }
        QVERIFY(LoadBitmap(junk).isNull());
        QVERIFY(LoadIcon(junk).availableSizes().isEmpty());
    }

    void generatorReproducesCommittedImages() {
        QTemporaryDir output;
        QCOMPARE(QProcess::execute(QStringLiteral(TALLIX_MAKE_IMAGES), {output.path()}), 0);
        for (const char* name : {"picture.bmp", "pointer.cur", "tallix.ico"}) {
            QFile written(output.filePath(name));
            QVERIFY(written.open(QIODevice::ReadOnly));
            QVERIFY2(written.readAll() == committed(name),
                     qPrintable(QString(name) + " differs: rerun tallix_make_images into resources/images"));
        }
    }

    // Every caption fits the visible part of its control, in the controls' real fonts: glyphs drawn at the
    // device's pixel size need not be exactly twice as wide at scale 2.
    void captionsFit() {
        MainWindowRun run;
        run.store.Seed("ShowPopup", "1");
        run.Start();
        // The welcome window opens at start; the other two open once it has closed.
        QWidget* popup = OpenForm(u"Popup");
        QVERIFY(popup);
        QStringList found = misfits(*popup);
        popup->close();
        run.key("OptButton")->click();
        run.key("RsCalc")->click();
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window != &run.main()) found << misfits(*window);
        for (const char* symbol : {"+", "-", "\u00D7", "\u00F7", "y^", "y^2"}) {
            run.main().SetDisplayText(symbol);
            found << misfits(run.main());
        }
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // Each logical pixel of the table a one-colour block of device pixels.
    void drawnAtScale_data() {
        AddTableRows(TABLES "drawn_pixels.txt", {"case", "x", "y", "colour"});
    }
    void drawnAtScale() {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QString, colour);
        const QPoint place(x.toInt(), y.toInt());
        MainWindowRun run;
        const QImage image = run.Start().grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int scale = qRound(image.devicePixelRatio());
        QCOMPARE(image.size(), QSize(216, 254) * scale);
        const QString plain = colour != "style" ? colour : image.pixelColor(place * scale).name();
        for (int dx = 0; dx < scale; ++dx)
            for (int dy = 0; dy < scale; ++dy)
                QCOMPARE(image.pixelColor(place * scale + QPoint(dx, dy)).name(), plain);
    }
};

TALLIX_TEST_MAIN(RenderingTest)
#include "rendering_test.moc"
