#pragma once

#include "core/errors/Error.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

// A failure the server reported, with its SQLSTATE for the callers that
// handle some of them (a lock not granted in time, a unique key taken).
class PgError : public Error
{
public:
    PgError(const QString& message, const QString& sqlState) : Error(message), m_sqlState(sqlState) {}
    const QString& sqlState() const { return m_sqlState; }

private:
    QString m_sqlState;
};

// One parameter of a statement, as the text the server reads; none is NULL.
class PgParam
{
public:
    PgParam(std::nullopt_t) {}
    PgParam(const QString& text) : m_text(text.toStdString()) {}
    PgParam(std::string text) : m_text(std::move(text)) {}
    PgParam(const char* text) : m_text(std::string(text)) {}
    PgParam(int number) : m_text(std::to_string(number)) {}
    PgParam(long number) : m_text(std::to_string(number)) {}
    PgParam(long long number) : m_text(std::to_string(number)) {}
    // The shortest text that reads back as the same double.
    PgParam(double number);
    PgParam(const std::optional<double>& number);

    const char* data() const { return m_text ? m_text->c_str() : nullptr; }

private:
    std::optional<std::string> m_text;
};

// What a statement returned, every value as text.
class PgResult
{
public:
    explicit PgResult(pg_result* result = nullptr);

    int rows() const;
    int columns() const;
    bool isNull(int row, int column) const;
    std::string_view text(int row, int column) const;
    // NULL reads as an empty string.
    QString string(int row, int column) const;
    qint64 integer(int row, int column) const;
    // A real (float4) column as the double of its single-precision value.
    std::optional<double> single(int row, int column) const;
    // A double precision column.
    std::optional<double> number(int row, int column) const;
    // The command's tag: "INSERT 0 1", "COMMIT", "ROLLBACK", ...
    std::string_view commandStatus() const;
    // Rows an INSERT, UPDATE or DELETE touched.
    qint64 affectedRows() const;

private:
    std::shared_ptr<pg_result> m_result;
};

// A connection to a shop's PostgreSQL database, opened from a libpq
// connection string or URI handed over as it is. Every call waits at most
// deadline() for the server and then fails with "Сервер не отвечает"; a
// connection lost or given up is opened again by the next call outside a
// transaction. Parameters and results travel as text.
class PgConnection
{
public:
    static constexpr std::chrono::milliseconds kDefaultDeadline{10000};
    static constexpr std::chrono::minutes kLongDeadline{30};

    // Where a connection naming several hosts goes: where its own
    // target_session_attrs says, or to the one that takes writes.
    enum class Target
    {
        AsGiven,
        Primary
    };

    // Refuses a password in connection (kept in ~/.pgpass instead, away
    // from files and the process list), then connects.
    explicit PgConnection(const QString& connection, Target target = Target::AsGiven);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Fails when connection holds a password; does not connect.
    static void refusePassword(const QString& connection);

    // "HOST:PORT/DATABASE", for messages.
    const QString& server() const { return m_server; }
    std::chrono::milliseconds deadline() const { return m_deadline; }
    void setDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }
    // Runs body, whose statements work over a whole list (a COPY's end, an
    // index, a commit), with a deadline that allows for it; then the
    // deadline is as it was.
    template <typename Body> void withLongDeadline(Body body)
    {
        const std::chrono::milliseconds before = m_deadline;
        m_deadline = std::max<std::chrono::milliseconds>(before, kLongDeadline);
        try {
            body();
        } catch (...) {
            m_deadline = before;
            throw;
        }
        m_deadline = before;
    }
    // Asked every fraction of a second while a call waits; once it answers
    // true, the statement is cancelled and the call fails.
    void setStopRequest(std::function<bool()> stopRequested) { m_stopRequested = std::move(stopRequested); }

    // One statement; $1, $2, ... take params.
    PgResult exec(const std::string& sql, const std::vector<PgParam>& params = {});
    // The same with the results in the server's binary format, where a
    // bytea is its bytes as they are rather than spelled out in hexadecimal.
    PgResult execBinary(const std::string& sql, const std::vector<PgParam>& params = {});
    // Several statements separated by semicolons, without parameters.
    void execScript(const std::string& sql);

    // COPY ... FROM STDIN: begin, put the rows in COPY's text format (see
    // appendCopyField), then end; a copy not ended is abandoned by the next
    // call, and the statement fails.
    void beginCopy(const std::string& sql);
    void putCopyData(std::string_view data);
    void endCopy();
    // value as one field of a COPY text row; none is \N.
    static void appendCopyField(std::string& row, std::optional<std::string_view> value);

    // Waits at most timeout for a notification on a channel this connection
    // LISTENs to; true when one came (those waiting are all taken).
    bool waitForNotification(std::chrono::milliseconds timeout);

    bool inTransaction() const;
    bool isOpen() const { return m_conn != nullptr; }
    // Lets go of the connection; the next call opens it again.
    void close();

private:
    friend class PgTransaction;

    void open();
    void ensureOpen();
    enum class Format
    {
        Text,
        Binary
    };
    PgResult execIn(Format format, const std::string& sql, const std::vector<PgParam>& params);
    PgResult execOnce(Format format, const std::string& sql, const std::vector<PgParam>& params);
    void send(bool sent);
    pg_result* collect(std::chrono::steady_clock::time_point end, bool stopAtCopy);
    void flush(std::chrono::steady_clock::time_point end);
    void wait(short events, std::chrono::steady_clock::time_point end);
    // Cancels the statement waited for and fails with message.
    [[noreturn]] void giveUp(const QString& message);
    [[noreturn]] void lost();
    void abandonCopy();
    std::chrono::steady_clock::time_point endOfCall() const;

    QString m_connection;
    Target m_target;
    QString m_server;
    pg_conn* m_conn = nullptr;
    std::chrono::milliseconds m_deadline = kDefaultDeadline;
    std::function<bool()> m_stopRequested;
    bool m_inCopy = false;
    bool m_transactionOpen = false;
};

// A transaction on a connection, rolled back unless committed; inside one
// already open it joins that one.
class PgTransaction
{
public:
    explicit PgTransaction(PgConnection& connection, const char* begin = "BEGIN");
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;

    void commit();

private:
    PgConnection& m_connection;
    bool m_own = false;
};
