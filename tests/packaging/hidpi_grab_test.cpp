// The main window drawn at a scale factor of 2 is the plain window, twice as large: the same colours at
// the same (scaled) places. CTest runs this program twice, because the scale factor (QT_SCALE_FACTOR)
// must be set before the QApplication exists: first plain, which writes its grab to the file named by
// TALLIX_GRAB_REFERENCE, then scaled, which compares its own grab with that file.

#include "tests/packaging/window_grab.h"
#include "tests/support/test_main.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QTest>

#include <algorithm>

namespace {

// The client area, 3240 by 3810 twips at 15 twips a pixel.
constexpr QSize kClientSize(216, 254);

// Colours of the background picture.
const QColor kSilver(192, 192, 192);
const QColor kNavy(0, 0, 128);

double ScaleFactor() {
    bool ok = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && factor > 0 ? factor : 1.0;
}

// The device pixels that show logical pixel p, at an integer scale.
QList<QPoint> DevicePixels(QPoint p, int scale) {
    QList<QPoint> pixels;
    for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx)
            pixels.append(QPoint(p.x() * scale + dx, p.y() * scale + dy));
    return pixels;
}

// True when every pixel within `radius` of p has p's colour: a flat area, where text and frame edges,
// laid out and drawn anew at each scale (a glyph's soft edge may move by a device pixel), cannot make a
// difference. Edges of the background picture are checked exactly by the named places instead.
bool Flat(const QImage& image, QPoint p, int radius) {
    const QRgb colour = image.pixel(p);
    for (int y = p.y() - radius; y <= p.y() + radius; ++y)
        for (int x = p.x() - radius; x <= p.x() + radius; ++x)
            if (!image.valid(x, y) || image.pixel(x, y) != colour) return false;
    return true;
}

QString Describe(QRgb colour) {
    return QColor(colour).name();
}

} // namespace

class HiDpiGrabTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        factor_ = ScaleFactor();
        QVERIFY2(factor_ == 1.0 || factor_ == 2.0, "this test knows scale factors 1 and 2");
        scale_ = int(factor_);
        grab_ = GrabMainWindow().convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!grab_.isNull(), "the main window could not be grabbed");
    }

    void grabIsTheClientAreaAtTheScale() {
        QCOMPARE(grab_.devicePixelRatio(), factor_);
        QCOMPARE(grab_.size(), kClientSize * scale_);
    }

    void namedPlacesHaveTheirColours_data() {
        QTest::addColumn<QPoint>("place"); // logical pixel in the client area
        QTest::addColumn<QColor>("colour");
        // The picture's top-left corner lies 6 pixels left of and 1 above the client area's corner.
        QTest::newRow("silver strip above the keys") << QPoint(100, 36) << kSilver;
        QTest::newRow("silver strip left of the display") << QPoint(4, 4) << kSilver;
        QTest::newRow("navy panel left of Num7") << QPoint(4, 100) << kNavy;
        QTest::newRow("navy panel between Num7 and Num8") << QPoint(44, 100) << kNavy;
        QTest::newRow("silver stripe between Mult and Power") << QPoint(172, 136) << kSilver;
        QTest::newRow("second navy panel at the right edge") << QPoint(213, 100) << kNavy;
        // The picture's edges, pixel for pixel: rows 55 and 56, columns 159 and 160, 215 and 216.
        QTest::newRow("last silver row") << QPoint(4, 54) << kSilver;
        QTest::newRow("first navy row") << QPoint(4, 55) << kNavy;
        QTest::newRow("last column of the navy panel") << QPoint(153, 116) << kNavy;
        QTest::newRow("first column of the silver stripe") << QPoint(154, 116) << kSilver;
        QTest::newRow("last column of the silver stripe") << QPoint(209, 116) << kSilver;
        QTest::newRow("first column of the second navy panel") << QPoint(210, 116) << kNavy;
        QTest::newRow("button face of Num7") << QPoint(12, 84) << QColor(); // the palette's button face
    }

    void namedPlacesHaveTheirColours() {
        QFETCH(QPoint, place);
        QFETCH(QColor, colour);
        if (!colour.isValid()) colour = QPalette().color(QPalette::Active, QPalette::Button);
        for (const QPoint device : DevicePixels(place, scale_))
            QCOMPARE(Describe(grab_.pixel(device)), colour.name());
    }

    // Every flat area of the plain grab shows, at the scaled place, the same colour.
    void sameColoursAsThePlainGrab() {
        const QString reference = qEnvironmentVariable("TALLIX_GRAB_REFERENCE");
        if (scale_ == 1) {
            if (!reference.isEmpty()) QVERIFY2(grab_.save(reference, "PNG"), qPrintable(reference));
            return;
        }
        QVERIFY2(!reference.isEmpty(), "TALLIX_GRAB_REFERENCE names no plain grab to compare with");
        const QImage plain = QImage(reference).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!plain.isNull(), qPrintable("no plain grab in " + reference));
        QCOMPARE(plain.size(), kClientSize);

        int compared = 0;
        QStringList mismatches;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                const QPoint p(x, y);
                if (!Flat(plain, p, 2)) continue;
                ++compared;
                const QList<QPoint> block = DevicePixels(p, scale_);
                const auto other = std::find_if(block.begin(), block.end(), [&](QPoint device) {
                    return grab_.pixel(device) != plain.pixel(p);
                });
                if (other == block.end()) continue;
                mismatches.append(QStringLiteral("(%1,%2) plain %3, scaled %4")
                                      .arg(x)
                                      .arg(y)
                                      .arg(Describe(plain.pixel(p)), Describe(grab_.pixel(*other))));
            }
        }
        // Much of the window is flat: the background, the key faces and the display.
        QVERIFY2(compared > plain.width() * plain.height() / 3,
                 qPrintable(QStringLiteral("only %1 flat pixels to compare").arg(compared)));
        QVERIFY2(mismatches.isEmpty(), qPrintable(QStringLiteral("%1 of %2 places differ, first: %3")
                                                      .arg(mismatches.size())
                                                      .arg(compared)
                                                      .arg(mismatches.mid(0, 5).join(QStringLiteral("; ")))));
    }

private:
    double factor_ = 1.0;
    int scale_ = 1;
    QImage grab_;
};

TALLIX_TEST_MAIN(HiDpiGrabTest)

#include "hidpi_grab_test.moc"
