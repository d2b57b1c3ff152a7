#include "PgConnection.h"

#include <libpq-fe.h>

#include <QCoreApplication>
#include <QtGlobal>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <thread>

using Clock = std::chrono::steady_clock;

namespace {

// Time for a cancelled statement to end, after which the connection is
// given up rather than waited for.
constexpr std::chrono::milliseconds kCancelGrace{2000};
// What a standby's cancelled query fails with.
constexpr char kRecoveryConflict[] = "40001";
// How often a waiting call asks whether to stop.
constexpr qint64 kStopPollMs = 100;

QString message(const char* libpqMessage)
{
    return QString::fromUtf8(libpqMessage).trimmed();
}

QString serverOf(const PGconn* conn)
{
    const auto field = [](const char* value) { return QString::fromUtf8(value ? value : ""); };
    return QStringLiteral("%1:%2/%3").arg(field(PQhost(conn)), field(PQport(conn)), field(PQdb(conn)));
}

QString lostMessage(const QString& server, const QString& reason)
{
    return QCoreApplication::translate("PgConnection", "Нет связи с сервером %1: %2").arg(server, reason);
}

template <typename Number> std::optional<Number> parsed(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

PgParam::PgParam(double number)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, number);
    m_text = std::string(text, result.ptr);
}

PgParam::PgParam(const std::optional<double>& number)
{
    if (number)
        *this = PgParam(*number);
}

PgResult::PgResult(pg_result* result) : m_result(result, &PQclear)
{}

int PgResult::rows() const
{
    return m_result ? PQntuples(m_result.get()) : 0;
}

int PgResult::columns() const
{
    return m_result ? PQnfields(m_result.get()) : 0;
}

bool PgResult::isNull(int row, int column) const
{
    return PQgetisnull(m_result.get(), row, column) != 0;
}

std::string_view PgResult::text(int row, int column) const
{
    return std::string_view(PQgetvalue(m_result.get(), row, column),
                            size_t(PQgetlength(m_result.get(), row, column)));
}

QString PgResult::string(int row, int column) const
{
    const std::string_view value = text(row, column);
    return QString::fromUtf8(value.data(), qsizetype(value.size()));
}

qint64 PgResult::integer(int row, int column) const
{
    return parsed<qint64>(text(row, column)).value_or(0);
}

std::optional<double> PgResult::single(int row, int column) const
{
    if (isNull(row, column))
        return std::nullopt;
    // The server writes a real as the shortest text of its float: read
    // back as a float, it is the stored value exactly.
    const std::optional<float> value = parsed<float>(text(row, column));
    return value ? std::optional<double>(double(*value)) : std::nullopt;
}

std::optional<double> PgResult::number(int row, int column) const
{
    return isNull(row, column) ? std::nullopt : parsed<double>(text(row, column));
}

std::string_view PgResult::commandStatus() const
{
    return m_result ? std::string_view(PQcmdStatus(m_result.get())) : std::string_view();
}

qint64 PgResult::affectedRows() const
{
    return m_result ? parsed<qint64>(PQcmdTuples(m_result.get())).value_or(0) : 0;
}

PgConnection::PgConnection(const QString& connection, Target target)
    : m_connection(connection), m_target(target)
{
    refusePassword(connection);
    open();
}

PgConnection::~PgConnection()
{
    close();
}

void PgConnection::refusePassword(const QString& connection)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.toUtf8().constData(), &error);
    // A string libpq cannot read fails to connect with libpq's own message.
    PQfreemem(error);
    if (!options)
        return;
    bool withPassword = false;
    for (const PQconninfoOption* option = options; option->keyword; ++option)
        withPassword |= qstrcmp(option->keyword, "password") == 0 && option->val && *option->val;
    PQconninfoFree(options);
    if (withPassword)
        throw Error(QCoreApplication::translate(
            "PgConnection", "Пароль в строке подключения не принимается: храните его в файле ~/.pgpass"));
}

void PgConnection::open()
{
    const QByteArray connection = m_connection.toUtf8();
    // Defaults come before the string, which overrides them; the encoding
    // comes after it, since every text here is UTF-8.
    std::vector<const char*> keywords, values;
    const auto set = [&](const char* keyword, const char* value) {
        keywords.push_back(keyword);
        values.push_back(value);
    };
    if (!qEnvironmentVariableIsSet("PGCONNECT_TIMEOUT"))
        set("connect_timeout", "5");
    // A half-open connection is noticed within half a minute.
    set("keepalives", "1");
    set("keepalives_idle", "10");
    set("keepalives_interval", "5");
    set("keepalives_count", "3");
    set("tcp_user_timeout", "20000");
    set("fallback_application_name", "tardesk");
    set("dbname", connection.constData());
    set("client_encoding", "UTF8");
    if (m_target == Target::Primary)
        set("target_session_attrs", "read-write");
    set(nullptr, nullptr);
    PGconn* conn = PQconnectdbParams(keywords.data(), values.data(), 1);
    if (!conn)
        throw Error(lostMessage(QString(), QStringLiteral("out of memory")));
    m_server = serverOf(conn);
    if (PQstatus(conn) != CONNECTION_OK || PQsetnonblocking(conn, 1) != 0) {
        const QString reason = message(PQerrorMessage(conn));
        PQfinish(conn);
        throw Error(lostMessage(m_server, reason));
    }
    m_conn = conn;
    // The server's notices ("table ... does not exist, skipping") are not
    // for the clerk, and tools print their own output.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    // Dates and reals are read as text: in one format, whatever the server's
    // configuration, and reals in full so they read back exactly.
    try {
        execScript("SET datestyle = 'ISO, YMD'; SET extra_float_digits = 1");
    } catch (...) {
        close();
        throw;
    }
}

void PgConnection::close()
{
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
    m_inCopy = false;
}

void PgConnection::ensureOpen()
{
    if (m_conn && PQstatus(m_conn) == CONNECTION_BAD)
        close();
    if (!m_conn) {
        // A transaction does not go on, unseen, on a new connection.
        if (m_transactionOpen)
            throw Error(
                lostMessage(m_server, QCoreApplication::translate("PgConnection", "соединение разорвано")));
        open();
    }
    if (m_inCopy)
        abandonCopy();
}

bool PgConnection::waitForNotification(std::chrono::milliseconds timeout)
{
    ensureOpen();
    const auto takeAll = [this] {
        bool taken = false;
        while (PGnotify* notification = PQnotifies(m_conn)) {
            PQfreemem(notification);
            taken = true;
        }
        return taken;
    };
    if (takeAll())
        return true;
    pollfd socket{PQsocket(m_conn), POLLIN, 0};
    const int ready = ::poll(&socket, 1, int(timeout.count()));
    if (ready < 0 && errno != EINTR)
        lost();
    if (ready > 0 && !PQconsumeInput(m_conn))
        lost();
    return takeAll();
}

bool PgConnection::inTransaction() const
{
    return m_transactionOpen || (m_conn && PQtransactionStatus(m_conn) != PQTRANS_IDLE);
}

Clock::time_point PgConnection::endOfCall() const
{
    return Clock::now() + m_deadline;
}

void PgConnection::send(bool sent)
{
    if (!sent)
        lost();
}

PgResult PgConnection::exec(const std::string& sql, const std::vector<PgParam>& params)
{
    return execIn(Format::Text, sql, params);
}

PgResult PgConnection::execBinary(const std::string& sql, const std::vector<PgParam>& params)
{
    return execIn(Format::Binary, sql, params);
}

PgResult PgConnection::execIn(Format format, const std::string& sql, const std::vector<PgParam>& params)
{
    // A standby cancels a query that stands in the way of what it replays;
    // outside a transaction, the query runs again on what is replayed.
    if (inTransaction())
        return execOnce(format, sql, params);
    try {
        return execOnce(format, sql, params);
    } catch (const PgError& error) {
        if (error.sqlState() != QLatin1String(kRecoveryConflict))
            throw;
    }
    return execOnce(format, sql, params);
}

PgResult PgConnection::execOnce(Format format, const std::string& sql, const std::vector<PgParam>& params)
{
    ensureOpen();
    const Clock::time_point end = endOfCall();
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const PgParam& param : params)
        values.push_back(param.data());
    send(PQsendQueryParams(m_conn, sql.c_str(), int(values.size()), nullptr, values.data(), nullptr, nullptr,
                           format == Format::Binary ? 1 : 0));
    flush(end);
    return PgResult(collect(end, false));
}

void PgConnection::execScript(const std::string& sql)
{
    ensureOpen();
    const Clock::time_point end = endOfCall();
    send(PQsendQuery(m_conn, sql.c_str()));
    flush(end);
    PQclear(collect(end, false));
}

void PgConnection::beginCopy(const std::string& sql)
{
    ensureOpen();
    const Clock::time_point end = endOfCall();
    send(PQsendQueryParams(m_conn, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0));
    flush(end);
    pg_result* result = collect(end, true);
    const bool copying = PQresultStatus(result) == PGRES_COPY_IN;
    PQclear(result);
    if (!copying)
        throw Error(QStringLiteral("not a COPY FROM STDIN: ") + QString::fromStdString(sql));
    m_inCopy = true;
    // Room for the rows the server has yet to read, so that it never waits
    // while the next ones are made.
    const int sendBuffer = 4 << 20;
    setsockopt(PQsocket(m_conn), SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
}

void PgConnection::putCopyData(std::string_view data)
{
    const Clock::time_point end = endOfCall();
    for (;;) {
        const int put = PQputCopyData(m_conn, data.data(), int(data.size()));
        if (put == 1) {
            // Sent before more is queued: a backlog in libpq's buffer would
            // cost memory, and moving it down after each partial send most
            // of the time of a load.
            flush(end);
            return;
        }
        if (put < 0)
            lost();
        // The buffer is full: room comes as the server reads.
        wait(POLLOUT, end);
        flush(end);
    }
}

void PgConnection::endCopy()
{
    const Clock::time_point end = endOfCall();
    int ended = 0;
    while ((ended = PQputCopyEnd(m_conn, nullptr)) == 0)
        flush(end);
    if (ended < 0)
        lost();
    m_inCopy = false;
    flush(end);
    PQclear(collect(end, false));
}

void PgConnection::abandonCopy()
{
    m_inCopy = false;
    const Clock::time_point end = endOfCall();
    if (PQputCopyEnd(m_conn, "abandoned") != 1) {
        close();
        return;
    }
    try {
        flush(end);
        PQclear(collect(end, false));
    } catch (const PgError&) {
        // The abandoned statement's own failure.
    }
}

void PgConnection::appendCopyField(std::string& row, std::optional<std::string_view> value)
{
    if (!row.empty() && row.back() != '\n')
        row += '\t';
    if (!value) {
        row += "\\N";
        return;
    }
    for (const char ch : *value) {
        switch (ch) {
        case '\\':
            row += "\\\\";
            break;
        case '\t':
            row += "\\t";
            break;
        case '\n':
            row += "\\n";
            break;
        case '\r':
            row += "\\r";
            break;
        default:
            row += ch;
        }
    }
}

pg_result* PgConnection::collect(Clock::time_point end, bool stopAtCopy)
{
    PGresult* last = nullptr;
    PGresult* failure = nullptr;
    for (;;) {
        while (PQisBusy(m_conn)) {
            wait(POLLIN, end);
            if (!PQconsumeInput(m_conn))
                lost();
        }
        PGresult* result = PQgetResult(m_conn);
        if (!result)
            break;
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_COPY_IN && stopAtCopy && !failure) {
            PQclear(last);
            return result;
        }
        if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH) {
            // Only COPY FROM STDIN is ever sent, through beginCopy().
            PQclear(result);
            PQputCopyEnd(m_conn, "unexpected");
            continue;
        }
        if ((status == PGRES_FATAL_ERROR || status == PGRES_BAD_RESPONSE || status == PGRES_NONFATAL_ERROR) &&
            !failure) {
            failure = result;
            continue;
        }
        if (failure) {
            PQclear(result);
            continue;
        }
        PQclear(last);
        last = result;
    }
    if (!failure)
        return last;
    PQclear(last);
    const QString primary = message(PQresultErrorField(failure, PG_DIAG_MESSAGE_PRIMARY));
    const QString reason = primary.isEmpty() ? message(PQerrorMessage(m_conn)) : primary;
    const QString sqlState = QString::fromLatin1(PQresultErrorField(failure, PG_DIAG_SQLSTATE));
    PQclear(failure);
    if (PQstatus(m_conn) == CONNECTION_BAD) {
        close();
        // A standby ends a session for what it replays as it cancels a
        // query: exec() runs the query again on a new one.
        if (sqlState == QLatin1String(kRecoveryConflict))
            throw PgError(lostMessage(m_server, reason), sqlState);
        throw Error(lostMessage(m_server, reason));
    }
    throw PgError(reason, sqlState);
}

void PgConnection::flush(Clock::time_point end)
{
    for (;;) {
        const int flushed = PQflush(m_conn);
        if (flushed == 0)
            return;
        if (flushed < 0)
            lost();
        wait(POLLIN | POLLOUT, end);
        // The server may be sending while it waits for the rest.
        if (!PQconsumeInput(m_conn))
            lost();
    }
}

void PgConnection::wait(short events, Clock::time_point end)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            giveUp(QCoreApplication::translate("PgConnection", "Сервер не отвечает: %1").arg(m_server));
        if (m_stopRequested && m_stopRequested())
            giveUp(QCoreApplication::translate("PgConnection", "Запрос к серверу %1 прерван").arg(m_server));
        pollfd socket{PQsocket(m_conn), events, 0};
        const int ready = ::poll(&socket, 1, int(std::min<qint64>(left, kStopPollMs)));
        if (ready > 0)
            return;
        if (ready < 0 && errno != EINTR)
            lost();
    }
}

void PgConnection::giveUp(const QString& message)
{
    // PQcancel opens a connection of its own and may itself wait for a
    // server that does not answer: a thread of its own waits for it.
    if (PGcancel* cancel = m_inCopy ? nullptr : PQgetCancel(m_conn))
        std::thread([cancel] {
            char error[256];
            PQcancel(cancel, error, sizeof error);
            PQfreeCancel(cancel);
        }).detach();
    // A statement the server cancels soon leaves the connection usable;
    // else it is given up, and the next call opens a new one.
    bool drained = !m_inCopy;
    const Clock::time_point grace = Clock::now() + kCancelGrace;
    while (drained) {
        if (PQisBusy(m_conn)) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(grace - Clock::now()).count();
            pollfd socket{PQsocket(m_conn), POLLIN, 0};
            if (left <= 0 || ::poll(&socket, 1, int(left)) <= 0 || !PQconsumeInput(m_conn))
                drained = false;
            continue;
        }
        PGresult* result = PQgetResult(m_conn);
        if (!result)
            break;
        // A COPY the server began before the cancel reached it answers
        // COPY_IN until it is ended.
        if (PQresultStatus(result) == PGRES_COPY_IN)
            PQputCopyEnd(m_conn, "cancelled");
        PQclear(result);
    }
    if (!drained)
        close();
    throw Error(message);
}

void PgConnection::lost()
{
    const QString reason = message(PQerrorMessage(m_conn));
    close();
    throw Error(lostMessage(m_server, reason));
}

PgTransaction::PgTransaction(PgConnection& connection, const char* begin) : m_connection(connection)
{
    if (connection.inTransaction())
        return;
    connection.exec(begin);
    connection.m_transactionOpen = true;
    m_own = true;
}

PgTransaction::~PgTransaction()
{
    if (!m_own)
        return;
    try {
        m_connection.exec("ROLLBACK");
    } catch (const Error&) {
        // A connection lost or given up has rolled back already.
    }
    m_connection.m_transactionOpen = false;
}

void PgTransaction::commit()
{
    if (!m_own)
        return;
    m_own = false;
    PgResult result;
    try {
        // Still marked open: a lost connection must not reopen for the COMMIT.
        result = m_connection.exec("COMMIT");
    } catch (const Error&) {
        m_connection.m_transactionOpen = false;
        throw;
    }
    m_connection.m_transactionOpen = false;
    // A transaction in which a statement failed ends in ROLLBACK, not in an error.
    if (result.commandStatus() == "ROLLBACK")
        throw Error(
            QCoreApplication::translate("PgConnection", "Изменения не сохранены: транзакция отменена"));
}
