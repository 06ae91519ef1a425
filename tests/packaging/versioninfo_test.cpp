// The Windows version record and icon, as a resource compiler makes them from the configured
// versioninfo.rc: the compiled resource file (.res) is read entry by entry, the version record
// (VS_VERSIONINFO) node by node, and the icon group is matched against the images of the icon file.
// The build names both files: TALLIX_VERSIONINFO_RES (the compiled record) and TALLIX_ICON_FILE.

#include <QFile>
#include <QTest>

#include <optional>
#include <stdexcept>
#include <vector>

namespace {

constexpr quint16 kIconType = 3;       // RT_ICON
constexpr quint16 kGroupIconType = 14; // RT_GROUP_ICON
constexpr quint16 kVersionType = 16;   // RT_VERSION

quint16 Word(const QByteArray& data, qsizetype at) {
    return quint16(quint8(data.at(at)) | quint8(data.at(at + 1)) << 8);
}
quint32 Dword(const QByteArray& data, qsizetype at) {
    return quint32(Word(data, at)) | quint32(Word(data, at + 2)) << 16;
}
qsizetype Align4(qsizetype at) {
    return (at + 3) & ~qsizetype(3);
}

// A zero-terminated UTF-16LE text starting at `at`; `at` moves past the terminator.
QString Utf16(const QByteArray& data, qsizetype& at) {
    QString text;
    while (at + 1 < data.size()) {
        const quint16 unit = Word(data, at);
        at += 2;
        if (unit == 0) return text;
        text.append(QChar(unit));
    }
    throw std::runtime_error("unterminated text");
}

// A resource type or name: an ordinal (0xFFFF, then the number) or a text.
struct Id {
    std::optional<quint16> ordinal;
    QString text;
};
Id ReadId(const QByteArray& data, qsizetype& at) {
    if (Word(data, at) == 0xFFFF) {
        const Id id{Word(data, at + 2), {}};
        at += 4;
        return id;
    }
    return Id{std::nullopt, Utf16(data, at)};
}

struct Resource {
    Id type;
    Id name;
    quint16 language = 0;
    QByteArray data;
};

// The entries of a .res file: each a header (sizes, type, name, flags, language) and its data, every
// one starting on a 4-byte boundary. The first entry is the empty one that marks the file format.
std::vector<Resource> ReadResources(const QByteArray& file) {
    std::vector<Resource> resources;
    qsizetype at = 0;
    while (at + 8 <= file.size()) {
        const quint32 dataSize = Dword(file, at);
        const quint32 headerSize = Dword(file, at + 4);
        if (headerSize < 16 || at + qsizetype(headerSize) + qsizetype(dataSize) > file.size())
            throw std::runtime_error("truncated resource file");
        qsizetype field = at + 8;
        Resource resource;
        resource.type = ReadId(file, field);
        resource.name = ReadId(file, field);
        field = Align4(field);
        resource.language = Word(file, field + 4 + 2); // after DataVersion and MemoryFlags
        resource.data = file.mid(at + headerSize, dataSize);
        resources.push_back(resource);
        at = Align4(at + headerSize + dataSize);
    }
    return resources;
}

// One node of the version record: length, value length, type (1 text, 0 binary), key, value, children.
struct VersionNode {
    QString key;
    QByteArray value; // binary value bytes, or the text's UTF-16 units
    bool text = false;
    std::vector<VersionNode> children;

    const VersionNode* Child(const QString& wanted) const {
        for (const VersionNode& child : children)
            if (child.key == wanted) return &child;
        return nullptr;
    }
    QString Text() const {
        qsizetype at = 0;
        QByteArray terminated = value;
        terminated.append(2, '\0');
        return Utf16(terminated, at);
    }
};

VersionNode ReadVersionNode(const QByteArray& data, qsizetype at) {
    const quint16 length = Word(data, at);
    const quint16 valueLength = Word(data, at + 2);
    VersionNode node;
    node.text = Word(data, at + 4) == 1;
    if (length < 6 || at + length > data.size()) throw std::runtime_error("bad version node length");
    qsizetype field = at + 6;
    node.key = Utf16(data, field);
    field = Align4(field);
    const qsizetype valueBytes = node.text ? valueLength * 2 : valueLength;
    node.value = data.mid(field, valueBytes);
    field = Align4(field + valueBytes);
    while (field + 6 <= at + length) {
        node.children.push_back(ReadVersionNode(data, field));
        field = Align4(field + Word(data, field));
    }
    return node;
}

// An image of the .ico file, as its directory describes it.
struct IcoImage {
    int width = 0;
    int height = 0;
    quint16 bitCount = 0;
    QByteArray bytes;
};

std::vector<IcoImage> ReadIco(const QByteArray& file) {
    std::vector<IcoImage> images;
    const int count = Word(file, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        IcoImage image;
        image.width = quint8(file.at(entry)) ? quint8(file.at(entry)) : 256;
        image.height = quint8(file.at(entry + 1)) ? quint8(file.at(entry + 1)) : 256;
        image.bitCount = Word(file, entry + 6);
        image.bytes = file.mid(Dword(file, entry + 12), Dword(file, entry + 8));
        images.push_back(image);
    }
    return images;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace

class VersionInfoTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        const QByteArray res = ReadFile(QStringLiteral(TALLIX_VERSIONINFO_RES));
        QVERIFY2(!res.isEmpty(), "cannot read the compiled resources " TALLIX_VERSIONINFO_RES);
        ico_ = ReadFile(QStringLiteral(TALLIX_ICON_FILE));
        QVERIFY2(!ico_.isEmpty(), "cannot read the icon " TALLIX_ICON_FILE);
        try {
            resources_ = ReadResources(res);
            if (Count(kVersionType) > 0) root_ = ReadVersionNode(Find(kVersionType)->data, 0);
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }
    }

    void oneVersionRecord() { QCOMPARE(Count(kVersionType), 1); }

    void fixedVersionIsOneZeroZeroZero() {
        QVERIFY(root_);
        const VersionNode& root = *root_;
        QCOMPARE(root.key, QStringLiteral("VS_VERSION_INFO"));
        QCOMPARE(root.value.size(), 52);              // VS_FIXEDFILEINFO
        QCOMPARE(Dword(root.value, 0), 0xFEEF04BDu);  // signature
        QCOMPARE(Dword(root.value, 8), 0x00010000u);  // file version 1.0 ...
        QCOMPARE(Dword(root.value, 12), 0x00000000u); // ... .0.0
        QCOMPARE(Dword(root.value, 16), 0x00010000u); // product version 1.0 ...
        QCOMPARE(Dword(root.value, 20), 0x00000000u); // ... .0.0
        QCOMPARE(Dword(root.value, 32), 0x00040004u); // VOS_NT_WINDOWS32
        QCOMPARE(Dword(root.value, 36), 0x00000001u); // VFT_APP
    }

    void strings_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("FileVersion") << "FileVersion"
                                     << "1.00";
        QTest::newRow("ProductVersion") << "ProductVersion"
                                        << "1.00";
        QTest::newRow("ProductName") << "ProductName"
                                     << "Calculator";
        QTest::newRow("InternalName") << "InternalName"
                                      << "Tallix";
        QTest::newRow("OriginalFilename") << "OriginalFilename"
                                          << "Tallix.exe";
    }

    void strings() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QVERIFY(root_);
        const VersionNode& root = *root_;
        const VersionNode* info = root.Child(QStringLiteral("StringFileInfo"));
        QVERIFY2(info, "no StringFileInfo");
        QCOMPARE(int(info->children.size()), 1);
        const VersionNode& table = info->children.front();
        QCOMPARE(table.key, QStringLiteral("040904B0")); // U.S. English, UTF-16
        const VersionNode* string = table.Child(key);
        QVERIFY2(string, qPrintable("no string " + key));
        QVERIFY(string->text);
        QCOMPARE(string->Text(), value);
    }

    // The language and code page of the string table, for Explorer's Details tab.
    void translationIsUsEnglishUnicode() {
        QVERIFY(root_);
        const VersionNode& root = *root_;
        const VersionNode* var = root.Child(QStringLiteral("VarFileInfo"));
        QVERIFY2(var, "no VarFileInfo");
        const VersionNode* translation = var->Child(QStringLiteral("Translation"));
        QVERIFY2(translation, "no Translation");
        QCOMPARE(translation->value.size(), 4);
        QCOMPARE(Word(translation->value, 0), quint16(0x0409));
        QCOMPARE(Word(translation->value, 2), quint16(1200));
    }

    // The program icon IDI_ICON1: a group naming one RT_ICON per image of tallix.ico, each the image's
    // own bytes. Windows shows the program file with the first icon group.
    void iconGroupHoldsTheIconFileImages() {
        QCOMPARE(Count(kGroupIconType), 1);
        const Resource* group = Find(kGroupIconType);
        QVERIFY(!group->name.ordinal);
        QCOMPARE(group->name.text, QStringLiteral("IDI_ICON1"));

        const std::vector<IcoImage> images = ReadIco(ico_);
        QCOMPARE(int(images.size()), 2);
        QCOMPARE(Word(group->data, 2), quint16(1)); // an icon, not a cursor
        QCOMPARE(int(Word(group->data, 4)), int(images.size()));
        QCOMPARE(Count(kIconType), int(images.size()));

        QList<int> sizes;
        for (int i = 0; i < int(images.size()); ++i) {
            const qsizetype entry = 6 + 14 * i; // GRPICONDIRENTRY
            const IcoImage& image = images[std::size_t(i)];
            QCOMPARE(int(quint8(group->data.at(entry))), image.width);
            QCOMPARE(int(quint8(group->data.at(entry + 1))), image.height);
            QCOMPARE(Word(group->data, entry + 6), image.bitCount);
            QCOMPARE(qsizetype(Dword(group->data, entry + 8)), image.bytes.size());
            const Resource* icon = Find(kIconType, Word(group->data, entry + 12));
            QVERIFY2(icon, "the group names an icon image that is not there");
            QVERIFY2(icon->data == image.bytes, "an icon image differs from the icon file's");
            sizes.append(image.width);
        }
        QCOMPARE(sizes, (QList<int>{24, 48}));
    }

private:
    int Count(quint16 type) const {
        int count = 0;
        for (const Resource& resource : resources_)
            if (resource.type.ordinal == type) ++count;
        return count;
    }
    const Resource* Find(quint16 type, std::optional<quint16> name = std::nullopt) const {
        for (const Resource& resource : resources_)
            if (resource.type.ordinal == type && (!name || resource.name.ordinal == name)) return &resource;
        return nullptr;
    }

    QByteArray ico_;
    std::vector<Resource> resources_;
    std::optional<VersionNode> root_; // the version record, when there is one
};

QTEST_GUILESS_MAIN(VersionInfoTest)

#include "versioninfo_test.moc"
