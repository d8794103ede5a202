#pragma once

#include <QObject>

class TMainForm;
class Dataset;
class EntryPanel;
class SearchPanel;
class DeliveryEntryPanel;

// The five record commands of the main window, each on a command bar button and its
// record-menu twin: add, modify, delete, search and refresh act on the view the selector names.
// Also owns the entry and search panels of the three views.
class RecordCommands : public QObject {
    Q_OBJECT
public:
    RecordCommands(TMainForm* window, Dataset* profileQuery);

    void SpeedButton8Click();  // 添加, N7
    void SpeedButton9Click();  // 修改, N8
    void SpeedButton10Click(); // 删除, N9
    void SpeedButton11Click(); // 查询, N11
    void SpeedButton12Click(); // 刷新, N12

    EntryPanel* goodsEntry() const { return goodsEntry_; }
    EntryPanel* customerEntry() const { return customerEntry_; }
    DeliveryEntryPanel* deliveryEntry() const { return deliveryEntry_; }
    SearchPanel* goodsSearch() const { return goodsSearch_; }
    SearchPanel* customerSearch() const { return customerSearch_; }
    SearchPanel* deliverySearch() const { return deliverySearch_; }

private:
    // The warning box of modify on an empty list; true when the list has rows.
    bool hasRows(Dataset* list, const char* emptyText) const;

    TMainForm* window_;
    EntryPanel* goodsEntry_;
    SearchPanel* goodsSearch_;
    EntryPanel* customerEntry_;
    SearchPanel* customerSearch_;
    DeliveryEntryPanel* deliveryEntry_;
    SearchPanel* deliverySearch_;
};
