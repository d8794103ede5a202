#include "data/Query.h"

Query Query::all(const QString& table) {
    Query q;
    q.table = table;
    return q;
}

Query Query::distinct(const QString& table, const QString& column) {
    Query q;
    q.table = table;
    q.distinctColumn = column;
    return q;
}

Query Query::like(const QString& table, const QString& column, const QString& text) {
    Query q = all(table);
    q.match = Match::Like;
    q.column = column;
    q.value = text;
    return q;
}

Query Query::equal(const QString& table, const QString& column, const QString& text) {
    Query q = like(table, column, text);
    q.match = Match::Equal;
    return q;
}

QString Query::describe() const {
    QString out = isDistinct()
                      ? QStringLiteral("select distinct %1 from %2").arg(distinctColumn, table)
                      : QStringLiteral("select * from %1").arg(table);
    if (match == Match::Like)
        out += QStringLiteral(" where %1 like %%2%").arg(column, value);
    else if (match == Match::Equal)
        out += QStringLiteral(" where %1 = %2").arg(column, value);
    return out;
}
