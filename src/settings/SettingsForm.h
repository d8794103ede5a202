#pragma once

#include <QDialog>
#include <QList>

class QTabWidget;
class SettingsPage;

// The "系统设置" dialog: one tab per page; "确定" stores every page once all of them accept
// their entries, "取消" stores nothing.
class TSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(QWidget* parent = nullptr);

    // Takes ownership and fills the page from the stored settings.
    void addPage(SettingsPage* page);
    QTabWidget* tabs() const { return tabs_; }

    void SettingsOkClick();

private:
    QTabWidget* tabs_;
    QList<SettingsPage*> pages_;
};
