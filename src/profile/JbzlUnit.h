#pragma once

#include <QDialog>

class Connection;
class Dataset;
class QLineEdit;

// The company profile form: the one row of 表5 that heads every delivery note. Built once at
// start-up, shown modally on demand; closing only hides it.
class TJbzlForm : public QDialog {
    Q_OBJECT
public:
    explicit TJbzlForm(QWidget* parent = nullptr);

    // The profile query, also read by the note header and borrowed by the delivery panel.
    Dataset* profileQuery() const { return query_; }

    // Fills the boxes from the first row of 表5 (once, at start-up).
    void Load();
    void Button1Click(); // 保存
    void Button2Click(); // 取消

private:
    void reopenPlain();

    Connection* connection_;
    Dataset* query_;
    QLineEdit* edits_[4];
};
