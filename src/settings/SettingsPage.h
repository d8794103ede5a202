#pragma once

#include <QWidget>

// One tab of the settings dialog. The dialog loads every page when it is added, checks every
// page when the user confirms, and only then stores them all, so a refused entry on one page
// stores nothing anywhere.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual QString title() const = 0;
    virtual void load() = 0;
    // Empty when the page's entries can be stored; otherwise the message the user sees.
    virtual QString check() const;
    virtual void store() = 0;
};
