#pragma once

#include "LedgerRows.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "printing/NoteHeader.h"

#include <memory>

// A database of its own with a company profile, a connection on it and the profile list the
// note's header reads, as the program holds them.
struct FormFixture {
    TestDatabase db;
    Connection connection;
    std::unique_ptr<Dataset> profile;
    std::unique_ptr<NoteHeader> header;

    FormFixture() {
        db.exec("INSERT INTO 表5 VALUES ('澄明商贸', 'www.cm.com', '张明', '0571-8888')");
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        connection.open();
        profile = std::make_unique<Dataset>(&connection, "ADOQuery1");
        profile->setQuery(Query::all("表5"));
        profile->open();
        header = std::make_unique<NoteHeader>(profile.get());
    }
    void add(const LedgerRow& row) const { insertRow(db, row); }
};
