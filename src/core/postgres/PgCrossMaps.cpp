#include "PgCrossMaps.h"

#include "core/postgres/PgBinaryRows.h"
#include "core/postgres/PgConnection.h"
#include "core/storage/FreedMemory.h"
#include "core/storage/MapImageReader.h"
#include "core/storage/MapImageWriter.h"

#include <cstring>

namespace {

// Kept out of line and uncompressed: the maps hardly compress, and trying
// would cost the update and every counter's start.
constexpr char kCreateTable[] = "CREATE TABLE %1 (LIST_VERSION bigint NOT NULL, PIECE bigint NOT NULL, "
                                "BYTES bytea NOT NULL); ALTER TABLE %1 ALTER BYTES SET STORAGE EXTERNAL";
// A role the default privileges left out reads the rows instead.
constexpr char kReadable[] =
    "SELECT coalesce(has_table_privilege(to_regclass('cross_map'), 'SELECT'), false)";
// BINARY: the bytes as they are, not spelled out in hexadecimal.
constexpr char kDeclarePieces[] =
    "DECLARE tardesk_map BINARY NO SCROLL CURSOR FOR SELECT BYTES FROM CROSS_MAP "
    "WHERE LIST_VERSION = $1 ORDER BY PIECE";
constexpr char kFetchPieces[] = "FETCH 8 FROM tardesk_map";
constexpr size_t kPieceBytes = 1 << 20;

// What an image begins with: its kind, its layout's version, and a number
// that reads back as 1 only in the byte order of the machine that wrote it,
// as the arrays in the image are.
constexpr char kMagic[4] = {'T', 'D', 'X', 'M'};
constexpr uint32_t kLayout = 1;
constexpr uint32_t kOne = 1;

} // namespace

void PgCrossMaps::add(std::string_view crossNumber, std::string_view shortPartNumber)
{
    if (crossNumber.empty())
        return;
    PrefixIndex::fold(shortPartNumber, m_key);
    shortNumbers.add(uint32_t(crosses.addCross(crossNumber)), m_key);
}

void PgCrossMaps::finish()
{
    // One sort after the other: at once they would hold both sorts' room.
    shortNumbers.finish();
    releaseFreedMemory();
    crosses.finish();
    shortNumbers.renumber(crosses.takeRenumbering());
    releaseFreedMemory();
    m_key = std::string();
}

void PgCrossMaps::store(PgConnection& db, const std::string& table) const
{
    db.execScript(QString::fromLatin1(kCreateTable).arg(QString::fromStdString(table)).toStdString());
    db.beginCopy("COPY " + table + " (LIST_VERSION, PIECE, BYTES) FROM STDIN (FORMAT binary, FREEZE)");
    int piece = 0;
    PgBinaryRows rows;
    MapImageWriter image(kPieceBytes, [&](std::string_view bytes) {
        rows.beginRow(3);
        rows.appendBigint(0);
        rows.appendBigint(piece++);
        rows.appendText(bytes);
        db.putCopyData(rows.take());
    });
    image.write(kMagic, sizeof kMagic);
    image.write(&kLayout, sizeof kLayout);
    image.write(&kOne, sizeof kOne);
    crosses.save(image);
    shortNumbers.save(image);
    image.finish();
    rows.end();
    db.putCopyData(rows.take());
    db.withLongDeadline([&] { db.endCopy(); });
}

std::unique_ptr<PgCrossMaps> PgCrossMaps::stored(PgConnection& db, qint64 version)
{
    if (db.exec(kReadable).text(0, 0) != "t")
        return nullptr;
    db.exec(kDeclarePieces, {version});
    PgResult fetched;
    int row = 0;
    MapImageReader image([&]() -> std::optional<std::string_view> {
        if (row == fetched.rows()) {
            fetched = db.execBinary(kFetchPieces);
            row = 0;
            if (fetched.rows() == 0)
                return std::nullopt;
        }
        return fetched.text(row++, 0);
    });
    auto maps = std::make_unique<PgCrossMaps>();
    char magic[sizeof kMagic] = {};
    uint32_t layout = 0, one = 0;
    const bool loaded = image.read(magic, sizeof magic) && std::memcmp(magic, kMagic, sizeof magic) == 0 &&
                        image.read(&layout, sizeof layout) && layout == kLayout &&
                        image.read(&one, sizeof one) && one == kOne && maps->crosses.load(image) &&
                        maps->shortNumbers.load(image, uint32_t(maps->crosses.crossCount())) && image.atEnd();
    db.exec("CLOSE tardesk_map");
    return loaded ? std::move(maps) : nullptr;
}
