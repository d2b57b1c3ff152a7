#include "core/storage/CrossMap.h"
#include "core/storage/MapImageReader.h"
#include "core/storage/MapImageWriter.h"
#include "core/storage/PrefixIndex.h"

#include <QTest>

#include <random>
#include <string>
#include <vector>

// A cross map and its index of short numbers written out and read back: the
// same lookups, and an image cut short or damaged is refused or read
// without a fault.
class TestMapImage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readBackAsWritten();
    void damagedRefusedOrSafe();

private:
    struct Maps
    {
        CrossMap crosses;
        PrefixIndex shortNumbers;
    };
    // Loads image, in pieces of pieceBytes; false when it is refused.
    static bool load(const std::string& image, size_t pieceBytes, Maps& maps);
    static QStringList lookUp(Maps& maps, const std::string& prefix);

    Maps m_built;
    std::string m_image;
    std::vector<std::string> m_keys;
};

bool TestMapImage::load(const std::string& image, size_t pieceBytes, Maps& maps)
{
    size_t at = 0;
    MapImageReader reader([&]() -> std::optional<std::string_view> {
        if (at >= image.size())
            return std::nullopt;
        at += pieceBytes;
        return std::string_view(image).substr(at - pieceBytes, pieceBytes);
    });
    return maps.crosses.load(reader) && maps.shortNumbers.load(reader, uint32_t(maps.crosses.crossCount())) &&
           reader.atEnd();
}

QStringList TestMapImage::lookUp(Maps& maps, const std::string& prefix)
{
    maps.shortNumbers.valuesOf(
        maps.shortNumbers.rangeOf(prefix),
        [&](const uint32_t* first, const uint32_t* last) { maps.crosses.markIds(first, last); });
    return maps.crosses.takeMarked();
}

void TestMapImage::initTestCase()
{
    const QStringList letters = QStringLiteral("AB09-ЖaЯ").split(QString(), Qt::SkipEmptyParts);
    std::mt19937 random(5);
    const auto text = [&](int length) {
        QString result;
        while (length-- > 0)
            result += letters[qsizetype(random() % letters.size())];
        return result.toStdString();
    };
    for (int part = 0; part < 20000; ++part) {
        m_keys.push_back(text(1 + int(random() % 7)));
        m_built.shortNumbers.add(uint32_t(m_built.crosses.addCross(text(1 + int(random() % 4)))),
                                 m_keys.back());
    }
    m_built.shortNumbers.finish();
    m_built.crosses.finish();
    m_built.shortNumbers.renumber(m_built.crosses.takeRenumbering());
    MapImageWriter writer(1000, [this](std::string_view piece) { m_image.append(piece); });
    m_built.crosses.save(writer);
    m_built.shortNumbers.save(writer);
    writer.finish();
}

void TestMapImage::readBackAsWritten()
{
    std::mt19937 random(7);
    // Pieces that cut numbers, texts and blocks anywhere.
    Maps loaded;
    QVERIFY(load(m_image, 7, loaded));
    for (size_t trial = 0; trial < 300; ++trial) {
        const std::string& key = m_keys[random() % m_keys.size()];
        const std::string prefix = key.substr(0, random() % (key.size() + 1));
        QCOMPARE(lookUp(loaded, prefix), lookUp(m_built, prefix));
    }
}

void TestMapImage::damagedRefusedOrSafe()
{
    Maps maps;
    for (size_t cut = 0; cut < m_image.size(); cut += 1 + cut / 8)
        QVERIFY(!load(m_image.substr(0, cut), 4096, maps));
    QVERIFY(!load(m_image + "x", 4096, maps));
    // A damaged byte the checks cannot tell leaves a map whose lookups
    // stay within it.
    std::mt19937 random(9);
    for (int trial = 0; trial < 300; ++trial) {
        std::string damaged = m_image;
        damaged[random() % damaged.size()] ^= char(1 + random() % 255);
        if (load(damaged, 4096, maps))
            for (const char* prefix : {"", "A", "Ж", "0-"})
                lookUp(maps, prefix);
    }
}

QTEST_GUILESS_MAIN(TestMapImage)
#include "TestMapImage.moc"
