#include "app/Program.h"

#include "app/MainUnit.h"
#include "app/RecordCommands.h"
#include "backup/DataBackup.h"
#include "backup/DataRestore.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "export/DataExport.h"
#include "help/HelpLinks.h"
#include "profile/JbzlUnit.h"
#include "ui/ClickableLabel.h"
#include "ui/Guard.h"

#include <QAction>
#include <QToolButton>

Program::Program() : main_(std::make_unique<TMainForm>()) {
    main_->openDatabase();
    main_->FormCreate();

    profile_ = std::make_unique<TJbzlForm>(main_.get());
    guarded(main_.get(), [this] { profile_->Load(); });
    main_->databaseConnection().setProfileQuery(profile_->profileQuery());
    commands_ = new RecordCommands(main_.get(), profile_->profileQuery());

    QObject::connect(main_->speedButton(1), &QToolButton::clicked, main_.get(),
                     guardedSlot(main_.get(), [this] { profile_->exec(); }));
    wireDataCommands();
}

// Export, backup, restore and the help links: toolbar buttons 3 to 6, the help menu and the
// picture link.
void Program::wireDataCommands() {
    TMainForm* main = main_.get();
    export_ = std::make_unique<DataExport>(main, [main]() -> Dataset* {
        const std::optional<TMainForm::View> view = main->currentView();
        return view ? main->query(*view) : nullptr;
    });
    backup_ = std::make_unique<DataBackup>(main);
    restore_ = std::make_unique<DataRestore>(
        main, QList<Connection*>{main->mainConnection(), profile_->profileQuery()->connection()});
    help_ = std::make_unique<HelpLinks>(main, main->speedButton(6), main->helpMenu());

    const auto onClick = [main](QToolButton* button, auto handler) {
        QObject::connect(button, &QToolButton::clicked, main, guardedSlot(main, handler));
    };
    onClick(main->speedButton(3), [this] { export_->SpeedButton3Click(); });
    onClick(main->speedButton(4), [this] { backup_->SpeedButton4Click(); });
    onClick(main->speedButton(5), [this] { restore_->SpeedButton5Click(); });
    onClick(main->speedButton(6), [this] { help_->SpeedButton6Click(); });
    const auto onTrigger = [main](const char* item, auto handler) {
        QObject::connect(main->menuItem(QString::fromLatin1(item)), &QAction::triggered, main,
                         guardedSlot(main, handler));
    };
    onTrigger("N2", [this] { help_->N2Click(); });
    onTrigger("N3", [this] { help_->N3Click(); });
    onTrigger("N4", [this] { help_->N4Click(); });
    QObject::connect(main->webLink(), &ClickableLabel::clicked, main,
                     guardedSlot(main, [this] { help_->Image8Click(); }));
}

Program::~Program() = default;
