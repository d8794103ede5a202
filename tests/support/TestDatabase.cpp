#include "TestDatabase.h"

#include "KeyedFile.h"

#include "base/AppError.h"
#include "data/EngineChoice.h"
#include "data/Schema.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerSchema.h"
#include "settings/Settings.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <sqlite3.h>

namespace {

QString onServer(QString sql) {
    static const QRegularExpression rowid(QStringLiteral("\\browid\\b"));
    static const QRegularExpression hex(QStringLiteral("\\bhex\\(([^()]*)\\)"));
    sql.replace(hex, QStringLiteral("upper(encode(convert_to(\\1, 'UTF8'), 'hex'))"));
    // The file gives a table's rows in rowid order unasked; the server only when asked.
    static const QRegularExpression plain(QStringLiteral("^SELECT [^()]* FROM \"?(表[1-5])\"?$"));
    const QRegularExpressionMatch table = plain.match(sql);
    if (table.hasMatch())
        sql += QStringLiteral(" ORDER BY \"%1\"").arg(ServerSchema::keyColumn(table.captured(1)));
    return sql.replace(rowid, QStringLiteral("_key"));
}

// A value as the file's engine shows it: a double always with a point or an exponent.
QString fileText(const ServerResult& result, int row, int column) {
    QString text = QString::fromUtf8(result.value(row, column), result.length(row, column));
    constexpr unsigned int kFloat8 = 701;
    if (result.type(column) == kFloat8 && !text.contains(QLatin1Char('.')) &&
        !text.contains(QLatin1Char('e')) && !text.contains(QLatin1Char('n')))
        text += QStringLiteral(".0");
    return text;
}

} // namespace

QString TestDatabase::server() {
    return qEnvironmentVariable("NOTE_TEST_BACKEND") == QLatin1String("server")
               ? qEnvironmentVariable("NOTE_TEST_SERVER")
               : QString();
}

TestDatabase::TestDatabase() : previous_(QDir::currentPath()) {
    Schema::createDatabase(file());
    QDir::setCurrent(dir_.path());
    const QString uri = server();
    if (uri.isEmpty())
        return;
    server_ = ServerDatabase::connect(uri);
    server_->exec(QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE"));
    server_->exec(QStringLiteral("CREATE SCHEMA public"));
    ServerSchema::initialise(*server_);
    Settings::setValue(QStringLiteral("database/server"), uri);
    EngineChoice::setServer(uri);
}

TestDatabase::~TestDatabase() {
    if (server_) {
        Settings::remove(QStringLiteral("database/server"));
        EngineChoice::setServer(QString());
    }
    QDir::setCurrent(previous_);
}

void TestDatabase::exec(const QString& sql) const {
    if (server_) {
        try {
            server_->exec(onServer(sql));
        } catch (const AppError& e) {
            QTest::qFail(qPrintable("SQL failed: " + e.message() + " in " + sql), __FILE__,
                         __LINE__);
        }
        return;
    }
    const KeyedFile keyed(file(), KeyedFile::Mode::ReadWrite);
    char* error = nullptr;
    if (sqlite3_exec(keyed.handle(), sql.toUtf8().constData(), nullptr, nullptr, &error) !=
        SQLITE_OK) {
        const QString text = QString::fromUtf8(error);
        sqlite3_free(error);
        QTest::qFail(qPrintable("SQL failed: " + text + " in " + sql), __FILE__, __LINE__);
    }
}

QList<QStringList> TestDatabase::rows(const QString& sql) const {
    if (server_) {
        QList<QStringList> out;
        try {
            const ServerResult result = server_->exec(onServer(sql));
            for (int r = 0; r < result.rows(); ++r) {
                QStringList row;
                for (int c = 0; c < result.columns(); ++c)
                    row.append(result.isNull(r, c) ? QStringLiteral("<null>")
                                                   : fileText(result, r, c));
                out.append(row);
            }
        } catch (const AppError&) {
            // As on the file: nothing when the statement cannot run.
        }
        return out;
    }
    return KeyedFile(file(), KeyedFile::Mode::ReadWrite).rows(sql);
}

QList<QStringList> TestDatabase::table(const QString& name) const {
    if (server_) {
        QStringList columns;
        for (const QString& column : Schema::columns(name))
            columns.append(QLatin1Char('"') + column + QLatin1Char('"'));
        return rows(
            QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY \"%3\"")
                .arg(columns.join(QStringLiteral(", ")), name, ServerSchema::keyColumn(name)));
    }
    return KeyedFile(file(), KeyedFile::Mode::ReadWrite).table(name);
}

int TestDatabase::count(const QString& table) const {
    const auto r = rows(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    return r.isEmpty() ? -1 : r.first().first().toInt();
}
