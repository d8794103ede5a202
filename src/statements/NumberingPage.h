#pragma once

#include "settings/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QLabel;

// "单号": the bill number pattern, with an example of today's first number, and the question
// before a row joins a bill of another customer.
class NumberingPage : public SettingsPage {
    Q_OBJECT
public:
    explicit NumberingPage(QWidget* parent = nullptr);

    QString title() const override;
    void load() override;
    QString check() const override;
    void store() override;

private:
    void showExample();

    QComboBox* pattern_;
    QLabel* example_;
    QCheckBox* ask_;
};
