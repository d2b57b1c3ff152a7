#pragma once

#include <QByteArrayView>
#include <QString>

#include <vector>

// A column of a target table as its CREATE TABLE statement declares it.
struct TableColumn
{
    enum Kind
    {
        Text,    // TEXT(n): length in characters
        Single,  // single-precision real
        Double,  // double-precision real
        Short,   // 16-bit integer
        Integer, // 32-bit integer
    };

    QString name;
    Kind kind = Text;
    int length = 0;

    // The columns of a "CREATE TABLE name (column type, ...)" statement, in order.
    static std::vector<TableColumn> fromCreateTable(QByteArrayView statement);
};
