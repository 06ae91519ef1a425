#include "resources/resources.h"
#include "tests/support/table_file.h"
#include "tests/support/test_main.h"
#include "tests/windows/main_window_run.h"
#include "windows/forms/form.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QMetaEnum>
#include <QProcess>

using namespace tallix;

namespace {

QByteArray committed(const QString& file) {
    QFile resource(QStringLiteral(":/images/") + file);
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

} // namespace

// Fonts and images, and the main window as drawn; the drawing runs again at QT_SCALE_FACTOR=2.
class RenderingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { RegisterFonts(); }
    void cleanup() { DeleteClosedWindows(); }

    void fontsResolveToBundledFaces() {
        QCOMPARE(QFontInfo(ShownFont("JACKIE", 12)).family(), "Comic Neue");
        QVERIFY(QFontInfo(ShownFont("JACKIE", 12, true)).bold());
        // Where the system has the real "Times New Roman", that face rightly wins.
        if (!QFontDatabase::families().contains("Times New Roman"))
            QCOMPARE(QFontInfo(ShownFont("Times New Roman", 12)).family(), "Liberation Serif");
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

    // Each logical pixel of the table a one-colour block of device pixels.
    void drawnAtScale_data() { AddTableRows(TABLES "drawn_pixels.txt", {"case", "x", "y", "colour"}); }
    void drawnAtScale() {
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QString, colour);
        const QPoint place(x.toInt(), y.toInt());
        MainWindowRun run;
        MainWindow& main = run.Start();
        const QImage image = main.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int scale = qRound(image.devicePixelRatio());
        QCOMPARE(image.size(), QSize(216, 254) * scale);
        bool named = false;
        const int role = QMetaEnum::fromType<QPalette::ColorRole>().keyToValue(qPrintable(colour), &named);
        const QString plain = colour == "style" ? image.pixelColor(place * scale).name()
                              : named
                                  ? main.palette().color(QPalette::Active, QPalette::ColorRole(role)).name()
                                  : colour;
        for (int dx = 0; dx < scale; ++dx)
            for (int dy = 0; dy < scale; ++dy)
                QCOMPARE(image.pixelColor(place * scale + QPoint(dx, dy)).name(), plain);
    }
};

TALLIX_TEST_MAIN(RenderingTest)
#include "rendering_test.moc"
