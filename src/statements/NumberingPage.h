#pragma once

#include "settings/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QLabel;

// "单号": the bill number pattern, with an example of today's first number and a warning when
// its numbers are wider than the delivery list's bill number column, and the question before a
// row joins a bill of another customer.
class NumberingPage : public SettingsPage {
    Q_OBJECT
public:
    // listColumnWidth: the width in pixels of the delivery list's bill number column.
    explicit NumberingPage(int listColumnWidth, QWidget* parent = nullptr);

    QString title() const override;
    void load() override;
    QString check() const override;
    void store() override;

private:
    void showExample();

    QComboBox* pattern_;
    int listColumnWidth_;
    QLabel* example_;
    QLabel* width_;
    QCheckBox* ask_;
    QCheckBox* askCredit_;
};
