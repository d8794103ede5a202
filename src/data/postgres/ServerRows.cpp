#include "data/postgres/ServerRows.h"

#include "data/Errors.h"
#include "data/LoadProgress.h"
#include "data/Schema.h"
#include "data/postgres/ServerSchema.h"

#include <QThread>
#include <QtEndian>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <functional>
#include <future>
#include <vector>

namespace ServerRows {
namespace {

// Type ids of the server's catalogue.
constexpr unsigned int kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
                       kNumeric = 1700, kDate = 1082;

const QString kPrintBuffer = QStringLiteral("表4");
// ASCII letters fold in the searches and the bill selection, as on the file; other letters
// match only themselves.
const QString kUpper = QStringLiteral("'ABCDEFGHIJKLMNOPQRSTUVWXYZ'");
const QString kLower = QStringLiteral("'abcdefghijklmnopqrstuvwxyz'");

QString quoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString folded(const QString& expression) {
    return QStringLiteral("translate(%1, %2, %3)").arg(expression, kUpper, kLower);
}

ListField::Kind kindOf(unsigned int type) {
    switch (type) {
    case kInt8:
    case kInt2:
    case kInt4:
        return ListField::Kind::Integer;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return ListField::Kind::Number;
    case kDate:
        return ListField::Kind::Date;
    default:
        return ListField::Kind::Text;
    }
}

// A column as a list reads it in the binary form: dates as the server's text of them (the
// stored form, yyyy-MM-dd), everything else as it is.
QString listedColumn(const QString& table, const QString& column) {
    return ServerSchema::columnType(table, column) == QLatin1String("date")
               ? QStringLiteral("%1::text AS %1").arg(quoted(column))
               : quoted(column);
}

ListField::Kind listedKind(const QString& table, const QString& column) {
    const QString type = ServerSchema::columnType(table, column);
    if (type == QLatin1String("double precision"))
        return ListField::Kind::Number;
    if (type == QLatin1String("date"))
        return ListField::Kind::Date;
    return type == QLatin1String("text") ? ListField::Kind::Text : ListField::Kind::Integer;
}

// An integer or a floating point number in the server's binary form (big-endian).
qint64 binaryInteger(const char* bytes, int length) {
    switch (length) {
    case 8:
        return qFromBigEndian<qint64>(bytes);
    case 4:
        return qFromBigEndian<qint32>(bytes);
    default:
        return qFromBigEndian<qint16>(bytes);
    }
}

double binaryReal(const char* bytes, int length) {
    if (length == 4)
        return std::bit_cast<float>(qFromBigEndian<quint32>(bytes));
    return std::bit_cast<double>(qFromBigEndian<quint64>(bytes));
}

// How a list stores a column it reads in the binary form, settled once for the column.
enum class Form { Integer, Real, IntegerAsReal, Text };

Form formOf(ListField::Kind kind, unsigned int type) {
    switch (kind) {
    case ListField::Kind::Integer:
        return Form::Integer;
    case ListField::Kind::Number:
        return type == kFloat4 || type == kFloat8 ? Form::Real : Form::IntegerAsReal;
    default:
        return Form::Text;
    }
}

qsizetype packedSize(const ServerResult::Value& value, Form form) {
    if (!value.bytes)
        return RowStore::Writer::nullSize;
    return form == Form::Text ? RowStore::Writer::textSize(value.length)
                              : RowStore::Writer::numberSize;
}

void packBinary(RowStore::Writer& out, const ServerResult::Value& value, Form form) {
    if (!value.bytes) {
        out.addNull();
        return;
    }
    switch (form) {
    case Form::Integer:
        out.addInteger(binaryInteger(value.bytes, value.length));
        break;
    case Form::Real:
        out.addReal(binaryReal(value.bytes, value.length));
        break;
    case Form::IntegerAsReal:
        out.addReal(static_cast<double>(binaryInteger(value.bytes, value.length)));
        break;
    case Form::Text:
        out.addText(value.bytes, value.length);
        break;
    }
}

// Below this many rows a list is packed in one go; above it, in two threads where there are two
// cores.
constexpr int kSplitRows = 20000;

// The rows of a result read in the binary form, as a list stores them.
struct Rows {
    const ServerResult& result;
    const std::vector<Form>& forms; // each column's
    int first;                      // the first listed column; the one before it is the key

    // Appends rows [begin, end) to `out`, each sized first and then written straight into it;
    // `progress` hears now and then how far it has come (the row after the last packed).
    void pack(int begin, int end, RowStore& out, const std::function<void(int)>& progress) const {
        const int columns = static_cast<int>(forms.size());
        std::vector<ServerResult::Value> values(forms.size());
        for (int r = begin; r < end; ++r) {
            result.row(r, values.data());
            qsizetype size = 0;
            for (int c = first; c < columns; ++c)
                size += packedSize(values[c], forms[c]);
            RowStore::Writer writer =
                out.append(first ? binaryInteger(values[0].bytes, values[0].length) : 0, size);
            for (int c = first; c < columns; ++c)
                packBinary(writer, values[c], forms[c]);
            if (((r + 1) & 0xffff) == 0)
                progress(r + 1);
        }
    }
};

QString selectList(const QString& table) {
    QStringList columns{quoted(ServerSchema::keyColumn(table))};
    for (const QString& column : Schema::columns(table))
        columns.append(quoted(column));
    return columns.join(QStringLiteral(", "));
}

// The print buffer's condition, with its workstation bound as the parameter `index`.
QString workstationCondition(const QString& table, int index) {
    return table == kPrintBuffer ? QStringLiteral("%1 = $%2")
                                       .arg(quoted(ServerSchema::workstationColumn()))
                                       .arg(index)
                                 : QString();
}

void pack(RowStore::Packer& out, const ServerResult& result, int row, int column,
          ListField::Kind kind) {
    if (result.isNull(row, column)) {
        out.addNull();
        return;
    }
    const char* text = result.value(row, column);
    switch (kind) {
    case ListField::Kind::Integer:
        out.addInteger(std::strtoll(text, nullptr, 10));
        break;
    case ListField::Kind::Number:
        out.addReal(std::strtod(text, nullptr));
        break;
    default:
        out.addText(text, result.length(row, column));
        break;
    }
}

void readBack(const ServerResult& result, RowStore::Packer& stored) {
    stored.clear();
    for (int c = 1; c < result.columns(); ++c)
        pack(stored, result, 0, c, kindOf(result.type(c)));
}

// The condition that the row is still as it was read: every column as `old` holds it.
QString unchanged(const QList<ListField>& fields, int firstIndex) {
    QStringList parts;
    for (int c = 0; c < fields.size(); ++c)
        parts.append(QStringLiteral("%1 IS NOT DISTINCT FROM $%2")
                         .arg(quoted(fields[c].name))
                         .arg(firstIndex + c));
    return parts.join(QStringLiteral(" AND "));
}

} // namespace

// A text no stored text can equal: half a surrogate pair or a NUL has no place in the
// server's texts, so such a condition matches no row (bound as NULL).
Param conditionValue(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull())
            return std::nullopt;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return std::nullopt;
    }
    return text.toUtf8();
}

Snapshot load(ServerDatabase& server, const Query& query) {
    const QString table = quoted(query.table);
    QList<Param> params;
    QStringList conditions;
    if (query.table == kPrintBuffer) {
        params.append(server.workstation().toUtf8());
        conditions.append(workstationCondition(query.table, 1));
    }
    const QString column = quoted(query.column);
    switch (query.match) {
    case Query::Match::All:
        break;
    case Query::Match::Like:
        params.append(conditionValue(query.value));
        // No escape character: "%" and "_" act as wildcards, every other character as itself.
        conditions.append(QStringLiteral("%1 LIKE '%' || %2 || '%' ESCAPE ''")
                              .arg(folded(column + QStringLiteral("::text")),
                                   folded(QStringLiteral("$%1").arg(params.size()))));
        break;
    case Query::Match::Equal:
        if (query.value.isEmpty()) {
            conditions.append(QStringLiteral("(%1 IS NULL OR %1::text = '')").arg(column));
        } else {
            params.append(conditionValue(query.value));
            conditions.append(QStringLiteral("%1 = %2").arg(
                folded(column), folded(QStringLiteral("$%1").arg(params.size()))));
        }
        break;
    }
    const QString where =
        conditions.isEmpty() ? QString()
                             : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    QString sql;
    if (query.isDistinct()) {
        const QString distinct = quoted(query.distinctColumn);
        // Sorted by code point with the empty value first, as the file's lists come.
        const QString order = QStringLiteral("d.") + distinct +
                              (ServerSchema::isText(query.table, query.distinctColumn)
                                   ? QStringLiteral(" COLLATE \"C\"")
                                   : QString());
        sql = QStringLiteral("SELECT %1 FROM (SELECT DISTINCT %2 FROM %3%4) d ORDER BY %5 "
                             "NULLS FIRST")
                  .arg(listedColumn(query.table, query.distinctColumn), distinct, table, where,
                       order);
    } else {
        QStringList columns{quoted(ServerSchema::keyColumn(query.table))};
        for (const QString& column : Schema::columns(query.table))
            columns.append(listedColumn(query.table, column));
        sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
                  .arg(columns.join(QStringLiteral(", ")), table, where,
                       quoted(ServerSchema::keyColumn(query.table)));
    }
    // Numbers in their binary form: a long list then parses no number's text.
    const ServerResult result = server.readBinary(sql, params);

    const int first = query.isDistinct() ? 0 : 1;
    const int columns = result.columns();
    Snapshot list;
    // The key, before the first listed column, is read as an integer.
    std::vector<Form> forms(static_cast<std::size_t>(columns), Form::Integer);
    for (int c = first; c < columns; ++c) {
        list.fields.append({result.name(c), listedKind(query.table, result.name(c))});
        forms[c] = formOf(list.fields.last().kind, result.type(c));
    }
    const int rows = result.rows();
    const Rows all{result, forms, first};
    const auto report = [&](int done) { LoadProgress::report(query.table, done, rows); };
    list.rows.reserve(rows);
    if (rows < kSplitRows || QThread::idealThreadCount() < 2) {
        all.pack(0, rows, list.rows, report);
        return list;
    }
    // A long list is packed in two halves at once, the second into a store of its own that
    // then follows the first.
    const int half = rows / 2;
    std::atomic<int> secondDone = 0;
    RowStore second;
    second.reserve(rows - half);
    auto packing = std::async(std::launch::async, [&] {
        all.pack(half, rows, second, [&](int done) { secondDone.store(done - half); });
    });
    all.pack(0, half, list.rows, [&](int done) { report(done + secondDone.load()); });
    packing.get();
    list.rows.append(std::move(second));
    return list;
}

bool hasRows(ServerDatabase& server, const QString& table) {
    const QString condition = workstationCondition(table, 1);
    return server
               .read(QStringLiteral("SELECT 1 FROM %1%2 LIMIT 1")
                         .arg(quoted(table), condition.isEmpty()
                                                 ? QString()
                                                 : QStringLiteral(" WHERE ") + condition),
                     table == kPrintBuffer ? QList<Param>{server.workstation().toUtf8()}
                                           : QList<Param>{})
               .rows() > 0;
}

qint64 insert(ServerDatabase& server, const QString& table, const QStringList& columns,
              const QList<Param>& values, RowStore::Packer& stored) {
    QStringList names;
    QStringList marks;
    QList<Param> params = values;
    for (int i = 0; i < columns.size(); ++i) {
        names.append(quoted(columns[i]));
        marks.append(QStringLiteral("$%1").arg(i + 1));
    }
    if (table == kPrintBuffer) {
        names.append(quoted(ServerSchema::workstationColumn()));
        params.append(server.workstation().toUtf8());
        marks.append(QStringLiteral("$%1").arg(params.size()));
    }
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2")
                                  .arg(quoted(table), selectList(table))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                                  .arg(quoted(table), names.join(QStringLiteral(", ")),
                                       marks.join(QStringLiteral(", ")), selectList(table));
    const ServerResult result = server.exec(sql, params);
    // A rule or trigger on the server may drop the row without an error.
    if (result.rows() != 1)
        throw DataError(QStringLiteral("数据库服务器没有保存这一行（可能是服务器上的触发器或规则"
                                       "拦下了它），请与管理员联系。"));
    readBack(result, stored);
    return std::strtoll(result.value(0, 0), nullptr, 10);
}

void update(ServerDatabase& server, const QString& table, qint64 key, const QStringList& columns,
            const QList<Param>& values, const QList<ListField>& fields, const QList<Param>& old,
            RowStore::Packer& stored) {
    QStringList assignments;
    for (int i = 0; i < columns.size(); ++i)
        assignments.append(QStringLiteral("%1 = $%2").arg(quoted(columns[i])).arg(i + 1));
    QList<Param> params = values;
    params.append(QByteArray::number(key));
    const int keyIndex = params.size();
    params.append(old);
    const ServerResult result =
        server.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = $%4 AND %5 RETURNING %6")
                        .arg(quoted(table), assignments.join(QStringLiteral(", ")),
                             quoted(ServerSchema::keyColumn(table)))
                        .arg(keyIndex)
                        .arg(unchanged(fields, keyIndex + 1), selectList(table)),
                    params);
    if (result.rows() == 0)
        throw DataError(conflictMessage());
    readBack(result, stored);
}

void remove(ServerDatabase& server, const QString& table, qint64 key,
            const QList<ListField>& fields, const QList<Param>& old) {
    QList<Param> params{QByteArray::number(key)};
    params.append(old);
    const ServerResult result = server.exec(
        QStringLiteral("DELETE FROM %1 WHERE %2 = $1 AND %3")
            .arg(quoted(table), quoted(ServerSchema::keyColumn(table)), unchanged(fields, 2)),
        params);
    if (result.affected() == 0)
        throw DataError(conflictMessage());
}

Param cellParam(const RowStore::Cell& cell) {
    switch (cell.type) {
    case RowStore::Cell::Null:
        return std::nullopt;
    case RowStore::Cell::Real:
        return QByteArray::number(cell.real, 'g', 17);
    case RowStore::Cell::Integer:
        return QByteArray::number(cell.integer);
    case RowStore::Cell::Text:
        break;
    }
    return QByteArray(cell.text, cell.size);
}

} // namespace ServerRows
