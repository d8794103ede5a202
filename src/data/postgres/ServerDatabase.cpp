#include "data/postgres/ServerDatabase.h"

#include "data/Errors.h"
#include "data/postgres/ServerWait.h"

#include <QHash>
#include <QVector>
#include <utility>

#include <libpq-fe.h>

namespace {

// The sessions this process has open, by server and workstation. A session leaves when its
// last connection closes.
QHash<QString, std::weak_ptr<ServerDatabase>>& openSessions() {
    static QHash<QString, std::weak_ptr<ServerDatabase>> sessions;
    return sessions;
}

// Texts and numbers as this program reads them, whatever the server's defaults: ISO dates and
// the shortest text that reads back as the same double. A statement the server has not
// finished in a minute is given up there (a transfer lifts the limit for its own transaction).
const char* const kSessionSetup =
    "SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; SET extra_float_digits = 1; "
    "SET statement_timeout = '60s'";

// Every wait on the server is bounded, so that a network gone silent costs the clerk seconds,
// not minutes: the connection attempt (10 s), data sent and never acknowledged (10 s), a
// session whose peer no longer answers the system's probes (5 s idle, then 3 probes 2 s
// apart), and no byte of an answer for 12 s. An address may set its own values of the
// first four; they come after these.
const char* const kWaitKeywords[] = {"connect_timeout", "tcp_user_timeout",    "keepalives",
                                     "keepalives_idle", "keepalives_interval", "keepalives_count"};
const char* const kWaitValues[] = {"10", "10000", "1", "5", "2", "3"};
constexpr int kSilenceMilliseconds = 12000;
// Inside a transfer's transaction one statement may work on a million rows.
constexpr int kLongSilenceMilliseconds = 600000;

struct ServerAddress {
    QString name;
    QString secret;
};

// Where the URI points, without the password. libpq's own message on a malformed URI may
// quote any part of it, the password too, so it is not shown.
ServerAddress addressOf(const QString& uri) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.toUtf8().constData(), &error);
    PQfreemem(error);
    if (!options || uri.isEmpty())
        throw DataError(
            QStringLiteral("数据库服务器的地址格式不对，请在“系统设置”的“数据库”页检查。"));
    QHash<QString, QString> values;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (o->val)
            values.insert(QString::fromUtf8(o->keyword), QString::fromUtf8(o->val));
    }
    PQconninfoFree(options);
    const QString host = values.value(QStringLiteral("host"), QStringLiteral("localhost"));
    const QString port = values.value(QStringLiteral("port"), QStringLiteral("5432"));
    const QString database =
        values.value(QStringLiteral("dbname"), values.value(QStringLiteral("user")));
    return {host + QLatin1Char(':') + port + QLatin1Char('/') + database,
            values.value(QStringLiteral("password"))};
}

// What went wrong with a connection, in the clerk's words; libpq's own follows as detail.
QString connectionTrouble(const QString& detail) {
    struct Known {
        const char* marker;
        const char* words;
    };
    static const Known known[] = {
        {"password authentication failed", "用户名或密码不对"},
        {"no password supplied", "需要密码，但没有填写密码"},
        {"does not exist", "服务器上没有这个数据库或用户"},
        {"Connection refused", "服务器拒绝连接，请确认地址、端口和服务器上的数据库服务"},
        {"timeout expired", "连接超时，服务器没有应答，请检查网络和服务器地址"},
        {"could not translate host name", "找不到这个服务器地址"},
        {"No such file or directory", "找不到服务器，请确认地址和端口"},
        {"server does not support SSL",
         "服务器不支持加密连接（SSL），程序不会用不加密的连接发送密码"},
        {"channel binding", "服务器不支持安全的密码验证（SCRAM 通道绑定），程序不会发送密码"},
    };
    for (const Known& k : known) {
        if (detail.contains(QLatin1String(k.marker), Qt::CaseInsensitive))
            return QStringLiteral("%1。（%2）").arg(QString::fromUtf8(k.words), detail);
    }
    return detail;
}

QString messageOf(const PGresult* result, pg_conn* conn) {
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return QString::fromUtf8(primary ? primary : PQerrorMessage(conn)).trimmed();
}

} // namespace

ServerResult::~ServerResult() {
    PQclear(result_);
}

int ServerResult::rows() const {
    return PQntuples(result_);
}

int ServerResult::columns() const {
    return PQnfields(result_);
}

QString ServerResult::name(int column) const {
    return QString::fromUtf8(PQfname(result_, column));
}

unsigned int ServerResult::type(int column) const {
    return PQftype(result_, column);
}

bool ServerResult::isNull(int row, int column) const {
    return PQgetisnull(result_, row, column) != 0;
}

const char* ServerResult::value(int row, int column) const {
    return PQgetvalue(result_, row, column);
}

int ServerResult::length(int row, int column) const {
    return PQgetlength(result_, row, column);
}

void ServerResult::row(int row, Value* values) const {
    const int columns = PQnfields(result_);
    for (int c = 0; c < columns; ++c) {
        const int length = PQgetlength(result_, row, c);
        // Only an empty value may be NULL.
        values[c] = {length == 0 && PQgetisnull(result_, row, c) ? nullptr
                                                                 : PQgetvalue(result_, row, c),
                     length};
    }
}

qint64 ServerResult::affected() const {
    return QByteArray(PQcmdTuples(result_)).toLongLong();
}

QString ServerDatabase::nameOf(const QString& uri) {
    return addressOf(uri).name;
}

bool ServerDatabase::namesPassword(const QString& uri) {
    return !addressOf(uri).secret.isEmpty();
}

std::unique_ptr<ServerDatabase> ServerDatabase::connect(const QString& uri,
                                                        const QString& password) {
    const ServerAddress address = addressOf(uri);
    const QByteArray expanded = uri.toUtf8();
    const QByteArray secret = password.toUtf8();
    QVector<const char*> keywords(std::begin(kWaitKeywords), std::end(kWaitKeywords));
    QVector<const char*> values(std::begin(kWaitValues), std::end(kWaitValues));
    keywords.append("dbname");
    values.append(expanded.constData());
    if (!password.isEmpty()) {
        keywords.append("password");
        values.append(secret.constData());
    }
    keywords.append(nullptr);
    values.append(nullptr);
    pg_conn* conn = PQconnectdbParams(keywords.constData(), values.constData(), 1);
    std::unique_ptr<ServerDatabase> server(
        new ServerDatabase(conn, address.name, password.isEmpty() ? address.secret : password));
    // The server's notices (e.g. what a DROP cascades to) are not for the clerk's terminal.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    if (conn && PQstatus(conn) != CONNECTION_OK && PQconnectionNeedsPassword(conn))
        throw PasswordNeeded(QStringLiteral("数据库服务器 %1 需要密码。").arg(address.name));
    if (!conn || PQstatus(conn) != CONNECTION_OK)
        server->fail(QString::fromUtf8(conn ? PQerrorMessage(conn) : "out of memory").trimmed());
    PGresult* setup = PQexec(conn, kSessionSetup);
    const bool ok = PQresultStatus(setup) == PGRES_COMMAND_OK;
    const QString reason = messageOf(setup, conn);
    PQclear(setup);
    if (!ok)
        server->fail(reason);
    return server;
}

std::shared_ptr<ServerDatabase> ServerDatabase::open(const QString& uri,
                                                     const QString& workstation) {
    const QString key = uri + QLatin1Char('\n') + workstation;
    if (std::shared_ptr<ServerDatabase> session = openSessions().value(key).lock())
        return session;
    std::shared_ptr<ServerDatabase> session(connect(uri).release());
    session->workstation_ = workstation;
    session->key_ = key;
    openSessions().insert(key, session);
    return session;
}

ServerDatabase::ServerDatabase(pg_conn* conn, QString name, QString secret)
    : conn_(conn), name_(std::move(name)), secret_(std::move(secret)) {}

ServerDatabase::~ServerDatabase() {
    if (!key_.isEmpty()) {
        auto entry = openSessions().find(key_);
        if (entry != openSessions().end() && entry->expired())
            openSessions().erase(entry);
    }
    PQfinish(conn_);
}

QString ServerDatabase::scrub(QString text) const {
    if (!secret_.isEmpty())
        text.replace(secret_, QStringLiteral("******"));
    return text;
}

void ServerDatabase::fail(const QString& reason) const {
    throw DataError(
        QStringLiteral("无法连接数据库服务器 %1：%2").arg(name_, connectionTrouble(scrub(reason))));
}

QString ServerDatabase::serverVersion() const {
    const char* version = PQparameterStatus(conn_, "server_version");
    return QString::fromUtf8(version ? version : "");
}

void ServerDatabase::dropped() const {
    throw DataError(
        QStringLiteral("与数据库服务器 %1 的连接已中断，请检查网络后点击“刷新”。").arg(name_));
}

bool ServerDatabase::connected() const {
    return !silent_ && PQstatus(conn_) == CONNECTION_OK;
}

void ServerDatabase::ensureConnected() {
    if (connected())
        return;
    // A transaction the server lost cannot be taken up again: the writes of it are gone.
    if (inTransaction_)
        dropped();
    silent_ = false;
    PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK)
        fail(QString::fromUtf8(PQerrorMessage(conn_)).trimmed());
    PGresult* setup = PQexec(conn_, kSessionSetup);
    const bool ok = PQresultStatus(setup) == PGRES_COMMAND_OK;
    PQclear(setup);
    if (!ok)
        fail(QString::fromUtf8(PQerrorMessage(conn_)).trimmed());
}

ServerResult ServerDatabase::exec(const QString& sql, const QList<Param>& params) {
    return run(sql, params, false);
}

ServerResult ServerDatabase::read(const QString& sql, const QList<Param>& params) {
    return run(sql, params, true);
}

ServerResult ServerDatabase::readBinary(const QString& sql, const QList<Param>& params) {
    return run(sql, params, true, true);
}

ServerResult ServerDatabase::run(const QString& sql, const QList<Param>& params, bool again,
                                 bool binary) {
    ensureConnected();
    QVector<const char*> values;
    values.reserve(params.size());
    for (const Param& p : params)
        values.append(p ? p->constData() : nullptr);
    const QByteArray text = sql.toUtf8();
    const bool withBegin = std::exchange(beginPending_, false);
    if (!send(text, values, binary, withBegin) && PQstatus(conn_) == CONNECTION_OK) {
        // A pipeline left half sent is not used again: the session starts anew.
        if (withBegin)
            silent_ = true;
        throw DataError(scrub(QString::fromUtf8(PQerrorMessage(conn_)).trimmed()));
    }
    ServerResult result(withBegin ? awaitPipeline() : awaitResult());
    if (silent_) {
        // A network gone silent is not tried again: that would only double the wait.
        cache_.clear();
        dropped();
    }
    const ExecStatusType status = PQresultStatus(result.result_);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return result;
    if (PQstatus(conn_) != CONNECTION_OK) {
        // The transaction stays marked until its rollback, so that no later statement of it
        // runs on a new session by itself.
        cache_.clear();
        if (again && !inTransaction_)
            return run(sql, params, false, binary);
        dropped();
    }
    throw DataError(scrub(messageOf(result.result_, conn_)));
}

bool ServerDatabase::send(const QByteArray& sql, const QVector<const char*>& values, bool binary,
                          bool withBegin) {
    if (withBegin && !(PQenterPipelineMode(conn_) &&
                       PQsendQueryParams(conn_, "BEGIN", 0, nullptr, nullptr, nullptr, nullptr, 0)))
        return false;
    return PQsendQueryParams(conn_, sql.constData(), static_cast<int>(values.size()), nullptr,
                             values.constData(), nullptr, nullptr, binary ? 1 : 0) &&
           (!withBegin || PQpipelineSync(conn_));
}

pg_result* ServerDatabase::awaitPipeline() {
    pg_result* begun = awaitResult();
    pg_result* result = silent_ ? nullptr : awaitResult();
    // The end of the pipeline, after which the session takes statements one by one again.
    if (!silent_)
        PQclear(awaitResult());
    if (PQstatus(conn_) == CONNECTION_OK && !silent_ && !PQexitPipelineMode(conn_))
        silent_ = true;
    if (PQresultStatus(begun) == PGRES_COMMAND_OK) {
        PQclear(begun);
        return result;
    }
    PQclear(result);
    return begun;
}

pg_result* ServerDatabase::awaitResult() {
    pg_result* last = nullptr;
    for (;;) {
        while (PQisBusy(conn_)) {
            if (!ServerWait::readable(PQsocket(conn_), longStatements_ ? kLongSilenceMilliseconds
                                                                       : kSilenceMilliseconds)) {
                silent_ = true;
                return last;
            }
            if (!PQconsumeInput(conn_))
                break;
        }
        pg_result* next = PQgetResult(conn_);
        if (!next)
            return last;
        PQclear(last);
        last = next;
    }
}

void ServerDatabase::copyIn(const QString& sql, const QByteArray& lines) {
    // COPY goes alone: a BEGIN still to be sent goes before it.
    if (std::exchange(beginPending_, false))
        exec(QStringLiteral("BEGIN"));
    ensureConnected();
    PGresult* start = PQexec(conn_, sql.toUtf8().constData());
    const bool copying = PQresultStatus(start) == PGRES_COPY_IN;
    const QString reason = messageOf(start, conn_);
    PQclear(start);
    if (!copying)
        throw DataError(reason);
    constexpr qsizetype kChunk = 1 << 20;
    bool sent = true;
    for (qsizetype at = 0; sent && at < lines.size(); at += kChunk)
        sent = PQputCopyData(conn_, lines.constData() + at,
                             static_cast<int>(qMin(kChunk, lines.size() - at))) == 1;
    if (PQputCopyEnd(conn_, sent ? nullptr : "aborted") != 1)
        throw DataError(QString::fromUtf8(PQerrorMessage(conn_)).trimmed());
    QString failure;
    while (PGresult* end = PQgetResult(conn_)) {
        if (PQresultStatus(end) != PGRES_COMMAND_OK && failure.isEmpty())
            failure = messageOf(end, conn_);
        PQclear(end);
    }
    if (!failure.isEmpty())
        throw DataError(failure);
}

quint64 ServerDatabase::generation(const QString& table) {
    if (inTransaction_)
        return 0;
    const ServerResult counter =
        read(QStringLiteral("SELECT \"counter\" FROM \"_changes\" WHERE \"name\" = $1"),
             {table.toUtf8()});
    // The counter starts from the clock at initialisation, so that a database initialised
    // anew never shows a count a kept list was loaded at.
    if (counter.rows() != 1 || counter.isNull(0, 0))
        return 0;
    return QByteArray(counter.value(0, 0)).toULongLong() + 1;
}

quint64 ServerDatabase::wrote(const QString& table, const RowChange& change, const Snapshot* writer,
                              quint64 writerGeneration) {
    if (inTransaction_) {
        cache_.defer(table, change);
        return 0;
    }
    if (!writer && !cache_.holds(table))
        return 0;
    // Each statement on a table counts one; a count one above the list's means no other
    // write came between.
    const quint64 after = generation(table);
    return cache_.wrote(table, after - 1, after, change, writer, writerGeneration);
}

void ServerDatabase::begin() {
    // A session found dropped is taken up again here, as a BEGIN sent now would.
    ensureConnected();
    inTransaction_ = true;
    beginPending_ = true;
}

void ServerDatabase::allowLongStatements() {
    exec(QStringLiteral("SET LOCAL statement_timeout = 0"));
    longStatements_ = true;
}

void ServerDatabase::commit() {
    // A transaction that ran no statement has nothing to commit.
    if (!std::exchange(beginPending_, false))
        exec(QStringLiteral("COMMIT"));
    inTransaction_ = false;
    longStatements_ = false;
    const QList<SnapshotCache::Deferred> writes = cache_.takeDeferred();
    // Each statement on a table counted one: a count as many above a kept table's as the
    // transaction wrote means no other write came between, and the writes are followed.
    QHash<QString, quint64> at;
    for (const SnapshotCache::Deferred& write : writes)
        at[write.table] += 1;
    for (auto it = at.begin(); it != at.end(); ++it) {
        try {
            const quint64 now = cache_.holds(it.key()) ? generation(it.key()) : 0;
            *it = now > *it ? now - *it : 0;
        } catch (const DataError&) {
            // Committed all the same; the table is read afresh next time.
            *it = 0;
        }
    }
    for (const SnapshotCache::Deferred& write : writes) {
        quint64& before = at[write.table];
        if (before == 0) {
            cache_.forget(write.table);
            continue;
        }
        cache_.wrote(write.table, before, before + 1, write.change(), nullptr, 0);
        ++before;
    }
}

void ServerDatabase::rollback() {
    if (inTransaction_ && !std::exchange(beginPending_, false) && connected() &&
        PQsendQuery(conn_, "ROLLBACK"))
        PQclear(awaitResult());
    inTransaction_ = false;
    longStatements_ = false;
    for (const SnapshotCache::Deferred& write : cache_.takeDeferred())
        cache_.forget(write.table);
}
