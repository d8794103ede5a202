#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "app/GridColumns.h"
#include "app/MainUnit.h"
#include "app/Program.h"
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Errors.h"
#include "grid/DataGrid.h"
#include "grid/GridFooter.h"
#include "grid/GridHeader.h"
#include "grid/GridView.h"
#include "grid/IndicatorColumn.h"

#include <QComboBox>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

namespace {

constexpr int amountColumn = 8;
constexpr int remarkColumn = 12;

// The delivery grid over 表3 of a fresh database, with the main window's columns.
struct DeliveryGrid {
    TestDatabase db;
    ScriptedPrompts prompts;
    Connection connection;
    Dataset list{&connection, "ADOQuery3"};
    DataGrid grid{&list};

    DeliveryGrid() {
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        list.setQuery(Query::all("表3"));
        grid.setObjectName("DBGridEh3");
        grid.setColumns(deliveryColumns());
        grid.setFooterVisible(true);
        grid.resize(900, 400);
    }

    // Bills "1" .. "n", one row each.
    void addBills(int n) {
        db.exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                        "WHERE i < %1) INSERT INTO 表3 (单据编号, 商品名称) "
                        "SELECT i, '货' || i FROM n")
                    .arg(n));
    }
    void reload(const Query& query = Query::all("表3")) {
        list.close();
        list.setQuery(query);
        list.open();
    }
    bool show() {
        grid.show();
        return QTest::qWaitForWindowExposed(&grid);
    }

    GridView* view() const { return grid.findChild<GridView*>(); }
    GridHeader* header() const { return view()->titles(); }
    IndicatorColumn* indicator() const { return view()->indicator(); }
    QString cell(int row, int column) const {
        return view()->model()->index(row, column).data().toString();
    }
    QStringList bills() const {
        QStringList out;
        for (const QStringList& row : db.rows("SELECT 单据编号 FROM 表3 ORDER BY rowid"))
            out.append(row[0]);
        return out;
    }

    QPoint indicatorPoint(int row) const {
        return QPoint(indicator()->width() / 2, indicator()->sectionViewportPosition(row) +
                                                    indicator()->sectionSize(row) / 2);
    }
    void clickIndicator(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(indicator()->viewport(), Qt::LeftButton, modifiers, indicatorPoint(row));
    }
    QPoint cellPoint(int row, int column) const {
        return view()->visualRect(view()->model()->index(row, column)).center();
    }
    void clickCell(int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, modifiers, cellPoint(row, column));
    }
};

} // namespace

class TestDataGrid : public QObject {
    Q_OBJECT
private slots:
    void footerSumFollowsTheList() {
        DeliveryGrid g;
        g.db.exec("INSERT INTO 表3 (单据编号, 应收金额) VALUES ('1', 0.1), ('2', 0.2)");
        g.reload();
        QCOMPARE(g.grid.footerText(amountColumn), QString("0.3"));
        QCOMPARE(g.grid.footerText(0), QString("合计"));
        QCOMPARE(g.grid.footerText(1), QString());

        g.list.append();
        g.list.setText("应收金额", "5");
        g.list.post();
        QCOMPARE(g.grid.footerText(amountColumn), QString("5.3"));

        g.list.moveTo(0);
        g.list.edit();
        g.list.setText("应收金额", "1.15");
        g.list.post();
        QCOMPARE(g.grid.footerText(amountColumn), QString("6.35"));

        g.list.moveTo(2);
        g.list.remove();
        QCOMPARE(g.grid.footerText(amountColumn), QString("1.35"));

        // A row left without an amount counts as nothing.
        g.list.append();
        g.list.setText("单据编号", "3");
        g.list.post();
        QCOMPARE(g.grid.footerText(amountColumn), QString("1.35"));

        g.db.exec("INSERT INTO 表3 (单据编号, 应收金额) VALUES ('4', 2.25)");
        g.reload();
        QCOMPARE(g.grid.footerText(amountColumn), QString("3.6"));

        g.reload(Query::equal("表3", "单据编号", "2"));
        QCOMPARE(g.grid.footerText(amountColumn), QString("0.2"));
    }

    void footerSumOfUncountableAmountsShowsNothing() {
        DeliveryGrid g;
        g.db.exec("INSERT INTO 表3 (单据编号, 应收金额) VALUES ('1', 1), ('2', 1e300)");
        g.reload();
        QCOMPARE(g.grid.footerText(amountColumn), QString());
        g.list.moveTo(1);
        g.list.remove();
        QCOMPARE(g.grid.footerText(amountColumn), QString("1"));
        QVERIFY(g.prompts.shown().isEmpty());
    }

    void theFooterRowSitsUnderTheRowsAlignedWithTheColumns() {
        DeliveryGrid g;
        g.addBills(40);
        g.reload();
        g.grid.resize(400, 300);
        QVERIFY(g.show());
        GridView* view = g.view();
        GridFooter* footer = view->footer();
        QVERIFY(footer->isVisible());
        QCOMPARE(footer->geometry().top(), view->viewport()->geometry().bottom() + 1);
        QCOMPARE(footer->geometry().left(), g.indicator()->geometry().left());
        const int barTop = view->horizontalScrollBar()->mapTo(view, QPoint(0, 0)).y();
        QCOMPARE(footer->geometry().bottom() + 1, barTop);

        auto alignedWithItsColumn = [&](int column) {
            const QRect cell = footer->cellRect(column).translated(footer->pos());
            const QRect title = g.header()->lowerRect(column).translated(g.header()->pos());
            return cell.left() == title.left() && cell.width() == title.width();
        };
        QVERIFY(alignedWithItsColumn(0));
        view->horizontalScrollBar()->setValue(150);
        QVERIFY(alignedWithItsColumn(amountColumn));
        view->setColumnWidth(3, 120);
        QVERIFY(alignedWithItsColumn(amountColumn));

        // Tab brings a column scrolled out of sight into view.
        QCoreApplication::processEvents(); // the new width reaches the scroll range
        view->horizontalScrollBar()->setValue(0);
        view->setFocus();
        for (int i = 0; i < remarkColumn; ++i)
            QTest::keyClick(view, Qt::Key_Tab);
        QCOMPARE(view->currentIndex().column(), remarkColumn);
        QVERIFY(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));

        // The last rows can be scrolled into view above the footer.
        g.list.last();
        const QRect last = view->visualRect(view->currentIndex());
        QVERIFY(last.bottom() < view->viewport()->height());

        g.grid.setFooterVisible(false);
        QVERIFY(!footer->isVisible());
        QCOMPARE(view->viewport()->geometry().bottom() + 1, barTop);
    }

    void fieldsTheListLacksShowEmptyCells() {
        DeliveryGrid g;
        g.db.exec("INSERT INTO 表3 (单据编号, 联系人, 单价, 应收金额) VALUES "
                  "('1', '王', 12.5, 7), ('2', '李', 3.456, 8)");
        g.reload();
        QCOMPARE(g.cell(0, 6), QString("12.5"));
        QCOMPARE(g.cell(1, 6), QString("3.46"));

        g.reload(Query::distinct("表3", "联系人"));
        QCOMPARE(g.view()->model()->rowCount(), 2);
        QCOMPARE(g.view()->model()->columnCount(), 13);
        QCOMPARE(g.cell(0, 9), QString("李"));
        QCOMPARE(g.cell(0, 0), QString());
        QCOMPARE(g.cell(0, 6), QString());
        QCOMPARE(g.grid.footerText(amountColumn), QString("0"));
        QVERIFY(g.show());
        g.grid.grab();
        QVERIFY(g.prompts.shown().isEmpty());
    }

    void ctrlClickedRowsAreDeleted() {
        DeliveryGrid g;
        g.addBills(6);
        g.reload();
        QVERIFY(g.show());
        g.clickIndicator(1, Qt::ControlModifier);
        g.clickIndicator(3, Qt::ControlModifier);
        g.clickIndicator(4, Qt::ControlModifier);
        QCOMPARE(g.grid.selectedRows(), (QList<int>{1, 3, 4}));
        QCOMPARE(g.list.recNo(), 4);

        g.grid.deleteSelectedRows();
        QCOMPARE(g.bills(), (QStringList{"1", "3", "6"}));
        QCOMPARE(g.list.recordCount(), 3);
        QCOMPARE(g.cell(2, 0), QString("6"));
        QVERIFY(g.grid.selectedRows().isEmpty());
        QVERIFY(g.grid.updatesEnabled());
    }

    void selectionFollowsClicksKeysAndReloads() {
        DeliveryGrid g;
        g.addBills(8);
        g.reload();
        QVERIFY(g.show());

        g.clickIndicator(0, Qt::ControlModifier);
        g.clickIndicator(2, Qt::ControlModifier);
        g.clickIndicator(5);
        QCOMPARE(g.grid.selectedRows(), QList<int>{5});
        QCOMPARE(g.list.recNo(), 5);

        g.clickIndicator(2, Qt::ShiftModifier);
        QCOMPARE(g.grid.selectedRows(), (QList<int>{2, 3, 4, 5}));
        g.clickIndicator(3, Qt::ControlModifier);
        QCOMPARE(g.grid.selectedRows(), (QList<int>{2, 4, 5}));

        // Rows added or removed elsewhere in the list keep the same records selected.
        g.list.moveTo(0);
        g.list.remove();
        QCOMPARE(g.grid.selectedRows(), (QList<int>{1, 3, 4}));
        g.list.append();
        QCOMPARE(g.grid.selectedRows(), (QList<int>{1, 3, 4}));
        g.list.cancel();

        // A plain click on a data cell or a plain cursor key clears the selection.
        g.clickCell(6, 2);
        QVERIFY(g.grid.selectedRows().isEmpty());
        QCOMPARE(g.list.recNo(), 6);
        g.clickIndicator(1);
        QTest::keyClick(g.view(), Qt::Key_Down);
        QCOMPARE(g.list.recNo(), 2);
        QVERIFY(g.grid.selectedRows().isEmpty());
        QTest::keyClick(g.view(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(g.view(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(g.grid.selectedRows(), (QList<int>{2, 3, 4}));
        QTest::keyClick(g.view(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(g.grid.selectedRows(), (QList<int>{2, 3}));

        // Tab walks the columns of the current row and leaves the selection alone.
        const int column = g.view()->currentIndex().column();
        QTest::keyClick(g.view(), Qt::Key_Tab);
        QCOMPARE(g.view()->currentIndex().column(), column + 1);
        QCOMPARE(g.list.recNo(), 3);
        QCOMPARE(g.grid.selectedRows(), (QList<int>{2, 3}));

        // Dragging down the indicator column selects the run.
        QTest::mousePress(g.indicator()->viewport(), Qt::LeftButton, {}, g.indicatorPoint(4));
        QTest::mouseMove(g.indicator()->viewport(), g.indicatorPoint(5));
        QTest::mouseMove(g.indicator()->viewport(), g.indicatorPoint(6));
        QTest::mouseRelease(g.indicator()->viewport(), Qt::LeftButton, {}, g.indicatorPoint(6));
        QCOMPARE(g.grid.selectedRows(), (QList<int>{4, 5, 6}));
        QCOMPARE(g.list.recNo(), 6);

        g.reload();
        QVERIFY(g.grid.selectedRows().isEmpty());
    }

    void draggingPastTheLastVisibleRowScrollsOn() {
        DeliveryGrid g;
        g.addBills(100);
        g.reload();
        QVERIFY(g.show());
        QWidget* column = g.indicator()->viewport();
        const int lastVisible = g.indicator()->logicalIndexAt(column->height() - 1);
        QTest::mousePress(column, Qt::LeftButton, {}, g.indicatorPoint(2));
        QTest::mouseMove(column, QPoint(5, column->height() + 10));
        QTRY_VERIFY(g.list.recNo() > lastVisible + 2);
        QTest::mouseRelease(column, Qt::LeftButton, {}, QPoint(5, column->height() + 10));
        const int reached = g.list.recNo();
        QCOMPARE(g.grid.selectedRows().first(), 2);
        QCOMPARE(g.grid.selectedRows().last(), reached);
        QCOMPARE(g.grid.selectedRows().size(), reached - 1);
        QVERIFY(
            g.view()->viewport()->rect().contains(g.view()->visualRect(g.view()->currentIndex())));
        // Released: no more scrolling.
        QTest::qWait(200);
        QCOMPARE(g.list.recNo(), reached);
    }

    void ctrlDeleteAsksFirst() {
        DeliveryGrid g;
        g.addBills(4);
        g.reload();
        QVERIFY(g.show());
        g.list.moveTo(1);

        g.prompts.answerConfirm(false);
        QTest::keyClick(g.view(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(g.prompts.texts("confirm"), QStringList{"删除记录吗？"});
        QVERIFY(g.prompts.shown().last().cancelByDefault);
        QCOMPARE(g.db.count("表3"), 4);

        g.clickIndicator(2);
        g.clickIndicator(3, Qt::ControlModifier);
        g.prompts.answerConfirm(false);
        QTest::keyClick(g.view(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(g.prompts.lastText(), QString("删除所有选中的记录吗？"));
        QCOMPARE(g.db.count("表3"), 4);
        QCOMPARE(g.grid.selectedRows(), (QList<int>{2, 3}));

        g.prompts.answerConfirm(true);
        QTest::keyClick(g.view(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(g.bills(), (QStringList{"1", "2"}));

        g.list.moveTo(0);
        g.prompts.answerConfirm(true);
        QTest::keyClick(g.view(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(g.bills(), QStringList{"2"});
        QVERIFY(g.prompts.texts("error").isEmpty());
    }

    void deletingFromAReadOnlyListShowsTheErrorAndKeepsTheRows() {
        DeliveryGrid g;
        g.addBills(3);
        g.reload(Query::distinct("表3", "单据编号"));
        QVERIFY(g.show());
        g.clickIndicator(0);
        g.clickIndicator(1, Qt::ShiftModifier);
        g.prompts.answerConfirm(true);
        QTest::keyClick(g.view(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(g.prompts.texts("error").size(), 1);
        QVERIFY(g.prompts.texts("error")[0].contains("刷新"));
        QCOMPARE(g.db.count("表3"), 3);
        QCOMPARE(g.grid.selectedRows(), (QList<int>{0, 1}));
        QVERIFY(g.grid.updatesEnabled());
    }

    void dataCellClicksAreReportedWithTheCursorThere() {
        DeliveryGrid g;
        g.addBills(5);
        g.reload();
        QVERIFY(g.show());
        int rowAtClick = -1;
        QObject::connect(&g.grid, &DataGrid::dataCellClicked,
                         [&](int, int) { rowAtClick = g.list.recNo(); });
        QSignalSpy clicks(&g.grid, &DataGrid::dataCellClicked);

        g.clickCell(3, 4);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0][0].toInt(), 3);
        QCOMPARE(clicks[0][1].toInt(), 4);
        QCOMPARE(rowAtClick, 3);

        g.clickIndicator(1);
        QCOMPARE(g.list.recNo(), 1);
        QTest::mouseClick(g.header()->viewport(), Qt::LeftButton, {},
                          g.header()->lowerRect(2).center());
        // Pressed on one cell and released on another is no click.
        QTest::mousePress(g.view()->viewport(), Qt::LeftButton, {}, g.cellPoint(2, 0));
        QTest::mouseRelease(g.view()->viewport(), Qt::LeftButton, {}, g.cellPoint(4, 0));
        QCOMPARE(clicks.size(), 1);

        // A failing receiver ends in the error box, not in the event loop.
        QObject::connect(&g.grid, &DataGrid::dataCellClicked,
                         [] { throw DataError("no such bill"); });
        g.clickCell(0, 0);
        QCOMPARE(g.prompts.texts("error"), QStringList{"no such bill"});
    }

    void twoLevelTitlesShareTheirUpperCell() {
        DeliveryGrid g;
        QVERIFY(g.show());
        GridHeader* header = g.header();
        QCOMPARE(header->height(), 36);

        const QRect goods = header->upperRect(3);
        QCOMPARE(goods.left(), header->sectionViewportPosition(3));
        QCOMPARE(goods.width(), 65 + 65 + 45 + 55 + 55 + 70);
        QCOMPARE(goods.height(), 18);
        for (int column = 4; column <= 8; ++column)
            QCOMPARE(header->upperRect(column), goods);
        const QRect customers = header->upperRect(9);
        QCOMPARE(customers.left(), goods.right() + 1);
        QCOMPARE(customers.width(), 60 + 80 + 110);
        QCOMPARE(header->lowerRect(5), QRect(goods.left() + 130, 18, 45, 18));

        // Titles without a bar fill both rows.
        QCOMPARE(header->upperRect(0), QRect(header->sectionViewportPosition(0), 0, 60, 36));
        QCOMPARE(header->lowerRect(12).height(), 36);
        QCOMPARE(header->model()->headerData(8, Qt::Horizontal).toString(),
                 QString("商品信息|金额"));

        // Resizing a column widens its group's cell.
        g.view()->setColumnWidth(4, 100);
        QCOMPARE(header->upperRect(8).width(), goods.width() + 35);

        // Neighbours share an upper cell only when their upper texts match.
        g.grid.setColumns({{"单价", "甲|单价"}, {"数量", "乙|数量"}, {"备注", "甲|备注"}});
        QCOMPARE(header->upperRect(0).width(), 64);
        QCOMPARE(header->upperRect(2).width(), 64);
    }

    void singleLevelTitlesUseOneRow() {
        DeliveryGrid g;
        g.grid.setColumns(
            {{"商品名称", "", Qt::AlignLeft, 150}, {"单价", "", Qt::AlignHCenter, 90, true}});
        QVERIFY(g.show());
        QCOMPARE(g.header()->height(), 18);
        QCOMPARE(g.header()->upperRect(1).height(), 18);
        QCOMPARE(g.header()->model()->headerData(0, Qt::Horizontal).toString(),
                 QString("商品名称"));
    }

    void titleClicksFlipTheSortMarkOnly() {
        DeliveryGrid g;
        g.addBills(3);
        g.reload();
        QVERIFY(g.show());
        GridHeader* header = g.header();
        QCOMPARE(header->sortIndicatorSection(), -1);

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, header->lowerRect(0).center());
        QCOMPARE(header->sortIndicatorSection(), 0);
        const Qt::SortOrder first = header->sortIndicatorOrder();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, header->lowerRect(0).center());
        QCOMPARE(header->sortIndicatorSection(), 0);
        QVERIFY(header->sortIndicatorOrder() != first);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, header->lowerRect(4).center());
        QCOMPARE(header->sortIndicatorSection(), 4);
        // The shared upper cell is not a title of its own.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, header->upperRect(6).center());
        QCOMPARE(header->sortIndicatorSection(), 4);

        QCOMPARE(g.cell(0, 0), QString("1"));
        QCOMPARE(g.cell(2, 0), QString("3"));
        QCOMPARE(g.list.text(0, 0), QString("1"));
    }

    void theViewFollowsTheDatasetCursor() {
        DeliveryGrid g;
        g.addBills(300);
        g.reload();
        QVERIFY(g.show());
        QCOMPARE(g.view()->currentIndex().row(), 0);

        g.list.last();
        const QModelIndex last = g.view()->currentIndex();
        QCOMPARE(last.row(), 299);
        QVERIFY(g.view()->viewport()->rect().contains(g.view()->visualRect(last)));

        g.list.moveTo(10);
        QCOMPARE(g.view()->currentIndex().row(), 10);
        QVERIFY(
            g.view()->viewport()->rect().contains(g.view()->visualRect(g.view()->currentIndex())));

        // A refresh after a bill selection reloads the whole list and shows its end.
        g.reload(Query::equal("表3", "单据编号", "5"));
        QCOMPARE(g.view()->currentIndex().row(), 0);
        g.db.exec("INSERT INTO 表3 (单据编号) VALUES ('301')");
        g.reload();
        g.list.last();
        QCOMPARE(g.view()->currentIndex().row(), 300);
        QVERIFY(
            g.view()->viewport()->rect().contains(g.view()->visualRect(g.view()->currentIndex())));

        g.list.close();
        QVERIFY(!g.view()->currentIndex().isValid());
        QCOMPARE(g.grid.footerText(amountColumn), QString("0"));
    }

    void rowsAlternateAndTheSelectionStandsOut() {
        DeliveryGrid g;
        g.addBills(5);
        g.reload();
        QVERIFY(g.show());
        g.list.moveTo(4);
        g.clickIndicator(3, Qt::ControlModifier);
        g.list.moveTo(4);
        const QImage image = g.view()->viewport()->grab().toImage();
        // Sampled inside the empty remark cells.
        auto background = [&](int row) {
            const QRect cell = g.view()->visualRect(g.view()->model()->index(row, remarkColumn));
            return QColor(image.pixel(cell.center()));
        };
        QCOMPARE(background(0), QColor(Qt::white));
        QCOMPARE(background(1), QColor(238, 238, 238));
        QCOMPARE(background(2), QColor(Qt::white));
        QCOMPARE(background(3), g.view()->palette().color(QPalette::Active, QPalette::Highlight));
        QVERIFY(background(4) != QColor(Qt::white));
        QVERIFY(background(4) != background(3));
    }

    void columnWidthsSurviveReloads() {
        DeliveryGrid g;
        g.addBills(2);
        g.reload();
        QCOMPARE(g.view()->columnWidth(0), 60);
        QCOMPARE(g.view()->columnWidth(11), 110);
        g.view()->setColumnWidth(1, 120);
        g.reload(Query::distinct("表3", "单据编号"));
        g.reload();
        QCOMPARE(g.view()->columnWidth(1), 120);
        QCOMPARE(g.view()->columnWidth(11), 110);
    }

    // The three grids of the main window: per column the title, the field shown (each stored
    // value differs), the cell alignment, the width and whether "#0.##" applies (text columns
    // hold number-like texts, which must show as stored).
    void theProgramsGridsShowTheirColumns_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("alignments"); // l: left, c: centre
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("goods") << 0 << QStringList{"商品编码", "商品名称", "规格型号",
                                                   "单位",     "单价",     "备注"}
                               << QStringList{"1.234", "2.345", "3.456", "4.567", "3.46", "5.678"}
                               << "cllccl" << QList<int>{80, 150, 150, 60, 90, 200};
        QTest::newRow("customers") << 1 << QStringList{"联系人", "联系电话", "详细地址", "备注"}
                                   << QStringList{"1.234", "2.345", "3.456", "4.567"} << "ccll"
                                   << QList<int>{70, 100, 350, 150};
        QTest::newRow("deliveries")
            << 2 << QStringList{"单据编号",
                                "业务日期",
                                "经手人",
                                "商品信息|商品名称",
                                "商品信息|规格型号",
                                "商品信息|单位",
                                "商品信息|单价",
                                "商品信息|数量",
                                "商品信息|金额",
                                "客户信息|联系人",
                                "客户信息|联系电话",
                                "客户信息|单位地址",
                                "备注"}
            << QStringList{"1.111", "2026/3/4", "3.333",  "5.555",  "6.666",  "7.777", "8.89",
                           "10",    "10.1",     "11.111", "12.121", "13.131", "14.141"}
            << "clcllccccccll" << QList<int>{60, 80, 60, 65, 65, 45, 55, 55, 70, 60, 80, 110, 80};
    }
    void theProgramsGridsShowTheirColumns() {
        QFETCH(int, view);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, cells);
        QFETCH(QString, alignments);
        QFETCH(QList<int>, widths);
        TestDatabase db;
        db.exec("INSERT INTO 表1 VALUES ('1.234', '2.345', '3.456', '4.567', 3.456, '5.678')");
        db.exec("INSERT INTO 表2 VALUES ('0.5', '1.234', '2.345', '3.456', '4.567')");
        db.exec("INSERT INTO 表3 VALUES ('1.111', '2026-03-04', '3.333', '4.444', '5.555', "
                "'6.666', '7.777', 8.888, 9.999, 10.101, '11.111', '12.121', '13.131', '14.141')");
        ScriptedPrompts prompts;
        Program program;
        GridView* grid =
            program.mainForm().grid(static_cast<TMainForm::View>(view))->findChild<GridView*>();
        QAbstractItemModel* model = grid->model();
        QCOMPARE(model->columnCount(), titles.size());
        for (int column = 0; column < titles.size(); ++column) {
            QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), titles[column]);
            const QModelIndex cell = model->index(0, column);
            QCOMPARE(cell.data().toString(), cells[column]);
            const auto alignment =
                cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
            QCOMPARE(alignment, alignments[column] == 'l' ? Qt::AlignLeft : Qt::AlignHCenter);
            QCOMPARE(grid->columnWidth(column), widths[column]);
        }
        QVERIFY(prompts.shown().isEmpty());
    }

    void theDeliveryGridsHintShowsOverItsCells() {
        TestDatabase db;
        db.exec("INSERT INTO 表3 (单据编号) VALUES ('1'), ('2')");
        ScriptedPrompts prompts;
        Program program;
        TMainForm& w = program.mainForm();
        w.show();
        w.viewSelector()->setCurrentIndex(2);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        GridView* view = w.grid(TMainForm::View::Deliveries)->findChild<GridView*>();
        QWidget* port = view->viewport();
        const QPoint pos = view->visualRect(view->model()->index(1, 3)).center();
        QHelpEvent help(QEvent::ToolTip, pos, port->mapToGlobal(pos));
        QApplication::sendEvent(port, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(
            QToolTip::text(),
            QString(
                "提示：1.点击“刷新信息”显示全部记录；2.单击左边序号选中一条记录再选择“修改信息”"));
        QToolTip::hideText();
    }

    // A cut cell shows its whole text in its tool tip, with the grid's hint under it; a whole
    // one leaves the hint alone. Every grid of the program does so.
    void cutCellsShowTheirWholeTextInTheirToolTip() {
        TestDatabase db;
        db.exec("INSERT INTO 表3 (单据编号, 商品名称) VALUES ('20261209-001', '短'), ('7', '短')");
        db.exec(
            "INSERT INTO 表2 (联系人, 单位地址) VALUES ('张三', '杭州市西湖区文三路 1 号某某大厦 "
            "18 层 1801 室，某某科技有限公司仓库收货处')");
        ScriptedPrompts prompts;
        Program program;
        TMainForm& w = program.mainForm();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto tipAt = [](GridView* view, int row, int column) {
            // A tool tip fades out a moment after it is hidden.
            QToolTip::hideText();
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
                return QStringLiteral("(the last tip stays)");
            QWidget* port = view->viewport();
            const QPoint pos = view->visualRect(view->model()->index(row, column)).center();
            QHelpEvent help(QEvent::ToolTip, pos, port->mapToGlobal(pos));
            QApplication::sendEvent(port, &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        const QString hint = w.grid(TMainForm::View::Deliveries)->toolTip();
        w.viewSelector()->setCurrentIndex(2);
        GridView* deliveries = w.grid(TMainForm::View::Deliveries)->findChild<GridView*>();
        QCOMPARE(tipAt(deliveries, 0, 0), "20261209-001\n" + hint);
        QCOMPARE(tipAt(deliveries, 1, 0), hint);
        w.viewSelector()->setCurrentIndex(1);
        GridView* customers = w.grid(TMainForm::View::Customers)->findChild<GridView*>();
        QCOMPARE(tipAt(customers, 0, 2), QString("杭州市西湖区文三路 1 号某某大厦 18 层 1801 "
                                                 "室，某某科技有限公司仓库收货处"));
        QCOMPARE(tipAt(customers, 0, 0), QString());
        QToolTip::hideText();
    }

    void rightClickShowsThePopupMenu() {
        DeliveryGrid g;
        g.addBills(2);
        g.reload();
        QMenu menu;
        menu.addAction("添加信息");
        g.grid.setPopupMenu(&menu);
        QVERIFY(g.show());
        g.list.moveTo(1);
        QWidget* port = g.view()->viewport();
        const QPoint pos = g.cellPoint(0, 2);
        QTest::mouseClick(port, Qt::RightButton, {}, pos);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, port->mapToGlobal(pos));
        QApplication::sendEvent(port, &event);
        QTRY_VERIFY(menu.isVisible());
        QCOMPARE(g.list.recNo(), 1);
        menu.close();
    }

    void twoHundredThousandRowsKeepFixedRowHeights() {
        DeliveryGrid g;
        g.db.exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
            "INSERT INTO 表3 (单据编号, 商品名称, 应收金额) "
            "SELECT i, '商品' || i, 0.01 FROM n");
        g.reload();
        QVERIFY(g.show());
        QCOMPARE(g.indicator()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(g.indicator()->length(), 200000 * g.indicator()->defaultSectionSize());
        QCOMPARE(g.grid.footerText(amountColumn), QString("2000"));

        // Rows keep one fixed height, so scrolling never measures rows; the time a frame takes
        // at this size is measured in bench/.
        QScrollBar* bar = g.view()->verticalScrollBar();
        for (int step = 0; step <= 40; ++step) {
            bar->setValue(bar->maximum() * step / 40);
            g.view()->viewport()->repaint();
        }
        QCOMPARE(g.cell(199999, 0), QString("200000"));
        g.list.last();
        QCOMPARE(g.view()->currentIndex().row(), 199999);
    }

    // Reopened lists keep their count only while their rows are the same.
    void footerSumAfterReopeningIsTheSumOfTheRowsShown() {
        DeliveryGrid g;
        g.db.exec("INSERT INTO 表3 (单据编号, 应收金额) VALUES ('1', 0.1), ('2', 0.2)");
        g.reload();
        QCOMPARE(g.grid.footerText(amountColumn), QString("0.3"));
        g.reload(Query::like("表3", "单据编号", "2"));
        QCOMPARE(g.grid.footerText(amountColumn), QString("0.2"));
        g.reload();
        QCOMPARE(g.grid.footerText(amountColumn), QString("0.3"));

        Dataset other(&g.connection, "other");
        other.setQuery(Query::like("表3", "单据编号", "1"));
        other.open();
        other.edit();
        other.setText("应收金额", "5");
        other.post();
        g.reload();
        QCOMPARE(g.grid.footerText(amountColumn), QString("5.2"));

        g.db.exec("UPDATE 表3 SET 应收金额 = 7 WHERE 单据编号 = '2'");
        g.reload();
        QCOMPARE(g.grid.footerText(amountColumn), QString("12"));
    }
};

DN_TEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
