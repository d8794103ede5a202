#pragma once

class QWidget;

// "数据备份": a byte copy of the program folder's data.mdb under a name the user picks, with
// ".bak" appended.
class DataBackup {
public:
    explicit DataBackup(QWidget* owner);

    void SpeedButton4Click();

private:
    QWidget* owner_;
};
