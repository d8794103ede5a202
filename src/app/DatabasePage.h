#pragma once

#include "settings/SettingsPage.h"

class QLineEdit;

// "数据库": which database the program works on. Empty host: the local data.mdb. Otherwise a
// PostgreSQL server, stored as a libpq URI under [database] server=; it takes effect at the
// next start. The page can test the connection, build the tables on an empty server database
// and send this workstation's data.mdb up to it.
class DatabasePage : public SettingsPage {
    Q_OBJECT
public:
    explicit DatabasePage(QWidget* parent = nullptr);

    QString title() const override;
    void load() override;
    QString check() const override;
    void store() override;

    // The URI the fields name; empty when no host is given.
    QString uri() const;

    void testConnection();
    void initialiseServer();
    void uploadLocalData();

private:
    QLineEdit* host_;
    QLineEdit* port_;
    QLineEdit* database_;
    QLineEdit* user_;
    QLineEdit* password_;
};
