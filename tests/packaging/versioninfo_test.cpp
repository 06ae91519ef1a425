// The Windows version record and icon as a resource compiler makes them from the configured
// versioninfo.rc: the compiled resource file (TALLIX_VERSIONINFO_RES) is searched for the record's texts
// (UTF-16LE), its fixed version numbers and the images of the icon file (TALLIX_ICON_FILE).

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray ReadFile(const char* path) {
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 Dword(const QByteArray& data, qsizetype at) {
    return at + 4 <= data.size() ? qFromLittleEndian<quint32>(data.constData() + at) : 0;
}

// A text as the record stores it: UTF-16LE, zero-terminated.
QByteArray Utf16(const QString& text) {
    return QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text)) + QByteArray(2, '\0');
}

// The text of the String node keyed `key`: the key, padding to a 4-byte boundary, then the text.
QString StringValue(const QByteArray& res, const QString& key) {
    qsizetype at = res.indexOf(Utf16(key));
    if (at < 0) return QStringLiteral("<no %1>").arg(key);
    at = (at + Utf16(key).size() + 3) & ~qsizetype(3);
    const QString rest = QStringDecoder(QStringDecoder::Utf16LE)(res.mid(at));
    return rest.left(rest.indexOf(QChar(0)));
}

} // namespace

class VersionInfoTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        res_ = ReadFile(TALLIX_VERSIONINFO_RES);
        QVERIFY2(!res_.isEmpty(), "cannot read the compiled resources " TALLIX_VERSIONINFO_RES);
    }

    void strings_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("FileVersion") << "1.00";
        QTest::newRow("ProductVersion") << "1.00";
        QTest::newRow("ProductName") << "Calculator";
        QTest::newRow("InternalName") << "Tallix";
        QTest::newRow("OriginalFilename") << "Tallix.exe";
    }

    void strings() {
        QFETCH(QString, value);
        QCOMPARE(StringValue(res_, QString::fromUtf8(QTest::currentDataTag())), value);
    }

    // VS_FIXEDFILEINFO, after its signature and structure version: file, then product version 1.0.0.0.
    void fixedVersionIsOneZeroZeroZero() {
        const qsizetype at = res_.indexOf(QByteArray::fromHex("bd04effe"));
        QVERIFY2(at >= 0, "no VS_FIXEDFILEINFO");
        QCOMPARE(Dword(res_, at + 8), 0x00010000u);
        QCOMPARE(Dword(res_, at + 12), 0u);
        QCOMPARE(Dword(res_, at + 16), 0x00010000u);
        QCOMPARE(Dword(res_, at + 20), 0u);
    }

    // The icon group IDI_ICON1 and every image of the icon file (24 and 48 pixels), byte for byte.
    void iconHoldsTheIconFileImages() {
        QVERIFY2(res_.contains(Utf16("IDI_ICON1")), "no icon group IDI_ICON1");
        const QByteArray ico = ReadFile(TALLIX_ICON_FILE);
        QCOMPARE(ico.mid(0, 6), QByteArray::fromHex("000001000200")); // an icon file of two images
        for (qsizetype entry = 6; entry < 6 + 2 * 16; entry += 16) {
            QVERIFY(ico.at(entry) == 24 || ico.at(entry) == 48);
            QVERIFY2(res_.contains(ico.mid(Dword(ico, entry + 12), Dword(ico, entry + 8))),
                     "an image of the icon file is not in the resources");
        }
    }

private:
    QByteArray res_;
};

QTEST_GUILESS_MAIN(VersionInfoTest)

#include "versioninfo_test.moc"
