// ReopenAll on a busy database beside a raw scan of the same rows: loading every list, and
// reopening with nothing changed, after one modify and after one add; and the memory the
// loaded lists take. `--deliveries N` sets the number of delivery rows (200,000).

#include "BenchSupport.h"
#include "SeedDatabase.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include <sqlite3.h>

namespace {

// A write by another handle of the file, which makes every loaded list stale.
void foreignWrite(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_exec(db, "UPDATE 表5 SET 联系电话 = 联系电话", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

int deliveriesArgument(const QStringList& arguments) {
    const int at = arguments.indexOf(QStringLiteral("--deliveries"));
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 200000;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int deliveries = deliveriesArgument(app.arguments());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data.mdb"));
    SeedDatabase::generate(file, 10000, 2000, deliveries);
    QDir::setCurrent(dir.path());

    const double before = bench::residentMb();
    Connection main;
    main.setConnectionString(DatabaseConnection::FormConnectionString());
    Connection profileConnection;
    profileConnection.setConnectionString(DatabaseConnection::FormConnectionString());
    QList<Dataset*> lists;
    for (int i = 1; i <= 4; ++i) {
        lists.append(new Dataset(&main, QStringLiteral("ADOQuery%1").arg(i), &main));
        lists.last()->setQuery(Query::all(QStringLiteral("表%1").arg(i)));
    }
    Dataset profile(&profileConnection, QStringLiteral("ADOQuery1"));
    profile.setQuery(Query::all(QStringLiteral("表5")));
    DatabaseConnection connections(&main, lists);
    connections.setProfileQuery(&profile);
    connections.ReopenAll();
    const double loaded = bench::residentMb() - before;

    const int runs = deliveries > 500000 ? 5 : 9;
    // Each full reopen follows a write by another handle, so nothing loaded can be kept.
    const auto [raw, reopen] = bench::pairedMedianMs(
        runs, [&] { bench::rawScan(file); },
        [&] {
            foreignWrite(file);
            connections.ReopenAll();
        });
    const double unchanged = bench::medianMs(21, [&] { connections.ReopenAll(); });

    Dataset& deliveryList = *lists[2];
    int edits = 0;
    std::vector<double> afterModify, afterAdd;
    for (int i = 0; i < 21; ++i) {
        deliveryList.moveTo(deliveryList.recordCount() / 2);
        deliveryList.edit();
        deliveryList.setText(QStringLiteral("数量"), QString::number(++edits));
        deliveryList.post();
        afterModify.push_back(bench::medianMs(1, [&] { connections.ReopenAll(); }));
        deliveryList.append();
        deliveryList.setText(QStringLiteral("单据编号"), QStringLiteral("NEW%1").arg(i));
        deliveryList.post();
        afterAdd.push_back(bench::medianMs(1, [&] { connections.ReopenAll(); }));
    }
    std::sort(afterModify.begin(), afterModify.end());
    std::sort(afterAdd.begin(), afterAdd.end());
    const double modify = afterModify[afterModify.size() / 2];
    const double add = afterAdd[afterAdd.size() / 2];

    bench::report(QStringLiteral("delivery_rows"), deliveries, QStringLiteral("rows"));
    bench::report(QStringLiteral("raw_scan_all_tables"), raw, QStringLiteral("ms"));
    bench::report(QStringLiteral("reopen_all"), reopen, QStringLiteral("ms"));
    bench::report(QStringLiteral("reopen_all_ratio"), reopen / raw, QStringLiteral("x"));
    bench::report(QStringLiteral("reopen_all_unchanged"), unchanged, QStringLiteral("ms"));
    bench::report(QStringLiteral("reopen_all_unchanged_ratio"), unchanged / raw,
                  QStringLiteral("x"));
    bench::report(QStringLiteral("reopen_all_after_modify"), modify, QStringLiteral("ms"));
    bench::report(QStringLiteral("reopen_all_after_modify_ratio"), modify / raw,
                  QStringLiteral("x"));
    bench::report(QStringLiteral("reopen_all_after_add"), add, QStringLiteral("ms"));
    bench::report(QStringLiteral("reopen_all_after_add_ratio"), add / raw, QStringLiteral("x"));
    bench::report(QStringLiteral("loaded_lists_memory"), loaded, QStringLiteral("MB"));

    Dataset& goods = *lists[0];
    const double search = bench::medianMs(21, [&] {
        goods.close();
        goods.setQuery(
            Query::like(QStringLiteral("表1"), QStringLiteral("商品名称"), QStringLiteral("12")));
        goods.open();
    });
    bench::report(QStringLiteral("goods_search_10000"), search, QStringLiteral("ms"));
    return 0;
}
