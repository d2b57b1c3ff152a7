#include "SampleGenerator.h"

#include "core/errors/Error.h"
#include "core/sqlite/Schema.h"
#include "core/text/NormalizePartNumber.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cmath>

namespace {

const char* const kCategories[] = {"Фильтр масляный",
                                   "Фильтр воздушный",
                                   "Фильтр топливный",
                                   "Фильтр салона",
                                   "Колодки тормозные",
                                   "Диск тормозной",
                                   "Амортизатор",
                                   "Опора амортизатора",
                                   "Свеча зажигания",
                                   "Ремень ГРМ",
                                   "Ролик натяжной",
                                   "Помпа водяная",
                                   "Термостат",
                                   "Рычаг подвески",
                                   "Шаровая опора",
                                   "Наконечник рулевой тяги",
                                   "Сайлентблок",
                                   "Подшипник ступицы",
                                   "Сцепление комплект",
                                   "Датчик кислорода",
                                   "Прокладка ГБЦ",
                                   "Сальник коленвала",
                                   "Лампа галогенная",
                                   "Щётка стеклоочистителя",
                                   "Радиатор охлаждения",
                                   "Стойка стабилизатора",
                                   "Трос ручного тормоза",
                                   "Катушка зажигания",
                                   "Генератор",
                                   "Стартер",
                                   "Насос топливный",
                                   "Цилиндр тормозной"};
const char* const kPlaces[] = {"передний", "задний", "левый", "правый", "верхний", "нижний", "комплект", ""};
const char* const kCars[] = {"VW Golf IV",     "Audi A4",        "Skoda Octavia", "ВАЗ 2110",
                             "ВАЗ 2101",       "Лада Приора",    "Ford Focus",    "Opel Astra",
                             "Renault Logan",  "Daewoo Lanos",   "ГАЗ 3110",      "Toyota Corolla",
                             "Hyundai Accent", "Chevrolet Aveo", "Mercedes W124"};
const char* const kLatinPrefixes[] = {"1K0", "06A", "0 986", "W",  "OC", "HU",  "GDB", "KYB", "SKF",   "VKBA",
                                      "LR",  "A",   "MD",    "CT", "PF", "NGK", "BP",  "C",   "F 026", "LF"};
const char* const kCyrillicPrefixes[] = {"ВАЗ", "АЛ",  "ГАЗ", "МАЗ",  "КАМАЗ",
                                         "ЗМЗ", "УАЗ", "БЗА", "ДААЗ", "АТ"};
const char kSeparators[] = {' ', '-', '.', '/', ' ', '-'};

QByteArray fieldText(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(';') || bytes.contains('"')) {
        bytes.replace("\"", "\"\"");
        bytes = '"' + bytes + '"';
    }
    return bytes;
}

} // namespace

SampleGenerator::SampleGenerator(qint64 partCount, quint64 seed)
    : m_partCount(partCount), m_state(seed * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E5DULL)
{
    makeGroups();
}

quint64 SampleGenerator::next()
{
    // splitmix64: the same sequence on every platform and library.
    quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int SampleGenerator::uniform(int low, int high)
{
    return low + int(next() % quint64(high - low + 1));
}

bool SampleGenerator::chance(int percent)
{
    return uniform(0, 99) < percent;
}

void SampleGenerator::makeGroups()
{
    const int count = int(std::clamp<qint64>(m_partCount / 500, 20, 2000));
    const int categoryCount = int(std::size(kCategories));
    for (int i = 0; i < count; ++i) {
        Group group;
        group.groupCode = QStringLiteral("GR%1").arg(i + 1, 5, 10, QLatin1Char('0'));
        group.groupName = QString::fromUtf8(kCategories[i % categoryCount]) +
                          QStringLiteral(" (серия %1)").arg(i / categoryCount + 1);
        group.discount = uniform(0, 30);
        // About one group in seventy is left out of the supplier's group list.
        group.inGroupFile = i % 70 != 13;
        m_groups.push_back(group);
    }
}

QString SampleGenerator::makePartNumber(bool* cyrillic)
{
    QString number;
    *cyrillic = chance(15);
    if (*cyrillic) {
        number = QString::fromUtf8(kCyrillicPrefixes[uniform(0, int(std::size(kCyrillicPrefixes)) - 1)]);
    } else {
        number = QString::fromLatin1(kLatinPrefixes[uniform(0, int(std::size(kLatinPrefixes)) - 1)]);
    }
    const int blocks = uniform(1, 3);
    for (int b = 0; b < blocks; ++b) {
        number += QLatin1Char(kSeparators[uniform(0, int(std::size(kSeparators)) - 1)]);
        const int length = uniform(2, 4);
        for (int d = 0; d < length; ++d)
            number += QLatin1Char(char('0' + uniform(0, 9)));
    }
    if (chance(20))
        number += QLatin1Char('-') + QLatin1Char(char('A' + uniform(0, 25)));
    if (chance(8))
        number = number.toLower();
    return number.left(22);
}

QString SampleGenerator::makeCrossNumber(qint64 index)
{
    return QStringLiteral("X%1").arg(index, 8, 10, QLatin1Char('0'));
}

void SampleGenerator::forEachPart(const std::function<void(const Part&)>& sink)
{
    qint64 made = 0;
    qint64 crossIndex = 0;
    const int categoryCount = int(std::size(kCategories));
    while (made < m_partCount) {
        const int groupSize = int(std::min<qint64>(uniform(1, 6), m_partCount - made));
        const QString cross = makeCrossNumber(++crossIndex);
        const int groupIndex = uniform(0, int(m_groups.size()) - 1);
        const Group& group = m_groups[size_t(groupIndex)];
        const double basePrice = std::exp(3.0 + (next() % 10000) / 10000.0 * 6.5);
        for (int k = 0; k < groupSize; ++k, ++made) {
            Part part;
            // Interchangeable parts usually share a group, sometimes not.
            part.groupCode = chance(85) ? group.groupCode
                                        : m_groups[size_t(uniform(0, int(m_groups.size()) - 1))].groupCode;
            if (chance(2))
                part.groupCode = part.groupCode.toLower();
            bool cyrillic = false;
            part.partNumber = makePartNumber(&cyrillic);
            part.shortPartNumber = NormalizePartNumber(part.partNumber);
            const QString place = QString::fromUtf8(kPlaces[uniform(0, int(std::size(kPlaces)) - 1)]);
            part.partName = QString::fromUtf8(kCategories[groupIndex % categoryCount]) +
                            (place.isEmpty() ? QString() : QLatin1Char(' ') + place) + QLatin1Char(' ') +
                            QString::fromUtf8(kCars[uniform(0, int(std::size(kCars)) - 1)]);
            part.crossNumber = cross;
            part.wholePrice = chance(20);
            const double price = basePrice * (0.7 + (next() % 600) / 1000.0);
            part.price = part.wholePrice ? std::round(price) : std::round(price * 100) / 100;
            for (int& stock : part.stock)
                stock = chance(60) ? 0 : uniform(1, 50);
            sink(part);
        }
    }
}

namespace {

template <size_t N> QByteArray header(const std::array<TableColumn, N>& columns)
{
    QByteArray line;
    for (const TableColumn& column : columns)
        line += (line.isEmpty() ? "" : ";") + QByteArray(column.name);
    return line + '\n';
}

} // namespace

QByteArray SampleGenerator::priceHeader()
{
    return header(Tables::kPriceColumns);
}

QByteArray SampleGenerator::groupsHeader()
{
    return header(Tables::kGroupsColumns);
}

QByteArray SampleGenerator::priceLine(const Part& part)
{
    QByteArray line;
    line.reserve(160);
    line += fieldText(part.groupCode) + ';' + fieldText(part.partNumber) + ';' +
            fieldText(part.shortPartNumber) + ';' + fieldText(part.partName) + ';' +
            fieldText(part.crossNumber) + ';';
    line += part.wholePrice ? QByteArray::number(qint64(part.price)) : QByteArray::number(part.price, 'f', 2);
    for (int stock : part.stock)
        line += ';' + QByteArray::number(stock);
    return line + '\n';
}

void SampleGenerator::writeTextFiles(const QString& folder)
{
    QDir().mkpath(folder);
    const auto writeFile = [&](const QString& name, const std::function<void(QSaveFile&)>& body) {
        QSaveFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            throw Error(
                QStringLiteral("Cannot create file \"%1\". %2").arg(file.fileName(), file.errorString()));
        body(file);
        if (!file.commit())
            throw Error(
                QStringLiteral("Cannot write file \"%1\". %2").arg(file.fileName(), file.errorString()));
    };
    writeFile(QStringLiteral("import.txt"), [&](QSaveFile& file) {
        file.write(priceHeader());
        QByteArray buffer;
        forEachPart([&](const Part& part) {
            buffer += priceLine(part);
            if (buffer.size() > (1 << 20)) {
                file.write(buffer);
                buffer.clear();
            }
        });
        file.write(buffer);
    });
    writeFile(QStringLiteral("importg.txt"), [&](QSaveFile& file) {
        file.write(groupsHeader());
        for (const Group& group : m_groups)
            if (group.inGroupFile)
                file.write(fieldText(group.groupCode) + ';' + fieldText(group.groupName) + ';' +
                           QByteArray::number(group.discount) + '\n');
    });
}

void SampleGenerator::writeDatabase(const QString& databaseFileName)
{
    SQLite::Database db(QFile::encodeName(databaseFileName).toStdString(), SQLite::OPEN_READWRITE);
    SQLite::Transaction transaction(db);
    // Indexes are built once after the rows: far faster than row by row.
    db.exec("DROP INDEX IF EXISTS PRICE_SHORTPARTNUMBER");
    db.exec("DROP INDEX IF EXISTS PRICE_CROSSNUMBER");
    SQLite::Statement insert(db, "INSERT INTO PRICE VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    forEachPart([&](const Part& part) {
        insert.bind(1, part.groupCode.toStdString());
        insert.bind(2, part.partNumber.toStdString());
        insert.bind(3, part.shortPartNumber.toStdString());
        insert.bind(4, part.partName.toStdString());
        insert.bind(5, part.crossNumber.toStdString());
        insert.bind(6, part.price);
        for (int w = 0; w < 9; ++w)
            insert.bind(7 + w, part.stock[w]);
        insert.exec();
        insert.reset();
    });
    db.exec(Schema::kCreatePriceShortPartNumberIndex);
    db.exec(Schema::kCreatePriceCrossNumberIndex);

    SQLite::Statement group(db, "INSERT INTO GROUPS (GROUPCODE, GROUPNAME, DISCOUNT) VALUES (?, ?, ?)");
    for (const Group& g : m_groups) {
        group.bind(1, g.groupCode.toStdString());
        group.bind(2, g.inGroupFile ? g.groupName.toStdString() : std::string("Группа товара"));
        group.bind(3, g.inGroupFile ? g.discount : 0);
        group.exec();
        group.reset();
    }
    SQLite::Statement date(db,
                           "UPDATE SETTINGS SET PRICE_DATE=? WHERE rowid=(SELECT min(rowid) FROM SETTINGS)");
    date.bind(1, QDate::currentDate().toString(Qt::ISODate).toStdString());
    date.exec();
    transaction.commit();
}
