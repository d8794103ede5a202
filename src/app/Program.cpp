#include "app/Program.h"

#include "app/MainUnit.h"
#include "app/RecordCommands.h"
#include "data/DatabaseConnection.h"
#include "grid/DataGrid.h"
#include "printing/BillSelection.h"
#include "printing/Dy1Unit.h"
#include "printing/PrintRuns.h"
#include "profile/JbzlUnit.h"
#include "ui/Guard.h"

#include <QAction>
#include <QToolButton>

using View = TMainForm::View;

Program::Program() : main_(std::make_unique<TMainForm>()) {
    TMainForm* window = main_.get();
    window->openDatabase();
    window->FormCreate();

    report_ = std::make_unique<TDy1Form>();
    guarded(window, [this] { report_->openConnection(); });

    profile_ = std::make_unique<TJbzlForm>(window);
    guarded(window, [this] { profile_->Load(); });
    Dataset* profileQuery = profile_->profileQuery();
    window->databaseConnection().setProfileQuery(profileQuery);

    commands_ = new RecordCommands(window, profileQuery);

    billSelection_ =
        std::make_unique<BillSelection>(window->mainConnection(), window->query(View::Deliveries),
                                        window->printBuffer(), window->billNumberBox());
    printRuns_ =
        std::make_unique<PrintRuns>(&window->databaseConnection(), report_.get(), profileQuery);

    QObject::connect(window->speedButton(1), &QToolButton::clicked, window,
                     guardedSlot(window, [this] { profile_->exec(); }));
    QObject::connect(window->grid(View::Deliveries), &DataGrid::dataCellClicked, window,
                     guardedSlot(window, [this] { billSelection_->DBGridEh3CellClick(); }));
    QObject::connect(window->speedButton(2), &QToolButton::clicked, window,
                     guardedSlot(window, [this] { printRuns_->SpeedButton2Click(); }));
    QObject::connect(window->menuItem(QStringLiteral("N5")), &QAction::triggered, window,
                     guardedSlot(window, [this] { printRuns_->N5Click(); }));
}

Program::~Program() = default;
