// The main window drawn at scale factor 2 is the plain window twice as large, with the same colours at
// the same places. The scale factor (QT_SCALE_FACTOR) must be set before a QApplication exists, so the
// window is grabbed by running tallix-screenshot (TALLIX_SCREENSHOT) once at each scale.

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage Grab(const QString& scale) {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.path());
    env.insert("QT_SCALE_FACTOR", scale);
    env.remove("QT_SCREEN_SCALE_FACTORS");
    QProcess grab;
    grab.setProcessEnvironment(env);
    grab.setProcessChannelMode(QProcess::ForwardedChannels);
    grab.start(QStringLiteral(TALLIX_SCREENSHOT), {dir.filePath("grab.png")});
    if (!grab.waitForFinished() || grab.exitStatus() != QProcess::NormalExit || grab.exitCode() != 0)
        return {};
    return QImage(dir.filePath("grab.png")).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class HiDpiGrabTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        plain_ = Grab("1");
        scaled_ = Grab("2");
        QVERIFY2(!plain_.isNull() && !scaled_.isNull(), "tallix-screenshot made no picture");
    }

    // The client area, 3240 by 3810 twips at 15 twips a pixel.
    void twiceTheSize() {
        QCOMPARE(plain_.size(), QSize(216, 254));
        QCOMPARE(scaled_.size(), plain_.size() * 2);
    }

    void sameColoursAtTheSamePlaces_data() {
        QTest::addColumn<QPoint>("place");  // a logical pixel of the client area, away from any text
        QTest::addColumn<QColor>("colour"); // what the plain grab shows there; invalid: not checked
        const QColor silver(192, 192, 192), navy(0, 0, 128);
        // The background picture, its top-left corner 6 pixels left of and 1 above the client area's;
        // its edges pixel for pixel: rows 55 and 56, columns 159 and 160.
        QTest::newRow("silver strip above the keys") << QPoint(100, 36) << silver;
        QTest::newRow("navy panel between Num7 and Num8") << QPoint(44, 100) << navy;
        QTest::newRow("silver stripe between Mult and Power") << QPoint(172, 136) << silver;
        QTest::newRow("last silver row") << QPoint(4, 54) << silver;
        QTest::newRow("first navy row") << QPoint(4, 55) << navy;
        QTest::newRow("last column of the navy panel") << QPoint(153, 116) << navy;
        QTest::newRow("first column of the silver stripe") << QPoint(154, 116) << silver;
        QTest::newRow("display") << QPoint(60, 20) << QColor(Qt::black);
        QTest::newRow("button face of Num7") << QPoint(12, 84) << QColor();
    }

    // Each logical pixel is a 2 by 2 block of device pixels of the plain pixel's colour.
    void sameColoursAtTheSamePlaces() {
        QFETCH(QPoint, place);
        QFETCH(QColor, colour);
        const QString plain = plain_.pixelColor(place).name();
        if (colour.isValid()) QCOMPARE(plain, colour.name());
        for (const QPoint offset : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
            QCOMPARE(scaled_.pixelColor(place * 2 + offset).name(), plain);
    }

private:
    QImage plain_;
    QImage scaled_;
};

QTEST_GUILESS_MAIN(HiDpiGrabTest)

#include "hidpi_grab_test.moc"
