#include "core/import/PriceListUpdate.h"
#include "core/search/PriceChangeList.h"
#include "support/ClientFolder.h"

#include <QTest>

// Which parts of the new price list are the replaced list's parts, and how
// their prices moved: through the update, as tardesk-admin changes lists them.
class TestPriceListComparison : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
};

namespace {

// "GROUPCODE;PARTNUMBER;PRICE" lines, one part each.
QByteArray priceFile(const QStringList& parts)
{
    QByteArray text = "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE;WH0;WH1;WH2;WH3;WH4;"
                      "WH5;WH6;WH7;WH8\n";
    for (const QString& part : parts) {
        const QStringList fields = part.split(QLatin1Char(';'));
        text += (fields[0] + QLatin1Char(';') + fields[1] + QStringLiteral(";N;Деталь;X1;") + fields[2] +
                 QStringLiteral(";;;;;;;;;\n"))
                    .toUtf8();
    }
    return text;
}

PriceListUpdate::Outcome update(ClientFolder& folder, const QStringList& parts)
{
    folder.writeFile(QStringLiteral("import.txt"), priceFile(parts));
    return folder.update();
}

} // namespace

void TestPriceListComparison::matching_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QStringList>("changes");

    QTest::newRow("first update marks nothing")
        << QStringList() << QStringList{"G1;A-1;10", "G1;B-1;20"} << "Новых позиций: 2" << QStringList();
    QTest::newRow("equal ignoring case, spelled as the new list does")
        << QStringList{"g1;ab-1;10", "G1;ЁЖ-1;10"} << QStringList{"G1;AB-1;12", "G1;ёж-1;9"}
        << "Новых позиций: 0, снято: 0, подорожало: 1, подешевело: 1"
        << QStringList{"up|AB-1|G1|10.00|12.00|+20.0", "down|ёж-1|G1|10.00|9.00|-10.0"};
    QTest::newRow("printed, not normalised: another part")
        << QStringList{"G1;A-1;10"} << QStringList{"G1;A1;10"}
        << "Новых позиций: 1, снято: 1, подорожало: 0, подешевело: 0"
        << QStringList{"new|A1|G1||10.00|", "removed|A-1|G1|10.00||"};
    QTest::newRow("a number once in each list keeps its part across groups")
        << QStringList{"G1;A-1;10"} << QStringList{"G2;A-1;11"}
        << "Новых позиций: 0, снято: 0, подорожало: 1, подешевело: 0"
        << QStringList{"up|A-1|G2|10.00|11.00|+10.0"};
    QTest::newRow("a repeated number: the group decides, ignoring case")
        << QStringList{"G1;A-1;10", "G2;A-1;20", "G3;A-1;30"}
        << QStringList{"g1;A-1;15", "G2;A-1;20", "G4;A-1;40"}
        << "Новых позиций: 1, снято: 1, подорожало: 1, подешевело: 0"
        << QStringList{"up|A-1|g1|10.00|15.00|+50.0", "new|A-1|G4||40.00|", "removed|A-1|G3|30.00||"};
    QTest::newRow("ambiguous pairs are neither marked nor counted")
        << QStringList{"G1;A-1;10", "G1;A-1;11", "G1;B-1;10"}
        << QStringList{"G1;A-1;20", "G1;B-1;10", "G1;B-1;10"}
        << "Новых позиций: 0, снято: 0, подорожало: 0, подешевело: 0" << QStringList();
    QTest::newRow("unchanged as shown")
        << QStringList{"G1;A-1;10.001"} << QStringList{"G1;A-1;10.004"}
        << "Новых позиций: 0, снято: 0, подорожало: 0, подешевело: 0" << QStringList();
    QTest::newRow("a change too small to show keeps its sign")
        << QStringList{"G1;A-1;1000", "G1;B-1;1000"} << QStringList{"G1;A-1;1000.01", "G1;B-1;999.99"}
        << "Новых позиций: 0, снято: 0, подорожало: 1, подешевело: 1"
        << QStringList{"up|A-1|G1|1000.00|1000.01|+0.0", "down|B-1|G1|1000.00|999.99|-0.0"};
    QTest::newRow("from 0: no percent, listed last")
        << QStringList{"G1;A-1;0", "G1;C-1;10"} << QStringList{"G1;A-1;5", "G1;C-1;10.5"}
        << "Новых позиций: 0, снято: 0, подорожало: 2, подешевело: 0"
        << QStringList{"up|C-1|G1|10.00|10.50|+5.0", "up|A-1|G1|0.00|5.00|"};
    // A price the reader could not read ("12,5руб") loads empty: neither a rise nor a fall.
    QTest::newRow("no price on either side: counted apart")
        << QStringList{"G1;A-1;12", "G1;B-1;", "G1;C-1;"}
        << QStringList{"G1;A-1;12,5руб", "G1;B-1;7", "G1;C-1;"}
        << "Новых позиций: 0, снято: 0, подорожало: 0, подешевело: 0, без цены: 3" << QStringList{};
    QTest::newRow("everything removed for another list")
        << QStringList{"G1;B-1;10", "G1;A-1;10"} << QStringList{"G1;C-1;10"}
        << "Новых позиций: 1, снято: 2, подорожало: 0, подешевело: 0"
        << QStringList{"new|C-1|G1||10.00|", "removed|A-1|G1|10.00||", "removed|B-1|G1|10.00||"};
}

void TestPriceListComparison::matching()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, report);
    QFETCH(QStringList, changes);

    ClientFolder folder;
    if (!before.isEmpty())
        update(folder, before);
    QCOMPARE(PriceListUpdate::changeReport(update(folder, after)), report);

    QStringList listed;
    for (const PriceChangeList::Line& line : PriceChangeList::read(folder.storage().priceChanges()))
        listed << PriceChangeList::fields(line).join(QLatin1Char('|'));
    QCOMPARE(listed, changes);
}

QTEST_GUILESS_MAIN(TestPriceListComparison)
#include "TestPriceListComparison.moc"
