#include "SeedDatabase.h"

#include "data/Schema.h"
#include "data/sqlcipher/DatabaseFile.h"

#include <QFile>
#include <functional>
#include <memory>

#include <sqlite3.h>

namespace SeedDatabase {
namespace {

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throwEngineError(db);
}

// Runs the statement `count` times, the values bound for each row by `bind`.
void run(sqlite3* db, const char* sql, int count,
         const std::function<void(sqlite3_stmt*, int)>& bind) {
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &prepared, nullptr) != SQLITE_OK)
        throwEngineError(db);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared,
                                                                          sqlite3_finalize);
    for (int i = 0; i < count; ++i) {
        bind(prepared, i);
        if (sqlite3_step(prepared) != SQLITE_DONE)
            throwEngineError(db);
        sqlite3_reset(prepared);
    }
}

void fill(sqlite3* db, int goods, int customers, int deliveries, int payments) {
    auto text = [](sqlite3_stmt* s, int index, const QString& value) {
        const QByteArray bytes = value.toUtf8();
        sqlite3_bind_text(s, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
    };
    run(db, "INSERT INTO 表1 VALUES (?1, ?2, ?3, ?4, ?5, ?6)", goods, [&](sqlite3_stmt* s, int i) {
        text(s, 1, QStringLiteral("G%1").arg(i, 5, 10, QLatin1Char('0')));
        text(s, 2, QStringLiteral("商品名称%1").arg(i));
        text(s, 3, QStringLiteral("规格%1型").arg(i % 97));
        text(s, 4, QStringLiteral("个"));
        sqlite3_bind_double(s, 5, 1 + (i % 1000) / 4.0);
        text(s, 6, i % 5 ? QString() : QStringLiteral("备注"));
    });
    run(db, "INSERT INTO 表2 VALUES (?1, ?2, ?3, ?4, ?5)", customers, [&](sqlite3_stmt* s, int i) {
        text(s, 1, QStringLiteral("客户单位%1有限公司").arg(i));
        text(s, 2, QStringLiteral("联系人%1").arg(i));
        text(s, 3, QStringLiteral("0571-%1").arg(80000000 + i));
        text(s, 4, QStringLiteral("杭州市西湖区文三路%1号").arg(i));
        text(s, 5, QString());
    });
    run(db, "INSERT INTO 表3 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)",
        deliveries, [&](sqlite3_stmt* s, int i) {
            const int g = (i * 7) % qMax(1, goods);
            const int c = (i / 20) % qMax(1, customers);
            text(s, 1, QStringLiteral("D%1").arg(i / 20, 6, 10, QLatin1Char('0')));
            text(s, 2,
                 QStringLiteral("2026-%1-%2")
                     .arg(1 + (i / 20) % 12, 2, 10, QLatin1Char('0'))
                     .arg(1 + (i / 20) % 28, 2, 10, QLatin1Char('0')));
            text(s, 3, QStringLiteral("张明"));
            text(s, 4, QStringLiteral("G%1").arg(g, 5, 10, QLatin1Char('0')));
            text(s, 5, QStringLiteral("商品名称%1").arg(g));
            text(s, 6, QStringLiteral("规格%1型").arg(g % 97));
            text(s, 7, QStringLiteral("个"));
            const double price = 1 + (g % 1000) / 4.0;
            const double quantity = 1 + i % 9;
            sqlite3_bind_double(s, 8, price);
            sqlite3_bind_double(s, 9, quantity);
            sqlite3_bind_double(s, 10, price * quantity);
            text(s, 11, QStringLiteral("联系人%1").arg(c));
            text(s, 12, QStringLiteral("0571-%1").arg(80000000 + c));
            text(s, 13, QStringLiteral("杭州市西湖区文三路%1号").arg(c));
            text(s, 14, QString());
        });
    run(db, "INSERT INTO 收款 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)", payments,
        [&](sqlite3_stmt* s, int i) {
            const int c = i % qMax(1, customers);
            text(s, 1, QStringLiteral("P%1").arg(i, 7, 10, QLatin1Char('0')));
            text(s, 2, QStringLiteral("联系人%1").arg(c));
            text(s, 3, QStringLiteral("0571-%1").arg(80000000 + c));
            text(s, 4, QStringLiteral("杭州市西湖区文三路%1号").arg(c));
            text(s, 5,
                 QStringLiteral("2026-%1-%2")
                     .arg(1 + (i / 7) % 12, 2, 10, QLatin1Char('0'))
                     .arg(1 + i % 28, 2, 10, QLatin1Char('0')));
            sqlite3_bind_int64(s, 6, 5000 + (i * 37) % 100000);
            text(s, 7, QStringLiteral("现金"));
            text(s, 8, QStringLiteral("张明"));
            text(s, 9, QString());
            text(s, 10, QString());
        });
    exec(db, "INSERT INTO 表5 VALUES ('公司', 'www.example.com', '张明', '1')");
}

} // namespace

void generate(const QString& file, int goods, int customers, int deliveries, int payments) {
    Schema::createDatabase(file);
    try {
        sqlite3* opened = nullptr;
        const int rc =
            sqlite3_open_v2(file.toUtf8().constData(), &opened, SQLITE_OPEN_READWRITE, nullptr);
        const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(opened, sqlite3_close_v2);
        const QByteArray key = Schema::password().toUtf8();
        if (rc != SQLITE_OK || sqlite3_key(opened, key.constData(), key.size()) != SQLITE_OK)
            throwEngineError(opened);
        exec(opened, "BEGIN");
        fill(opened, goods, customers, deliveries, payments);
        exec(opened, "COMMIT");
    } catch (...) {
        QFile::remove(file);
        throw;
    }
}

} // namespace SeedDatabase
