// The lists a reopen keeps must equal what a fresh open gives. Random runs of the program's own
// operations (adds, modifies, deletes, searches, look-ups, bill selections, profile saves,
// refreshes, print runs) are interleaved with writes by another handle of this process, by a
// second connection of the program's data layer and by a second process; after every
// ReopenAll each of the five lists is compared, row for row and cell for cell, with the lists
// a separate process opens afresh. LIST_SEED and LIST_STEPS change the run; a failure names
// the seed and the step.
#include "RecordsFixture.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Errors.h"
#include "printing/BillSelection.h"
#include "printing/QRPrev.h"
#include "profile/JbzlUnit.h"

#include <QAction>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <random>

using View = TMainForm::View;

namespace {

struct List {
    QStringList fields;
    QList<qint64> rowids;
    QList<QStringList> rows;
};

// A peer's run may take long on a loaded machine (a Windows program under Wine starts slowly):
// the wait is generous, and a peer that outlasts it is named as such.
void awaitPeer(QProcess& peer, const char* what) {
    if (!peer.waitForFinished(300000))
        qFatal("list_peer %s did not finish within 300 s", what);
    if (peer.exitCode() != 0)
        qFatal("list_peer %s failed: %s", what, peer.readAllStandardError().constData());
}

// Every list as a fresh process opens it.
QMap<QString, List> freshLists(const QString& folder) {
    QProcess peer;
    peer.start(QStringLiteral(LIST_PEER), {QStringLiteral("dump"), folder});
    awaitPeer(peer, "dump");
    QMap<QString, List> lists;
    QString table;
    for (const QByteArray& line : peer.readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        const QString rest = QString::fromUtf8(line.mid(1));
        switch (line.at(0)) {
        case 'T':
            table = rest;
            break;
        case 'F':
            lists[table].fields = rest.split(QLatin1Char('\t'));
            break;
        case 'R': {
            const QList<QByteArray> parts = line.mid(1).split('\t');
            lists[table].rowids.append(parts.first().toLongLong());
            QStringList cells;
            for (qsizetype i = 1; i < parts.size(); ++i)
                cells.append(QString::fromUtf8(QByteArray::fromPercentEncoding(parts[i])));
            lists[table].rows.append(cells);
            break;
        }
        default:
            break;
        }
    }
    return lists;
}

struct Fixture : RecordsFixture {
    std::mt19937_64 random;
    Connection second;
    int counter = 0;

    explicit Fixture(quint64 seed) : random(seed) {
        db.exec("INSERT INTO 表1 VALUES ('A1', '水杯', '500ml', '个', 18.5, ''), "
                "('A10', '饭盒', '三层', '个', 46, ''), ('B2', '毛巾', '', '条', 9.9, '棉')");
        db.exec("INSERT INTO 表2 VALUES ('明远', '王经理', '0571', '文三路', ''), "
                "('', '李四', '021', '', '月结')");
        db.exec("INSERT INTO 表3 (单据编号, 业务日期, 商品名称, 单价, 数量, 应收金额, 联系人) "
                "VALUES ('D1', '2026-11-02', '水杯', 18.5, 2, 37, '王经理'), "
                "('D1', '2026-11-02', '毛巾', 9.9, 1, 9.9, '王经理'), "
                "('D2', '2026-11-03', '饭盒', 46, 3, 138, '李四')");
        db.exec("INSERT INTO 表5 VALUES ('公司', 'x.com', '张明', '1')");
        second.setConnectionString(DatabaseConnection::FormConnectionString());
        start();
    }

    int pick(int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<quint64>(n)); }
    QString fresh(const QString& prefix) { return prefix + QString::number(++counter); }
    Dataset* list(View view) const { return window().query(view); }
    void moveSomewhere(View view) {
        Dataset* l = list(view);
        if (l->isOpen() && l->recordCount() > 0)
            l->moveTo(pick(l->recordCount()));
    }

    void addGoods() {
        chooseView(View::Goods);
        click("SpeedButton8");
        setText("Edit1", fresh("G"));
        setText("Edit2", fresh("商品"));
        setText("Edit5", QString::number(pick(100)) + ".5");
        click("Button1");
    }
    void modifyGoods() {
        chooseView(View::Goods);
        moveSomewhere(View::Goods);
        click("SpeedButton9");
        setText("Edit2", fresh("改"));
        click("Button3");
    }
    void addCustomer() {
        chooseView(View::Customers);
        click("SpeedButton8");
        setText("Edit10", fresh("客户"));
        setText("Edit11", fresh("0571-"));
        click("Button5");
    }
    void modifyCustomer() {
        chooseView(View::Customers);
        moveSomewhere(View::Customers);
        click("SpeedButton9");
        setText("Edit12", fresh("地址"));
        click("Button7");
    }
    void addDelivery() {
        chooseView(View::Deliveries);
        click("SpeedButton8");
        type("Edit16", QStringLiteral("D%1").arg(pick(4)));
        typeInto(find<QComboBox>("ComboBox3")->lineEdit(), pick(2) ? "A1" : "B");
        typeInto(find<QComboBox>("ComboBox4")->lineEdit(), pick(2) ? "王" : "李四");
        setText("Edit22", QString::number(1 + pick(5)));
        click("Button9");
    }
    // Ends with ReopenAll when the row is written.
    bool modifyDelivery() {
        chooseView(View::Deliveries);
        moveSomewhere(View::Deliveries);
        click("SpeedButton9");
        if (!find<QWidget>("Button11")->isVisible())
            return false;
        setText("Edit26", fresh("备注"));
        click("Button11");
        return true;
    }
    void removeRow() {
        const View view = static_cast<View>(pick(3));
        chooseView(view);
        Dataset* l = list(view);
        if (!l->isOpen() || l->recordCount() == 0 || l->query().isDistinct())
            return;
        moveSomewhere(view);
        l->remove();
    }
    void search() {
        const View view = static_cast<View>(pick(3));
        chooseView(view);
        click("SpeedButton11");
        const char* boxes[3][2] = {
            {"Edit7", "Button4"}, {"Edit14", "Button8"}, {"Edit27", "Button12"}};
        const char* texts[3] = {"A", "王", "D1"};
        const int v = static_cast<int>(view);
        setText(boxes[v][0], texts[v]);
        click(boxes[v][1]);
    }
    void lookUp() {
        chooseView(View::Deliveries);
        click("SpeedButton8");
        typeInto(find<QComboBox>("ComboBox3")->lineEdit(), pick(2) ? "A" : "X");
        typeInto(find<QComboBox>("ComboBox4")->lineEdit(), "李");
    }
    void selectBill() {
        chooseView(View::Deliveries);
        Dataset* l = list(View::Deliveries);
        if (!l->isOpen() || l->recordCount() == 0)
            return;
        moveSomewhere(View::Deliveries);
        program->billSelection().DBGridEh3CellClick();
    }
    void saveProfile() {
        TJbzlForm& form = program->profileForm();
        form.findChild<QLineEdit*>("Edit1")->setText(fresh("公司"));
        form.Button1Click();
    }
    void refresh() { click("SpeedButton12"); }
    // Toolbar (ReopenAll first) or menu print run; the preview is closed once it is up.
    void print(bool toolbar) {
        chooseView(View::Deliveries);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&poll] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* preview = qobject_cast<TQRStandardPreview*>(w);
                if (preview && preview->isVisible() && preview->generationFinished()) {
                    poll.stop();
                    preview->SpeedButton3Click();
                }
            }
        });
        poll.start(5);
        if (toolbar)
            click("SpeedButton2");
        else
            window().menuItem("N5")->trigger();
    }
    // A write by another handle of the file in this process.
    void foreignWrite() {
        const QString text = fresh("外");
        switch (pick(3)) {
        case 0:
            db.exec(QStringLiteral("INSERT INTO 表1 (商品编码, 单价) VALUES ('%1', 3)").arg(text));
            break;
        case 1:
            db.exec(QStringLiteral("UPDATE 表3 SET 备注 = '%1' WHERE rowid = (SELECT min(rowid) "
                                   "FROM 表3)")
                        .arg(text));
            break;
        default:
            db.exec("DELETE FROM 表2 WHERE rowid = (SELECT max(rowid) FROM 表2)");
            break;
        }
    }
    // A write through the program's data layer on a connection of its own.
    void secondConnectionWrite() {
        Dataset l(&second, "second");
        l.setQuery(Query::all(QStringLiteral("表%1").arg(1 + pick(3))));
        l.open();
        if (l.recordCount() > 0 && pick(3) == 0) {
            l.moveTo(pick(l.recordCount()));
            l.remove();
            return;
        }
        if (l.recordCount() > 0 && pick(2)) {
            l.moveTo(pick(l.recordCount()));
            l.edit();
        } else {
            l.append();
        }
        l.setText(l.fields().at(0).name, fresh("二"));
        l.post();
    }
    void secondProcessWrite() {
        QProcess peer;
        peer.start(QStringLiteral(LIST_PEER),
                   {QStringLiteral("write"), db.folder(), QString::number(random())});
        awaitPeer(peer, "write");
    }

    // Every list after a ReopenAll against the fresh ones; empty when they agree.
    QString mismatch() const {
        const QMap<QString, List> fresh = freshLists(db.folder());
        const QList<Dataset*> lists = {list(View::Goods), list(View::Customers),
                                       list(View::Deliveries), window().printBuffer(),
                                       program->profileForm().profileQuery()};
        for (Dataset* l : lists) {
            const QString table = l->query().table;
            const List& want = fresh[table];
            if (!l->isOpen() || !(l->query() == Query::all(table)))
                return table + ": not open on the whole table";
            QStringList fields;
            for (const Dataset::Field& field : l->fields())
                fields.append(field.name);
            if (fields != want.fields)
                return table + ": fields " + fields.join(',');
            if (l->recordCount() != want.rows.size())
                return QStringLiteral("%1: %2 rows, fresh %3")
                    .arg(table)
                    .arg(l->recordCount())
                    .arg(want.rows.size());
            if (l->recNo() != l->recordCount() - 1)
                return table + ": not on its last row";
            for (int row = 0; row < l->recordCount(); ++row) {
                if (l->rowId(row) != want.rowids[row])
                    return QStringLiteral("%1: row %2 has rowid %3, fresh %4")
                        .arg(table)
                        .arg(row)
                        .arg(l->rowId(row))
                        .arg(want.rowids[row]);
                for (int c = 0; c < fields.size(); ++c) {
                    if (l->text(row, c) != want.rows[row][c])
                        return QStringLiteral("%1: row %2 %3 is '%4', fresh '%5'")
                            .arg(table)
                            .arg(row)
                            .arg(fields[c], l->text(row, c), want.rows[row][c]);
                }
            }
        }
        return QString();
    }
};

} // namespace

class TestListConsistency : public QObject {
    Q_OBJECT
private slots:
    void reopenedListsEqualFreshOnes() {
        const quint64 seed = qEnvironmentVariableIsSet("LIST_SEED")
                                 ? qEnvironmentVariable("LIST_SEED").toULongLong()
                                 : 20261209;
        const int steps = qEnvironmentVariableIsSet("LIST_STEPS")
                              ? qEnvironmentVariableIntValue("LIST_STEPS")
                              : 200;
        Fixture f(seed);
        int compared = 0;
        for (int step = 0; step < steps; ++step) {
            const int op = f.pick(20);
            bool reopened = false;
            const qsizetype errorsBefore = f.prompts.texts("error").size();
            try {
                switch (op) {
                case 0:
                    f.addGoods();
                    break;
                case 1:
                    f.modifyGoods();
                    break;
                case 2:
                    f.addCustomer();
                    break;
                case 3:
                    f.modifyCustomer();
                    break;
                case 4:
                    f.addDelivery();
                    break;
                case 5:
                    reopened = f.modifyDelivery();
                    break;
                case 6:
                    f.removeRow();
                    break;
                case 7:
                    f.search();
                    break;
                case 8:
                    f.lookUp();
                    break;
                case 9:
                    f.selectBill();
                    break;
                case 10:
                    f.saveProfile();
                    break;
                case 11:
                    f.print(false);
                    break;
                case 12:
                    f.print(true);
                    reopened = true;
                    break;
                case 13:
                    f.foreignWrite();
                    break;
                case 14:
                    f.secondConnectionWrite();
                    break;
                case 15:
                    f.secondProcessWrite();
                    break;
                default:
                    f.refresh();
                    reopened = true;
                    break;
                }
            } catch (const AppError& e) {
                // The program's own refusals (a distinct list cannot take rows, say).
                QVERIFY2(!reopened, qPrintable(e.message()));
            }
            // A modify that was refused ran no reopen.
            if (!reopened || f.prompts.texts("error").size() != errorsBefore ||
                !f.list(View::Deliveries)->isOpen())
                continue;
            const QString wrong = f.mismatch();
            QVERIFY2(wrong.isEmpty(),
                     qPrintable(QStringLiteral("seed %1, step %2 (operation %3): %4")
                                    .arg(seed)
                                    .arg(step)
                                    .arg(op)
                                    .arg(wrong)));
            ++compared;
        }
        // The run is only worth something when it compared often.
        QVERIFY2(compared >= steps / 6, qPrintable(QString::number(compared)));
    }
};

DN_TEST_MAIN(TestListConsistency)
#include "tst_listconsistency.moc"
