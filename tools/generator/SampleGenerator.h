#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// Deterministic, realistic synthetic price lists: cross groups of 1 to 6
// interchangeable parts, part numbers printed as makers print them (blanks,
// dashes, dots, slashes; some Cyrillic, some in small letters), group codes
// of which a few are missing from the group list, discounts 0 to 30.
class SampleGenerator
{
public:
    struct Part
    {
        QString groupCode;
        QString partNumber;
        QString shortPartNumber;
        QString partName;
        QString crossNumber;
        double price = 0;
        bool wholePrice = false;
        int stock[9] = {};
    };
    struct Group
    {
        QString groupCode;
        QString groupName;
        int discount = 0;
        bool inGroupFile = true; // false: only the price list uses it
    };

    SampleGenerator(qint64 partCount, quint64 seed = 1);

    const std::vector<Group>& groups() const { return m_groups; }
    // Calls sink for every part in order; the parts are made on the fly.
    void forEachPart(const std::function<void(const Part&)>& sink);

    // import.txt and importg.txt: header line, ";" delimited, UTF-8, "." decimals.
    void writeTextFiles(const QString& folder);
    // Rows straight into PRICE and GROUPS of a Tardesk.mdb made by init,
    // with "Группа товара" rows for the codes missing from the group list.
    void writeDatabase(const QString& databaseFileName);

    static QByteArray priceHeader();
    static QByteArray groupsHeader();
    static QByteArray priceLine(const Part& part);

private:
    quint64 next();
    int uniform(int low, int high); // inclusive
    bool chance(int percent);
    QString makePartNumber(bool* cyrillic);
    QString makeCrossNumber(qint64 index);
    void makeGroups();

    qint64 m_partCount;
    quint64 m_state;
    std::vector<Group> m_groups;
};
