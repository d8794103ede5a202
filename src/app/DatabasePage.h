#pragma once

#include "settings/SettingsPage.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// "数据库": which database the program works on. Empty host: the local data.mdb. Otherwise a
// PostgreSQL server, stored as a libpq URI under [database] server=; it takes effect at the
// next start. The page can test the connection, build the tables on an empty server database
// and send this workstation's data.mdb up to it.
//
// An address the page builds asks for an encrypted connection and a password check bound to
// it. An address it did not build (written by hand, with options of its own, several hosts,
// keyword form) is kept exactly as written: shown read-only, editable as text on request.
class DatabasePage : public SettingsPage {
    Q_OBJECT
public:
    explicit DatabasePage(QWidget* parent = nullptr);

    QString title() const override;
    void load() override;
    QString check() const override;
    // Writes nothing when the address is what was loaded.
    void store() override;

    // The URI the fields name; empty when no host is given.
    QString uri() const;
    // The address the page stands for now: the one kept as written, or the fields' URI.
    QString address() const;

    // "本机的数据文件 …" or "数据库服务器 host:port/db": where the program works now.
    static QString databaseInUse();

    void testConnection();
    void initialiseServer();
    void uploadLocalData();

private:
    void keepAsWritten(const QString& address);
    // Shows the address kept as written in place of the fields, or the fields.
    void showWritten(bool shown);
    void editAsText();
    // The address the buttons use; fails in words when there is none.
    QString serverAddress() const;

    QLineEdit* host_;
    QLineEdit* port_;
    QLineEdit* database_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* written_;
    QPushButton* editWritten_;
    QWidget* writtenRow_;
    QLabel* writtenNote_;
    QFormLayout* form_;
    bool keptAsWritten_ = false;
    QString loaded_;
};
