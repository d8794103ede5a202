// Two copies of the program on one database: a modify or delete names the row as it was read,
// so a row that another copy changed or deleted meanwhile (or whose rowid the engine gave to a
// new row) is refused in words and nothing is written. The other copy is a second list of this
// process, a second handle of the file, and a second process.
#include "ErrorOf.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Errors.h"

#include <QProcess>
#include <QTest>
#include <memory>

namespace {

// One copy of the program's goods list, loaded now and not refreshed.
struct Copy {
    std::unique_ptr<Connection> connection = std::make_unique<Connection>();
    std::unique_ptr<Dataset> list;

    Copy() {
        connection->setConnectionString(DatabaseConnection::BuildConnectionString());
        list = std::make_unique<Dataset>(connection.get(), QStringLiteral("goods"));
        list->setQuery(Query::all(QStringLiteral("表1")));
        list->open();
    }
    void select(const QString& code) {
        for (int r = 0; r < list->recordCount(); ++r) {
            if (list->text(r, 0) == code) {
                list->moveTo(r);
                return;
            }
        }
        QFAIL(qPrintable("no goods " + code));
    }
    QString modify(const QString& price) {
        return errorOf([&] {
            list->edit();
            list->setText(QStringLiteral("单价"), price);
            list->post();
        });
    }
    QString remove() {
        return errorOf([&] { list->remove(); });
    }
};

void peer(const TestDatabase& db, const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(ROW_PEER), QStringList{db.folder()} + arguments);
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
}

} // namespace

class TestLostRaces : public QObject {
    Q_OBJECT
private slots:
    void modifyOverAnotherCopysChangeIsRefused() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('X', 1)");
        Copy a, b;
        QCOMPARE(a.modify("2"), QString());
        QCOMPARE(b.modify("3"), conflictMessage());
        QCOMPARE(db.rows("SELECT 单价 FROM 表1"), (QList<QStringList>{{"2.0"}}));
        // The refused copy's list still shows what it read; after a refresh it writes.
        QCOMPARE(b.list->text("单价"), QString("1"));
        b.list->close();
        b.list->open();
        QCOMPARE(b.modify("3"), QString());
        QCOMPARE(db.rows("SELECT 单价 FROM 表1"), (QList<QStringList>{{"3.0"}}));
    }

    void writesOfAnotherHandleRefuseModifyAndDelete() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('X', 1), ('Y', 2)");
        Copy b;
        db.exec("UPDATE 表1 SET 备注 = '改过' WHERE 商品编码 = 'X'");
        b.select("X");
        QCOMPARE(b.modify("9"), conflictMessage());
        QCOMPARE(b.remove(), conflictMessage());
        QCOMPARE(db.rows("SELECT 商品编码, 单价, 备注 FROM 表1"),
                 (QList<QStringList>{{"X", "1.0", "改过"}, {"Y", "2.0", "<null>"}}));
        // A row nobody touched is written as before.
        b.select("Y");
        QCOMPARE(b.remove(), QString());
        QCOMPARE(db.count("表1"), 1);
    }

    void aRowidGivenToANewRowIsNotHitByAStaleWrite() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('X', 1), ('Y', 2)");
        Copy b;
        db.exec("DELETE FROM 表1 WHERE 商品编码 = 'Y'");
        db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('Z', 7)");
        if (TestDatabase::server().isEmpty())
            QCOMPARE(db.rows("SELECT rowid FROM 表1 WHERE 商品编码 = 'Z'"),
                     (QList<QStringList>{{"2"}}));
        b.select("Y");
        QCOMPARE(b.modify("9"), conflictMessage());
        QCOMPARE(b.remove(), conflictMessage());
        QCOMPARE(db.rows("SELECT 商品编码, 单价 FROM 表1"),
                 (QList<QStringList>{{"X", "1.0"}, {"Z", "7.0"}}));
    }

    void anotherProcessWinsEveryRace() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('X', 1), ('Y', 2), ('W', 3)");
        Copy b;
        peer(db, {"price", "X", "5"});
        peer(db, {"delete", "W"});
        peer(db, {"add", "V"});
        b.select("X");
        QCOMPARE(b.modify("6"), conflictMessage());
        QCOMPARE(b.remove(), conflictMessage());
        b.select("W");
        QCOMPARE(b.modify("6"), conflictMessage());
        QCOMPARE(b.remove(), conflictMessage());
        QCOMPARE(db.rows("SELECT 商品编码, 单价 FROM 表1"),
                 (QList<QStringList>{{"X", "5.0"}, {"Y", "2.0"}, {"V", "<null>"}}));
    }

    // Every kind of stored value counts as unchanged when it is: empty cells, long fractions,
    // and a text another program left in a number column.
    void rowsAsReadAreStillWritten() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 VALUES ('A', NULL, '', '个', 0.30000000000000004, NULL), "
                "('B', '杯', NULL, NULL, 1e300, '备')");
        if (TestDatabase::server().isEmpty())
            db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('C', '12元')");
        Copy b;
        for (int r = 0; r < b.list->recordCount(); ++r) {
            b.list->moveTo(r);
            QCOMPARE(b.modify(QString::number(r + 1)), QString());
        }
        Copy c;
        while (c.list->recordCount() > 0)
            QCOMPARE(c.remove(), QString());
        QCOMPARE(db.count("表1"), 0);
    }
};

DN_TEST_MAIN(TestLostRaces)
#include "tst_lostraces.moc"
