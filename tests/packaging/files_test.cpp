// What the packages carry besides the program, as built: the Windows version record and icon compiled
// from versioninfo.rc, and the installed theme PNGs, each against the icon file.

#include "tests/support/table_file.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray ReadFile(const char* path) {
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A text as the version record stores it: UTF-16LE, zero-terminated.
QByteArray Utf16(const QString& text) {
    return QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text)) + QByteArray(2, '\0');
}

} // namespace

class FilesTest : public QObject {
    Q_OBJECT

    QByteArray res_;

private slots:
    void initTestCase() { res_ = ReadFile(TALLIX_VERSIONINFO_RES); }

    // The String node of each key: the key, padding to a 4-byte boundary, then the text. The version texts
    // are the project's major version, a dot and its minor version in two digits ("1.00").
    void versionStrings_data() {
        AddTableRows(VERSION_STRINGS_TABLE, {"key", "value"});
        const QString version = QStringLiteral("%1.%2")
                                    .arg(TALLIX_VERSION_MAJOR)
                                    .arg(TALLIX_VERSION_MINOR, 2, 10, QLatin1Char('0'));
        QTest::newRow("FileVersion") << QStringLiteral("FileVersion") << version;
        QTest::newRow("ProductVersion") << QStringLiteral("ProductVersion") << version;
    }
    void versionStrings() {
        QFETCH(QString, key);
        const QByteArray node = Utf16(key);
        const qsizetype at = res_.indexOf(node);
        QVERIFY2(at >= 0, "no such key in the compiled resources " TALLIX_VERSIONINFO_RES);
        const QString rest = QStringDecoder(QStringDecoder::Utf16LE)(res_.mid((at + node.size() + 3) & ~3));
        QTEST(rest.left(rest.indexOf(QChar(0))), "value");
    }

    // The icon group IDI_ICON1 and every image of the icon file (24 and 48 pixels), byte for byte.
    void resourceIconHoldsTheIconFileImages() {
        QVERIFY2(res_.contains(Utf16("IDI_ICON1")), "no icon group IDI_ICON1");
        const QByteArray ico = ReadFile(TALLIX_ICON_FILE);
        QCOMPARE(ico.mid(0, 6), QByteArray::fromHex("000001000200")); // an icon file of two images
        for (qsizetype entry = 6; entry < 6 + 2 * 16; entry += 16) {
            QVERIFY(ico.at(entry) == 24 || ico.at(entry) == 48);
            const auto dword = [&](qsizetype at) { return qFromLittleEndian<quint32>(ico.constData() + at); };
            QVERIFY2(res_.contains(ico.mid(dword(entry + 12), dword(entry + 8))),
                     "an image of the icon file is not in the resources");
        }
    }

    // Each theme PNG is the icon file's image of its size, pixel for pixel, transparency included.
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

QTEST_GUILESS_MAIN(FilesTest)
#include "files_test.moc"
