// The main window drawn at scale factor 2 is the plain window twice as large, with the same colours at
// the same places. The scale factor (QT_SCALE_FACTOR) must be set before a QApplication exists, so the
// window is grabbed by running tallix-screenshot (TALLIX_SCREENSHOT) once at each scale.

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

static QImage Grab(const QString& scale) {
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

class HiDpiGrabTest : public QObject {
    Q_OBJECT

    const QImage plain_ = Grab("1");
    const QImage scaled_ = Grab("2");

private slots:
    // The client area, 3240 by 3810 twips at 15 twips a pixel.
    void twiceTheSize() {
        QCOMPARE(plain_.size(), QSize(216, 254));
        QCOMPARE(scaled_.size(), plain_.size() * 2);
    }

    // Each logical pixel is a 2 by 2 block of device pixels of the plain pixel's colour.
    void sameColoursAtTheSamePlaces_data() {
        QTest::addColumn<QPoint>("place");  // a logical pixel of the client area, away from any text
        QTest::addColumn<QColor>("colour"); // what the plain grab shows there; invalid: not checked
        const QColor silver(192, 192, 192), navy(0, 0, 128);
        // The background picture, its top-left corner 6 pixels left of and 1 above the client area's;
        // its edges pixel for pixel: rows 55 and 56, columns 159 and 160.
        QTest::newRow("last silver row") << QPoint(4, 54) << silver;
        QTest::newRow("first navy row") << QPoint(4, 55) << navy;
        QTest::newRow("last column of the navy panel") << QPoint(153, 116) << navy;
        QTest::newRow("first column of the silver stripe") << QPoint(154, 116) << silver;
        QTest::newRow("display") << QPoint(60, 20) << QColor(Qt::black);
        QTest::newRow("button face of Num7") << QPoint(12, 84) << QColor();
    }
    void sameColoursAtTheSamePlaces() {
        QFETCH(QPoint, place);
        QFETCH(QColor, colour);
        QVERIFY2(!plain_.isNull() && !scaled_.isNull(), "tallix-screenshot made no picture");
        const QString plain = plain_.pixelColor(place).name();
        if (colour.isValid()) QCOMPARE(plain, colour.name());
        for (const QPoint offset : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
            QCOMPARE(scaled_.pixelColor(place * 2 + offset).name(), plain);
    }
};

QTEST_GUILESS_MAIN(HiDpiGrabTest)
#include "hidpi_grab_test.moc"
