// Two workstations on one server database, each with connections of its own: what one writes
// the other sees after its refresh, lost races are refused in words, each has its own print
// buffer, no two are offered the same bill number, and a data.mdb goes up to the server and comes
// back cell for cell.
#include "ErrorOf.h"
#include "KeyedFile.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Engine.h"
#include "data/EngineChoice.h"
#include "data/Errors.h"
#include "data/Schema.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerRows.h"
#include "data/postgres/ServerSchema.h"
#include "data/postgres/ServerTransfer.h"
#include "data/sqlcipher/DatabaseFile.h"
#include "ledger/BillNumbers.h"

#include <QDir>
#include <QTest>
#include <memory>

#include <sqlite3.h>

namespace {

// One workstation: its connection and a list of one table.
struct Workstation {
    std::unique_ptr<Connection> connection;
    std::unique_ptr<Dataset> list;

    Workstation(const QString& id, const QString& table) {
        EngineChoice::setWorkstation(id);
        connection = std::make_unique<Connection>();
        list = std::make_unique<Dataset>(connection.get(), table);
        list->setQuery(Query::all(table));
        list->open();
    }
    void reopen() {
        list->close();
        list->open();
    }
    QStringList column(const QString& name) const {
        QStringList out;
        const int c = list->fieldIndex(name);
        for (int r = 0; r < list->recordCount(); ++r)
            out.append(list->text(r, c));
        return out;
    }
};

// Every list of the five tables, cell by cell, as the program shows them.
QList<QStringList> shown(const QString& table) {
    Connection connection;
    connection.setConnectionString(DatabaseConnection::FormConnectionString());
    Dataset list(&connection, table);
    list.setQuery(Query::all(table));
    list.open();
    QList<QStringList> rows;
    for (int r = 0; r < list.recordCount(); ++r) {
        QStringList row;
        for (int c = 0; c < list.fields().size(); ++c)
            row.append(list.text(r, c));
        rows.append(row);
    }
    return rows;
}

} // namespace

class TestServerWorkstations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (TestDatabase::server().isEmpty())
            QSKIP("runs on a database server only");
    }

    void rowAddedOnOneAppearsOnTheOtherAfterItsRefresh() {
        TestDatabase db;
        Workstation a("A", "表1"), b("B", "表1");
        a.list->append();
        a.list->setText("商品编码", "新货");
        a.list->post();
        QCOMPARE(b.list->recordCount(), 0);
        b.reopen();
        QCOMPARE(b.column("商品编码"), QStringList{"新货"});
    }

    void secondModifyOfTheSameRowIsRefusedAndTheFirstStays() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('X', 1)");
        Workstation a("A", "表1"), b("B", "表1");
        a.list->edit();
        a.list->setText("单价", "2");
        a.list->post();
        b.list->edit();
        b.list->setText("单价", "3");
        QCOMPARE(errorOf([&] { b.list->post(); }), conflictMessage());
        QCOMPARE(db.rows("SELECT 单价 FROM 表1"), (QList<QStringList>{{"2.0"}}));
        // After its refresh B writes over A's value as it now reads it.
        b.reopen();
        b.list->edit();
        b.list->setText("单价", "3");
        b.list->post();
        QCOMPARE(db.rows("SELECT 单价 FROM 表1"), (QList<QStringList>{{"3.0"}}));
    }

    void rowDeletedOnOneCannotBeModifiedOrDeletedOnTheOther() {
        TestDatabase db;
        db.exec("INSERT INTO 表2 (单位名称) VALUES ('甲'), ('乙')");
        Workstation a("A", "表2"), b("B", "表2");
        a.list->remove();
        b.list->edit();
        b.list->setText("单位名称", "改");
        QCOMPARE(errorOf([&] { b.list->post(); }), conflictMessage());
        QCOMPARE(errorOf([&] { b.list->remove(); }), conflictMessage());
        QCOMPARE(db.rows("SELECT 单位名称 FROM 表2"), (QList<QStringList>{{"乙"}}));
    }

    void eachWorkstationHasItsOwnPrintBuffer() {
        TestDatabase db;
        Workstation a("A", "表4"), b("B", "表4");
        for (Workstation* w : {&a, &b}) {
            w->list->append();
            w->list->setText("单据编号", w == &a ? "A-1" : "B-1");
            w->list->post();
        }
        a.reopen();
        b.reopen();
        QCOMPARE(a.column("单据编号"), QStringList{"A-1"});
        QCOMPARE(b.column("单据编号"), QStringList{"B-1"});
        // Emptying one buffer leaves the other's rows.
        a.list->remove();
        b.reopen();
        QCOMPARE(b.column("单据编号"), QStringList{"B-1"});
        QVERIFY(!a.list->tableHasRows());
        QVERIFY(b.list->tableHasRows());
    }

    void noTwoWorkstationsAreOfferedTheSameBillNumber() {
        TestDatabase db;
        db.exec("INSERT INTO 表3 (单据编号) VALUES ('20261209-004')");
        Workstation a("A", "表3"), b("B", "表3");
        const BillNumberPattern pattern("yyyyMMdd-NNN");
        const QDate day(2026, 12, 9);
        const auto next = [&](Workstation& w, const QDate& on) {
            return BillNumbers(w.connection.get()).next(pattern, on);
        };
        QCOMPARE(next(a, day), QString("20261209-005"));
        QCOMPARE(next(b, day), QString("20261209-006"));
        // Until it stores its number a workstation is offered the same one again.
        QCOMPARE(next(a, day), QString("20261209-005"));
        a.list->append();
        a.list->setText("单据编号", "20261209-005");
        a.list->post();
        QCOMPARE(next(a, day), QString("20261209-007"));
        QCOMPARE(next(b, day), QString("20261209-006"));
        QCOMPARE(next(b, day.addDays(1)), QString("20261210-001"));
        // The hidden table's key is what keeps two takers apart.
        QVERIFY(!b.connection->engine().takeNumber("20261209-007"));
        QVERIFY(b.connection->engine().takeNumber("20261209-100"));
        QCOMPARE(next(a, day), QString("20261209-007"));
        QCOMPARE(next(b, day), QString("20261209-006"));
    }

    void unchangedTableIsKeptAndAnotherWorkstationsWriteIsSeen() {
        TestDatabase db;
        db.exec("INSERT INTO 表3 (单据编号) VALUES ('1'), ('2')");
        Workstation a("A", "表3"), b("B", "表3");
        const quint64 before = a.list->rowsVersion();
        a.reopen();
        QCOMPARE(a.list->rowsVersion(), before);
        // A's own write keeps its list in step without a reload.
        a.list->append();
        a.list->setText("单据编号", "3");
        a.list->post();
        const quint64 own = a.list->rowsVersion();
        a.reopen();
        QCOMPARE(a.list->rowsVersion(), own);
        b.list->edit();
        b.list->setText("单据编号", "改");
        b.list->post();
        a.reopen();
        QVERIFY(a.list->rowsVersion() != own);
        QCOMPARE(a.column("单据编号"), (QStringList{"改", "2", "3"}));
    }

    // Another writer may have left texts in the file's number and date columns: those that
    // read as numbers and dates go up as such; any other is refused by table, row and column
    // before anything is written.
    void uploadTakesTextsInNumberAndDateColumnsOrNamesThem() {
        TestDatabase db;
        QTemporaryDir dir;
        const QString source = dir.filePath("source.mdb");
        Schema::createDatabase(source);
        const auto fill = [&](const QString& values) {
            EngineChoice::setServer(QString());
            Connection connection;
            connection.setConnectionString("Data Source=" + source +
                                           ";Jet OLEDB:Database Password=" + Schema::password());
            const QString sql =
                "DELETE FROM 表3; INSERT INTO 表3 (单据编号, 业务日期, 单价) VALUES " + values;
            QCOMPARE(sqlite3_exec(dynamic_cast<DatabaseFile&>(connection.engine()).handle(),
                                  sql.toUtf8().constData(), nullptr, nullptr, nullptr),
                     SQLITE_OK);
            EngineChoice::setServer(TestDatabase::server());
        };
        const std::unique_ptr<ServerDatabase> server =
            ServerDatabase::connect(TestDatabase::server());
        const auto fresh = [&] {
            server->exec("DROP SCHEMA public CASCADE");
            server->exec("CREATE SCHEMA public");
        };
        fill("('1', '2026/3/5', ' 12.5 '), ('2', '', ''), ('3', '2026-12-31', '1e3')");
        fresh();
        ServerTransfer::upload(*server, source);
        QCOMPARE(shown("表3").size(), 3);
        QCOMPARE(db.rows("SELECT 单据编号, 业务日期, 单价 FROM 表3 ORDER BY rowid"),
                 (QList<QStringList>{{"1", "2026-03-05", "12.5"},
                                     {"2", "<null>", "<null>"},
                                     {"3", "2026-12-31", "1000.0"}}));

        for (const auto& [values, message] : QList<std::pair<QString, QString>>{
                 {"('1', '2026-01-02', 1), ('2', '下周一', 2)",
                  "“表3”第 2 行的“业务日期”是“下周一”，不是日期，数据库服务器不能保存它。"},
                 {"('1', '2026-01-02', '约5元')",
                  "“表3”第 1 行的“单价”是“约5元”，不是数字，数据库服务器不能保存它。"}}) {
            fill(values);
            fresh();
            QCOMPARE(errorOf([&] { ServerTransfer::upload(*server, source); }), message);
            QVERIFY(!ServerSchema::isInitialised(*server));
        }

        // A file a restore would refuse is refused before anything is sent.
        fill("('1', '2026-01-02', 1)");
        for (const char* change :
             {"CREATE TRIGGER 清空 AFTER INSERT ON 表3 BEGIN DELETE FROM 表1; END",
              "DROP TRIGGER 清空; CREATE VIEW 视图 AS SELECT * FROM 表1"}) {
            EngineChoice::setServer(QString());
            {
                Connection connection;
                connection.setConnectionString(
                    "Data Source=" + source + ";Jet OLEDB:Database Password=" + Schema::password());
                QCOMPARE(sqlite3_exec(dynamic_cast<DatabaseFile&>(connection.engine()).handle(),
                                      change, nullptr, nullptr, nullptr),
                         SQLITE_OK);
            }
            EngineChoice::setServer(TestDatabase::server());
            fresh();
            QCOMPARE(errorOf([&] { ServerTransfer::upload(*server, source); }),
                     QString("“%1”不是本程序完好的数据库文件，不能上传。")
                         .arg(QDir::toNativeSeparators(source)));
            QVERIFY(!ServerSchema::isInitialised(*server));
        }
    }

    // The server's float columns hold infinities and NaN; a backup keeps them and a restore
    // brings them back.
    void backupKeepsInfinitiesAndNaN() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('正', 'Infinity'), ('负', '-Infinity'), "
                "('非', 'NaN'), ('零', 0)");
        QTemporaryDir dir;
        const QString backup = dir.filePath("backup.mdb");
        const std::unique_ptr<ServerDatabase> server =
            ServerDatabase::connect(TestDatabase::server());
        ServerTransfer::download(*server, backup);
        QCOMPARE(KeyedFile(backup, KeyedFile::Mode::ReadOnly).rows("SELECT 单价 FROM 表1"),
                 (QList<QStringList>{{"Inf"}, {"-Inf"}, {"NaN"}, {"0.0"}}));
        server->exec("DELETE FROM \"表1\"");
        ServerTransfer::replace(*server, backup);
        QCOMPARE(db.rows("SELECT 单价::text FROM 表1"),
                 (QList<QStringList>{{"Infinity"}, {"-Infinity"}, {"NaN"}, {"0"}}));
    }

    // A trigger on the server that drops the row: the add is refused in words.
    void anAddTheServerDropsIsRefused() {
        TestDatabase db;
        db.exec("CREATE FUNCTION drop_row() RETURNS trigger AS $$ BEGIN RETURN NULL; END $$ "
                "LANGUAGE plpgsql");
        db.exec("CREATE TRIGGER drop_row BEFORE INSERT ON 表1 FOR EACH ROW EXECUTE FUNCTION "
                "drop_row()");
        Workstation a("A", "表1");
        a.list->append();
        a.list->setText("商品编码", "新货");
        QVERIFY(errorOf([&] { a.list->post(); }).startsWith("数据库服务器没有保存这一行"));
        QCOMPARE(a.list->recordCount(), 0);
        QCOMPARE(db.count("表1"), 0);
    }

    void uploadAndBackupCarryEveryCell() {
        TestDatabase db;
        QTemporaryDir dir;
        const QString source = dir.filePath("source.mdb");
        Schema::createDatabase(source);
        const QString uri = TestDatabase::server();
        EngineChoice::setServer(QString());
        const QString onFile =
            "Data Source=" + source + ";Jet OLEDB:Database Password=" + Schema::password();
        const QList<QStringList> rows = {
            {"1", "2026-03-05", "张", "a\\b", "tab\there", "line\nbreak", "个", "0.1", "3", "0.3",
             "'\"", "\r", "%_", ""},
            {"", "", "", "", "", "", "", "", "", "", "", "", "", "备注"}};
        {
            Connection connection;
            connection.setConnectionString(onFile);
            Dataset list(&connection, "表3");
            list.setQuery(Query::all("表3"));
            list.open();
            for (const QStringList& row : rows) {
                list.append();
                for (int c = 0; c < row.size(); ++c)
                    list.setText(Schema::columns("表3")[c], row[c]);
                list.post();
            }
        }
        EngineChoice::setServer(uri);
        const std::unique_ptr<ServerDatabase> server = ServerDatabase::connect(uri);
        server->exec("DROP SCHEMA public CASCADE");
        server->exec("CREATE SCHEMA public");
        ServerTransfer::upload(*server, source);
        QList<QStringList> expected;
        for (const QStringList& row : rows) {
            QStringList shownRow = row;
            shownRow[1] = row[1].isEmpty() ? "" : "2026/3/5";
            expected.append(shownRow);
        }
        QCOMPARE(shown("表3"), expected);
        // An upload into a database that holds rows is refused and writes nothing.
        QVERIFY(errorOf([&] { ServerTransfer::upload(*server, source); }).contains("已经有数据"));
        QCOMPARE(shown("表3").size(), 2);

        // A backup of the server restores onto it what it held when taken.
        const QString backup = dir.filePath("backup.mdb");
        ServerTransfer::download(*server, backup);
        server->exec("DELETE FROM \"表3\" WHERE \"备注\" = '备注'");
        server->exec("INSERT INTO \"表5\" (\"公司名称\") VALUES ('后来')");
        ServerTransfer::replace(*server, backup);
        QCOMPARE(shown("表3"), expected);
        QCOMPARE(shown("表5"), QList<QStringList>{});
    }
};

DN_TEST_MAIN(TestServerWorkstations)
#include "tst_serverworkstations.moc"
