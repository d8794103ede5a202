// The main window on a busy database (10,000 goods, 2,000 customers, 200,000 delivery rows):
// start-up until the window is shown, a goods search, the goods look-up per keystroke.

#include "BenchSupport.h"

#include "app/MainUnit.h"
#include "app/Program.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "printing/BillSelection.h"
#include "ui/AppSetup.h"

#include <QAbstractScrollArea>
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

using View = TMainForm::View;

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::isolateDesktop(home.path());
    QApplication app(argc, argv);
    setUpApplication(app);

    QTemporaryDir dir;
    bench::generateDatabase(dir.filePath(QStringLiteral("data.mdb")), 10000, 2000, 200000);
    QDir::setCurrent(dir.path());

    QElapsedTimer startUp;
    startUp.start();
    Program program;
    TMainForm& window = program.mainForm();
    window.show();
    QApplication::processEvents();
    bench::report(QStringLiteral("start_up_to_window_shown"), startUp.elapsed(),
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
        if (area->isVisible() && area->verticalScrollBar()->maximum() > 100000)
            grid = area;
    }
    QScrollBar* bar = grid->verticalScrollBar();
    int step = 0;
    const double frame = bench::medianMs(41, [&] {
        bar->setValue(bar->maximum() * (step++ % 41) / 40);
        grid->viewport()->repaint();
    });
    bench::report(QStringLiteral("delivery_grid_scroll_frame_200000_rows"), frame,
                  QStringLiteral("ms"));

    std::vector<double> selections;
    for (int run = 0; run < 15; ++run) {
        window.databaseConnection().ReopenAll();
        deliveries->moveTo(100000 + run * 1000);
        selections.push_back(
            bench::medianMs(1, [&] { program.billSelection().DBGridEh3CellClick(); }));
    }
    std::sort(selections.begin(), selections.end());
    bench::report(QStringLiteral("bill_selection_20_rows_of_200000"),
                  selections[selections.size() / 2], QStringLiteral("ms"));
    bench::report(QStringLiteral("bill_rows_copied"), window.printBuffer()->recordCount(),
                  QStringLiteral("rows"));
    return 0;
}
