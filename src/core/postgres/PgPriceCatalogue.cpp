#include "PgPriceCatalogue.h"

#include "core/errors/Error.h"
#include "core/postgres/PgConnection.h"
#include "core/postgres/PgSchema.h"
#include "core/text/CaseFolding.h"
#include "core/text/Money.h"
#include "core/text/UnicodeCaseFolding.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <tuple>

namespace {

constexpr char kSnapshot[] = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
constexpr char kLockList[] = "LOCK TABLE PRICE, PRICE_CHANGES, GROUPS IN ACCESS SHARE MODE";
// The list's version and, as CrossMap::crossesOf gives them, the cross
// numbers of the parts whose folded SHORTPARTNUMBER matches $1: one spelling
// per cross number, the first in code-point order, ascending ignoring case.
constexpr char kCrossesOfPrefix[] =
    "SELECT V.VERSION, X.CROSSNUMBER FROM TARDESK_LIST V LEFT JOIN ("
    "SELECT min(CROSSNUMBER COLLATE \"C\") AS CROSSNUMBER, tardesk_fold(CROSSNUMBER) COLLATE \"C\" AS FOLDED "
    "FROM PRICE WHERE tardesk_fold(SHORTPARTNUMBER) COLLATE \"C\" LIKE $1 AND CROSSNUMBER <> '' "
    "GROUP BY 2) X ON true ORDER BY X.FOLDED";
constexpr int kVersionColumn = PgSchema::kPartColumnCount;
// In the table's order: a sort would cost the server more than the client
// saves, which sorts the short numbers anyway. A plan compiled for one
// scan takes longer than the scan gains.
constexpr char kNoJit[] = "SET LOCAL jit = off";
constexpr char kCrossesOfParts[] = "DECLARE tardesk_crosses NO SCROLL CURSOR FOR "
                                   "SELECT CROSSNUMBER, SHORTPARTNUMBER FROM PRICE WHERE CROSSNUMBER <> ''";
// Rows a fetch of the cross map brings at a time.
constexpr int kMapRowsPerFetch = 50000;

std::optional<double> divided(const std::optional<double>& price, double rate)
{
    if (!price || rate == 0)
        return std::nullopt;
    return *price / rate;
}

QString likeEscaped(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('%') || ch == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += ch;
    }
    return escaped;
}

// A LIKE pattern every spelling of text ignoring case as group codes
// compare matches: a character that folds alike with another stands for
// any one character, every other for itself.
QString caseBlindPattern(const QString& text)
{
    QString pattern;
    for (const char32_t code : text.toUcs4()) {
        if (UnicodeCaseFolding::variants(code).size() > 1)
            pattern += QLatin1Char('_');
        else
            pattern += likeEscaped(QString::fromUcs4(&code, 1));
    }
    return pattern;
}

} // namespace

PriceRow PgPriceCatalogue::readPart(const PgResult& result, int row)
{
    PriceRow part;
    part.groupCode = result.string(row, 0);
    part.partNumber = result.string(row, 1);
    part.shortPartNumber = result.string(row, 2);
    part.partName = result.string(row, 3);
    part.crossNumber = result.string(row, 4);
    if (const std::optional<double> single = result.single(row, 5))
        part.price = Money::fromSingle(*single);
    for (int w = 0; w < Tables::kWarehouseCount; ++w)
        if (!result.isNull(row, 6 + w))
            part.stock[size_t(w)] = result.integer(row, 6 + w);
    return part;
}

PgListSnapshot::PgListSnapshot(PgConnection& db)
{
    if (db.inTransaction()) {
        m_transaction = std::make_unique<PgTransaction>(db);
        return;
    }
    m_transaction = std::make_unique<PgTransaction>(db, kSnapshot);
    db.exec(kLockList);
}

PgListSnapshot::~PgListSnapshot() = default;

void PgListSnapshot::commit()
{
    m_transaction->commit();
}

PgPriceCatalogue::PgPriceCatalogue(PgConnection& db) : m_db(db)
{}

template <typename Read> auto PgPriceCatalogue::consistently(Read read)
{
    if (auto result = read())
        return std::move(*result);
    PgListSnapshot snapshot(m_db);
    auto result = read();
    if (!result)
        throw Error(QCoreApplication::translate("PgPriceCatalogue", "Прайс-лист меняется: повторите поиск"));
    snapshot.commit();
    return std::move(*result);
}

void PgPriceCatalogue::prepare()
{
    const std::lock_guard<std::mutex> lock(m_mapMutex);
    if (m_db.exec(PgSchema::kSelectListVersion).integer(0, 0) != m_mapVersion)
        buildMap();
}

qint64 PgPriceCatalogue::mapVersion() const
{
    const std::lock_guard<std::mutex> lock(m_mapMutex);
    return m_mapVersion;
}

void PgPriceCatalogue::adoptMap(std::unique_ptr<Maps> map, qint64 version)
{
    const std::lock_guard<std::mutex> lock(m_mapMutex);
    if (version < m_mapVersion)
        return;
    m_map = std::move(map);
    m_mapVersion = version;
}

std::unique_ptr<PgPriceCatalogue::Maps> PgPriceCatalogue::readMap(PgConnection& db, qint64* version)
{
    // The version and the rows from one snapshot.
    PgListSnapshot snapshot(db);
    *version = db.exec(PgSchema::kSelectListVersion).integer(0, 0);
    if (std::unique_ptr<Maps> kept = PgCrossMaps::stored(db, *version)) {
        snapshot.commit();
        return kept;
    }
    auto map = std::make_unique<Maps>();
    db.exec(kNoJit);
    db.exec(kCrossesOfParts);
    for (;;) {
        const PgResult rows = db.exec("FETCH " + std::to_string(kMapRowsPerFetch) + " FROM tardesk_crosses");
        for (int row = 0; row < rows.rows(); ++row)
            map->add(rows.text(row, 0), rows.text(row, 1));
        if (rows.rows() < kMapRowsPerFetch)
            break;
    }
    db.exec("CLOSE tardesk_crosses");
    snapshot.commit();
    map->finish();
    return map;
}

void PgPriceCatalogue::buildMap()
{
    // A map half built never passes for one of any version.
    m_mapVersion = -1;
    m_map.reset();
    qint64 version = -1;
    m_map = readMap(m_db, &version);
    m_mapVersion = version;
}

std::optional<QStringList> PgPriceCatalogue::crossesOnServer(const QString& pattern, qint64 version)
{
    const PgResult found = m_db.exec(kCrossesOfPrefix, {pattern});
    if (found.integer(0, 0) != version)
        return std::nullopt;
    QStringList crosses;
    for (int row = 0; row < found.rows(); ++row)
        if (!found.isNull(row, 1))
            crosses << found.string(row, 1);
    return crosses;
}

QStringList PgPriceCatalogue::crossesOf(const QString& searchNr)
{
    if (searchNr.isEmpty())
        return {};
    const QString foldedNr = CaseFolding::upper(searchNr);
    const QString pattern = likeEscaped(foldedNr) + QLatin1Char('%');
    const std::string prefix = foldedNr.toStdString();
    return consistently([&]() -> std::optional<QStringList> {
        const qint64 version = m_db.exec(PgSchema::kSelectListVersion).integer(0, 0);
        const std::lock_guard<std::mutex> lock(m_mapMutex);
        if (version != m_mapVersion) {
            // The new list's map is on its way: the server answers meanwhile.
            if (m_mapsInBackground && m_map)
                return crossesOnServer(pattern, version);
            buildMap();
            if (version != m_mapVersion)
                return std::nullopt;
        }
        m_map->shortNumbers.valuesOf(
            m_map->shortNumbers.rangeOf(prefix),
            [this](const uint32_t* first, const uint32_t* last) { m_map->crosses.markIds(first, last); });
        return m_map->crosses.takeMarked();
    });
}

bool PgPriceCatalogue::groupsOf(qint64 version)
{
    if (version == m_groupsVersion)
        return true;
    m_groupsVersion = -1;
    m_discounts.clear();
    const PgResult groups = m_db.exec(PgSchema::kGroups);
    for (int row = 0; row < groups.rows(); ++row)
        if (!groups.isNull(row, 1))
            m_discounts[UnicodeCaseFolding::fold(groups.string(row, 1))].push_back(groups.number(row, 2));
    m_groupsVersion = groups.integer(0, 0);
    return version == m_groupsVersion;
}

const PgPriceCatalogue::Discounts& PgPriceCatalogue::discountsOf(const QString& code) const
{
    static const Discounts kNone;
    const auto found = m_discounts.constFind(UnicodeCaseFolding::fold(code));
    return found == m_discounts.constEnd() ? kNone : *found;
}

std::vector<PriceRow> PgPriceCatalogue::priceList(const QString& cross, const Rates& rates)
{
    std::vector<Ranked> ranked = consistently([&]() -> std::optional<std::vector<Ranked>> {
        const PgResult parts = m_db.exec(PgSchema::kPartsOfCross, {cross});
        if (parts.rows() > 0 && !groupsOf(parts.integer(0, kVersionColumn)))
            return std::nullopt;
        std::vector<Ranked> found;
        for (int r = 0; r < parts.rows(); ++r) {
            PriceRow row = readPart(parts, r);
            row.change = PriceChange::fromName(parts.string(r, kVersionColumn + 2));
            row.oldPrice = parts.single(r, kVersionColumn + 3);
            row.priceUsd = divided(row.price, rates.usd);
            row.priceEur = divided(row.price, rates.eur);
            // Once per group of the code, as a join of the two tables gives it.
            for (const std::optional<double>& discount : discountsOf(row.groupCode)) {
                PriceRow joined = row;
                joined.applyDiscount(discount);
                found.push_back({std::move(joined), parts.integer(r, kVersionColumn + 1)});
            }
        }
        return found;
    });
    return inGridOrder(std::move(ranked));
}

std::vector<PriceRow> PgPriceCatalogue::partsByNumber(const QString& partNumber, const QString& groupCode,
                                                      const QString& shortPartNumber, Scope scope)
{
    // The parts of result that are partNumber in a group that exists, with
    // their input price; spelling: those whose short number is spelled so.
    const auto take = [&](const PgResult& result, const QString* spelling) {
        std::vector<PriceRow> rows;
        for (int r = 0; r < result.rows(); ++r) {
            if (result.isNull(r, 0) || (spelling && result.string(r, 2) != *spelling))
                continue;
            PriceRow row = readPart(result, r);
            if (!UnicodeCaseFolding::equal(row.partNumber, partNumber) ||
                (!groupCode.isEmpty() && !UnicodeCaseFolding::equal(row.groupCode, groupCode)))
                continue;
            const Discounts& discounts = discountsOf(row.groupCode);
            if (discounts.empty())
                continue;
            row.applyDiscount(discounts.front());
            rows.push_back(std::move(row));
        }
        return rows;
    };
    return consistently([&]() -> std::optional<std::vector<PriceRow>> {
        const PgResult byShortNumber = m_db.exec(PgSchema::kPartsOfShortNumber, {shortPartNumber});
        if (byShortNumber.rows() > 0 && !groupsOf(byShortNumber.integer(0, kVersionColumn)))
            return std::nullopt;
        // Price lists rarely change the letter case of a part number: the
        // spelling given alone first.
        std::vector<PriceRow> rows = take(byShortNumber, &shortPartNumber);
        if (rows.empty())
            rows = take(byShortNumber, nullptr);
        if (rows.empty() && scope == Scope::WholeList) {
            const PgResult all = m_db.exec(PgSchema::kPartsLike, {caseBlindPattern(partNumber)});
            if (all.rows() > 0 && !groupsOf(all.integer(0, kVersionColumn)))
                return std::nullopt;
            rows = take(all, nullptr);
        }
        return rows;
    });
}

void PgPriceCatalogue::checkPriceTable()
{
    m_db.exec(PgSchema::kProbePrice);
}
