#pragma once

namespace SQLite {
class Database;
}

// For its lifetime, the connection reads the file through its own small
// cache instead of the map of the file: pages read through the map stay in
// the process's resident memory, and a read of a whole table would keep
// the whole table there.
class UnmappedReads
{
public:
    explicit UnmappedReads(SQLite::Database& db);
    ~UnmappedReads();
    UnmappedReads(const UnmappedReads&) = delete;
    UnmappedReads& operator=(const UnmappedReads&) = delete;

private:
    SQLite::Database& m_db;
    long long m_mapped;
};
