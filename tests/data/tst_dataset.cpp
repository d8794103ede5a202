#include "ErrorOf.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Errors.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

std::unique_ptr<Connection> connectTo(const QString& connectionString) {
    auto c = std::make_unique<Connection>();
    c->setConnectionString(connectionString);
    return c;
}

} // namespace

class TestDataset : public QObject {
    Q_OBJECT
private slots:
    void opensOnlyWithThePassword() {
        TestDatabase db;
        if (!TestDatabase::server().isEmpty())
            QSKIP("the password keys the local file only");
        auto good = connectTo(DatabaseConnection::FormConnectionString());
        good->open();
        QVERIFY(good->isOpen());

        auto wrong = connectTo("Data Source=data.mdb;Jet OLEDB:Database Password=123");
        QCOMPARE(errorOf([&] { wrong->open(); }),
                 QString("file is encrypted or is not a database"));
        QVERIFY(!wrong->isOpen());
    }

    // A byte copy of data.mdb is the whole database only in the rollback journal's mode.
    void aFileInWalModeIsOpenedInTheRollbackMode() {
        TestDatabase db;
        if (!TestDatabase::server().isEmpty())
            QSKIP("the journal is the local file's");
        db.exec("PRAGMA journal_mode = WAL");
        QCOMPARE(db.rows("PRAGMA journal_mode"), (QList<QStringList>{{"wal"}}));
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset goods(c.get(), "ADOQuery1");
        goods.setQuery(Query::all("表1"));
        goods.open();
        goods.append();
        goods.setText("商品编码", "A1");
        goods.post();
        c->close();
        QCOMPARE(db.rows("PRAGMA journal_mode"), (QList<QStringList>{{"delete"}}));
        QVERIFY(!QFile::exists(db.file() + "-wal"));
        QCOMPARE(db.count("表1"), 1);
    }

    void missingFileIsAnErrorAndStaysMissing() {
        QTemporaryDir empty;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(empty.path());
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        QVERIFY(!errorOf([&] { c->open(); }).isEmpty());
        QVERIFY(!QFile::exists(empty.filePath("data.mdb")));
        QDir::setCurrent(previous);
    }

    void connectionStringNamesTheCurrentFolder() {
        QTemporaryDir a, b;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(a.path());
        const QString first = DatabaseConnection::BuildConnectionString();
        QDir::setCurrent(b.path());
        const QString second = DatabaseConnection::BuildConnectionString();
        QDir::setCurrent(previous);
        QCOMPARE(first,
                 "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"460218735091\""
                 ";Data Source=" +
                     QDir::toNativeSeparators(QDir(a.path()).canonicalPath() + "/data.mdb") +
                     ";Persist Security Info=True");
        QCOMPARE(Connection::valueOf(second, "Data Source"),
                 QDir::toNativeSeparators(QDir(b.path()).canonicalPath() + "/data.mdb"));
        QCOMPARE(Connection::valueOf(second, "Jet OLEDB:Database Password"),
                 QString("460218735091"));
    }

    void connectionStringTakesAnyFolderName_data() {
        QTest::addColumn<QString>("folder");
#ifndef Q_OS_WIN // names Windows refuses: double quotes, blanks at the end
        QTest::newRow("double quote") << "12\" 管";
        QTest::newRow("quote at the end") << "尾\"";
        QTest::newRow("quote and semicolon") << "a\";Data Source=x.mdb;\"";
        QTest::newRow("two quotes") << "\"\"";
        QTest::newRow("blanks") << "  两头空格  ";
#endif
        QTest::newRow("semicolon") << "甲;乙";
        QTest::newRow("single quotes") << "'O'Brien'";
        QTest::newRow("blank at the start") << "  两头空格";
        QTest::newRow("equals") << "a=b==c";
        QTest::newRow("key-like") << "Persist Security Info=False;";
    }
    void connectionStringTakesAnyFolderName() {
        QFETCH(QString, folder);
        QTemporaryDir base;
        QVERIFY(QDir(base.path()).mkdir(folder));
        const QString path = QDir(base.path()).canonicalPath() + "/" + folder;
        Schema::createDatabase(path + "/data.mdb");
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(path));
        // As the refresh does it: every list opens on the file in the current folder.
        Connection main;
        main.setConnectionString(DatabaseConnection::FormConnectionString());
        Dataset goods(&main, "ADOQuery1");
        goods.setQuery(Query::all("表1"));
        DatabaseConnection connections(&main, {&goods});
        const QString error = errorOf([&] { connections.ReopenAll(); });
        QDir::setCurrent(previous);
        QCOMPARE(error, QString());
        QVERIFY(goods.isOpen());
        const QString text = main.connectionString();
        QCOMPARE(Connection::valueOf(text, "Data Source"),
                 QDir::toNativeSeparators(path + "/data.mdb"));
        QCOMPARE(Connection::valueOf(text, "Jet OLEDB:Database Password"), QString("460218735091"));
        QCOMPARE(Connection::valueOf(text, "Persist Security Info"), QString("True"));
    }

    void readsNumbersDatesAndNulls() {
        TestDatabase db;
        db.exec("INSERT INTO 表3 (单据编号, 业务日期, 单价, 数量, 应收金额) VALUES "
                "('7', '2026-03-05', 12.5, 3, NULL)");
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery3");
        list.setQuery(Query::all("表3"));
        list.open();
        QCOMPARE(list.recordCount(), 1);
        QCOMPARE(list.recNo(), 0);
        QCOMPARE(list.fields().size(), 14);
        QCOMPARE(list.text("单价"), QString("12.5"));
        QCOMPARE(list.text("数量"), QString("3"));
        QCOMPARE(list.text("应收金额"), QString());
        QCOMPARE(list.text("业务日期"), QString("2026/3/5"));
        QCOMPARE(errorOf([&] { list.text("没有"); }), QString("ADOQuery3: Field '没有' not found"));
        list.close();
        QCOMPARE(errorOf([&] { list.text("单价"); }),
                 QString("Cannot perform this operation on a closed dataset"));
    }

    void appendEditRemoveWriteOnlyTheirRow() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码, 单价) VALUES ('A', 1), ('B', 2), ('C', 3)");
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::all("表1"));
        list.open();

        list.last();
        list.append();
        list.setText("商品编码", "D'\"%");
        list.setText("单价", "");
        list.post();
        QCOMPARE(list.recordCount(), 4);
        QCOMPARE(list.recNo(), 3);
        QCOMPARE(db.table("表1").last(),
                 (QStringList{"D'\"%", "<null>", "<null>", "<null>", "<null>", "<null>"}));

        list.moveTo(1);
        list.edit();
        list.setText("单价", "2.75");
        list.post();
        QCOMPARE(db.rows("SELECT 单价 FROM 表1 ORDER BY rowid"),
                 (QList<QStringList>{{"1.0"}, {"2.75"}, {"3.0"}, {"<null>"}}));

        list.moveTo(0);
        list.remove();
        QCOMPARE(db.rows("SELECT 商品编码 FROM 表1 ORDER BY rowid"),
                 (QList<QStringList>{{"B"}, {"C"}, {"D'\"%"}}));
        QCOMPARE(list.recordCount(), 3);
        QCOMPARE(list.text("商品编码"), QString("B"));
    }

    void failedConversionDiscardsThePendingRow() {
        TestDatabase db;
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::all("表1"));
        list.open();
        list.append();
        list.setText("商品编码", "X");
        QCOMPARE(errorOf([&] { list.setText("单价", "12abc"); }),
                 QString("'12abc' is not a valid floating point value for field '单价'"));
        QCOMPARE(list.state(), Dataset::State::Browse);
        QCOMPARE(list.recordCount(), 0);
        // A later add does not store the abandoned values.
        list.append();
        list.setText("备注", "next");
        list.post();
        QCOMPARE(db.table("表1"),
                 (QList<QStringList>{{"<null>", "<null>", "<null>", "<null>", "<null>", "next"}}));
    }

    void textWithHalfASurrogatePairIsRefusedNotAltered() {
        TestDatabase db;
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::all("表1"));
        list.open();
        list.append();
        list.setText("商品编码", "📦X");
        // As a clipboard may deliver it: the first half of 📦 without the second.
        const QString broken = QStringLiteral("📦a") + QChar(0xD83D) + QStringLiteral("b");
        QCOMPARE(errorOf([&] { list.setText("商品名称", broken); }),
                 QString("字段“商品名称”的第 3 个字符无效，无法保存。请删去这个字符再试。"));
        QCOMPARE(list.recordCount(), 0);
        QCOMPARE(errorOf([&] { list.post(); }), QString());
        QCOMPARE(db.count("表1"), 0);
        // A second half alone as well; whole pairs pass byte for byte.
        list.append();
        QVERIFY(!errorOf([&] { list.setText("备注", QString(QChar(0xDCE6))); }).isEmpty());
        list.append();
        list.setText("备注", "📦🚚");
        list.post();
        QCOMPARE(db.rows("SELECT hex(备注) FROM 表1"), (QList<QStringList>{{"F09F93A6F09F9A9A"}}));

        // Nothing stored can hold such a text, so a search for one finds nothing, not "a?b".
        db.exec("INSERT INTO 表1 (商品名称) VALUES ('a?b'), ('a�b')");
        for (const Query& q : {Query::like("表1", "商品名称", broken.mid(2)),
                               Query::equal("表1", "商品名称", broken.mid(2))}) {
            list.close();
            list.setQuery(q);
            list.open();
            QCOMPARE(list.recordCount(), 0);
        }
    }

    void editOnAnEmptyListStartsANewRow() {
        TestDatabase db;
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset profile(c.get(), "ADOQuery1");
        profile.setQuery(Query::all("表5"));
        profile.open();
        profile.edit();
        profile.setText("公司名称", "甲");
        profile.post();
        QCOMPARE(db.count("表5"), 1);
    }

    void conditionsBindTheUserText() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码) VALUES ('12'), ('112'), ('A12B'), ('13'), "
                "('x\"y'), ('1_3'), (NULL), ('')");
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        auto codes = [&](const Query& q) {
            list.close();
            list.setQuery(q);
            list.open();
            QStringList out;
            for (int r = 0; r < list.recordCount(); ++r)
                out.append(list.text(r, 0));
            return out;
        };
        QCOMPARE(codes(Query::like("表1", "商品编码", "12")), (QStringList{"12", "112", "A12B"}));
        QCOMPARE(codes(Query::like("表1", "商品编码", "\"")), (QStringList{"x\"y"}));
        QCOMPARE(codes(Query::like("表1", "商品编码", "1_3")), (QStringList{"1_3"}));
        QCOMPARE(codes(Query::like("表1", "商品编码", "1%3")), (QStringList{"13", "1_3"}));
        QCOMPARE(codes(Query::like("表1", "商品编码", "")).size(), 7);
        QCOMPARE(codes(Query::equal("表1", "商品编码", "12")), (QStringList{"12"}));
        QCOMPARE(codes(Query::equal("表1", "商品编码", "")), (QStringList{"", ""}));
        QCOMPARE(codes(Query::distinct("表1", "商品编码")).size(), 8);
    }

    // The engine's own LIKE ends both texts at a NUL: "前\0后" would find every code ending in 前.
    void searchesSeeTheWholeText_data() {
        const QString nul(QChar(0));
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("NUL inside")
            << "前" + nul + "后" << QStringList{"前" + nul + "后", "前" + nul + "后尾"};
        QTest::newRow("NUL alone")
            << nul << QStringList{"前" + nul + "后", "前" + nul + "后尾", "前" + nul + "X", nul};
        QTest::newRow("NUL and one character")
            << "前" + nul + "_"
            << QStringList{"前" + nul + "后", "前" + nul + "后尾", "前" + nul + "X"};
        QTest::newRow("NUL and any") << nul + "%尾" << QStringList{"前" + nul + "后尾"};
        QTest::newRow("ASCII in any case") << "Ab" << QStringList{"ab", "AB"};
        QTest::newRow("other letters as they are") << "àb" << QStringList{"àb"};
        QTest::newRow("one character of three bytes") << "货_" << QStringList{"货物"};
        QTest::newRow("wildcards in a row") << "%_%"
                                            << QStringList{"前" + nul + "后",
                                                           "前",
                                                           "x前",
                                                           "前" + nul + "后尾",
                                                           "前" + nul + "X",
                                                           nul,
                                                           "ab",
                                                           "AB",
                                                           "àb",
                                                           "ÀB",
                                                           "货物",
                                                           "货"};
    }
    void searchesSeeTheWholeText() {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        TestDatabase db;
        if (TestDatabase::server().isEmpty()) {
            db.exec("INSERT INTO 表1 (商品编码) VALUES ('前' || char(0) || '后'), ('前'), ('x前'), "
                    "('前' || char(0) || '后尾'), ('前' || char(0) || 'X'), (char(0)), ('ab'), "
                    "('AB'), ('àb'), ('ÀB'), ('货物'), ('货'), (NULL), ('')");
        } else {
            // A server's texts hold no NUL, so a search for one finds nothing.
            db.exec("INSERT INTO 表1 (商品编码) VALUES ('前'), ('x前'), ('ab'), ('AB'), ('àb'), "
                    "('ÀB'), ('货物'), ('货'), (NULL), ('')");
            found.removeIf([](const QString& code) { return code.contains(QChar(0)); });
            if (text.contains(QChar(0)))
                found.clear();
        }
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::like("表1", "商品编码", text));
        list.open();
        QStringList codes;
        for (int r = 0; r < list.recordCount(); ++r)
            codes.append(list.text(r, 0));
        QCOMPARE(codes, found);
    }

    void searchTextTooLongForTheEngineIsRefusedInWords() {
        TestDatabase db;
        const QString fits(49998 / 3, QChar(0x8D27)); // 3 bytes each, "%" on either side
        db.exec("INSERT INTO 表1 (商品名称) VALUES ('" + fits + "')");
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::like("表1", "商品名称", fits));
        list.open();
        QCOMPARE(list.recordCount(), 1);
        list.close();
        list.setQuery(Query::like("表1", "商品名称", fits + "x"));
        QCOMPARE(errorOf([&] { list.open(); }), QString("查询的文字太长，请缩短后再查询。"));
        QVERIFY(!list.isOpen());
        // Equality has no such limit.
        list.setQuery(Query::equal("表1", "商品名称", fits + fits));
        list.open();
        QCOMPARE(list.recordCount(), 0);
    }

    void distinctListsAreReadOnly() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码) VALUES ('B'), ('A'), ('B')");
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::distinct("表1", "商品编码"));
        list.open();
        QCOMPARE(list.recordCount(), 2);
        QCOMPARE(list.text(0, 0), QString("A"));
        QVERIFY(errorOf([&] { list.append(); }).contains("刷新"));
        QVERIFY(errorOf([&] { list.edit(); }).contains("刷新"));
        QCOMPARE(errorOf([&] { list.text("单价"); }), QString("ADOQuery1: Field '单价' not found"));
        QCOMPARE(db.count("表1"), 3);
    }

    void snapshotIgnoresOtherWritersUntilReopened() {
        TestDatabase db;
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery2");
        list.setQuery(Query::all("表2"));
        list.open();
        db.exec("INSERT INTO 表2 (联系人) VALUES ('王')");
        QCOMPARE(list.recordCount(), 0);
        list.close();
        list.open();
        QCOMPARE(list.recordCount(), 1);
    }

    void signalsFollowTheRows() {
        TestDatabase db;
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::all("表1"));
        list.open();
        QSignalSpy inserted(&list, &Dataset::rowInserted);
        QSignalSpy removed(&list, &Dataset::rowRemoved);
        QSignalSpy changed(&list, &Dataset::rowChanged);
        list.append();
        list.setText("商品编码", "1");
        list.post();
        list.remove();
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(removed.size(), 1);
    }

    void reopenAllRestoresPlainListsOnTheirLastRow() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码) VALUES ('1'), ('2'), ('3')");
        db.exec("INSERT INTO 表5 (公司名称) VALUES ('甲'), ('乙')");
        Connection main;
        main.setConnectionString(DatabaseConnection::FormConnectionString());
        Connection profileConnection;
        profileConnection.setConnectionString(DatabaseConnection::FormConnectionString());
        QList<Dataset*> queries;
        for (int i = 1; i <= 4; ++i) {
            queries.append(new Dataset(&main, QString("ADOQuery%1").arg(i), &main));
            queries.last()->setQuery(Query::all(QString("表%1").arg(i)));
            queries.last()->open();
        }
        Dataset profile(&profileConnection, "ADOQuery1");
        profile.setQuery(Query::distinct("表5", "联系人"));
        profile.open();
        queries[0]->close();
        queries[0]->setQuery(Query::like("表1", "商品编码", "2"));
        queries[0]->open();

        DatabaseConnection connections(&main, queries);
        connections.setProfileQuery(&profile);
        connections.ReopenAll();
        QCOMPARE(main.connectionString(), DatabaseConnection::BuildConnectionString());
        QCOMPARE(queries[0]->query(), Query::all("表1"));
        QCOMPARE(queries[0]->recordCount(), 3);
        QCOMPARE(queries[0]->recNo(), 2);
        QCOMPARE(profile.query(), Query::all("表5"));
        QCOMPARE(profile.text("公司名称"), QString("乙"));
        for (Dataset* d : queries)
            QVERIFY(d->isOpen());
    }

    void reopenKeepsAnUnchangedTableAndSignalsAsAReload() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码) VALUES ('1'), ('2'), ('3')");
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::all("表1"));
        list.open();
        const quint64 loaded = list.rowsVersion();
        QSignalSpy reset(&list, &Dataset::didReset);
        QSignalSpy moved(&list, &Dataset::currentRowChanged);
        list.close();
        list.open();
        QCOMPARE(list.rowsVersion(), loaded);
        QCOMPARE(reset.size(), 2);
        QCOMPARE(moved.last().first().toInt(), 0);

        // A write through another list of the process is followed without a reload...
        Dataset other(c.get(), "other");
        other.setQuery(Query::like("表1", "商品编码", "2"));
        other.open();
        other.edit();
        other.setText("商品名称", "改");
        other.post();
        list.close();
        list.open();
        QCOMPARE(list.text(1, 1), QString("改"));
        // ...while one by another handle of the file makes the list load again.
        const quint64 followed = list.rowsVersion();
        db.exec("UPDATE 表1 SET 商品名称 = '外' WHERE 商品编码 = '3'");
        list.close();
        list.open();
        QVERIFY(list.rowsVersion() != followed);
        QCOMPARE(list.text(2, 1), QString("外"));
    }

    // A transaction's writes through lists are followed in the kept table once it commits, so
    // that the next reopen of a large list costs nothing; a write by anyone else since the
    // table was kept, or a rollback, makes the list load again.
    void aCommittedTransactionKeepsTheTablesItWrote() {
        TestDatabase db;
        db.exec("INSERT INTO 表1 (商品编码, 商品名称) VALUES ('1', 'a'), ('2', 'b'), ('3', 'c')");
        auto c = connectTo(DatabaseConnection::FormConnectionString());
        Dataset list(c.get(), "ADOQuery1");
        list.setQuery(Query::all("表1"));
        list.open();
        Dataset other(c.get(), "other");
        other.setQuery(Query::like("表1", "商品编码", "2"));
        other.open();
        const auto texts = [&list] {
            list.close();
            list.open();
            QStringList out;
            for (int row = 0; row < list.recordCount(); ++row)
                out.append(list.text(row, 0) + list.text(row, 1));
            return out;
        };
        const auto kept = [&c] {
            Engine& engine = c->engine();
            return engine.snapshot("表1", engine.generation("表1")) != nullptr;
        };
        {
            Transaction transaction(*c);
            other.edit();
            other.setText("商品名称", "改");
            other.post();
            other.append();
            other.setText("商品编码", "4");
            other.post();
            transaction.commit();
        }
        QVERIFY(kept());
        QCOMPARE(texts(), QStringList({"1a", "2改", "3c", "4"}));

        {
            Transaction transaction(*c);
            other.moveTo(0);
            other.remove();
        }
        QCOMPARE(texts(), QStringList({"1a", "2改", "3c", "4"}));

        other.close();
        other.open();
        db.exec("UPDATE 表1 SET 商品名称 = '外' WHERE 商品编码 = '3'");
        {
            Transaction transaction(*c);
            other.edit();
            other.setText("商品名称", "再");
            other.post();
            transaction.commit();
        }
        QCOMPARE(texts(), QStringList({"1a", "2再", "3外", "4"}));
        QCOMPARE(db.count("表1"), 4);
    }

    void reopenAllRecoversOnceTheFileIsBack() {
        TestDatabase db;
        if (!TestDatabase::server().isEmpty())
            QSKIP("a file that goes away concerns the local file only");
        Connection main;
        main.setConnectionString(DatabaseConnection::FormConnectionString());
        QList<Dataset*> queries;
        for (int i = 1; i <= 4; ++i) {
            queries.append(new Dataset(&main, QString("ADOQuery%1").arg(i), &main));
            queries.last()->setQuery(Query::all(QString("表%1").arg(i)));
        }
        DatabaseConnection connections(&main, queries);
        QVERIFY(QFile::rename(db.file(), db.file() + ".away"));
        QVERIFY(!errorOf([&] { connections.ReopenAll(); }).isEmpty());
        QVERIFY(!QFile::exists(db.file()));
        QVERIFY(!queries[0]->isOpen());
        QVERIFY(QFile::rename(db.file() + ".away", db.file()));
        connections.ReopenAll();
        for (Dataset* d : queries)
            QVERIFY(d->isOpen());
    }
};

DN_TEST_MAIN(TestDataset)
#include "tst_dataset.moc"
