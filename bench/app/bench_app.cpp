// The main window on a busy database (10,000 goods, 2,000 customers, 200,000 delivery rows;
// `--deliveries N` sets the number of delivery rows): start-up until the window is shown
// beside the start-up on an empty database, a refresh with nothing changed, a goods search,
// the goods look-up per keystroke, grid scrolling, a bill selection, and the last price a
// customer paid for a code as the price box offers it, beside the same indexed query run raw;
// the receivables window's balances and ageing of every customer beside a raw aggregate of the
// same sums (first, unchanged, after one delivery row changed, after the list was loaded anew),
// and a customer's statement of account for a year (`--payments N` sets the number of payments,
// a tenth of the delivery rows unless given).

#include "BenchSupport.h"
#include "SeedDatabase.h"

#include "app/MainUnit.h"
#include "app/Program.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/LastPrice.h"
#include "data/Schema.h"
#include "data/sqlcipher/DatabaseFile.h"
#include "ledger/ReceivableBook.h"
#include "ledger/Statement.h"
#include "printing/BillSelection.h"
#include "records/LastPriceOffer.h"
#include "settings/Settings.h"
#include "ui/AppSetup.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include <sqlite3.h>

using View = TMainForm::View;

namespace {

// Milliseconds from building the program to its window on screen, on the data.mdb of the
// current folder.
double startUp(std::unique_ptr<Program>& program) {
    QElapsedTimer clock;
    clock.start();
    program = std::make_unique<Program>();
    program->mainForm().show();
    QApplication::processEvents();
    return static_cast<double>(clock.elapsed());
}

// The customer and goods code of delivery row `i` as the seeded database has them.
std::pair<QString, QString> customerAndCode(int i) {
    return {QStringLiteral("联系人%1").arg((i / 20) % 2000),
            QStringLiteral("G%1").arg((i * 7) % 10000, 5, 10, QLatin1Char('0'))};
}

// The same statement straight on the engine: prepared, bound, one step, finalized.
bool rawLastPrice(sqlite3* db, const QByteArray& sql, const QByteArray& contact,
                  const QByteArray& code) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), sql.size(), &statement, nullptr);
    sqlite3_bind_text(statement, 1, contact.constData(), contact.size(), SQLITE_STATIC);
    sqlite3_bind_text(statement, 2, code.constData(), code.size(), SQLITE_STATIC);
    const bool found =
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_double(statement, 0) > 0;
    sqlite3_finalize(statement);
    return found;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::isolateDesktop(home.path());
    QApplication app(argc, argv);
    setUpApplication(app);
    // The backup at a day's first start has a bench of its own (bench_backup); these figures
    // are the start-up of every other time.
    Settings::setValue(QStringLiteral("backup/enabled"), false);
    const QStringList arguments = app.arguments();
    const int at = arguments.indexOf(QStringLiteral("--deliveries"));
    const int rows = at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 200000;
    const QString size = QString::number(rows);
    const int paymentsAt = arguments.indexOf(QStringLiteral("--payments"));
    const int payments = paymentsAt >= 0 && paymentsAt + 1 < arguments.size()
                             ? arguments[paymentsAt + 1].toInt()
                             : rows / 10;

    std::unique_ptr<Program> started;
    QTemporaryDir empty;
    Schema::createDatabase(empty.filePath(QStringLiteral("data.mdb")));
    QDir::setCurrent(empty.path());
    const double emptyStartUp = startUp(started);
    started.reset();

    QTemporaryDir dir;
    SeedDatabase::generate(dir.filePath(QStringLiteral("data.mdb")), 10000, 2000, rows, payments);
    QDir::setCurrent(dir.path());
    const double busyStartUp = startUp(started);
    Program& program = *started;
    TMainForm& window = program.mainForm();
    const double scan = bench::medianMs(3, [&] { bench::rawScan(QStringLiteral("data.mdb")); });
    bench::report(QStringLiteral("raw_scan_all_tables_%1_rows").arg(size), scan,
                  QStringLiteral("ms"));
    bench::report(QStringLiteral("start_up_empty_database"), emptyStartUp, QStringLiteral("ms"));
    bench::report(QStringLiteral("start_up_to_window_shown_%1_rows").arg(size), busyStartUp,
                  QStringLiteral("ms"));

    const double refresh = bench::medianMs(21, [&] {
        QTest::mouseClick(window.speedButton(12), Qt::LeftButton);
        QApplication::processEvents();
    });
    bench::report(QStringLiteral("refresh_click_unchanged_%1_rows").arg(size), refresh,
                  QStringLiteral("ms"));

    auto* selector = window.viewSelector();
    selector->setCurrentIndex(0);
    QTest::mouseClick(window.speedButton(11), Qt::LeftButton);
    auto* code = window.findChild<QLineEdit*>(QStringLiteral("Edit7"));
    auto* search = window.findChild<QPushButton*>(QStringLiteral("Button4"));
    std::vector<double> searches;
    for (int run = 0; run < 21; ++run) {
        QTest::mouseClick(window.speedButton(12), Qt::LeftButton);
        code->setText(QStringLiteral("G0012"));
        searches.push_back(bench::medianMs(1, [&] {
            QTest::mouseClick(search, Qt::LeftButton);
            QApplication::processEvents();
        }));
    }
    std::sort(searches.begin(), searches.end());
    const double searchMs = searches[searches.size() / 2];
    bench::report(QStringLiteral("goods_search_click_10000_goods"), searchMs, QStringLiteral("ms"));
    bench::report(QStringLiteral("goods_search_rows_found"),
                  window.query(View::Goods)->recordCount(), QStringLiteral("rows"));

    selector->setCurrentIndex(2);
    QTest::mouseClick(window.speedButton(8), Qt::LeftButton);
    auto* goodsCode = window.findChild<QComboBox*>(QStringLiteral("ComboBox3"));
    QLineEdit* typing = goodsCode->lineEdit();
    typing->setFocus();
    const QString typed = QStringLiteral("G0123");
    const double keystroke = bench::medianMs(25,
                                             [&] {
                                                 typing->clear();
                                                 for (const QChar c : typed)
                                                     QTest::keyClick(typing, c.toLatin1());
                                                 QApplication::processEvents();
                                             }) /
                             typed.size();
    bench::report(QStringLiteral("goods_lookup_per_keystroke_10000_goods"), keystroke,
                  QStringLiteral("ms"));

    Dataset* deliveries = window.query(View::Deliveries);
    selector->setCurrentIndex(2);
    window.databaseConnection().ReopenAll();
    QAbstractScrollArea* grid = window.findChild<QAbstractScrollArea*>();
    for (QAbstractScrollArea* area : window.findChildren<QAbstractScrollArea*>()) {
        if (area->isVisible() && area->verticalScrollBar()->maximum() > rows / 2)
            grid = area;
    }
    QScrollBar* bar = grid->verticalScrollBar();
    int step = 0;
    const double frame = bench::medianMs(41, [&] {
        bar->setValue(bar->maximum() * (step++ % 41) / 40);
        grid->viewport()->repaint();
    });
    bench::report(QStringLiteral("delivery_grid_scroll_frame_%1_rows").arg(size), frame,
                  QStringLiteral("ms"));

    std::vector<double> selections;
    for (int run = 0; run < 15; ++run) {
        window.databaseConnection().ReopenAll();
        deliveries->moveTo(rows / 2 + run * 20);
        selections.push_back(
            bench::medianMs(1, [&] { program.billSelection().DBGridEh3CellClick(); }));
    }
    std::sort(selections.begin(), selections.end());
    bench::report(QStringLiteral("bill_selection_20_rows_of_%1").arg(size),
                  selections[selections.size() / 2], QStringLiteral("ms"));
    bench::report(QStringLiteral("bill_rows_copied"), window.printBuffer()->recordCount(),
                  QStringLiteral("rows"));

    // Pairs of recent deliveries, and as many customers who never took that code.
    QList<std::pair<QString, QString>> pairs;
    for (int k = 0; k < 50; ++k) {
        pairs.append(customerAndCode(rows - 1 - k * 37));
        pairs.append({customerAndCode(k * 41).first, QStringLiteral("G%1").arg(90000 + k)});
    }
    QList<std::pair<QByteArray, QByteArray>> rawPairs;
    for (const auto& [contact, code] : pairs)
        rawPairs.append({contact.toUtf8(), code.toUtf8()});
    QLineEdit priceBox;
    LastPriceOffer offer(window.mainConnection(), &priceBox);
    sqlite3* raw = nullptr;
    sqlite3_open_v2("data.mdb", &raw, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(raw, key.constData(), key.size());
    const QByteArray sql = DatabaseFile::lastPriceSql().toUtf8();
    int offered = 0;
    int rawFound = 0;
    const auto [lookups, rawLookups] = bench::pairedMedianMs(
        41,
        [&] {
            offered = 0;
            for (const auto& [contact, code] : pairs) {
                offer.refresh(contact, code);
                offered += offer.action()->isVisible();
            }
        },
        [&] {
            rawFound = 0;
            for (const auto& [contact, code] : rawPairs)
                rawFound += rawLastPrice(raw, sql, contact, code);
        });
    sqlite3_close(raw);
    const double perLookup = lookups / pairs.size();
    const double perRaw = rawLookups / pairs.size();
    bench::report(QStringLiteral("raw_last_price_query_%1_rows").arg(size), perRaw,
                  QStringLiteral("ms"));
    bench::report(QStringLiteral("last_price_lookup"), perLookup, QStringLiteral("ms"));
    bench::report(QStringLiteral("last_price_lookup_ratio"), perLookup / perRaw,
                  QStringLiteral("x"));
    bench::report(QStringLiteral("last_prices_offered"), offered, QStringLiteral("of_100"));
    bench::report(QStringLiteral("raw_last_prices_found"), rawFound, QStringLiteral("of_100"));

    // Receivables from the lists the window has loaded, beside the raw sums per customer and
    // bill and the payments per customer: the first reading (every row read, the payments
    // loaded from the file), readings with nothing changed, readings after one delivery row was
    // added, changed or removed through a list (only that customer's rows read again), and a
    // reading after another desk's write made the lists load anew (every row read again; the
    // loading itself not timed).
    Connection* connection = window.mainConnection();
    const Customers customers(connection);
    const QDate today(2026, 12, 31);
    ReceivableBook book;
    QList<Receivable> balances;
    sqlite3* aggregate = nullptr;
    sqlite3_open_v2("data.mdb", &aggregate, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(aggregate, key.constData(), key.size());
    qint64 rawRows = 0;
    const auto rawAggregate = [&] {
        rawRows = 0;
        for (const char* sql :
             {"SELECT 联系人, 联系电话, 单位地址, 单据编号, min(业务日期), "
              "sum(应收金额) FROM 表3 GROUP BY 1, 2, 3, 4",
              "SELECT 联系人, 联系电话, 单位地址, sum(金额) FROM 收款 GROUP BY 1, 2, 3"}) {
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(aggregate, sql, -1, &statement, nullptr);
            while (sqlite3_step(statement) == SQLITE_ROW)
                ++rawRows;
            sqlite3_finalize(statement);
        }
    };
    const auto readMs = [&] {
        QElapsedTimer clock;
        clock.start();
        balances = book.read(connection, customers, today);
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    };
    const double firstMs = readMs();
    const auto [balancesMs, rawMs] = bench::pairedMedianMs(
        5, [&] { balances = book.read(connection, customers, today); }, rawAggregate);
    const QList<Receivable> unchanged = balances;

    // One delivery row at a time through a list of the whole table, as the window writes them:
    // an amount changed, a row added to a bill, that row removed again.
    Dataset edits(connection, QStringLiteral("BenchEdits"));
    edits.setQuery(Query::all(QStringLiteral("表3")));
    edits.open();
    std::vector<double> afterChange;
    qsizetype rowsRead = 0;
    for (int run = 0; run < 15; ++run) {
        const int target = (run * 7919) % rows;
        if (run % 3 == 0) {
            edits.moveTo(target);
            edits.edit();
            edits.setText(QStringLiteral("应收金额"), QString::number(10 + run));
        } else if (run % 3 == 1) {
            edits.append();
            edits.setText(QStringLiteral("单据编号"),
                          QStringLiteral("D%1").arg(target / 20, 6, 10, QLatin1Char('0')));
            edits.setText(QStringLiteral("业务日期"), QStringLiteral("2026-06-01"));
            edits.setText(QStringLiteral("联系人"), customerAndCode(target).first);
            edits.setText(QStringLiteral("联系电话"),
                          QStringLiteral("0571-%1").arg(80000000 + (target / 20) % 2000));
            edits.setText(QStringLiteral("单位地址"),
                          QStringLiteral("杭州市西湖区文三路%1号").arg((target / 20) % 2000));
            edits.setText(QStringLiteral("应收金额"), QStringLiteral("25.5"));
        } else {
            edits.last();
            edits.remove();
        }
        edits.post();
        afterChange.push_back(readMs());
        rowsRead = qMax(rowsRead, book.rowsRead());
    }
    std::sort(afterChange.begin(), afterChange.end());
    const double changedMs = afterChange[afterChange.size() / 2];
    const QList<Receivable> followed = balances;
    ReceivableBook fresh;
    const bool matches =
        fresh.read(connection, customers, today) == followed && followed != unchanged;

    std::vector<double> afterReload;
    for (int run = 0; run < 3; ++run) {
        sqlite3_exec(aggregate, "UPDATE 表3 SET 备注 = 备注 WHERE rowid = 1", nullptr, nullptr,
                     nullptr);
        Dataset reload(connection, QStringLiteral("BenchReload"));
        reload.setQuery(Query::all(QStringLiteral("表3")));
        reload.open();
        afterReload.push_back(readMs());
    }
    std::sort(afterReload.begin(), afterReload.end());
    const double reloadMs = afterReload[afterReload.size() / 2];
    sqlite3_close(aggregate);
    bench::report(
        QStringLiteral("raw_receivables_aggregate_%1_rows_%2_payments").arg(size).arg(payments),
        rawMs, QStringLiteral("ms"));
    bench::report(QStringLiteral("receivables_balances_first_reading"), firstMs,
                  QStringLiteral("ms"));
    bench::report(QStringLiteral("receivables_balances"), balancesMs, QStringLiteral("ms"));
    bench::report(QStringLiteral("receivables_balances_ratio"), balancesMs / rawMs,
                  QStringLiteral("x"));
    bench::report(QStringLiteral("receivables_balances_after_one_row_changed"), changedMs,
                  QStringLiteral("ms"));
    bench::report(QStringLiteral("receivables_balances_after_one_row_changed_ratio"),
                  changedMs / rawMs, QStringLiteral("x"));
    bench::report(QStringLiteral("receivables_rows_read_after_one_row_changed"), rowsRead,
                  QStringLiteral("rows"));
    bench::report(QStringLiteral("receivables_after_changes_equal_full_pass"), matches ? 1 : 0,
                  QStringLiteral("yes"));
    bench::report(QStringLiteral("receivables_balances_after_list_loaded_anew"), reloadMs,
                  QStringLiteral("ms"));
    bench::report(QStringLiteral("receivables_balances_after_list_loaded_anew_ratio"),
                  reloadMs / rawMs, QStringLiteral("x"));
    bench::report(QStringLiteral("receivables_customers"), balances.size(),
                  QStringLiteral("customers"));
    const StatementReader statements(connection);
    Statement year;
    const double statementMs = bench::medianMs(5, [&] {
        year = statements.read(customers.listed().at(7), QDate(2026, 1, 1), QDate(2026, 12, 31));
    });
    bench::report(QStringLiteral("statement_of_account_year"), statementMs, QStringLiteral("ms"));
    bench::report(QStringLiteral("statement_of_account_bills"), year.bills.size(),
                  QStringLiteral("bills"));
    return 0;
}
