#include "core/errors/Error.h"
#include "core/import/ProgressReporter.h"
#include "core/import/SupplierFileReader.h"
#include "core/storage/TableColumn.h"
#include "core/text/CodePage.h"
#include "support/DecimalSeparator.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cstdlib>

namespace {

const std::vector<TableColumn> kColumns = {{"CODE", TableColumn::Text, 5},
                                           {"NAME", TableColumn::Text, 12},
                                           {"PRICE", TableColumn::Single, 0},
                                           {"QTY", TableColumn::Short, 0}};
const QString kNull = QStringLiteral("∅");

QString render(const SupplierFileReader::Value& value)
{
    if (const auto* integer = std::get_if<qint64>(&value))
        return QLatin1Char('#') + QString::number(*integer);
    if (const auto* real = std::get_if<double>(&value))
        return QLatin1Char('~') + QString::number(*real, 'g', 7);
    if (const auto* text = std::get_if<std::string>(&value))
        return QString::fromStdString(*text);
    return kNull;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray utf16(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

class ProgressLog : public ProgressReporter
{
public:
    void update(qint64 position, qint64 total) override { updates.append({position, total}); }
    QList<QPair<qint64, qint64>> updates;
};

} // namespace

class TestSupplierFileReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void reads_data();
    void reads();
    void adjusts_data();
    void adjusts();
    void fails_data();
    void fails();
    void unreadableFile();
    void findsSchemaIniWrittenOnWindows();
    void numericKinds();
    void recordsAcrossReadChunks();
    void reportsProgress();
    void ignoresTheCLocale();

private:
    QString importPath() const { return m_dir->filePath(QStringLiteral("import.txt")); }
    void writeInput(const QByteArray& file, const QByteArray& schema);
    // Every record as "line:value|value|...".
    QStringList readAll(SupplierFileReader& reader);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSupplierFileReader::initTestCase()
{
    // The values expected below are the same in both runs: only proven if the
    // C library's locale really has the decimal comma in the second.
    QVERIFY2(cLibraryDecimalPoint() == expectedDecimalSeparator(),
             "the ru_RU.UTF-8 locale is missing (scripts/test.sh makes it)");
}

void TestSupplierFileReader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSupplierFileReader::writeInput(const QByteArray& file, const QByteArray& schema)
{
    if (!file.isNull())
        writeFile(importPath(), file);
    if (!schema.isEmpty())
        writeFile(m_dir->filePath(QStringLiteral("schema.ini")), schema);
}

QStringList TestSupplierFileReader::readAll(SupplierFileReader& reader)
{
    QStringList records;
    while (reader.next()) {
        QStringList values;
        for (const auto& value : reader.values())
            values << render(value);
        records << QString::number(reader.line()) + QLatin1Char(':') + values.join(QLatin1Char('|'));
    }
    return records;
}

void TestSupplierFileReader::reads_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("schema");
    QTest::addColumn<QStringList>("records");

    const QByteArray none;
    const QByteArray hedgehog1251 = CodePage::encode(CodePage::Windows1251, u"Щётка");

    QTest::newRow("semicolon") << QByteArray("CODE;NAME;PRICE;QTY\n00123;Фильтр;12.5;3\n") << none
                               << QStringList{"2:00123|Фильтр|~12.5|#3"};
    QTest::newRow("tab") << QByteArray("CODE\tNAME\tPRICE\tQTY\nA\tB C\t1\t2\n") << none
                         << QStringList{"2:A|B C|~1|#2"};
    QTest::newRow("comma") << QByteArray("CODE,NAME,PRICE\nA,\"x, y\",2.25\n") << none
                           << QStringList{"2:A|x, y|~2.25|∅"};
    QTest::newRow("pipe") << QByteArray("CODE|QTY\nA|7\n") << none << QStringList{"2:A|∅|∅|#7"};
    QTest::newRow("names in any order and case")
        << QByteArray("qty;Code\n5;A1\n") << none << QStringList{"2:A1|∅|∅|#5"};
    QTest::newRow("quoted delimiter, quotes and line break")
        << QByteArray("CODE;NAME;QTY\n\"A;1\";\"a \"\"b\"\"\nc\";4\nB;x;5\n") << none
        << QStringList{"2:A;1|a \"b\"\nc|∅|#4", "4:B|x|∅|#5"};
    QTest::newRow("CR line ends") << QByteArray("CODE;QTY\rA;1\rB;2\r") << none
                                  << QStringList{"2:A|∅|∅|#1", "3:B|∅|∅|#2"};
    QTest::newRow("CRLF line ends") << QByteArray("CODE;QTY\r\nA;1\r\n\r\nB;2\r\n") << none
                                    << QStringList{"2:A|∅|∅|#1", "4:B|∅|∅|#2"};
    QTest::newRow("no final line end") << QByteArray("CODE;QTY\nA;1") << none << QStringList{"2:A|∅|∅|#1"};
    QTest::newRow("blank lines and empty records skipped")
        << QByteArray("\nCODE;NAME\n\n;\n  \nA;B\n") << none << QStringList{"6:A|B|∅|∅"};
    QTest::newRow("short record, trailing delimiters") << QByteArray("CODE;NAME;PRICE;QTY;\nA;B\nC;D;1;2;;\n")
                                                       << none << QStringList{"2:A|B|∅|∅", "3:C|D|~1|#2"};
    QTest::newRow("blanks around fields")
        << QByteArray("CODE ; NAME\n  A1 ;  \" b \"\n") << none << QStringList{"2:A1| b |∅|∅"};
    QTest::newRow("decimal comma, signs, exponent, zeros")
        << QByteArray("CODE;PRICE;QTY\nA;12,5;-3\nB;+1.5e2;007\nC;;5.0\n") << none
        << QStringList{"2:A|∅|~12.5|#-3", "3:B|∅|~150|#7", "4:C|∅|∅|#5"};
    QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                              "CODE;NAME\nA;Ёж\n")
                                                << none << QStringList{"2:A|Ёж|∅|∅"};
    QTest::newRow("1251") << QByteArray("CODE;NAME\nA;") + hedgehog1251 << none
                          << QStringList{"2:A|Щётка|∅|∅"};
    QTest::newRow("1251 found after ASCII lines")
        << QByteArray("CODE;NAME\nA;x\nB;") + hedgehog1251 + "\nC;\xB9\n"
        << none << QStringList{"2:A|x|∅|∅", "3:B|Щётка|∅|∅", "4:C|№|∅|∅"};
    QTest::newRow("UTF-16LE with byte-order mark")
        << utf16(QStringLiteral("\uFEFFCODE;NAME\r\nA;Ёж\r\n"), QStringConverter::Utf16LE) << none
        << QStringList{"2:A|Ёж|∅|∅"};
    QTest::newRow("UTF-16BE with byte-order mark")
        << utf16(QStringLiteral("\uFEFFCODE;NAME\nA;Ёж\n"), QStringConverter::Utf16BE) << none
        << QStringList{"2:A|Ёж|∅|∅"};

    QTest::newRow("OEM is 866") << CodePage::encode(CodePage::Dos866, u"CODE;NAME\nA;Ёж\n")
                                << QByteArray("[import.txt]\nCharacterSet=OEM\n")
                                << QStringList{"2:A|Ёж|∅|∅"};
    QTest::newRow("Unicode without byte-order mark")
        << utf16(QStringLiteral("CODE;NAME\nA;Ёж\n"), QStringConverter::Utf16LE)
        << QByteArray("[import.txt]\nCharacterSet=Unicode\n") << QStringList{"2:A|Ёж|∅|∅"};
    QTest::newRow("ANSI declared wins over valid UTF-8")
        << QByteArray("CODE;NAME\nA;\xD0\xA8\n") << QByteArray("[import.txt]\nCharacterSet=ANSI\n")
        << QStringList{"2:A|РЁ|∅|∅"};
    QTest::newRow("65001 declared") << QByteArray("CODE;NAME\nA;Ёж\n")
                                    << QByteArray("[import.txt]\nCharacterSet=65001\n")
                                    << QStringList{"2:A|Ёж|∅|∅"};
    QTest::newRow("odd key case, blanks, comments, other keys")
        << QByteArray("CODE*NAME\nA*B\n")
        << QByteArray("; supplier layout\r\n[IMPORT.TXT]\r\n  format = Delimited(*) \r\n"
                      "COLNAMEHEADER =TRUE\r\nMaxScanRows=0\r\n")
        << QStringList{"2:A|B|∅|∅"};
    QTest::newRow("CSVDelimited") << QByteArray("CODE;NAME,QTY\nA;B,3\n")
                                  << QByteArray("[import.txt]\nFormat=CSVDelimited\nCol1=NAME\nCol2=QTY\n")
                                  << QStringList{"2:∅|A;B|∅|#3"};
    QTest::newRow("TabDelimited") << QByteArray("CODE\tNAME\nA;1\tB\n")
                                  << QByteArray("[import.txt]\nFormat=TabDelimited\n")
                                  << QStringList{"2:A;1|B|∅|∅"};
    QTest::newRow("fixed length, characters not bytes")
        << QByteArray("A1   Ёжик   12\nB2   x\n   \n")
        << QByteArray("[import.txt]\nFormat=FixedLength\nColNameHeader=False\nCol1=CODE Text Width 5\n"
                      "Col2=NAME Char Width 6\nCol3=QTY Short Width 3\n")
        << QStringList{"1:A1|Ёжик|∅|#12", "2:B2|x|∅|∅"};
    QTest::newRow("fixed length skips its header line")
        << QByteArray("CODE QTY\nA1    7\n")
        << QByteArray("[import.txt]\nFormat=FixedLength\nCol1=CODE Text Width 5\nCol2=QTY Short Width 3\n")
        << QStringList{"2:A1|∅|∅|#7"};
    QTest::newRow("no header, names from ColN")
        << QByteArray("5;A\n")
        << QByteArray(
               "[import.txt]\nFormat=Delimited(;)\nColNameHeader=False\nCol1=QTY Short\nCol2=CODE Text\n")
        << QStringList{"1:A|∅|∅|#5"};
    QTest::newRow("ColN names replace the header line")
        << QByteArray("X;Y\nb;a\n")
        << QByteArray("[import.txt]\nFormat=Delimited(;)\nColNameHeader=True\nCol1=\"Name\" Text Width 12\n"
                      "Col2=CODE\n")
        << QStringList{"2:a|b|∅|∅"};
    QTest::newRow("TextDelimiter none")
        << QByteArray("CODE;NAME\nA;\"q\" r\n") << QByteArray("[import.txt]\nTextDelimiter=none\n")
        << QStringList{"2:A|\"q\" r|∅|∅"};
    QTest::newRow("misspelt TextDelimeter")
        << QByteArray("CODE;NAME\nA;'x;y'\n") << QByteArray("[import.txt]\nTextDelimeter='\n")
        << QStringList{"2:A|x;y|∅|∅"};
    QTest::newRow("DecimalSymbol comma")
        << QByteArray("CODE;PRICE\nA;3,75\n") << QByteArray("[import.txt]\nDecimalSymbol=,\n")
        << QStringList{"2:A|∅|~3.75|∅"};
    QTest::newRow("sections of other files are left alone")
        << QByteArray("CODE;QTY\nA;1\n")
        << QByteArray("[importg.txt]\nFormat=Nonsense\nCol1=X Text\n[import.txt.bak]\nFormat=FixedLength\n")
        << QStringList{"2:A|∅|∅|#1"};
}

void TestSupplierFileReader::reads()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, schema);
    QFETCH(QStringList, records);
    writeInput(file, schema);
    SupplierFileReader reader(importPath(), kColumns);
    QCOMPARE(readAll(reader), records);
    QCOMPARE(reader.adjustedCount(), 0);
}

void TestSupplierFileReader::adjusts_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("schema");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("examples");

    QTest::newRow("text cut in characters")
        << QByteArray("CODE;NAME\nABCDEFG;Щётка стеклоочистителя\n") << QByteArray()
        << QStringList{"2:ABCDE|Щётка стекло|∅|∅"} << 2
        << QStringList{"import.txt:2:CODE:ABCDEFG", "import.txt:2:NAME:Щётка стеклоочистителя"};
    QTest::newRow("numbers that do not fit")
        << QByteArray("PRICE;QTY\nabc;1.5\n1e39;32768\n-1;-32769\n0;-32768\n") << QByteArray()
        << QStringList{"2:∅|∅|∅|∅", "3:∅|∅|∅|∅", "4:∅|∅|~-1|∅", "5:∅|∅|~0|#-32768"} << 5
        << QStringList{"import.txt:2:PRICE:abc", "import.txt:2:QTY:1.5", "import.txt:3:PRICE:1e39",
                       "import.txt:3:QTY:32768", "import.txt:4:QTY:-32769"};
    QTest::newRow("comma is no decimal where it delimits")
        << QByteArray("CODE,PRICE\nA,\"2,5\"\n") << QByteArray() << QStringList{"2:A|∅|∅|∅"} << 1
        << QStringList{"import.txt:2:PRICE:2,5"};
    QTest::newRow("DecimalSymbol comma refuses a point")
        << QByteArray("CODE;PRICE\nA;2.5\n") << QByteArray("[import.txt]\nDecimalSymbol=,\n")
        << QStringList{"2:A|∅|∅|∅"} << 1 << QStringList{"import.txt:2:PRICE:2.5"};
    QTest::newRow("digit grouping is not a number")
        << QByteArray("PRICE\n1 200,50\n") << QByteArray() << QStringList{"2:∅|∅|∅|∅"} << 1
        << QStringList{"import.txt:2:PRICE:1 200,50"};

    QByteArray many("CODE;QTY\n");
    QStringList manyRecords, manyExamples;
    for (int i = 0; i < 12; ++i) {
        many += "A;x" + QByteArray::number(i) + '\n';
        manyRecords << QStringLiteral("%1:A|∅|∅|∅").arg(i + 2);
        if (i < SupplierFileReader::kAdjustmentExamples)
            manyExamples << QStringLiteral("import.txt:%1:QTY:x%2").arg(i + 2).arg(i);
    }
    QTest::newRow("every adjustment counted, ten shown")
        << many << QByteArray() << manyRecords << 12 << manyExamples;
}

void TestSupplierFileReader::adjusts()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, schema);
    QFETCH(QStringList, records);
    QFETCH(int, count);
    QFETCH(QStringList, examples);
    writeInput(file, schema);
    SupplierFileReader reader(importPath(), kColumns);
    QCOMPARE(readAll(reader), records);
    QCOMPARE(reader.adjustedCount(), count);
    QStringList shown;
    for (const auto& adjustment : reader.adjustments())
        shown << QStringLiteral("%1:%2:%3:%4")
                     .arg(adjustment.fileName)
                     .arg(adjustment.line)
                     .arg(adjustment.column, adjustment.value);
    QCOMPARE(shown, examples);
}

void TestSupplierFileReader::fails_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("schema");
    QTest::addColumn<QString>("message");

    const QString expected = QStringLiteral("CODE, NAME, PRICE, QTY");
    QTest::newRow("missing file") << QByteArray() << QByteArray()
                                  << "Файл import.txt не найден в папке %DIR%";
    QTest::newRow("empty file") << QByteArray("") << QByteArray()
                                << "Файл import.txt, строка 1: файл пуст: нет строки с именами столбцов";
    QTest::newRow("no known column name")
        << QByteArray("\nPART;COST\nA;1\n") << QByteArray()
        << "Файл import.txt, строка 2: нет ни одного известного имени столбца; ожидаются: " + expected;
    QTest::newRow("unknown column") << QByteArray("CODE;COLOR\nA;red\n") << QByteArray()
                                    << "Файл import.txt, строка 1: неизвестный столбец «COLOR»; в таблице "
                                       "есть: " +
                                           expected;
    QTest::newRow("nameless column") << QByteArray("CODE;;QTY\n") << QByteArray()
                                     << "Файл import.txt, строка 1: неизвестный столбец «F2»; в таблице "
                                        "есть: " +
                                            expected;
    QTest::newRow("column twice") << QByteArray("CODE;code\n") << QByteArray()
                                  << "Файл import.txt, строка 1: столбец «code» указан дважды";
    QTest::newRow("unterminated quote") << QByteArray("CODE;NAME\nA;B\n\nC;\"open\nmore\n") << QByteArray()
                                        << "Файл import.txt, строка 4: незакрытые кавычки";
    QTest::newRow("non-empty surplus field") << QByteArray("CODE;NAME\nA;B\nA;B;;x\n") << QByteArray()
                                             << "Файл import.txt, строка 3: лишнее значение «x» после "
                                                "последнего столбца";
    QTest::newRow("invalid UTF-8 after UTF-8 text")
        << QByteArray("CODE;NAME\nA;Ёж\nB;\xC0\xC1\n") << QByteArray()
        << "Файл import.txt, строка 3: текст не в UTF-8, хотя выше в файле был текст в UTF-8; сохраните "
           "файл целиком в одной кодировке (UTF-8 или Windows-1251)";
    QTest::newRow("invalid UTF-8 after a byte-order mark")
        << QByteArray("\xEF\xBB\xBF"
                      "CODE;NAME\nA;\xC0\n")
        << QByteArray() << "Файл import.txt, строка 2: текст не в кодировке UTF-8, указанной для файла";
    QTest::newRow("fixed length surplus")
        << QByteArray("AB 1\nCD 2 x\n")
        << QByteArray("[import.txt]\nFormat=FixedLength\nColNameHeader=False\nCol1=CODE Text Width 3\n"
                      "Col2=QTY Short Width 2\n")
        << "Файл import.txt, строка 2: лишнее значение «x» после последнего столбца";
    QTest::newRow("unknown Format")
        << QByteArray("CODE\n") << QByteArray("[import.txt]\nFormat=Fixed\n")
        << "Файл schema.ini, строка 2, раздел [import.txt]: неизвестный формат «Fixed» (допустимы "
           "CSVDelimited, TabDelimited, Delimited(x) и FixedLength)";
    QTest::newRow("FixedLength column without width")
        << QByteArray("CODE\n")
        << QByteArray("[import.txt]\nFormat=FixedLength\nCol1=CODE Text Width 5\nCol2=NAME Text\n")
        << "Файл schema.ini, строка 4, раздел [import.txt]: у столбца «NAME» не указана ширина (Width), а "
           "формат FixedLength";
    QTest::newRow("unknown CharacterSet")
        << QByteArray("CODE\n") << QByteArray("[import.txt]\nCharacterSet=KOI8\n")
        << "Файл schema.ini, строка 2, раздел [import.txt]: неизвестная кодировка «KOI8» "
           "(допустимы ANSI, OEM, Unicode, 1251, 866, 65001)";
    QTest::newRow("no header and no names")
        << QByteArray("A;1\n") << QByteArray("[import.txt]\nFormat=Delimited(;)\nColNameHeader=False\n")
        << "Файл schema.ini, строка 3, раздел [import.txt]: без строки заголовка (ColNameHeader=False) нужны "
           "имена столбцов "
           "Col1, Col2, …";
    QTest::newRow("ColN names an unknown column")
        << QByteArray("A;red\n")
        << QByteArray("[import.txt]\nFormat=Delimited(;)\nColNameHeader=False\nCol1=CODE\nCol2=COLOR Text\n")
        << "Файл schema.ini, строка 5, раздел [import.txt]: неизвестный столбец «COLOR»; в таблице есть: " +
               expected;
    QTest::newRow("schema.ini in 1251")
        << QByteArray("A;red\n")
        << QByteArray("[import.txt]\nFormat=Delimited(;)\nColNameHeader=False\nCol1=CODE\nCol2=") +
               CodePage::encode(CodePage::Windows1251, u"ЦВЕТ") + '\n'
        << "Файл schema.ini, строка 5, раздел [import.txt]: неизвестный столбец «ЦВЕТ»; в таблице есть: " +
               expected;
}

void TestSupplierFileReader::fails()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, schema);
    QFETCH(QString, message);
    writeInput(file, schema);
    try {
        SupplierFileReader reader(importPath(), kColumns);
        while (reader.next()) {
        }
        QFAIL("no error");
    } catch (const Error& error) {
        QCOMPARE(error.message(), message.replace(QStringLiteral("%DIR%"), m_dir->path()));
    }
}

void TestSupplierFileReader::unreadableFile()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("import.txt")));
    try {
        SupplierFileReader reader(importPath(), kColumns);
        QFAIL("no error");
    } catch (const Error& error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Файл import.txt не удаётся открыть: ")),
                 qPrintable(error.message()));
    }
}

void TestSupplierFileReader::findsSchemaIniWrittenOnWindows()
{
    writeInput("CODE*QTY\nA*1\n", QByteArray());
    writeFile(m_dir->filePath(QStringLiteral("Schema.INI")), "[IMPORT.TXT]\nFormat=Delimited(*)\n");
    SupplierFileReader reader(importPath(), kColumns);
    QCOMPARE(readAll(reader), QStringList{"2:A|∅|∅|#1"});
}

void TestSupplierFileReader::numericKinds()
{
    writeInput("P;D;N\n12.3;12.3;100000\n1;2;3000000000\n", QByteArray());
    SupplierFileReader reader(importPath(), std::vector<TableColumn>{{"P", TableColumn::Single, 0},
                                                                     {"D", TableColumn::Double, 0},
                                                                     {"N", TableColumn::Integer, 0}});
    QVERIFY(reader.next());
    // The price column keeps single precision, as the old table stored it.
    QCOMPARE(std::get<double>(reader.values()[0]), double(12.3f));
    QCOMPARE(std::get<double>(reader.values()[1]), 12.3);
    QCOMPARE(std::get<qint64>(reader.values()[2]), 100000);
    QVERIFY(reader.next());
    QVERIFY(std::holds_alternative<std::monostate>(reader.values()[2]));
    QVERIFY(!reader.next());
    QCOMPARE(reader.adjustedCount(), 1);
}

void TestSupplierFileReader::recordsAcrossReadChunks()
{
    // The file is read a mebibyte at a time: every byte of the tail lands on
    // the boundary once, a doubled quote, CRLF and a two-byte letter included.
    const QByteArray tail("\"a\"\"b\";\"c\r\nd\"\r\nE;\xD0\x81\r\n");
    for (int shift = 0; shift <= tail.size(); ++shift) {
        QByteArray file("CODE;NAME\r\n");
        const qsizetype fill = (1 << 20) - shift - file.size() - 4;
        file += "Z;" + QByteArray(fill, 'x') + "\r\n" + tail;
        writeInput(file, QByteArray());
        SupplierFileReader reader(importPath(), kColumns);
        const QStringList records = readAll(reader);
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[1], QStringLiteral("3:a\"b|c\r\nd|∅|∅"));
        QCOMPARE(records[2], QStringLiteral("5:E|Ё|∅|∅"));
    }
}

void TestSupplierFileReader::reportsProgress()
{
    QByteArray file("CODE;QTY\n");
    while (file.size() < 2500000)
        file += "ABC;12\n";
    writeInput(file, QByteArray());
    ProgressLog log;
    SupplierFileReader reader(importPath(), kColumns, &log);
    qint64 records = 0;
    while (reader.next())
        ++records;
    QCOMPARE(records, (file.size() - 9) / 7);
    QVERIFY(log.updates.size() >= 3);
    for (qsizetype i = 1; i < log.updates.size(); ++i)
        QVERIFY(log.updates[i].first >= log.updates[i - 1].first);
    QCOMPARE(log.updates.last(), qMakePair(qint64(file.size()), qint64(file.size())));
}

void TestSupplierFileReader::ignoresTheCLocale()
{
    const char* russian = "ru_RU.UTF-8";
    // The suite's second run is under ru_RU.UTF-8 already: put back what was there.
    const QByteArray before = std::setlocale(LC_ALL, nullptr);
    const auto restore = qScopeGuard([&before] {
        qunsetenv("LOCPATH");
        std::setlocale(LC_ALL, before.constData());
    });
    if (!std::setlocale(LC_ALL, russian)) {
        // Made into the test's folder: the C library does not see a locale
        // added to the system archive after the process first looked there.
        const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
        QVERIFY2(!localedef.isEmpty(), "localedef is needed to make the ru_RU.UTF-8 locale");
        QProcess::execute(localedef, {"-i", "ru_RU", "-f", "UTF-8", m_dir->filePath(russian)});
        qputenv("LOCPATH", QFile::encodeName(m_dir->path()));
        QVERIFY2(std::setlocale(LC_ALL, russian), "localedef could not make the ru_RU.UTF-8 locale");
    }
    // The C library now reads a decimal comma and stops at a point.
    QCOMPARE(std::strtod("2,5", nullptr), 2.5);
    QCOMPARE(std::strtod("2.5", nullptr), 2.0);

    writeInput("CODE;PRICE;QTY\nA;12.5;3\nB;7,25;-4\n", QByteArray());
    SupplierFileReader reader(importPath(), kColumns);
    QCOMPARE(readAll(reader), (QStringList{"2:A|∅|~12.5|#3", "3:B|∅|~7.25|#-4"}));
}

QTEST_GUILESS_MAIN(TestSupplierFileReader)
#include "TestSupplierFileReader.moc"
