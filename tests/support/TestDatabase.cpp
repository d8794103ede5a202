#include "TestDatabase.h"

#include "data/Schema.h"

#include <QDir>
#include <QTest>

#include <sqlite3.h>

namespace {

struct Handle {
    sqlite3* db = nullptr;
    explicit Handle(const QString& file) {
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray key = Schema::password().toUtf8();
        sqlite3_key(db, key.constData(), key.size());
    }
    ~Handle() { sqlite3_close(db); }
};

} // namespace

TestDatabase::TestDatabase() : previous_(QDir::currentPath()) {
    Schema::createDatabase(file());
    QDir::setCurrent(dir_.path());
}

TestDatabase::~TestDatabase() {
    QDir::setCurrent(previous_);
}

void TestDatabase::exec(const QString& sql) const {
    Handle h(file());
    char* error = nullptr;
    if (sqlite3_exec(h.db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error);
        sqlite3_free(error);
        QTest::qFail(qPrintable("SQL failed: " + text + " in " + sql), __FILE__, __LINE__);
    }
}

QList<QStringList> TestDatabase::rows(const QString& sql) const {
    Handle h(file());
    sqlite3_stmt* statement = nullptr;
    QList<QStringList> out;
    if (sqlite3_prepare_v2(h.db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        return out;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_NULL)
                row.append(QStringLiteral("<null>"));
            else
                row.append(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                    sqlite3_column_bytes(statement, c)));
        }
        out.append(row);
    }
    sqlite3_finalize(statement);
    return out;
}

QList<QStringList> TestDatabase::table(const QString& name) const {
    return rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(name));
}

int TestDatabase::count(const QString& table) const {
    const auto r = rows(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    return r.isEmpty() ? -1 : r.first().first().toInt();
}
