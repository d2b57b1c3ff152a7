#include "UnmappedReads.h"

#include <SQLiteCpp/Database.h>

#include <string>

UnmappedReads::UnmappedReads(SQLite::Database& db)
    : m_db(db), m_mapped(db.execAndGet("PRAGMA mmap_size").getInt64())
{
    m_db.exec("PRAGMA mmap_size=0");
}

UnmappedReads::~UnmappedReads()
{
    // Only a matter of speed: a failure here must not hide the reader's own.
    try {
        m_db.exec("PRAGMA mmap_size=" + std::to_string(m_mapped));
    } catch (const std::exception&) {
    }
}
