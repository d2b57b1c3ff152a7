#include "core/errors/Error.h"
#include "core/import/PriceListUpdate.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

// Files as a supplier or a broken disk might deliver them, each through the
// whole update: it either succeeds, reporting what it adjusted, or fails
// with a message that names the file (and the line, where there is one),
// and leaves the database exactly as it was. A hang shows as this test's
// timeout, never as a timed assertion.
namespace {

const QByteArray kHeader =
    "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE;WH0;WH1;WH2;WH3;WH4;WH5;WH6;WH7;WH8\r\n";
const QByteArray kGroupsHeader = "GROUPCODE;GROUPNAME;DISCOUNT\r\n";

// One part with the given name, price and first stock figure.
QByteArray part(const QByteArray& name, const QByteArray& price = "10", const QByteArray& stock = "1")
{
    return "G1;A-1;A1;" + name + ";X1;" + price + ';' + stock + ";;;;;;;;\r\n";
}

QByteArray utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar ch : text) {
        const char high = char(ch.unicode() >> 8), low = char(ch.unicode() & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// schema.ini declaring import.txt without a header, with columns Col1.. as given.
QByteArray schemaColumns(const QByteArray& columns)
{
    return "[import.txt]\r\nFormat=Delimited(;)\r\nColNameHeader=False\r\n" + columns;
}

bool hasControlCharacter(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar ch) { return ch.category() == QChar::Other_Control; });
}

} // namespace

class TestHostileSupplierFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void update_data();
    void update();

private:
    void write(const QString& name, const QByteArray& content) { m_folder->writeFile(name, content); }
    void prepare(const QString& oddFile);

    std::unique_ptr<ClientFolder> m_folder;
};

void TestHostileSupplierFiles::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec("INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, CROSSNUMBER, PRICE) "
                   "VALUES ('OLD', 'OLD-1', 'OLD1', 'X0', 10);"
                   "INSERT INTO GROUPS VALUES ('OLD', 'Старая группа', 5)");
}

void TestHostileSupplierFiles::cleanup()
{
    m_folder.reset();
}

// "kind name": a folder, a named pipe or a link to /dev/zero in the file's
// place, or a damaged database.
void TestHostileSupplierFiles::prepare(const QString& oddFile)
{
    if (oddFile.isEmpty())
        return;
    const QStringList words = oddFile.split(QLatin1Char(' '));
    const QString path = m_folder->filePath(words[1]);
    if (words[0] == QLatin1String("garbage")) {
        write(words[1], QByteArray(4096, 'x'));
    } else if (words[0] == QLatin1String("truncated")) {
        QVERIFY(QFile::resize(path, 1024));
    } else if (QFile::remove(path), words[0] == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (words[0] == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (words[0] == QLatin1String("zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else {
        QFAIL(qPrintable(oddFile));
    }
}

void TestHostileSupplierFiles::update_data()
{
    QTest::addColumn<QByteArray>("price");  // import.txt; null: none
    QTest::addColumn<QByteArray>("groups"); // importg.txt; null: none
    QTest::addColumn<QByteArray>("schema"); // schema.ini; null: none
    QTest::addColumn<QString>("oddFile");   // see prepare()
    QTest::addColumn<QString>("expected");  // in the error message, or in the report when prefixed "report: "
    QTest::addColumn<int>("rows");          // in PRICE after a success
    QTest::addColumn<QString>("prices");    // PRICE of those rows, space-separated; empty: not checked

    const QByteArray none;
    const QByteArray good = kHeader + part("Деталь");
    const auto fails = [&](const char* name, const QByteArray& price, const QByteArray& groups,
                           const QByteArray& schema, const QString& expected) {
        QTest::newRow(name) << price << groups << schema << QString() << expected << 0 << QString();
    };
    const auto oddFile = [&](const char* name, const QString& kind, const QString& expected) {
        QTest::newRow(name) << good << kGroupsHeader + "G1;Группа;1\r\n"
                            << none << kind << expected << 0 << QString();
    };
    const auto loads = [&](const char* name, const QByteArray& price, const QByteArray& schema, int rows,
                           const QString& report, const QString& prices = QString()) {
        QTest::newRow(name) << price << none << schema << QString() << "report: " + report << rows << prices;
    };

    // Not a regular file, or no file at all.
    oddFile("import.txt is a folder", "folder import.txt", "Файл import.txt не удаётся открыть: это папка");
    oddFile("import.txt is a named pipe", "fifo import.txt",
            "Файл import.txt не удаётся открыть: это именованный канал");
    oddFile("import.txt links to /dev/zero", "zero import.txt",
            "Файл import.txt не удаётся открыть: это устройство");
    oddFile("importg.txt is a named pipe", "fifo importg.txt",
            "Файл importg.txt не удаётся открыть: это именованный канал");
    oddFile("schema.ini is a named pipe", "fifo schema.ini",
            "Файл schema.ini не удаётся открыть: это именованный канал");
    oddFile("Tardesk.lck is a named pipe", "fifo Tardesk.lck", "Tardesk.lck: это не обычный файл");
    oddFile("Tardesk.mdb is no database", "garbage Tardesk.mdb", "file is not a database");
    oddFile("Tardesk.mdb cut short", "truncated Tardesk.mdb", "malformed");
    fails("empty import.txt", "", none, none, "Файл import.txt, строка 1: файл пуст");
    fails("only a header", kHeader, none, none, "Файл import.txt не содержит ни одной строки");
    fails("group file with only its header", good, kGroupsHeader, none,
          "Файл importg.txt не содержит ни одной строки списка групп");
    fails("group file with only empty records", good, kGroupsHeader + "\r\n;;\r\n  \r\n", none,
          "Файл importg.txt не содержит ни одной строки списка групп");

    // Encodings.
    fails("UTF-16 without a byte-order mark", utf16(QString::fromUtf8(good), false), none, none,
          "Файл import.txt, строка 1: текст похож на UTF-16 без метки порядка байтов");
    fails("UTF-16 mark before UTF-8 text", "\xFF\xFE" + good, none, none,
          "Файл import.txt, строка 1: файл UTF-16 обрывается на половине знака");
    fails("half a UTF-8 mark", "\xEF\xBB" + good, none, none,
          "Файл import.txt, строка 1: неизвестный столбец");
    fails("UTF-16 mark inside a UTF-8 file",
          "\xEF\xBB\xBF" + good +
              part("\xFF\xFE"
                   "x"),
          none, none, "Файл import.txt, строка 3: текст не в кодировке UTF-8");
    fails("invalid UTF-8 after UTF-8 text", good + part("\xD0"), none, none,
          "Файл import.txt, строка 3: текст не в UTF-8, хотя выше в файле был текст в UTF-8");
    fails("UTF-16 ending in half a character", "\xFF\xFE" + utf16(QString::fromUtf8(good), false) + "x", none,
          none, "Файл import.txt, строка 3: файл UTF-16 обрывается на половине знака");
    fails("UTF-16 with a lone surrogate",
          "\xFE\xFF" + utf16(QString::fromUtf8(kHeader + part("AB")), true) +
              utf16(QStringLiteral("G2;"), true) + "\xDC\x00" + utf16(QStringLiteral(";\r\n"), true),
          none, none, "Файл import.txt, строка 3: неверный текст UTF-16");
    fails("NUL byte in a field", kHeader + part(QByteArray("AB\0CD", 5)), none, none,
          "Файл import.txt, строка 2: нулевой байт в тексте");
    fails("binary junk",
          QByteArray("\x7F"
                     "ELF\x02\x01\x01\0\0\0",
                     10) +
              QByteArray(5000, '\x90'),
          none, none, "Файл import.txt, строка 1: нулевой байт в тексте");

    // Structure.
    loads("mixed and CR-only line ends",
          kHeader.chopped(2) + "\r" + part("A").chopped(2) + "\n" + part("B").chopped(2) + "\r" + part("C"),
          none, 3, QString());
    fails("quote opened on the last line", good + "G1;\"A-2;A2", none, none,
          "Файл import.txt, строка 3: незакрытые кавычки");
    fails("header of only delimiters", ";;;;;\r\n" + part("A"), none, none,
          "Файл import.txt, строка 1: нет ни одного известного имени столбца");
    fails("closed 50 MB quoted field", kHeader + part('"' + QByteArray(50 << 20, 'x') + '"'), none, none,
          "Файл import.txt, строка 2: запись длиннее 16 МБ: в ней значение в кавычках такой длины");
    fails("quote left open in a long file", kHeader + "G1;\"" + QByteArray(20 << 20, 'x'), none, none,
          "Файл import.txt, строка 2: незакрытые кавычки");
    fails("line of 100,000 fields", good + QByteArray(100000, ';') + "\r\n", none, none,
          "Файл import.txt, строка 3: в строке больше 255 значений");
    fails("line of 16 million delimiters", good + QByteArray(16000000, ';'), none, none,
          "Файл import.txt, строка 3: в строке больше 255 значений");
    fails("header of 8 million fields", "GROUPCODE" + QByteArray(8000000, ';') + "\r\n", none, none,
          "Файл import.txt, строка 1: в строке заголовка больше 255 столбцов");
    fails("15 MB value in an error", good + part("A").chopped(2) + ";" + QByteArray(15 << 20, 'y') + "\r\n",
          none, none, "Файл import.txt, строка 3: лишнее значение «" + QString(60, QLatin1Char('y')) + "…»");

    // schema.ini.
    QByteArray declared;
    for (int i = 1; i <= 10000; ++i)
        declared += "Col" + QByteArray::number(i) + "=F" + QByteArray::number(i) + "\r\n";
    fails("10,000 declared columns", good, none, schemaColumns(declared),
          "Файл schema.ini, строка 259, раздел [import.txt]: ключ Col256: столбцов в таблице не бывает "
          "больше 255");
    const QByteArray sixValues = "G1;A-1;A1;Деталь;X1;10\r\n";
    fails("ColN number skipped", "G1;A-1;A1\r\n", none,
          schemaColumns("Col1=GROUPCODE\r\nCol3=PARTNUMBER\r\nCol4=SHORTPARTNUMBER\r\n"),
          "Файл schema.ini, строка 5, раздел [import.txt]: ключ Col3: пропущен столбец Col2");
    const QByteArray six = "Col1=GROUPCODE\r\nCol2=PARTNUMBER\r\nCol3=SHORTPARTNUMBER\r\nCol4=PARTNAME\r\n"
                           "Col5=CROSSNUMBER\r\nCol6=PRICE\r\n";
    fails("ColN repeated to swap two columns", sixValues, none,
          schemaColumns(six + "Col2=PARTNAME\r\nCol4=PARTNUMBER\r\n"),
          "Файл schema.ini, строка 10, раздел [import.txt]: ключ Col2: столбец 2 уже задан в строке 5");
    fails("ColN overflowing", sixValues, none, schemaColumns(six + "Col99999999999=PRICE Single\r\n"),
          "Файл schema.ini, строка 10, раздел [import.txt]: ключ Col99999999999: столбцов в таблице не "
          "бывает больше 255");
    fails("Col0", sixValues, none, schemaColumns("Col0=PRICE\r\n" + six),
          "Файл schema.ini, строка 4, раздел [import.txt]: ключ Col0: столбцы нумеруются с Col1");
    fails("Col02 beside Col2", sixValues, none, schemaColumns(six + "Col02=PRICE\r\n"),
          "Файл schema.ini, строка 10, раздел [import.txt]: ключ Col02: номер столбца пишется без нулей "
          "впереди");
    fails("negative width", good, none,
          "[import.txt]\r\nFormat=FixedLength\r\nCol1=GROUPCODE Text Width -5\r\n",
          "Файл schema.ini, строка 3, раздел [import.txt]: у столбца «GROUPCODE» неверная ширина");
    fails("width beyond any number", good, none,
          "[import.txt]\r\nFormat=FixedLength\r\nCol1=GROUPCODE Text Width 99999999999\r\n",
          "Файл schema.ini, строка 3, раздел [import.txt]: у столбца «GROUPCODE» неверная ширина");
    loads("absurd width takes the whole line", "G1\r\nG2\r\n",
          "[import.txt]\r\nFormat=FixedLength\r\nColNameHeader=False\r\nCol1=GROUPCODE Text Width "
          "2000000000\r\n"
          "Col2=PARTNUMBER Text Width 5\r\n",
          2, QString());
    loads("fixed widths beyond the line", "G1 A-1\r\nG2\r\n",
          "[import.txt]\r\nFormat=FixedLength\r\nColNameHeader=False\r\nCol1=GROUPCODE Text Width 3\r\n"
          "Col2=PARTNUMBER Text Width 30\r\nCol3=PRICE Single Width 300\r\n",
          2, QString());
    fails("quote as delimiter", good, none, "[import.txt]\r\nFormat=Delimited(\")\r\n",
          "Файл schema.ini, строка 2, раздел [import.txt]: разделитель в «Delimited(\")» должен быть одним "
          "латинским знаком, не "
          "кавычкой");
    fails("TextDelimiter is the delimiter", good, none,
          "[import.txt]\r\nFormat=Delimited(;)\r\nTextDelimiter=;\r\n",
          "Файл schema.ini, строка 3, раздел [import.txt]: TextDelimiter «;» совпадает с разделителем полей");
    // A decimal symbol that delimits: quoted numbers keep it, an unquoted one splits the record.
    const auto commas = [](QByteArray text) { return text.replace(';', ','); };
    const QByteArray csvDecimalComma = "[import.txt]\r\nFormat=CSVDelimited\r\nDecimalSymbol=,\r\n";
    loads("DecimalSymbol is the CSV delimiter, number quoted",
          commas(kHeader + part("A", "\"1234,50\"") + part("B", "\"-0,5\"")), csvDecimalComma, 2, QString(),
          "1234.5 -0.5");
    fails("DecimalSymbol is the CSV delimiter, number unquoted", commas(kHeader + part("A", "1234,50")), none,
          csvDecimalComma,
          "Файл import.txt, строка 2: значений больше (16), чем столбцов (15), а десятичный знак «,» "
          "совпадает с разделителем полей");
    fails("DecimalSymbol is the delimiter found in the header", good + part("B", "1234;50"), none,
          "[import.txt]\r\nDecimalSymbol=;\r\n",
          "Файл import.txt, строка 3: значений больше (16), чем столбцов (15)");
    fails("TextDelimiter is the CSV delimiter, DecimalSymbol too", commas(good), none,
          csvDecimalComma + "TextDelimiter=,\r\n",
          "Файл schema.ini, строка 4, раздел [import.txt]: TextDelimiter «,» совпадает с разделителем полей");

    // Values: adjusted and reported.
    loads("number of 5,000 digits", kHeader + part("A", QByteArray(5000, '7')), none, 1,
          "PRICE: «" + QString(60, QLatin1Char('7')) + "…»");
    loads("1e999", kHeader + part("A", "1e999"), none, 1, "PRICE: «1e999»");
    loads("1e-50", kHeader + part("A", "1e-50"), none, 1, "PRICE: «1e-50»");
    loads("nan", kHeader + part("A", "nan"), none, 1, "PRICE: «nan»");
    loads("inf", kHeader + part("A", "-inf"), none, 1, "PRICE: «-inf»");
    loads("64-bit overflow in a stock column", kHeader + part("A", "1", "9223372036854775808"), none, 1,
          "WH0: «9223372036854775808»");
    loads("control characters shown escaped",
          kHeader + part("\x1B[2J\tочень длинное название детали, длиннее "
                         "шестидесяти знаков"),
          none, 1, "PARTNAME: «\\x1B[2J\\tочень длинное название детали");
    loads("15 MB value in the report", kHeader + part('"' + QByteArray(15 << 20, 'z') + '"'), none, 1,
          "PARTNAME: «" + QString(60, QLatin1Char('z')) + "…»");
}

void TestHostileSupplierFiles::update()
{
    QFETCH(QByteArray, price);
    QFETCH(QByteArray, groups);
    QFETCH(QByteArray, schema);
    QFETCH(QString, oddFile);
    QFETCH(QString, expected);
    QFETCH(int, rows);
    QFETCH(QString, prices);
    if (!price.isNull())
        write(QStringLiteral("import.txt"), price);
    if (!groups.isNull())
        write(QStringLiteral("importg.txt"), groups);
    if (!schema.isNull())
        write(QStringLiteral("schema.ini"), schema);
    prepare(oddFile);
    const QString database = m_folder->databaseFileName();
    const QByteArray before = fileDigest(database);

    QString message;
    PriceListUpdate::Outcome outcome;
    try {
        outcome = m_folder->update();
    } catch (const std::exception& error) {
        message = Error::messageOf(error);
    }
    QVERIFY2(!hasControlCharacter(message) && message.size() < 500, qPrintable(message.left(500)));
    const QStringList left = QDir(m_folder->path()).entryList({QStringLiteral("~temp*")}, QDir::Files);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));

    if (!expected.startsWith(QLatin1String("report: "))) {
        QVERIFY2(message.contains(expected),
                 qPrintable(message.isEmpty() ? QStringLiteral("succeeded") : message));
        QCOMPARE(fileDigest(database), before);
        return;
    }
    QVERIFY2(message.isEmpty(), qPrintable(message));
    const QString report = PriceListUpdate::adjustmentReport(outcome);
    QVERIFY2(!hasControlCharacter(report.split(QLatin1Char('\n')).join(QString())) && report.size() < 2000,
             qPrintable(report.left(2000)));
    QVERIFY2(report.contains(expected.mid(8)), qPrintable(report));
    QCOMPARE(outcome.adjustedCount > 0, !expected.mid(8).isEmpty());
    QCOMPARE(m_folder->queryText("SELECT count(*) FROM PRICE").toInt(), rows);
    if (!prices.isEmpty())
        QCOMPARE(m_folder->queryRows("SELECT PRICE FROM PRICE ORDER BY rowid").join(QLatin1Char(' ')),
                 prices);
}

QTEST_GUILESS_MAIN(TestHostileSupplierFiles)
#include "TestHostileSupplierFiles.moc"
