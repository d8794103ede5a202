#include "app/ImportCommand.h"

#include "app/MainUnit.h"
#include "data/DatabaseConnection.h"
#include "imports/ImportWizard.h"
#include "ui/Prompts.h"

void ImportCommand::ImportButtonClick() {
    const std::optional<TMainForm::View> view = window_->currentView();
    if (!view || *view == TMainForm::View::Deliveries) {
        Prompts::instance().message(
            window_, QStringLiteral("导入用于商品信息和客户信息，请先在左上角选择“商品信息”"
                                    "或“客户信息”！"));
        return;
    }
    ImportWizard wizard(
        window_->mainConnection(),
        *view == TMainForm::View::Goods ? ImportTarget::Goods : ImportTarget::Customers, window_);
    wizard.exec();
    if (wizard.storedCount() > 0)
        window_->databaseConnection().ReopenAll();
}
