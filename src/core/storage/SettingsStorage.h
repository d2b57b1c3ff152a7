#pragma once

#include "core/storage/Tables.h"

#include <QDate>
#include <QVariant>

#include <optional>
#include <vector>

// Where the settings record lives: the first row of SETTINGS.
class SettingsStorage
{
public:
    // Values by Tables::SettingsField; none when the table has no row.
    using Values = std::vector<QVariant>;

    virtual ~SettingsStorage() = default;

    // Fails naming the column when the table lacks one or holds it in an
    // unsuitable type.
    virtual void checkColumns() = 0;
    virtual std::optional<Values> readFirstRow() = 0;
    // Stores the fields marked in modified into the row last read or
    // written, making a row when the table had none.
    virtual void write(const Values& values, const std::vector<bool>& modified) = 0;
    // The update's date into the first row, making the row in an empty table.
    virtual void writePriceDate(const QDate& date) = 0;
};
