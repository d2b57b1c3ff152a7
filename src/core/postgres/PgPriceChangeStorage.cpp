#include "PgPriceChangeStorage.h"

#include "core/postgres/PgConnection.h"
#include "core/postgres/PgSchema.h"

PgPriceChangeStorage::PgPriceChangeStorage(PgConnection& db) : m_db(db)
{}

std::vector<PriceChangeStorage::Line> PgPriceChangeStorage::read()
{
    const PgResult rows = m_db.exec(PgSchema::kSelectPriceChanges);
    std::vector<Line> lines;
    lines.reserve(size_t(rows.rows()));
    for (int row = 0; row < rows.rows(); ++row) {
        const std::optional<PriceChange::Kind> kind = PriceChange::fromName(rows.string(row, 0));
        if (!kind)
            continue;
        lines.push_back(Line{*kind, std::string(rows.text(row, 1)), std::string(rows.text(row, 2)),
                             rows.single(row, 3), rows.single(row, 4), rows.string(row, 5)});
    }
    return lines;
}
