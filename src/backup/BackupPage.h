#pragma once

#include "settings/SettingsPage.h"

class DataRestore;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

// The "备份" page of the settings: the automatic backup's switch, folder and number kept, and
// the list of its backups, any of which the required restore puts back in place.
class BackupPage : public SettingsPage {
public:
    explicit BackupPage(DataRestore* restore, QWidget* parent = nullptr);

    QString title() const override;
    void load() override;
    QString check() const override;
    void store() override;

private:
    void fillList(const QString& folder);
    // Reading a large backup's rows takes a moment: one row of the list at a time, between
    // the user's events, so the page stays at hand.
    void countNext();
    void restoreChosen();
    // "浏览…": a folder dialog starting at the folder the box names.
    void chooseFolder();

    DataRestore* restore_;
    QCheckBox* enabled_;
    QLineEdit* folder_;
    QSpinBox* keep_;
    QTableWidget* list_;
    QLabel* location_;
    QPushButton* restoreButton_;
    QTimer* counting_;
    int counted_ = 0;
};
