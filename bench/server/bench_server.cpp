// The lists on a PostgreSQL server (URI as the argument, an empty database that is rebuilt):
// upload of the generated database, ReopenAll beside a raw libpq fetch of the same rows in the
// same run, a refresh with nothing changed, a modify, and a bill selection beside one
// statement that copies the same bill on the server itself.
#include "BenchSupport.h"
#include "SeedDatabase.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/EngineChoice.h"
#include "data/Schema.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerSchema.h"
#include "data/postgres/ServerTransfer.h"
#include "printing/BillSelection.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <chrono>

int main(int argc, char** argv) {
    // The bill selection writes the bill number into a line edit, so a screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 2) {
        QTextStream(stderr) << "usage: bench_server URI\n";
        return 2;
    }
    const QString uri = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    const QString file = dir.filePath("data.mdb");
    SeedDatabase::generate(file, 10000, 2000, 200000);

    const std::unique_ptr<ServerDatabase> server = ServerDatabase::connect(uri);
    server->exec("DROP SCHEMA IF EXISTS public CASCADE");
    server->exec("CREATE SCHEMA public");
    const auto start = std::chrono::steady_clock::now();
    ServerTransfer::upload(*server, file);
    out << "upload_200k "
        << std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
               .count()
        << " ms\n";

    EngineChoice::setServer(uri);
    EngineChoice::setWorkstation("bench");
    // As in the program, the report's connection keeps the session (and what it keeps) open
    // while the main connection closes and reopens.
    Connection report;
    report.open();
    Connection main;
    QList<Dataset*> lists;
    for (int i = 1; i <= 4; ++i) {
        lists.append(new Dataset(&main, QString("ADOQuery%1").arg(i), &main));
        lists.last()->setQuery(Query::all(QString("表%1").arg(i)));
    }
    DatabaseConnection connections(&main, lists);
    const auto raw = [&] {
        for (const QString& table : Schema::tableNames()) {
            QStringList columns{'"' + ServerSchema::keyColumn(table) + '"'};
            for (const QString& c : Schema::columns(table))
                columns.append('"' + c + '"');
            const ServerResult rows =
                server->exec(QString("SELECT %1 FROM \"%2\" ORDER BY \"%3\"")
                                 .arg(columns.join(", "), table, ServerSchema::keyColumn(table)));
            qint64 bytes = 0;
            for (int r = 0; r < rows.rows(); ++r)
                for (int c = 0; c < rows.columns(); ++c)
                    bytes += rows.isNull(r, c) ? 0 : rows.length(r, c) + rows.value(r, c)[0];
            if (bytes == 42)
                out << "";
        }
    };
    // A fresh connection each time, so that nothing kept is reused.
    const auto reopenCold = [&] {
        EngineChoice::setWorkstation(QString("bench-%1").arg(std::rand()));
        Connection fresh;
        QList<Dataset*> own;
        for (int i = 1; i <= 4; ++i) {
            own.append(new Dataset(&fresh, QString("ADOQuery%1").arg(i), &fresh));
            own.last()->setQuery(Query::all(QString("表%1").arg(i)));
        }
        DatabaseConnection(&fresh, own).ReopenAll();
    };
    const auto [rawMs, reopenMs] = bench::pairedMedianMs(5, raw, reopenCold);
    out << "raw_libpq_fetch " << rawMs << " ms\n";
    out << "server_reopenall " << reopenMs << " ms\n";
    out << "server_reopenall_ratio " << reopenMs / rawMs << " x\n";

    connections.ReopenAll();
    out << "server_unchanged_refresh " << bench::medianMs(9, [&] { connections.ReopenAll(); })
        << " ms\n";
    Dataset* deliveries = lists[2];
    out << "server_modify " << bench::medianMs(9, [&] {
        deliveries->last();
        deliveries->edit();
        deliveries->setText("备注", QString::number(std::rand()));
        deliveries->post();
    }) << " ms\n";

    // A bill of 20 rows in the middle of the list, as the program fills the print buffer, beside
    // the copy done by the server alone in one transaction.
    QLineEdit billBox;
    BillSelection selection(&main, deliveries, lists[3], &billBox);
    const int row = deliveries->recordCount() / 2;
    const QString bill = deliveries->text(row, deliveries->fieldIndex("单据编号"));
    const auto select = [&] {
        deliveries->close();
        deliveries->setQuery(Query::all("表3"));
        deliveries->open();
        deliveries->moveTo(row);
        selection.DBGridEh3CellClick();
    };
    const QString copied = "\"单据编号\", \"业务日期\", \"经手人\", \"商品名称\", \"规格型号\", "
                           "\"单位\", \"单价\", \"数量\", \"应收金额\", \"联系人\", "
                           "\"联系电话\", \"单位地址\", \"备注\"";
    const auto rawCopy = [&] {
        server->begin();
        server->exec("DELETE FROM \"表4\" WHERE \"_workstation\" = 'raw'");
        server->exec(QString("INSERT INTO \"表4\" (\"序号\", %1, \"_workstation\") SELECT "
                             "row_number() OVER (ORDER BY \"_key\"), %1, 'raw' FROM \"表3\" "
                             "WHERE translate(\"单据编号\", 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', "
                             "'abcdefghijklmnopqrstuvwxyz') = translate($1, "
                             "'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')")
                         .arg(copied),
                     {bill.toUtf8()});
        server->commit();
    };
    const auto [rawSelectMs, selectMs] = bench::pairedMedianMs(15, rawCopy, select);
    out << "bill_rows " << lists[3]->recordCount() << "\n";
    out << "raw_bill_copy " << rawSelectMs << " ms\n";
    out << "server_bill_selection " << selectMs << " ms\n";
    out << "server_bill_selection_ratio " << selectMs / rawSelectMs << " x\n";
    return 0;
}
