#include "data/Query.h"

namespace {
QString quoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}
} // namespace

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

QString Query::sql() const {
    QString out;
    if (isDistinct()) {
        // Pick lists come sorted so that a clerk finds a code or name at once.
        out =
            QStringLiteral("SELECT DISTINCT %1 FROM %2").arg(quoted(distinctColumn), quoted(table));
    } else {
        out = QStringLiteral("SELECT rowid, * FROM %1").arg(quoted(table));
    }
    switch (match) {
    case Match::All:
        break;
    case Match::Like:
        out += QStringLiteral(" WHERE %1 LIKE '%' || ?1 || '%'").arg(quoted(column));
        break;
    case Match::Equal:
        // NOCASE folds ASCII letters only, as LIKE does; the bill-number index is NOCASE too.
        out += value.isEmpty()
                   ? QStringLiteral(" WHERE (%1 IS NULL OR %1 = '')").arg(quoted(column))
                   : QStringLiteral(" WHERE %1 = ?1 COLLATE NOCASE").arg(quoted(column));
        break;
    }
    // Rows come in the table's natural order whichever plan the engine picks: an index on the
    // condition's column would otherwise order them by its own key.
    out += isDistinct() ? QStringLiteral(" ORDER BY 1") : QStringLiteral(" ORDER BY rowid");
    return out;
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
