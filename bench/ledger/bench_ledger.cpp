// A customer's statement for a year (read, laid out, every page generated) and the sales
// summary by goods for a year, each beside a raw sqlite3 query of the same sums in the same
// run. The summary is timed with the delivery table freshly written by another handle (nothing
// loaded can be kept) and unchanged (as the program finds it with its lists loaded).
// `--deliveries N` sets the number of delivery rows (200,000).

#include "BenchSupport.h"
#include "SeedDatabase.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Schema.h"
#include "ledger/Customers.h"
#include "ledger/SalesSummary.h"
#include "ledger/Statement.h"
#include "printing/StatementReport.h"
#include "report/Generator.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

sqlite3* openKeyed(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    return db;
}

// Runs a grouped query with text parameters and reads every row; returns the row count.
int rawQuery(sqlite3* db, const char* sql, const QStringList& parameters) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    for (int i = 0; i < parameters.size(); ++i) {
        const QByteArray text = parameters[i].toUtf8();
        sqlite3_bind_text(statement, i + 1, text.constData(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    int rows = 0;
    double sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        ++rows;
        sum += sqlite3_column_double(statement, sqlite3_column_count(statement) - 1);
    }
    sqlite3_finalize(statement);
    return sum > 0 ? rows : -rows;
}

void foreignWrite(const QString& file) {
    sqlite3* db = openKeyed(file);
    sqlite3_exec(db, "UPDATE 表3 SET 备注 = 备注 WHERE rowid = 1", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

int deliveriesArgument(const QStringList& arguments) {
    const int at = arguments.indexOf(QStringLiteral("--deliveries"));
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 200000;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::isolateDesktop(home.path());
    QGuiApplication app(argc, argv);
    const int deliveries = deliveriesArgument(app.arguments());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data.mdb"));
    SeedDatabase::generate(file, 10000, 2000, deliveries);
    QDir::setCurrent(dir.path());

    Connection connection;
    connection.setConnectionString(DatabaseConnection::FormConnectionString());
    connection.open();
    sqlite3* raw = openKeyed(file);
    const QDate from(2026, 1, 1);
    const QDate to(2026, 12, 31);
    const QString customer = QStringLiteral("联系人7");
    const Customer owner = Customers(&connection).ownerOf(customer, QString(), QString());
    const QStringList period = {QStringLiteral("2026-01-01"), QStringLiteral("2026-12-31")};

    int bills = 0;
    int pages = 0;
    const auto [rawStatement, statement] = bench::pairedMedianMs(
        21,
        [&] {
            rawQuery(raw,
                     "SELECT 单据编号, min(业务日期), count(*), sum(应收金额) FROM 表3 "
                     "WHERE 联系人 = ?1 AND 业务日期 BETWEEN ?2 AND ?3 GROUP BY 单据编号",
                     QStringList{customer} + period);
        },
        [&] {
            const Statement s = StatementReader(&connection).read(owner, from, to);
            const auto sheet = StatementReport::layout(s, false, Capitals::Style::Original);
            const report::Document document =
                report::generate(*sheet, StatementReport::rows(s, false));
            bills = static_cast<int>(s.bills.size());
            pages = static_cast<int>(document.pages.size());
        });

    // Every customer's statement of a month at once, as "批量对账单" reads them.
    int statements = 0;
    const QStringList month = {QStringLiteral("2026-03-01"), QStringLiteral("2026-03-31")};
    const auto [rawMonth, allMonth] = bench::pairedMedianMs(
        9,
        [&] {
            rawQuery(raw,
                     "SELECT 联系人, 单据编号, min(业务日期), count(*), sum(应收金额) FROM 表3 "
                     "WHERE 业务日期 BETWEEN ?1 AND ?2 GROUP BY 联系人, 单据编号",
                     month);
        },
        [&] {
            statements = static_cast<int>(
                StatementReader(&connection).readAll(QDate(2026, 3, 1), QDate(2026, 3, 31)).size());
        });

    int groups = 0;
    const char* salesSql = "SELECT 商品编码, 商品名称, count(DISTINCT 单据编号), sum(数量), "
                           "sum(应收金额) FROM 表3 WHERE 业务日期 BETWEEN ?1 AND ?2 "
                           "GROUP BY 商品编码, 商品名称";
    const auto [rawSales, sales] = bench::pairedMedianMs(
        9, [&] { rawQuery(raw, salesSql, period); },
        [&] {
            foreignWrite(file);
            groups = static_cast<int>(
                SalesReader(&connection).read(from, to, SalesSummary::Grouping::Goods).rows.size());
        });
    const auto [rawSalesAgain, salesUnchanged] = bench::pairedMedianMs(
        9, [&] { rawQuery(raw, salesSql, period); },
        [&] { SalesReader(&connection).read(from, to, SalesSummary::Grouping::Goods); });
    sqlite3_close(raw);

    bench::report(QStringLiteral("delivery_rows"), deliveries, QStringLiteral("rows"));
    bench::report(QStringLiteral("statement_bills"), bills, QStringLiteral("bills"));
    bench::report(QStringLiteral("statement_pages"), pages, QStringLiteral("pages"));
    bench::report(QStringLiteral("raw_statement_query"), rawStatement, QStringLiteral("ms"));
    bench::report(QStringLiteral("statement_year"), statement, QStringLiteral("ms"));
    bench::report(QStringLiteral("statement_year_ratio"), statement / rawStatement,
                  QStringLiteral("x"));
    bench::report(QStringLiteral("month_statement_customers"), statements,
                  QStringLiteral("customers"));
    bench::report(QStringLiteral("raw_month_statements_query"), rawMonth, QStringLiteral("ms"));
    bench::report(QStringLiteral("month_statements"), allMonth, QStringLiteral("ms"));
    bench::report(QStringLiteral("month_statements_ratio"), allMonth / rawMonth,
                  QStringLiteral("x"));
    bench::report(QStringLiteral("sales_groups"), groups, QStringLiteral("groups"));
    bench::report(QStringLiteral("raw_sales_query"), rawSales, QStringLiteral("ms"));
    bench::report(QStringLiteral("sales_by_goods_year"), sales, QStringLiteral("ms"));
    bench::report(QStringLiteral("sales_by_goods_year_ratio"), sales / rawSales,
                  QStringLiteral("x"));
    bench::report(QStringLiteral("sales_by_goods_year_unchanged"), salesUnchanged,
                  QStringLiteral("ms"));
    bench::report(QStringLiteral("sales_by_goods_year_unchanged_ratio"),
                  salesUnchanged / rawSalesAgain, QStringLiteral("x"));
    return 0;
}
