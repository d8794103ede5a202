#include "data/ServerTransfer.h"

#include "data/Connection.h"
#include "data/DateText.h"
#include "data/Errors.h"
#include "data/NumberText.h"
#include "data/Schema.h"
#include "data/ServerDatabase.h"
#include "data/ServerSchema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <memory>

#include <sqlite3.h>

namespace ServerTransfer {
namespace {

const QString kPrintBuffer = QStringLiteral("表4");

QString quoted(const QString& name) {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

Handle openFile(const QString& file, int flags) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.toUtf8().constData(), &db, flags, nullptr);
    Handle handle(db, sqlite3_close_v2);
    const QByteArray key = Schema::password().toUtf8();
    if (rc == SQLITE_OK)
        rc = sqlite3_key(db, key.constData(), key.size());
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throwEngineError(db);
    return handle;
}

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

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
    }
    throw DataError(QStringLiteral("“%1”第 %2 行的“%3”是“%4”，不是%5，数据库服务器不能保存它。")
                        .arg(table)
                        .arg(row)
                        .arg(column, text,
                             kind == Kind::Date ? QStringLiteral("日期") : QStringLiteral("数字")));
}

// One value in COPY's text format.
void appendCopyValue(QByteArray& out, sqlite3_stmt* statement, int column, Kind kind,
                     const QString& table, qint64 row) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        out += "\\N";
        return;
    case SQLITE_INTEGER:
        out += QByteArray::number(sqlite3_column_int64(statement, column));
        return;
    case SQLITE_FLOAT:
        out += QByteArray::number(sqlite3_column_double(statement, column), 'g', 17);
        return;
    default:
        break;
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    const int size = sqlite3_column_bytes(statement, column);
    if (kind != Kind::Text) {
        out += typedText(QString::fromUtf8(text, size), kind, table, row,
                         QString::fromUtf8(sqlite3_column_name(statement, column)));
        return;
    }
    for (int i = 0; i < size; ++i) {
        switch (text[i]) {
        case '\0':
            throw DataError(QStringLiteral("“%1”第 %2 行的“%3”含有空字符，数据库服务器不能保存它。")
                                .arg(table)
                                .arg(row)
                                .arg(QString::fromUtf8(sqlite3_column_name(statement, column))));
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

// Copies every row of the file's tables into the server's (empty) tables.
void copyRows(ServerDatabase& server, sqlite3* db) {
    for (const QString& table : Schema::tableNames()) {
        QStringList columns;
        QList<Kind> kinds;
        for (const QString& column : Schema::columns(table)) {
            columns.append(quoted(column));
            kinds.append(kindOf(table, column));
        }
        Statement statement;
        const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                   .arg(columns.join(QStringLiteral(", ")), quoted(table))
                                   .toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), sql.size(), &statement.handle, nullptr) !=
            SQLITE_OK)
            throwEngineError(db);
        QByteArray lines;
        qint64 row = 0;
        int rc;
        while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
            ++row;
            for (int c = 0; c < columns.size(); ++c) {
                if (c > 0)
                    lines += '\t';
                appendCopyValue(lines, statement.handle, c, kinds[c], table, row);
            }
            lines += '\n';
        }
        if (rc != SQLITE_DONE)
            throwEngineError(db);
        if (!lines.isEmpty())
            server.copyIn(QStringLiteral("COPY %1 (%2) FROM STDIN")
                              .arg(quoted(table), columns.join(QStringLiteral(", "))),
                          lines);
    }
    // The print buffer keeps its IDs; new rows continue above them.
    server.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('\"表4\"', 'ID'), "
                               "coalesce(max(\"ID\"), 0) + 1, false) FROM \"表4\""));
}

// The backup file could not be written, in the words of every other file the program writes.
[[noreturn]] void writeFailed(const QString& file, const QString& reason) {
    throw DataError(
        QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(file), reason));
}

[[noreturn]] void writeFailed(const QString& file, sqlite3* db) {
    writeFailed(file, QString::fromUtf8(sqlite3_errmsg(db)));
}

void inTransaction(ServerDatabase& server, const std::function<void()>& work) {
    server.begin();
    try {
        work();
        server.commit();
    } catch (...) {
        server.rollback();
        throw;
    }
}

QString lockAll() {
    QStringList tables;
    for (const QString& table : Schema::tableNames())
        tables.append(quoted(table));
    return QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(tables.join(QStringLiteral(", ")));
}

} // namespace

void upload(ServerDatabase& server, const QString& file) {
    const Handle db = openFile(file, SQLITE_OPEN_READONLY);
    inTransaction(server, [&] {
        if (!ServerSchema::isInitialised(server)) {
            for (const QString& statement : ServerSchema::statements())
                server.exec(statement);
        }
        server.exec(lockAll());
        if (ServerSchema::rowCount(server) > 0)
            throw DataError(
                QStringLiteral("服务器数据库中已经有数据，不能上传。请换一个新建的空数据库。"));
        copyRows(server, db.get());
    });
}

void replace(ServerDatabase& server, const QString& file) {
    const Handle db = openFile(file, SQLITE_OPEN_READONLY);
    inTransaction(server, [&] {
        server.exec(lockAll());
        for (const QString& table : Schema::tableNames())
            server.exec(QStringLiteral("DELETE FROM %1").arg(quoted(table)));
        copyRows(server, db.get());
    });
}

QList<qint64> download(ServerDatabase& server, const QString& file, const Progress& progress) {
    // An empty file, as a temporary file made ready for the backup, is taken as no file.
    if (QFileInfo(file).exists() && QFileInfo(file).size() == 0)
        QFile::remove(file);
    try {
        Schema::createDatabase(file);
    } catch (const DataError& e) {
        writeFailed(file, e.message());
    }
    QList<qint64> counts;
    try {
        const Handle db = [&] {
            try {
                return openFile(file, SQLITE_OPEN_READWRITE);
            } catch (const DataError& e) {
                writeFailed(file, e.message());
            }
        }();
        if (sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
            writeFailed(file, db.get());
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
            for (const QString& table : Schema::tableNames()) {
                const QStringList names = Schema::columns(table);
                QStringList columns, marks;
                for (int i = 0; i < names.size(); ++i) {
                    columns.append(quoted(names[i]));
                    marks.append(QStringLiteral("?%1").arg(i + 1));
                }
                const ServerResult rows =
                    server.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                    .arg(columns.join(QStringLiteral(", ")), quoted(table),
                                         quoted(ServerSchema::keyColumn(table))));
                Statement insert;
                const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                           .arg(quoted(table), columns.join(QStringLiteral(", ")),
                                                marks.join(QStringLiteral(", ")))
                                           .toUtf8();
                if (sqlite3_prepare_v2(db.get(), sql.constData(), sql.size(), &insert.handle,
                                       nullptr) != SQLITE_OK)
                    writeFailed(file, db.get());
                for (int r = 0; r < rows.rows(); ++r) {
                    sqlite3_reset(insert.handle);
                    for (int c = 0; c < names.size(); ++c) {
                        const QString type = ServerSchema::columnType(table, names[c]);
                        if (rows.isNull(r, c))
                            sqlite3_bind_null(insert.handle, c + 1);
                        else if (type == QLatin1String("double precision"))
                            sqlite3_bind_double(insert.handle, c + 1,
                                                QByteArray(rows.value(r, c)).toDouble());
                        else if (type != QLatin1String("text") && type != QLatin1String("date"))
                            sqlite3_bind_int64(insert.handle, c + 1,
                                               QByteArray(rows.value(r, c)).toLongLong());
                        else
                            sqlite3_bind_text(insert.handle, c + 1, rows.value(r, c),
                                              rows.length(r, c), SQLITE_STATIC);
                    }
                    if (sqlite3_step(insert.handle) != SQLITE_DONE)
                        writeFailed(file, db.get());
                    ++done;
                    if (progress && done % 4096 == 0)
                        progress(done, total);
                }
            }
        });
        if (sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            writeFailed(file, db.get());
    } catch (...) {
        QFile::remove(file);
        throw;
    }
    return counts;
}

qint64 size(ServerDatabase& server) {
    qint64 bytes = 0;
    for (const QString& table : Schema::tableNames())
        bytes += QByteArray(server
                                .exec(QStringLiteral("SELECT pg_total_relation_size($1::regclass)"),
                                      {quoted(table).toUtf8()})
                                .value(0, 0))
                     .toLongLong();
    return bytes;
}

} // namespace ServerTransfer
