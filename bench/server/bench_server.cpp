// The lists on a PostgreSQL server (URI as the argument, an empty database that is rebuilt):
// upload of the generated database, ReopenAll beside a raw libpq fetch of the same rows in the
// same run, a refresh with nothing changed, and a modify.
#include "BenchSupport.h"
#include "SeedDatabase.h"

#include "data/Backend.h"
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "data/ServerDatabase.h"
#include "data/ServerSchema.h"
#include "data/ServerTransfer.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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

    Backend::setServer(uri);
    Backend::setWorkstation("bench");
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
        Backend::setWorkstation(QString("bench-%1").arg(std::rand()));
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
    return 0;
}
