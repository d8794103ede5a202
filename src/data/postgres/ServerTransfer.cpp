#include "data/postgres/ServerTransfer.h"

#include "data/DatabaseCheck.h"
#include "data/DateText.h"
#include "data/Errors.h"
#include "data/NumberText.h"
#include "data/Schema.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerSchema.h"
#include "data/sqlcipher/FileTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace ServerTransfer {
namespace {

const QString kPrintBuffer = QStringLiteral("表4");

QString quoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// What a column of the server takes.
enum class Kind { Text, Number, Date };

Kind kindOf(const QString& table, const QString& column) {
    const QString type = ServerSchema::columnType(table, column);
    if (type == QLatin1String("double precision"))
        return Kind::Number;
    return type == QLatin1String("date") ? Kind::Date : Kind::Text;
}

// A text in a number or date column, which the file takes from any writer, as the server's
// column takes it: the number or date it reads as (a short date becomes the stored form), an
// empty text as no value. Anything else is refused by name, so that it can be put right in the
// file before the upload.
QByteArray typedText(const QString& text, Kind kind, const QString& table, qint64 row,
                     const QString& column) {
    if (text.isEmpty())
        return QByteArrayLiteral("\\N");
    if (kind == Kind::Date) {
        const QDate date = DateText::parse(text);
        if (date.isValid())
            return DateText::toStorage(date).toUtf8();
    } else if (const std::optional<long double> number = NumberText::parse(text)) {
        return QByteArray::number(static_cast<double>(*number), 'g', 17);
    } else if (text == QLatin1String("NaN")) {
        return QByteArrayLiteral("NaN");
    }
    throw DataError(QStringLiteral("“%1”第 %2 行的“%3”是“%4”，不是%5，数据库服务器不能保存它。")
                        .arg(table)
                        .arg(row)
                        .arg(column, text,
                             kind == Kind::Date ? QStringLiteral("日期") : QStringLiteral("数字")));
}

// One value in COPY's text format.
void appendCopyValue(QByteArray& out, const RowStore::Cell& cell, Kind kind, const QString& table,
                     qint64 row, const QString& column) {
    switch (cell.type) {
    case RowStore::Cell::Null:
        out += "\\N";
        return;
    case RowStore::Cell::Integer:
        out += QByteArray::number(cell.integer);
        return;
    case RowStore::Cell::Real:
        out += QByteArray::number(cell.real, 'g', 17);
        return;
    case RowStore::Cell::Text:
        break;
    }
    const char* text = cell.text;
    const qsizetype size = cell.size;
    if (kind != Kind::Text) {
        out += typedText(QString::fromUtf8(text, size), kind, table, row, column);
        return;
    }
    for (qsizetype i = 0; i < size; ++i) {
        switch (text[i]) {
        case '\0':
            throw DataError(QStringLiteral("“%1”第 %2 行的“%3”含有空字符，数据库服务器不能保存它。")
                                .arg(table)
                                .arg(row)
                                .arg(column));
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += text[i];
            break;
        }
    }
}

// The data tables the server holds: one of an older version lacks the tables added since.
QStringList tablesOn(ServerDatabase& server) {
    QStringList out;
    const ServerResult found =
        server.exec(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                                   "table_schema = current_schema()"));
    QStringList present;
    for (int r = 0; r < found.rows(); ++r)
        present.append(QString::fromUtf8(found.value(r, 0)));
    for (const QString& table : Schema::dataTables())
        if (present.contains(table))
            out.append(table);
    return out;
}

// Copies every row of the file's tables into the server's (empty) tables.
void copyRows(ServerDatabase& server, const FileTables& file) {
    for (const QString& table : tablesOn(server)) {
        // A file of an older version lacks the tables added since; they stay empty.
        if (!file.hasTable(table))
            continue;
        const QStringList names = Schema::columns(table);
        QStringList columns;
        QList<Kind> kinds;
        for (const QString& column : names) {
            columns.append(quoted(column));
            kinds.append(kindOf(table, column));
        }
        QByteArray lines;
        file.eachRow(table, names, [&](const QList<RowStore::Cell>& cells, qint64 row) {
            for (int c = 0; c < cells.size(); ++c) {
                if (c > 0)
                    lines += '\t';
                appendCopyValue(lines, cells[c], kinds[c], table, row, names[c]);
            }
            lines += '\n';
        });
        if (!lines.isEmpty())
            server.copyIn(QStringLiteral("COPY %1 (%2) FROM STDIN")
                              .arg(quoted(table), columns.join(QStringLiteral(", "))),
                          lines);
    }
    // The print buffer keeps its IDs; new rows continue above them.
    server.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('\"表4\"', 'ID'), "
                               "coalesce(max(\"ID\"), 0) + 1, false) FROM \"表4\""));
}

// A double as the server writes it. The file keeps the infinities as numbers; NaN, which it
// cannot hold as a number, stays the server's text, which an upload reads back as NaN.
Engine::Value serverDouble(const char* text) {
    Engine::Value value;
    if (std::strcmp(text, "NaN") == 0) {
        value.type = Engine::Value::Text;
        value.text = QByteArray(text);
    } else {
        value.type = Engine::Value::Real;
        value.real = std::strtod(text, nullptr);
    }
    return value;
}

// The backup file could not be written, in the words of every other file the program writes.
[[noreturn]] void writeFailed(const QString& file, const QString& reason) {
    throw DataError(
        QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(file), reason));
}

// Runs a step on the backup file; its failure is told as the file's.
template <class Step> auto onFile(const QString& file, Step step) {
    try {
        return step();
    } catch (const DataError& e) {
        writeFailed(file, e.message());
    }
}

void inTransaction(ServerDatabase& server, const std::function<void()>& work) {
    server.begin();
    try {
        server.allowLongStatements();
        work();
        server.commit();
    } catch (...) {
        server.rollback();
        throw;
    }
}

QString lockAll(ServerDatabase& server) {
    QStringList tables;
    for (const QString& table : tablesOn(server))
        tables.append(quoted(table));
    return QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(tables.join(QStringLiteral(", ")));
}

} // namespace

void upload(ServerDatabase& server, const QString& file) {
    // What a restore would refuse is not sent either: a trigger or a view in it, a table made
    // another way, a damaged file.
    if (!DatabaseCheck::isUsable(file))
        throw DataError(QStringLiteral("“%1”不是本程序完好的数据库文件，不能上传。")
                            .arg(QDir::toNativeSeparators(file)));
    const FileTables tables = FileTables::read(file);
    inTransaction(server, [&] {
        if (!ServerSchema::isInitialised(server)) {
            for (const QString& statement : ServerSchema::statements())
                server.exec(statement);
            ServerSchema::migrateInTransaction(server);
        }
        server.exec(lockAll(server));
        if (ServerSchema::rowCount(server) > 0)
            throw DataError(
                QStringLiteral("服务器数据库中已经有数据，不能上传。请换一个新建的空数据库。"));
        copyRows(server, tables);
    });
}

void replace(ServerDatabase& server, const QString& file) {
    const FileTables tables = FileTables::read(file);
    inTransaction(server, [&] {
        server.exec(lockAll(server));
        for (const QString& table : tablesOn(server))
            server.exec(QStringLiteral("DELETE FROM %1").arg(quoted(table)));
        copyRows(server, tables);
    });
}

QList<qint64> download(ServerDatabase& server, const QString& file, const Progress& progress) {
    // An empty file, as a temporary file made ready for the backup, is taken as no file.
    if (QFileInfo(file).exists() && QFileInfo(file).size() == 0)
        QFile::remove(file);
    QList<qint64> counts;
    try {
        FileTables tables = onFile(file, [&] { return FileTables::create(file); });
        // One snapshot of all five tables, whatever other workstations write meanwhile.
        inTransaction(server, [&] {
            server.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
            qint64 total = 0;
            for (const QString& table : Schema::tableNames()) {
                counts.append(
                    QByteArray(
                        server.exec(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table)))
                            .value(0, 0))
                        .toLongLong());
                total += counts.last();
            }
            qint64 done = 0;
            for (const QString& table : tablesOn(server)) {
                const QStringList names = Schema::columns(table);
                QStringList columns;
                for (const QString& name : names)
                    columns.append(quoted(name));
                const ServerResult rows =
                    server.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                    .arg(columns.join(QStringLiteral(", ")), quoted(table),
                                         quoted(ServerSchema::keyColumn(table))));
                QList<Engine::Value> values(names.size());
                for (int r = 0; r < rows.rows(); ++r) {
                    for (int c = 0; c < names.size(); ++c) {
                        const QString type = ServerSchema::columnType(table, names[c]);
                        Engine::Value& value = values[c];
                        value = {};
                        if (rows.isNull(r, c))
                            continue;
                        if (type == QLatin1String("double precision")) {
                            value = serverDouble(rows.value(r, c));
                        } else if (type != QLatin1String("text") && type != QLatin1String("date")) {
                            value.type = Engine::Value::Integer;
                            value.integer = QByteArray(rows.value(r, c)).toLongLong();
                        } else {
                            value.type = Engine::Value::Text;
                            value.text = QByteArray(rows.value(r, c), rows.length(r, c));
                        }
                    }
                    onFile(file, [&] { tables.insert(table, names, values); });
                    ++done;
                    if (progress && done % 4096 == 0)
                        progress(done, total);
                }
            }
        });
        onFile(file, [&] { tables.commit(); });
    } catch (...) {
        QFile::remove(file);
        throw;
    }
    return counts;
}

qint64 size(ServerDatabase& server) {
    qint64 bytes = 0;
    for (const QString& table : tablesOn(server))
        bytes += QByteArray(server
                                .exec(QStringLiteral("SELECT pg_total_relation_size($1::regclass)"),
                                      {quoted(table).toUtf8()})
                                .value(0, 0))
                     .toLongLong();
    return bytes;
}

} // namespace ServerTransfer
