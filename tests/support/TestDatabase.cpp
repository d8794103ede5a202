#include "TestDatabase.h"

#include "KeyedFile.h"

#include "data/Schema.h"

#include <QDir>
#include <QTest>

#include <sqlite3.h>

TestDatabase::TestDatabase() : previous_(QDir::currentPath()) {
    Schema::createDatabase(file());
    QDir::setCurrent(dir_.path());
}

TestDatabase::~TestDatabase() {
    QDir::setCurrent(previous_);
}

void TestDatabase::exec(const QString& sql) const {
    const KeyedFile keyed(file(), KeyedFile::Mode::ReadWrite);
    char* error = nullptr;
    if (sqlite3_exec(keyed.handle(), sql.toUtf8().constData(), nullptr, nullptr, &error) !=
        SQLITE_OK) {
        const QString text = QString::fromUtf8(error);
        sqlite3_free(error);
        QTest::qFail(qPrintable("SQL failed: " + text + " in " + sql), __FILE__, __LINE__);
    }
}

QList<QStringList> TestDatabase::rows(const QString& sql) const {
    return KeyedFile(file(), KeyedFile::Mode::ReadWrite).rows(sql);
}

QList<QStringList> TestDatabase::table(const QString& name) const {
    return KeyedFile(file(), KeyedFile::Mode::ReadWrite).table(name);
}

int TestDatabase::count(const QString& table) const {
    const auto r = rows(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    return r.isEmpty() ? -1 : r.first().first().toInt();
}
