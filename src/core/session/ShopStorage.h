#pragma once

#include <QString>

#include <functional>
#include <memory>

class Storage;

// Where a shop's folder keeps its price list, settings and order: the one
// place that chooses the storage engine for a run.
class ShopStorage
{
public:
    enum class Access
    {
        Read,  // a tool that only reads, or writes through the engine's own locks
        Shared // a client for its whole run, or a tool whose writes an update must not lose
    };

    // The file that holds the shop in folder, unless it is on a server.
    static QString databaseFileName(const QString& folder);
    // The server named by --server for this run; empty: each folder's
    // Tardesk.ini names it, or not.
    static void setServer(const QString& connection);
    // What setServer() was given.
    static QString server();
    // The libpq connection string of the shop whose Tardesk.ini is in
    // folder: --server, else [Server] Connection; empty: Tardesk.mdb.
    static QString serverConnection(const QString& folder);
    // Opens the shop in folder: on its server when it has one, else in
    // the database file, which must exist. Shared
    // waits while another program replaces it, calling whileWaiting now and
    // then.
    static std::unique_ptr<Storage> open(const QString& folder, Access access,
                                         const std::function<void()>& whileWaiting = {});
    // A new shop: its database with the three tables and a sample settings
    // row, and an empty Tardesk.ini; refuses when either file exists.
    static void create(const QString& folder);
    // The shop in folder moved onto the server of connection, whose database
    // must be empty and UTF8: its tables, then what folder's Tardesk.mdb
    // holds when there is one, then [Server] Connection in folder's
    // Tardesk.ini, which is made when missing.
    static void createOnServer(const QString& folder, const QString& connection);
    // A further counter of a shop on a server: checks that the server holds
    // the shop's tables, then writes [Server] Connection into Tardesk.ini.
    static void connectToServer(const QString& folder, const QString& connection);
    // Rewrites the database compactly; refuses while a client runs, and for
    // a shop on a server, which reclaims its space itself.
    static void compact(const QString& folder);
};
