#include "data/Connection.h"

#include "data/Engine.h"
#include "data/Errors.h"

#include <QList>

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

Connection::Connection(QObject* parent) : QObject(parent), choice_(EngineChoice::current()) {}

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
    if (!isOpen())
        engine_ = EngineChoice::open(choice_, connectionString_);
}

void Connection::close() {
    if (!isOpen())
        return;
    emit aboutToClose();
    engine_.reset();
}

Engine& Connection::engine() {
    open();
    return *engine_;
}

Transaction::Transaction(Connection& connection) {
    connection.open();
    engine_ = connection.engine_;
    engine_->begin();
}

Transaction::~Transaction() {
    if (!done_)
        engine_->rollback();
}

void Transaction::commit() {
    engine_->commit();
    done_ = true;
}
