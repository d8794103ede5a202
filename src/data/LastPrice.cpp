#include "data/LastPrice.h"

#include "data/Connection.h"
#include "data/DateText.h"
#include "data/NumberText.h"
#include "data/ServerDatabase.h"

#include <sqlite3.h>

namespace LastPrice {
namespace {

QString folded(const QString& expression) {
    return QStringLiteral("translate(%1, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', "
                          "'abcdefghijklmnopqrstuvwxyz')")
        .arg(expression);
}

// A text no stored text can equal (a NUL, half a surrogate pair) finds nothing.
bool storable(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull())
            return false;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

std::optional<Found> onServer(ServerDatabase& server, const QString& contact, const QString& code) {
    const ServerResult result = server.read(
        QStringLiteral("SELECT \"单价\", \"业务日期\" FROM \"表3\" WHERE %1 = %2 AND %3 = %4 "
                       "AND \"单价\" IS NOT NULL ORDER BY \"业务日期\" DESC NULLS LAST, "
                       "\"_key\" DESC LIMIT 1")
            .arg(folded(QStringLiteral("\"联系人\"")), folded(QStringLiteral("$1::text")),
                 folded(QStringLiteral("\"商品编码\"")), folded(QStringLiteral("$2::text"))),
        {contact.toUtf8(), code.toUtf8()});
    if (result.rows() == 0)
        return std::nullopt;
    Found found;
    found.price = QByteArray(result.value(0, 0)).toDouble();
    if (!result.isNull(0, 1))
        found.date = DateText::parse(QString::fromUtf8(result.value(0, 1)));
    return found;
}

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

std::optional<Found> onFile(sqlite3* db, const QString& contact, const QString& code) {
    Statement statement;
    const QByteArray sql = fileSql().toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), sql.size(), &statement.handle, nullptr) !=
        SQLITE_OK)
        throwEngineError(db);
    const QByteArray contactText = contact.toUtf8();
    const QByteArray codeText = code.toUtf8();
    sqlite3_bind_text(statement.handle, 1, contactText.constData(), contactText.size(),
                      SQLITE_STATIC);
    sqlite3_bind_text(statement.handle, 2, codeText.constData(), codeText.size(), SQLITE_STATIC);
    const int rc = sqlite3_step(statement.handle);
    if (rc == SQLITE_DONE)
        return std::nullopt;
    if (rc != SQLITE_ROW)
        throwEngineError(db);
    Found found;
    if (sqlite3_column_type(statement.handle, 0) == SQLITE_TEXT) {
        // A price another program left as text counts as the number it reads as.
        const auto parsed = NumberText::parse(QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 0))));
        if (!parsed)
            return std::nullopt;
        found.price = static_cast<double>(*parsed);
    } else {
        found.price = sqlite3_column_double(statement.handle, 0);
    }
    found.date = DateText::parse(
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 1))));
    return found;
}

} // namespace

QString fileSql() {
    // Ordered as the index on (联系人, 商品编码, 业务日期) keeps the rows, so the engine reads
    // one entry from its end.
    return QStringLiteral("SELECT \"单价\", \"业务日期\" FROM \"表3\" WHERE \"联系人\" = ?1 "
                          "COLLATE NOCASE AND \"商品编码\" = ?2 COLLATE NOCASE AND \"单价\" IS "
                          "NOT NULL ORDER BY \"业务日期\" DESC, rowid DESC LIMIT 1");
}

std::optional<Found> find(Connection& connection, const QString& contact, const QString& code) {
    if (contact.isEmpty() || code.isEmpty() || !storable(contact) || !storable(code))
        return std::nullopt;
    if (ServerDatabase* server = connection.server())
        return onServer(*server, contact, code);
    return onFile(connection.handle(), contact, code);
}

} // namespace LastPrice
