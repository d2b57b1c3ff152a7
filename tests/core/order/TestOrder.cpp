#include "core/order/OrderMail.h"
#include "core/order/OrderSheet.h"
#include "support/AdminRun.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QUrlQuery>
#include <QXmlStreamReader>

namespace {

const QByteArray kHeader =
    "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE;WH0;WH1;WH2;WH3;WH4;WH5;"
    "WH6;WH7;WH8\n";
// OC-90 is in two groups; the price list spells the Cyrillic part in capitals.
const QByteArray kFirstList = kHeader +
                              "G5;OC-90;OC90;Фильтр масляный;K7;99;1;0;0;0;0;0;0;0;12\n"
                              "g0;oc 901;oc901;\"Фильтр \"\"Мега\"\"; салон\";K7;80.5;0;0;0;0;0;0;0;0;3\n"
                              "G0;OC-90;OC90;Фильтр дешёвый;K8;30;0;0;0;0;0;0;0;0;0\n"
                              "G0;ЁЖ-2110;ЁЖ2110;Свеча;A1;5;0;0;0;0;0;0;0;0;0\n";
// The next list: new prices and spellings, and the Cyrillic part withdrawn.
const QByteArray kSecondList = kHeader + "g5;oc-90;OC90;Фильтр масляный новый;K9;199;0;0;0;0;0;0;0;0;7\n"
                                         "G0;OC 901;oc901;Фильтр салона;K7;80.5;0;0;0;0;0;0;0;0;0\n";
const QByteArray kGroups = "GROUPCODE;GROUPNAME;DISCOUNT\nG5;Фильтры;5\nG0;Свечи;0\n";

const QString kEmpty = "Итого\t\t\t0\t\t0.00\n";

// Cell reference ("B3") to its text, shared strings resolved, numbers as written.
QHash<QString, QString> sheetCells(const QString& xlsx)
{
    const auto member = [&](const char* name) {
        QProcess unzip;
        unzip.start("unzip", {"-p", xlsx, name});
        unzip.waitForFinished();
        return unzip.readAllStandardOutput();
    };
    QStringList shared;
    QXmlStreamReader strings(member("xl/sharedStrings.xml"));
    while (strings.readNextStartElement() || !strings.atEnd())
        if (strings.isStartElement() && strings.name() == QLatin1String("t"))
            shared << strings.readElementText();
    QHash<QString, QString> cells;
    QXmlStreamReader sheet(member("xl/worksheets/sheet1.xml"));
    QString ref, type;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (!sheet.isStartElement())
            continue;
        if (sheet.name() == QLatin1String("c")) {
            ref = sheet.attributes().value("r").toString();
            type = sheet.attributes().value("t").toString();
        } else if (sheet.name() == QLatin1String("v")) {
            const QString value = sheet.readElementText();
            cells[ref] = type == QLatin1String("s") ? shared.value(value.toInt()) : "=" + value;
        }
    }
    return cells;
}

} // namespace

class TestOrder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void changes_data();
    void changes();
    void savedFiles();
    void mailLink_data();
    void mailLink();

private:
    AdminRun order(const QStringList& arguments) const
    {
        return AdminRun::of(QStringList{"order", m_folder->path()} + arguments);
    }
    void loadList(const QByteArray& priceList);

    std::unique_ptr<ClientFolder> m_folder;
};

void TestOrder::loadList(const QByteArray& priceList)
{
    m_folder->writeFile("import.txt", priceList);
    m_folder->writeFile("importg.txt", kGroups);
    const AdminRun update = AdminRun::of({"update", m_folder->path()});
    QVERIFY2(update.status == 0, qPrintable(update.err));
}

void TestOrder::init()
{
    m_folder = std::make_unique<ClientFolder>();
    loadList(kFirstList);
}

void TestOrder::cleanup()
{
    m_folder.reset();
}

void TestOrder::changes_data()
{
    QTest::addColumn<QStringList>(
        "steps");                       // order commands, "|" between arguments; "update" loads the next list
    QTest::addColumn<QString>("error"); // of the last step; empty: it succeeds
    QTest::addColumn<QString>("list");

    QTest::newRow("merged ignoring case, in the list's spelling")
        << QStringList{"add|oc-90|2|g5", "add|OC-90|3|G5"} << ""
        << "OC-90\tG5\tФильтр масляный\t5\t94.05\t470.25\nИтого\t\t\t5\t\t470.25\n";
    QTest::newRow("Cyrillic letters compare ignoring case")
        << QStringList{"add|ёж-2110|1", "add|ЁЖ-2110|2|g0"} << ""
        << "ЁЖ-2110\tG0\tСвеча\t3\t5.00\t15.00\nИтого\t\t\t3\t\t15.00\n";
    QTest::newRow("parts listed as first added")
        << QStringList{"add|oc 901|1", "add|OC-90|1|G0", "add|OC 901|4"} << ""
        << "oc 901\tg0\tФильтр \"Мега\"; салон\t5\t80.50\t402.50\nOC-90\tG0\tФильтр "
           "дешёвый\t1\t30.00\t30.00\n"
           "Итого\t\t\t6\t\t432.50\n";
    QTest::newRow("number in two groups names them") << QStringList{"add|OC-90|1"} << "G5, G0" << kEmpty;
    QTest::newRow("unknown part") << QStringList{"add|OC-99|1"} << "OC-99 нет в прайс-листе" << kEmpty;
    QTest::newRow("unknown group") << QStringList{"add|OC-90|1|G7"} << "OC-90 группы G7 нет" << kEmpty;
    QTest::newRow("quantity 0") << QStringList{"add|oc 901|0"} << "количество 0 недопустимо" << kEmpty;
    QTest::newRow("quantity not a number")
        << QStringList{"add|oc 901|1.5"} << "«1.5» не целое число" << kEmpty;
    QTest::newRow("merged quantity beyond 9999 leaves the line")
        << QStringList{"add|oc 901|9000", "add|oc 901|1000"} << "количество 10000 недопустимо"
        << "oc 901\tg0\tФильтр \"Мега\"; салон\t9000\t80.50\t724500.00\nИтого\t\t\t9000\t\t724500.00\n";
    QTest::newRow("removed by part and group")
        << QStringList{"add|OC-90|1|G5", "add|OC-90|2|G0", "remove|oc-90|g5"} << ""
        << "OC-90\tG0\tФильтр дешёвый\t2\t30.00\t60.00\nИтого\t\t\t2\t\t60.00\n";
    QTest::newRow("removal needs the group when the order has two")
        << QStringList{"add|OC-90|1|G5", "add|OC-90|2|G0", "remove|oc-90"} << "G5, G0"
        << "OC-90\tG5\tФильтр масляный\t1\t94.05\t94.05\nOC-90\tG0\tФильтр дешёвый\t2\t30.00\t60.00\n"
           "Итого\t\t\t3\t\t154.05\n";
    QTest::newRow("removal of a part not in the order")
        << QStringList{"add|oc 901|1", "remove|OC-90"} << "OC-90 нет в заказе"
        << "oc 901\tg0\tФильтр \"Мега\"; салон\t1\t80.50\t80.50\nИтого\t\t\t1\t\t80.50\n";
    QTest::newRow("cleared") << QStringList{"add|oc 901|1", "clear"} << "" << kEmpty;
    QTest::newRow("update: new prices and spellings, withdrawn part kept outside the totals")
        << QStringList{"add|OC-90|2|G5", "add|ЁЖ-2110|3", "add|oc 901|1", "update"} << ""
        << "oc-90\tg5\tФильтр масляный новый\t2\t189.05\t378.10\nЁЖ-2110\tG0\tСвеча\t3\t\t\n"
           "OC 901\tG0\tФильтр салона\t1\t80.50\t80.50\nИтого\t\t\t3\t\t458.60\n";
    QTest::newRow("update: withdrawn part removed, then added again when back")
        << QStringList{"add|ЁЖ-2110|3", "update", "remove|ёж-2110", "add|ЁЖ-2110|1"}
        << "ЁЖ-2110 нет в прайс-листе" << kEmpty;
}

void TestOrder::changes()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, error);
    QFETCH(QString, list);

    AdminRun last{0, {}, {}};
    for (const QString& step : steps) {
        if (step == "update") {
            loadList(kSecondList);
            last = {0, {}, {}};
            continue;
        }
        last = order(step.split('|'));
    }
    if (error.isEmpty()) {
        QVERIFY2(last.status == 0, qPrintable(last.err));
    } else {
        QCOMPARE(last.status, 1);
        QVERIFY2(last.err.contains(error), qPrintable(last.err));
    }
    const AdminRun shown = order({"list"});
    QCOMPARE(shown.status, 0);
    QCOMPARE(shown.out, regional(list)); // no part name holds a point
}

void TestOrder::savedFiles()
{
    QVERIFY(order({"add", "oc 901", "2"}).status == 0);
    QVERIFY(order({"add", "ЁЖ-2110", "1"}).status == 0);
    loadList(kSecondList);
    m_folder->writeIni("[PRICE]\nShowWH8=1\nShowWH1=1\n");

    const QString csv = m_folder->filePath("order.CSV");
    QCOMPARE(order({"export", csv}).status, 0);
    const auto saved = [&csv] {
        QFile file(csv);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QCOMPARE(saved(), QByteArray("\xEF\xBB\xBF"
                                 "Код товара;Группа;Наименование;Кол-во;Вход;Сумма;Скл №2;Скл №9\r\n"
                                 "OC 901;G0;Фильтр салона;2;80,50;161,00;0;0\r\n"
                                 "ЁЖ-2110;G0;Свеча;1;снято;;;\r\n"
                                 "Итого;;;2;;161,00;;\r\n"));
    // Quotes only where the text needs them.
    QVERIFY(order({"clear"}).status == 0);
    loadList(kFirstList);
    QVERIFY(order({"add", "oc 901", "1"}).status == 0);
    QCOMPARE(order({"export", csv}).status, 0);
    QVERIFY(saved().contains("\r\noc 901;g0;\"Фильтр \"\"Мега\"\"; салон\";1;80,50;80,50;0;3\r\n"));

    const QString xlsx = m_folder->filePath("order.xlsx");
    QCOMPARE(order({"add", "OC-90", "3", "G5"}).status, 0);
    QCOMPARE(order({"export", xlsx}).status, 0);
    const QHash<QString, QString> cells = sheetCells(xlsx);
    const QHash<QString, QString> expected{{"A1", "Код товара"},
                                           {"F1", "Сумма"},
                                           {"H1", "Скл №9"},
                                           {"A2", "oc 901"},
                                           {"C2", "Фильтр \"Мега\"; салон"},
                                           {"D2", "=1"},
                                           {"E2", "=80.5"},
                                           {"F2", "=80.5"},
                                           {"H2", "=3"},
                                           {"A3", "OC-90"},
                                           {"B3", "G5"},
                                           {"D3", "=3"},
                                           {"E3", "=94.05"},
                                           {"F3", "=282.15"},
                                           {"H3", "=12"},
                                           {"A4", "Итого"},
                                           {"D4", "=4"},
                                           {"F4", "=362.65"}};
    for (auto cell = expected.begin(); cell != expected.end(); ++cell)
        QVERIFY2(cells.value(cell.key()) == cell.value(),
                 qPrintable(cell.key() + ": " + cells.value(cell.key())));
    QVERIFY(!cells.contains("E4"));

    // A failed write says why and leaves the file as it was.
    const AdminRun refused = order({"export", m_folder->filePath("missing/order.xlsx")});
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("missing/order.xlsx"), qPrintable(refused.err));
    QCOMPARE(order({"export", m_folder->filePath("order.txt")}).status, 1);
}

void TestOrder::mailLink_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("bodyLength");
    QTest::addColumn<QString>("error");

    QTest::newRow("plain") << "sales@example.com" << 100 << "";
    QTest::newRow("address with blanks around") << "  sales@example.com " << 100 << "";
    QTest::newRow("no address") << "  " << 100 << "Не указан электронный адрес";
    QTest::newRow("body at the limit") << "sales@example.com" << OrderMail::kMaxBodyLength << "";
    QTest::newRow("body beyond the limit")
        << "sales@example.com" << OrderMail::kMaxBodyLength + 1 << "слишком длинный";
}

void TestOrder::mailLink()
{
    QFETCH(QString, address);
    QFETCH(int, bodyLength);
    QFETCH(QString, error);

    const QString subject = OrderMail::subject("Авто & Ко+ #1", QDate(2024, 3, 5));
    QCOMPARE(subject, "Заказ Авто & Ко+ #1 от 05.03.2024");
    const QString line = "1. A&B+C (G=1) Фильтр: 2 x 1.00 = 2.00\n";
    QString body = line.repeated(bodyLength / line.size());
    body += QString(bodyLength - body.size(), 'x');
    try {
        const QUrl link = OrderMail::link(address, subject, body);
        QVERIFY2(error.isEmpty(), "no error");
        QCOMPARE(link.scheme(), "mailto");
        QCOMPARE(link.path(), "sales@example.com");
        const QUrlQuery query(link);
        QCOMPARE(query.queryItems(QUrl::FullyDecoded).size(), 2);
        QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded), subject);
        QCOMPARE(query.queryItemValue("body", QUrl::FullyDecoded), QString(body).replace("\n", "\r\n"));
    } catch (const std::exception& failure) {
        QVERIFY2(!error.isEmpty() && QString::fromUtf8(failure.what()).contains(error), failure.what());
    }
}

QTEST_GUILESS_MAIN(TestOrder)
#include "TestOrder.moc"
