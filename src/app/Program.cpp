#include "app/Program.h"

#include "app/DatabaseChoice.h"
#include "app/DatabasePage.h"
#include "app/GridColumns.h"
#include "app/ImportCommand.h"
#include "app/MainUnit.h"
#include "app/RecordCommands.h"
#include "app/StartupProgress.h"
#include "backup/AutoBackupSchedule.h"
#include "backup/BackupPage.h"
#include "backup/DataBackup.h"
#include "backup/DataRestore.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "export/DataExport.h"
#include "grid/DataGrid.h"
#include "help/HelpLinks.h"
#include "printing/BillSelection.h"
#include "printing/Dy1Unit.h"
#include "printing/PrintPage.h"
#include "printing/PrintRuns.h"
#include "profile/JbzlUnit.h"
#include "receivables/LedgerCommands.h"
#include "settings/SettingsForm.h"
#include "statements/NumberingPage.h"
#include "statements/ReportCommands.h"
#include "ui/ClickableLabel.h"
#include "ui/Guard.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

using View = TMainForm::View;

namespace {

// The database is chosen before the main window creates its connections.
std::unique_ptr<TMainForm> mainFormOnChosenDatabase() {
    DatabaseChoice::apply();
    return std::make_unique<TMainForm>();
}

} // namespace

Program::Program() : main_(mainFormOnChosenDatabase()) {
    TMainForm* window = main_.get();
    {
        const StartupProgress loading;
        window->openDatabase();
        window->FormCreate();

        report_ = std::make_unique<TDy1Form>();
        guarded(window, [this] { report_->openConnection(); });

        profile_ = std::make_unique<TJbzlForm>(window);
        guarded(window, [this] { profile_->Load(); });
    }
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
    wireDataCommands();
    reports_ = std::make_unique<ReportCommands>(window, window->mainConnection(), profileQuery);
    ledger_ = std::make_unique<LedgerCommands>(window, window->mainConnection(), profileQuery);
    QObject::connect(window->addToolbarButton(QStringLiteral("StatementButton"),
                                              QStringLiteral("对账单"),
                                              QStringLiteral("tb_statement"), 811),
                     &QToolButton::clicked, window,
                     guardedSlot(window, [this] { reports_->StatementButtonClick(); }));
    QObject::connect(window->addToolbarButton(QStringLiteral("SalesButton"),
                                              QStringLiteral("销售统计"),
                                              QStringLiteral("tb_sales"), 871),
                     &QToolButton::clicked, window,
                     guardedSlot(window, [this] { reports_->SalesButtonClick(); }));
    QObject::connect(window->addToolbarButton(QStringLiteral("ReceivablesButton"),
                                              QStringLiteral("应收款"),
                                              QStringLiteral("tb_receivables"), 751),
                     &QToolButton::clicked, window,
                     guardedSlot(window, [this] { ledger_->ReceivablesButtonClick(); }));
    QObject::connect(window->addToolbarButton(QStringLiteral("PaymentButton"),
                                              QStringLiteral("收款"), QStringLiteral("tb_payment"),
                                              691),
                     &QToolButton::clicked, window,
                     guardedSlot(window, [this] { ledger_->PaymentButtonClick(); }));
    QToolButton* settings =
        window->addToolbarButton(QStringLiteral("SettingsButton"), QStringLiteral("系统设置"),
                                 QStringLiteral("tb_settings"), 931);
    // Where the data is, told outside the required layout.
    settings->setToolTip(QStringLiteral("系统设置\n数据：") + DatabasePage::databaseInUse());
    QObject::connect(settings, &QToolButton::clicked, window,
                     guardedSlot(window, [this] { openSettings(); }));
    wireImport();
    guarded(window, [window] { AutoBackupSchedule::atStart(window); });
}

// "导入" in the toolbar and "导入…" below "刷新信息" in the record menu.
void Program::wireImport() {
    TMainForm* window = main_.get();
    import_ = std::make_unique<ImportCommand>(window);
    QAction* item = window->recordMenu()->addAction(QStringLiteral("导入…"));
    item->setObjectName(QStringLiteral("ImportItem"));
    QObject::connect(item, &QAction::triggered, window,
                     guardedSlot(window, [this] { import_->ImportButtonClick(); }));
    QObject::connect(window->addToolbarButton(QStringLiteral("ImportButton"),
                                              QStringLiteral("导入"), QStringLiteral("tb_import"),
                                              631),
                     &QToolButton::clicked, window,
                     guardedSlot(window, [this] { import_->ImportButtonClick(); }));
}

// Tabs in this order: 打印, 单号, 备份, 数据库.
void Program::openSettings() {
    TSettingsForm form(main_.get());
    form.addPage(new PrintPage);
    form.addPage(new NumberingPage(deliveryColumns().constFirst().width));
    form.addPage(new BackupPage(restore_.get()));
    form.addPage(new DatabasePage);
    form.exec();
}

void Program::end() {
    if (!restore_->succeeded())
        guarded(nullptr, [] { AutoBackupSchedule::atExit(); });
}

// Export, backup, restore and the help links: toolbar buttons 3 to 6, the help menu and the
// picture link.
void Program::wireDataCommands() {
    TMainForm* window = main_.get();
    export_ = std::make_unique<DataExport>(window, [window]() -> Dataset* {
        const std::optional<View> view = window->currentView();
        return view ? window->query(*view) : nullptr;
    });
    backup_ = std::make_unique<DataBackup>(window);
    restore_ = std::make_unique<DataRestore>(
        window, QList<Connection*>{window->mainConnection(), report_->reportConnection(),
                                   profile_->profileQuery()->connection()});
    help_ = std::make_unique<HelpLinks>(window, window->speedButton(6), window->helpMenu());

    const auto onClick = [window](QToolButton* button, auto handler) {
        QObject::connect(button, &QToolButton::clicked, window, guardedSlot(window, handler));
    };
    onClick(window->speedButton(3), [this] { export_->SpeedButton3Click(); });
    onClick(window->speedButton(4), [this] { backup_->SpeedButton4Click(); });
    onClick(window->speedButton(5), [this] { restore_->SpeedButton5Click(); });
    onClick(window->speedButton(6), [this] { help_->SpeedButton6Click(); });
    const auto onTrigger = [window](const char* item, auto handler) {
        QObject::connect(window->menuItem(QString::fromLatin1(item)), &QAction::triggered, window,
                         guardedSlot(window, handler));
    };
    onTrigger("N2", [this] { help_->N2Click(); });
    onTrigger("N3", [this] { help_->N3Click(); });
    onTrigger("N4", [this] { help_->N4Click(); });
    QObject::connect(window->webLink(), &ClickableLabel::clicked, window,
                     guardedSlot(window, [this] { help_->Image8Click(); }));
}

Program::~Program() = default;
