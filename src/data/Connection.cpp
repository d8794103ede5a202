#include "data/Connection.h"

#include "data/Backend.h"
#include "data/DatabaseFile.h"
#include "data/Errors.h"
#include "data/ServerDatabase.h"

#include <QList>

#include <sqlite3.h>

namespace {

// Splits "key=value;key=value". A value in double quotes may hold semicolons and blanks at
// either end, and holds a double quote of its own written twice; other values are trimmed.
QList<QPair<QString, QString>> pairsOf(const QString& text) {
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const int eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            break;
        const QString key = text.mid(i, eq - i).trimmed();
        int j = eq + 1;
        QString value;
        if (j < n && text.at(j) == QLatin1Char('"')) {
            for (++j; j < n; ++j) {
                if (text.at(j) == QLatin1Char('"')) {
                    if (j + 1 < n && text.at(j + 1) == QLatin1Char('"'))
                        ++j;
                    else
                        break;
                }
                value += text.at(j);
            }
            const int semi = text.indexOf(QLatin1Char(';'), j);
            j = semi < 0 ? n : semi;
        } else {
            const int semi = text.indexOf(QLatin1Char(';'), j);
            const int end = semi < 0 ? n : semi;
            value = text.mid(j, end - j).trimmed();
            j = end;
        }
        pairs.append({key, value});
        i = j + 1;
    }
    return pairs;
}

} // namespace

void throwEngineError(sqlite3* db) {
    throw DataError(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
}

Connection::Connection(QObject* parent)
    : QObject(parent), serverUri_(Backend::server()), workstation_(Backend::workstation()) {}

Connection::~Connection() = default;

QString Connection::valueOf(const QString& connectionString, const QString& key) {
    for (const auto& [k, v] : pairsOf(connectionString)) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return QString();
}

void Connection::setConnectionString(const QString& text) {
    if (isOpen())
        throw DataError(QStringLiteral("Operation is not allowed when the object is open"));
    connectionString_ = text;
}

void Connection::open() {
    if (isOpen())
        return;
    if (!serverUri_.isEmpty()) {
        server_ = ServerDatabase::open(serverUri_, workstation_);
        return;
    }
    file_ = DatabaseFile::open(
        valueOf(connectionString_, QStringLiteral("Data Source")),
        valueOf(connectionString_, QStringLiteral("Jet OLEDB:Database Password")));
}

void Connection::close() {
    if (!isOpen())
        return;
    emit aboutToClose();
    file_.reset();
    server_.reset();
}

ServerDatabase* Connection::server() {
    if (serverUri_.isEmpty())
        return nullptr;
    open();
    return server_.get();
}

sqlite3* Connection::handle() {
    return file().handle();
}

DatabaseFile& Connection::file() {
    open();
    if (!file_)
        throw DataError(QStringLiteral("This connection works on a database server"));
    return *file_;
}

Transaction::Transaction(Connection& connection) {
    connection.open();
    file_ = connection.file_;
    server_ = connection.server_;
    if (server_)
        server_->begin();
    else
        file_->begin();
}

Transaction::~Transaction() {
    if (done_)
        return;
    if (server_)
        server_->rollback();
    else
        file_->rollback();
}

void Transaction::commit() {
    if (server_)
        server_->commit();
    else
        file_->commit();
    done_ = true;
}
