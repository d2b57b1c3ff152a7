#include "core/storage/PriceCatalogue.h"
#include "gui/search/PriceListModel.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestPriceListModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void passesModelTester();
    void closedKeepsColumns();
    void cellTexts_data();
    void cellTexts();
    void failedOpenStaysClosed();

private:
    // A cross number's rows at 40 hryvnia per dollar and 50 per euro.
    std::vector<PriceRow> priceList(const QString& cross)
    {
        return m_folder->storage().catalogue().priceList(cross, {40, 50});
    }

    std::unique_ptr<ClientFolder> m_folder;
};

void TestPriceListModel::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec("INSERT INTO GROUPS VALUES ('G0', 'Без скидки', 0), ('G10', 'Десять', 10);"
                   "INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME, CROSSNUMBER, PRICE,"
                   " WH0, WH3) VALUES ('G10', '1K0 129.620-D', '1K0129620D', 'Фильтр', 'X1', 100, 4, NULL),"
                   "('G0', 'ABC-1', 'ABC1', 'Фильтр малый', 'X1', 80.5, NULL, 12),"
                   "('G0', 'Z-9', 'Z9', 'Другое', 'X2', 5, 1, 1)");
}

void TestPriceListModel::cleanup()
{
    m_folder.reset();
}

void TestPriceListModel::passesModelTester()
{
    PriceListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.open(priceList(QStringLiteral("X1")));
    QCOMPARE(model.rowCount(), 2);
    model.open(priceList(QStringLiteral("X2")));
    QCOMPARE(model.rowCount(), 1);
    model.close();
    model.close();
    QCOMPARE(model.rowCount(), 0);
}

void TestPriceListModel::closedKeepsColumns()
{
    PriceListModel model;
    QVERIFY(!model.isOpen());
    QCOMPARE(model.columnCount(), 16);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Код товара"));
    QCOMPARE(model.headerData(14, Qt::Horizontal).toString(), QStringLiteral("Скл №9"));
    model.open(priceList(QStringLiteral("NONE")));
    QVERIFY(model.isOpen());
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 16);
}

void TestPriceListModel::cellTexts_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("rightAligned");

    QTest::newRow("cheapest input price first") << 0 << 0 << "ABC-1" << false;
    QTest::newRow("name left") << 0 << 1 << "Фильтр малый" << false;
    QTest::newRow("input price after discount") << 1 << 2 << regional("90.00") << true;
    QTest::newRow("retail two decimals") << 0 << 3 << regional("80.50") << true;
    QTest::newRow("dollars") << 1 << 4 << regional("2.50") << true;
    QTest::newRow("euros") << 1 << 5 << regional("2.00") << true;
    QTest::newRow("stock whole number") << 1 << 6 << "4" << true;
    QTest::newRow("empty stock empty text") << 1 << 9 << "" << true;
}

void TestPriceListModel::cellTexts()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, rightAligned);

    PriceListModel model;
    model.open(priceList(QStringLiteral("x1")));
    const QModelIndex index = model.index(row, column);
    QCOMPARE(index.data(Qt::DisplayRole).toString(), text);
    // The cell editor shows what the cell shows.
    QCOMPARE(index.data(Qt::EditRole).toString(), text);
    const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    QCOMPARE(bool(alignment & Qt::AlignRight), rightAligned);
    QVERIFY(model.flags(index) & Qt::ItemIsEditable);
    QVERIFY(!model.setData(index, QStringLiteral("changed")));
}

void TestPriceListModel::failedOpenStaysClosed()
{
    PriceListModel model;
    model.open(priceList(QStringLiteral("X1")));
    m_folder->exec("DROP TABLE GROUPS");
    // The list fails before it reaches the model, which the window closes
    // before it asks for the next list.
    model.close();
    QVERIFY_THROWS_EXCEPTION(std::exception, model.open(priceList(QStringLiteral("X1"))));
    QVERIFY(!model.isOpen());
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestPriceListModel)
#include "TestPriceListModel.moc"
