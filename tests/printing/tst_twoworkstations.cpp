// Two workstations on one server database, each a whole program of its own: a bill entered on
// one prints from the other after its refresh, and two clerks clicking different bills at the
// same time each print their own.
#include "PreviewPages.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "app/MainUnit.h"
#include "app/Program.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "printing/BillSelection.h"
#include "settings/Settings.h"

#include <QTest>
#include <QToolButton>
#include <memory>

using View = TMainForm::View;

namespace {

struct Workstation {
    std::unique_ptr<Program> program;

    // Each desk has its own settings; the program takes its id from them as it starts.
    explicit Workstation(const QString& id) {
        Settings::setValue("database/workstation", id);
        program = std::make_unique<Program>();
        program->mainForm().show();
    }
    Dataset& deliveries() const { return *program->mainForm().query(View::Deliveries); }

    void enter(const QString& bill, const QString& contact, const QString& goods) const {
        Dataset& list = deliveries();
        list.append();
        list.setText("单据编号", bill);
        list.setText("联系人", contact);
        list.setText("商品名称", goods);
        list.post();
    }
    void refresh() const { program->mainForm().databaseConnection().ReopenAll(); }
    // Clicks a data cell of a row of the bill, as the clerk does to pick it.
    bool clickBill(const QString& bill) const {
        Dataset& list = deliveries();
        for (int row = 0; row < list.recordCount(); ++row) {
            if (list.text(row, list.fieldIndex("单据编号")) == bill) {
                list.moveTo(row);
                program->billSelection().DBGridEh3CellClick();
                return true;
            }
        }
        return false;
    }
    // The bill number, contact and goods (row by row, joined by "|") on the note the print button
    // previews.
    QStringList printed() const {
        const PreviewPages shown = previewOf(
            [this] { QTest::mouseClick(program->mainForm().speedButton(2), Qt::LeftButton); });
        if (shown.pages.isEmpty())
            return {};
        const QMap<QString, QString> texts = textsOf(shown.pages.first());
        return {texts["QRDBText9"], texts["QRDBText10"], texts["QRDBText2"]};
    }
};

} // namespace

class TestTwoWorkstations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (TestDatabase::server().isEmpty())
            QSKIP("runs on a database server only");
    }

    void billEnteredOnOnePrintsOnTheOther() {
        TestDatabase db;
        ScriptedPrompts prompts;
        Workstation office("office"), warehouse("warehouse");
        office.enter("20261209-001", "王", "杯");
        QVERIFY(!warehouse.clickBill("20261209-001"));
        warehouse.refresh();
        QVERIFY(warehouse.clickBill("20261209-001"));
        QCOMPARE(warehouse.printed(), (QStringList{"20261209-001", "王", "杯"}));
        QVERIFY(prompts.texts("error").isEmpty());
    }

    void eachClerkPrintsTheBillHeClicked() {
        TestDatabase db;
        db.exec("INSERT INTO 表3 (单据编号, 联系人, 商品名称) VALUES ('A-1', '甲', '杯'), "
                "('B-1', '乙', '笔'), ('A-1', '甲', '盘')");
        ScriptedPrompts prompts;
        Workstation a("A"), b("B");
        QVERIFY(a.clickBill("A-1"));
        QVERIFY(b.clickBill("B-1"));
        QCOMPARE(a.printed(), (QStringList{"A-1", "甲", "杯|盘"}));
        QCOMPARE(b.printed(), (QStringList{"B-1", "乙", "笔"}));
        // A's print after B's click still prints A's bill.
        QCOMPARE(a.printed(), (QStringList{"A-1", "甲", "杯|盘"}));
        QCOMPARE(db.rows("SELECT 单据编号, count(*) FROM 表4 GROUP BY 单据编号 ORDER BY 1"),
                 (QList<QStringList>{{"A-1", "2"}, {"B-1", "1"}}));
        QVERIFY(prompts.texts("error").isEmpty());
    }
};

DN_TEST_MAIN(TestTwoWorkstations)
#include "tst_twoworkstations.moc"
