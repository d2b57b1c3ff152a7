#pragma once

#include "core/storage/SettingsStorage.h"

class PgConnection;

// The settings record's row of SETTINGS on the server, the one with the
// lowest ROW_NO. The later save wins, field by field.
class PgSettingsStorage : public SettingsStorage
{
public:
    explicit PgSettingsStorage(PgConnection& db);

    void checkColumns() override;
    std::optional<Values> readFirstRow() override;
    void write(const Values& values, const std::vector<bool>& modified) override;
    void writePriceDate(const QDate& date) override;

    // PRICE_DATE into the first row of SETTINGS, starting that row in an
    // empty table; returns the row's ROW_NO.
    static qint64 writePriceDate(PgConnection& db, const QDate& date);

private:
    PgConnection& m_db;
    qint64 m_rowNo = -1; // -1: the table has no row
};
