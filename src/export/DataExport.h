#pragma once

#include <QString>
#include <functional>

class Dataset;
class QWidget;

// "数据导出": the list of the current view, every column of its query, into a spreadsheet file
// named by the user with ".xls" appended.
class DataExport {
public:
    // currentQuery gives the query of the view the selector names, or nullptr when its text
    // names none.
    DataExport(QWidget* owner, std::function<Dataset*()> currentQuery);

    void SpeedButton3Click();

private:
    QWidget* owner_;
    std::function<Dataset*()> currentQuery_;
};
