#include "app/Program.h"

#include "app/MainUnit.h"
#include "app/RecordCommands.h"
#include "data/DatabaseConnection.h"
#include "profile/JbzlUnit.h"
#include "ui/Guard.h"

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
}

Program::~Program() = default;
