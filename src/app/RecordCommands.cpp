#include "app/RecordCommands.h"

#include "app/MainUnit.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "records/BooksWrite.h"
#include "records/DeliveryEntryPanel.h"
#include "records/EntryPanel.h"
#include "records/SearchPanel.h"
#include "ui/Guard.h"

#include <QAction>
#include <QToolButton>

using View = TMainForm::View;

namespace {
const char* const kNoRowTexts[3] = {"当前修改商品信息为空！", "当前修改客户信息为空！",
                                    "当前修改送货信息为空！"};
}

RecordCommands::RecordCommands(TMainForm* window, Dataset* profileQuery)
    : QObject(window), window_(window) {
    Dataset* goods = window->query(View::Goods);
    Dataset* customers = window->query(View::Customers);
    Dataset* deliveries = window->query(View::Deliveries);
    entries_[0] = new EntryPanel(EntryPanel::goods(), goods, window->tabSheet(View::Goods));
    searches_[0] = new SearchPanel(SearchPanel::goods(), goods, window->tabSheet(View::Goods));
    entries_[1] =
        new EntryPanel(EntryPanel::customers(), customers, window->tabSheet(View::Customers));
    searches_[1] =
        new SearchPanel(SearchPanel::customers(), customers, window->tabSheet(View::Customers));
    entries_[2] = new DeliveryEntryPanel(
        {deliveries, goods, customers, profileQuery, &window->databaseConnection()},
        window->tabSheet(View::Deliveries));
    // Deleted customer and delivery rows take the settlement of their customers along.
    for (const View view : {View::Customers, View::Deliveries})
        window->grid(view)->setRowRemover([](Dataset& rows) {
            writeWithBooks(rows, RowWrite::Remove, [&rows] { rows.remove(); });
        });
    searches_[2] =
        new SearchPanel(SearchPanel::deliveries(), deliveries, window->tabSheet(View::Deliveries));

    const struct {
        int button;
        const char* item;
        void (RecordCommands::*handler)();
    } commands[5] = {{8, "N7", &RecordCommands::SpeedButton8Click},
                     {9, "N8", &RecordCommands::SpeedButton9Click},
                     {10, "N9", &RecordCommands::SpeedButton10Click},
                     {11, "N11", &RecordCommands::SpeedButton11Click},
                     {12, "N12", &RecordCommands::SpeedButton12Click}};
    for (const auto& c : commands) {
        auto run = guardedSlot(window, [this, h = c.handler] { (this->*h)(); });
        connect(window->speedButton(c.button), &QToolButton::clicked, this, run);
        connect(window->menuItem(QString::fromUtf8(c.item)), &QAction::triggered, this, run);
    }
}

void RecordCommands::SpeedButton8Click() {
    const std::optional<View> view = window_->currentView();
    if (!view)
        return;
    const int v = static_cast<int>(*view);
    searches_[v]->hide();
    entries_[v]->startAdd();
}

void RecordCommands::SpeedButton9Click() {
    const std::optional<View> view = window_->currentView();
    if (!view)
        return;
    const int v = static_cast<int>(*view);
    if (window_->query(*view)->recordCount() == 0) {
        Prompts::instance().confirm(window_, QString::fromUtf8(kNoRowTexts[v]));
        return;
    }
    entries_[v]->startModify();
    searches_[v]->hide();
}

void RecordCommands::SpeedButton10Click() {
    const std::optional<View> view = window_->currentView();
    if (!view)
        return;
    DataGrid* grid = window_->grid(*view);
    if (grid->selectedRows().isEmpty()) {
        Prompts::instance().hint(window_,
                                 QStringLiteral("请单击左边的序号选中一条记录或拖选一段记录，\r\n"
                                                "也可以用Ctrl及Shift来进行多选，然后再删除信息。"));
        return;
    }
    if (!Prompts::instance().confirmRemoval(window_, QStringLiteral("确定要删除选中的记录？")))
        return;
    if (window_->query(*view)->recordCount() > 0)
        grid->deleteSelectedRows();
}

void RecordCommands::SpeedButton11Click() {
    const std::optional<View> view = window_->currentView();
    if (!view)
        return;
    const int v = static_cast<int>(*view);
    searches_[v]->start();
    entries_[v]->hide();
}

void RecordCommands::SpeedButton12Click() {
    window_->databaseConnection().ReopenAll();
}
