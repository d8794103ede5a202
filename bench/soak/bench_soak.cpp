// Soak: the real main window, offscreen, through a long run of mixed user operations (add,
// modify, delete, search, refresh, bill selection, print run to PDF with the preview closed by
// the program, export, backup), clicking its buttons and filling its boxes. Reports resident
// memory at the start, the middle and the end, every 1,000 operations, and the growth per
// 1,000 operations after the first 1,000 (warm-up). Target: at most 5 MB per 1,000.
//
// SOAK_OPERATIONS (default 10000) and SOAK_SEED (default 11) change the run.

#include "BenchSupport.h"
#include "SeedDatabase.h"

#include "app/MainUnit.h"
#include "app/Program.h"
#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "grid/GridView.h"
#include "grid/IndicatorColumn.h"
#include "platform/ProgramFolder.h"
#include "printing/Dy1Unit.h"
#include "printing/QRPrev.h"
#include "ui/AppSetup.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <random>

using View = TMainForm::View;

namespace {

// Answers every box as a clerk in a hurry would: OK, the file name of the moment, and counts
// the error boxes by text.
class SoakPrompts final : public Prompts {
public:
    QString saveAs;
    QMap<QString, int> errors;

    void message(QWidget*, const QString&) override {}
    void hint(QWidget*, const QString&) override {}
    bool confirm(QWidget*, const QString&) override { return true; }
    void error(QWidget*, const QString& text) override { ++errors[text.left(120)]; }
    QString saveFileName(QWidget*) override { return saveAs; }
    QString openFileName(QWidget*) override { return QString(); }
    PrintSetupAnswer printSetup(QWidget*, QPrinter*, int, int) override { return {}; }
};

class Soak {
public:
    Soak(Program& program, SoakPrompts& prompts, const QString& folder, quint64 seed)
        : program_(program), window_(program.mainForm()), prompts_(prompts), folder_(folder),
          rng_(seed) {}

    QMap<QString, int> done;

    void step() {
        const int pick = static_cast<int>(rng_() % 100);
        if (pick < 24)
            add();
        else if (pick < 38)
            modify();
        else if (pick < 50)
            remove();
        else if (pick < 64)
            search();
        else if (pick < 74)
            refresh();
        else if (pick < 88)
            selectBill();
        else if (pick < 94)
            print();
        else if (pick < 97)
            exportList();
        else
            backUp();
    }

private:
    template <class T = QLineEdit> T* find(const char* name) const {
        T* widget = window_.findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void click(QAbstractButton* button) const { QTest::mouseClick(button, Qt::LeftButton); }
    void click(const char* name) const { click(find<QAbstractButton>(name)); }
    void command(int button) const { click(window_.speedButton(button)); }
    View view() { return static_cast<View>(rng_() % 3); }
    void show(View v) const { window_.viewSelector()->setCurrentIndex(static_cast<int>(v)); }
    QString number(int below) { return QString::number(rng_() % below); }

    void add() {
        const View v = view();
        show(v);
        command(8);
        switch (v) {
        case View::Goods:
            find("Edit1")->setText(QStringLiteral("S") + number(100000));
            find("Edit2")->setText(QStringLiteral("商品") + number(1000));
            find("Edit5")->setText(number(1000) + QStringLiteral(".5"));
            click("Button1");
            break;
        case View::Customers:
            find("Edit10")->setText(QStringLiteral("联系人") + number(1000));
            find("Edit11")->setText(QStringLiteral("0571") + number(100000));
            click("Button5");
            break;
        case View::Deliveries: {
            find("Edit16")->setText(QStringLiteral("B") + number(300));
            // Picks from the drop-downs run the goods and customer look-ups.
            for (const char* name : {"ComboBox3", "ComboBox4"}) {
                auto* box = find<QComboBox>(name);
                if (box->count() > 0)
                    box->setCurrentIndex(static_cast<int>(rng_() % box->count()));
            }
            find("Edit21")->setText(number(100));
            find("Edit22")->setText(QString::number(1 + rng_() % 9));
            click("Button9");
            break;
        }
        }
        ++done[QStringLiteral("add")];
    }

    // Puts the cursor on a random row of the view's list; false when it has none.
    bool pickRow(View v) {
        Dataset* list = window_.query(v);
        if (list->recordCount() == 0)
            return false;
        list->moveTo(static_cast<int>(rng_() % list->recordCount()));
        return true;
    }

    void modify() {
        const View v = view();
        show(v);
        refresh();
        if (!pickRow(v))
            return;
        command(9);
        switch (v) {
        case View::Goods:
            find("Edit6")->setText(QStringLiteral("改") + number(1000));
            click("Button3");
            break;
        case View::Customers:
            find("Edit13")->setText(QStringLiteral("改") + number(1000));
            click("Button7");
            break;
        case View::Deliveries:
            find("Edit26")->setText(QStringLiteral("改") + number(1000));
            if (find("Edit21")->text().isEmpty())
                find("Edit21")->setText(QStringLiteral("1"));
            if (find("Edit22")->text().isEmpty())
                find("Edit22")->setText(QStringLiteral("1"));
            click("Button11");
            break;
        }
        ++done[QStringLiteral("modify")];
    }

    // Clicks the row numbers of two rows beside the cursor, then "删除" (the box says OK).
    void remove() {
        const View v = view();
        show(v);
        refresh();
        if (!pickRow(v))
            return;
        const int row = window_.query(v)->recNo();
        IndicatorColumn* indicator = window_.grid(v)->findChild<GridView*>()->indicator();
        for (int r = row; r < qMin(row + 2, window_.query(v)->recordCount()); ++r) {
            const QPoint at(indicator->width() / 2,
                            indicator->sectionViewportPosition(r) + indicator->sectionSize(r) / 2);
            if (indicator->viewport()->rect().contains(at))
                QTest::mouseClick(indicator->viewport(), Qt::LeftButton,
                                  r == row ? Qt::NoModifier : Qt::ControlModifier, at);
        }
        command(10);
        ++done[QStringLiteral("delete")];
    }

    void search() {
        const View v = view();
        show(v);
        refresh();
        command(11);
        const char* boxes[3][2] = {
            {"Edit7", "Button4"}, {"Edit14", "Button8"}, {"Edit27", "Button12"}};
        const int i = static_cast<int>(v);
        find(boxes[i][0])->setText(number(10));
        click(boxes[i][1]);
        ++done[QStringLiteral("search")];
    }

    void refresh() { command(12); }

    // A click on a data cell of the delivery grid.
    void selectBill() {
        show(View::Deliveries);
        refresh();
        if (!pickRow(View::Deliveries))
            return;
        auto* view = window_.grid(View::Deliveries)->findChild<GridView*>();
        const QModelIndex cell = view->model()->index(window_.query(View::Deliveries)->recNo(), 2);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(cell).center());
        ++done[QStringLiteral("bill selection")];
    }

    // The toolbar's or the menu's print run; the preview prints to the PDF file once it has
    // all pages and is then closed.
    void print() {
        show(View::Deliveries);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&poll] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* preview = qobject_cast<TQRStandardPreview*>(w);
                if (preview && preview->isVisible() && preview->generationFinished()) {
                    poll.stop();
                    preview->SpeedButton2Click();
                    preview->SpeedButton3Click();
                }
            }
        });
        poll.start(1);
        if (rng_() % 2)
            command(2);
        else
            window_.menuItem(QStringLiteral("N5"))->trigger();
        ++done[QStringLiteral("print run")];
    }

    void exportList() {
        show(view());
        prompts_.saveAs = QDir(folder_).filePath(QStringLiteral("列表"));
        command(3);
        ++done[QStringLiteral("export")];
    }

    void backUp() {
        prompts_.saveAs = QDir(folder_).filePath(QStringLiteral("备份"));
        command(4);
        ++done[QStringLiteral("backup")];
    }

    Program& program_;
    TMainForm& window_;
    SoakPrompts& prompts_;
    QString folder_;
    std::mt19937_64 rng_;
};

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::isolateDesktop(home.path());
    QApplication app(argc, argv);
    setUpApplication(app);

    bool ok = false;
    int total = qEnvironmentVariableIntValue("SOAK_OPERATIONS", &ok);
    total = ok && total > 0 ? total : 10000;
    const quint64 seed = qEnvironmentVariableIsSet("SOAK_SEED")
                             ? qEnvironmentVariable("SOAK_SEED").toULongLong()
                             : 11;

    QTemporaryDir dir;
    SeedDatabase::generate(dir.filePath(QStringLiteral("data.mdb")), 1000, 200, 5000);
    QDir::setCurrent(dir.path());
    ProgramFolder::setPathForTesting(dir.path());
    SoakPrompts prompts;
    Prompts::install(&prompts);

    Program program;
    program.mainForm().show();
    program.reportForm().printerSettings().outputFileName =
        dir.filePath(QStringLiteral("送货单.pdf"));
    Soak soak(program, prompts, dir.path(), seed);

    // Each operation runs from the event loop, as a click would, so that windows closed along
    // the way are really deleted in between.
    QList<double> resident = {bench::residentMb()};
    bench::report(QStringLiteral("soak_resident_start"), resident.first(), QStringLiteral("MB"));
    int count = 0;
    std::function<void()> next = [&] {
        soak.step();
        ++count;
        if (count % 1000 == 0 || count == total || count == total / 2) {
            resident.append(bench::residentMb());
            if (count % 1000 == 0 || count == total)
                bench::report(QStringLiteral("soak_resident_after_%1_operations").arg(count),
                              resident.last(), QStringLiteral("MB"));
            if (count == total / 2)
                bench::report(QStringLiteral("soak_resident_middle"), resident.last(),
                              QStringLiteral("MB"));
        }
        if (count < total)
            QTimer::singleShot(0, next);
        else
            QCoreApplication::quit();
    };
    QTimer::singleShot(0, next);
    app.exec();

    bench::report(QStringLiteral("soak_resident_end"), resident.last(), QStringLiteral("MB"));
    if (resident.size() > 2)
        bench::report(QStringLiteral("soak_growth_per_1000_operations_after_warm_up"),
                      (resident.last() - resident[1]) * 1000.0 / (total - 1000),
                      QStringLiteral("MB"));
    for (auto it = soak.done.cbegin(); it != soak.done.cend(); ++it)
        bench::report(QStringLiteral("soak_operations_%1").arg(it.key()).replace(' ', '_'),
                      it.value(), QStringLiteral("count"));
    for (auto it = prompts.errors.cbegin(); it != prompts.errors.cend(); ++it)
        QTextStream(stdout) << "error box (" << it.value() << "x): " << it.key() << Qt::endl;
    Prompts::install(nullptr);
    return 0;
}
