#pragma once

#include <QObject>

class TMainForm;
class Dataset;
class RecordPanel;
class SearchPanel;

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

private:
    TMainForm* window_;
    // By view: goods, customers, deliveries.
    RecordPanel* entries_[3];
    SearchPanel* searches_[3];
};
