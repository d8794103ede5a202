// ServerDatabase as an engine of the data layer: the lists' reads and writes (ServerRows), the
// bill numbers handed out, the print buffer and the last price.
#include "data/postgres/ServerDatabase.h"

#include "data/DateText.h"
#include "data/Errors.h"
#include "data/Schema.h"
#include "data/postgres/ServerRows.h"
#include "data/postgres/ServerSchema.h"

namespace {

// The server takes search patterns as long as the file's engine does.
constexpr int kLikePatternLength = 50000;

const char* const kBufferColumns[] = {"单据编号", "业务日期", "经手人", "商品名称", "规格型号",
                                      "单位",     "单价",     "数量",   "应收金额", "联系人",
                                      "联系电话", "单位地址", "备注"};

QString quoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString folded(const QString& expression) {
    return QStringLiteral("translate(%1, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', "
                          "'abcdefghijklmnopqrstuvwxyz')")
        .arg(expression);
}

ServerDatabase::Param param(const Engine::Value& v) {
    switch (v.type) {
    case Engine::Value::Null:
        return std::nullopt;
    case Engine::Value::Text:
        return v.text;
    case Engine::Value::Real:
        return QByteArray::number(v.real, 'g', 17);
    case Engine::Value::Integer:
        return QByteArray::number(v.integer);
    }
    return std::nullopt;
}

QList<ServerDatabase::Param> params(const QList<Engine::Value>& values) {
    QList<ServerDatabase::Param> out;
    for (const Engine::Value& v : values)
        out.append(param(v));
    return out;
}

QStringList names(const QList<ListField>& fields, const QList<int>& set) {
    QStringList out;
    for (int c : set)
        out.append(fields[c].name);
    return out;
}

// A row of a list as it was read, as the values bound for it.
QList<ServerDatabase::Param> asRead(const Snapshot& list, int row) {
    QList<ServerDatabase::Param> values;
    for (int c = 0; c < list.fields.size(); ++c)
        values.append(ServerRows::cellParam(list.rows.cell(row, c)));
    return values;
}

} // namespace

Snapshot ServerDatabase::load(const Query& query) {
    if (query.match == Query::Match::Like && query.value.toUtf8().size() + 2 > kLikePatternLength)
        throw DataError(QStringLiteral("查询的文字太长，请缩短后再查询。"));
    return ServerRows::load(*this, query);
}

bool ServerDatabase::hasRows(const QString& table) {
    return ServerRows::hasRows(*this, table);
}

qint64 ServerDatabase::insert(const QString& table, const QList<ListField>& fields,
                              const QList<int>& set, const QList<Value>& values,
                              RowStore::Packer& stored) {
    return ServerRows::insert(*this, table, names(fields, set), params(values), stored);
}

void ServerDatabase::update(const QString& table, const Snapshot& list, int row,
                            const QList<int>& set, const QList<Value>& values,
                            RowStore::Packer& stored) {
    ServerRows::update(*this, table, list.rows.rowid(row), names(list.fields, set), params(values),
                       list.fields, asRead(list, row), stored);
}

void ServerDatabase::remove(const QString& table, const Snapshot& list, int row) {
    ServerRows::remove(*this, table, list.rows.rowid(row), list.fields, asRead(list, row));
}

QList<Engine::IssuedNumber> ServerDatabase::issuedNumbers(const QString& prefix) {
    // left() rather than LIKE: a prefix holding % or _ means itself.
    const ServerResult found =
        exec(QStringLiteral("SELECT \"number\", \"workstation\" = $2 FROM \"_issued_numbers\" "
                            "WHERE left(\"number\", length($1::text)) = $1::text"),
             {prefix.toUtf8(), workstation().toUtf8()});
    QList<IssuedNumber> out;
    for (int row = 0; row < found.rows(); ++row)
        out.append({QString::fromUtf8(found.value(row, 0)), found.value(row, 1)[0] == 't'});
    return out;
}

void ServerDatabase::holdUntilEnd(const QString& name) {
    exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext($1))"), {name.toUtf8()});
}

bool ServerDatabase::takeNumber(const QString& number) {
    return exec(QStringLiteral("INSERT INTO \"_issued_numbers\" (\"number\", \"workstation\") "
                               "VALUES ($1, $2) ON CONFLICT DO NOTHING"),
                {number.toUtf8(), workstation().toUtf8()})
               .affected() == 1;
}

void ServerDatabase::refillPrintBuffer(const QString& bill) {
    // This workstation's rows go and the bill's come, in the table's natural order, numbered
    // by their place; the date as the lists show it, empty cells as empty texts.
    QStringList columns{QStringLiteral("\"序号\""), quoted(ServerSchema::workstationColumn())};
    QStringList values{QStringLiteral("(row_number() OVER (ORDER BY \"_key\"))::text"),
                       QStringLiteral("$1")};
    for (const char* column : kBufferColumns) {
        const QString name = QString::fromUtf8(column);
        columns.append(quoted(name));
        const QString type = ServerSchema::columnType(QStringLiteral("表3"), name);
        if (type == QLatin1String("date"))
            values.append(
                QStringLiteral("coalesce(to_char(%1, 'FMYYYY/FMMM/FMDD'), '')").arg(quoted(name)));
        else if (type == QLatin1String("text"))
            values.append(QStringLiteral("coalesce(%1, '')").arg(quoted(name)));
        else
            values.append(quoted(name));
    }
    const QString condition =
        bill.isEmpty() ? QStringLiteral("(\"单据编号\" IS NULL OR \"单据编号\" = '')")
                       : QStringLiteral("%1 = %2").arg(folded(QStringLiteral("\"单据编号\"")),
                                                       folded(QStringLiteral("$2::text")));
    QList<Param> bound{workstation().toUtf8()};
    if (!bill.isEmpty())
        bound.append(ServerRows::conditionValue(bill));
    exec(QStringLiteral("WITH emptied AS (DELETE FROM \"表4\" WHERE %1 = $1) INSERT INTO \"表4\" "
                        "(%2) SELECT %3 FROM \"表3\" WHERE %4 ORDER BY \"_key\"")
             .arg(quoted(ServerSchema::workstationColumn()), columns.join(QStringLiteral(", ")),
                  values.join(QStringLiteral(", ")), condition),
         bound);
    if (inTransaction_)
        cache_.defer(QStringLiteral("表4"), {RowChange::Insert, 0, nullptr});
    else
        cache_.forget(QStringLiteral("表4"));
}

std::optional<Engine::Price> ServerDatabase::lastPrice(const QString& contact,
                                                       const QString& code) {
    const ServerResult result =
        read(QStringLiteral("SELECT \"单价\", \"业务日期\" FROM \"表3\" WHERE %1 = %2 AND %3 = %4 "
                            "AND \"单价\" IS NOT NULL ORDER BY \"业务日期\" DESC NULLS LAST, "
                            "\"_key\" DESC LIMIT 1")
                 .arg(folded(QStringLiteral("\"联系人\"")), folded(QStringLiteral("$1::text")),
                      folded(QStringLiteral("\"商品编码\"")), folded(QStringLiteral("$2::text"))),
             {contact.toUtf8(), code.toUtf8()});
    if (result.rows() == 0)
        return std::nullopt;
    Price found;
    found.price = std::strtod(result.value(0, 0), nullptr);
    if (!result.isNull(0, 1))
        found.date = DateText::parse(QString::fromUtf8(result.value(0, 1)));
    return found;
}
