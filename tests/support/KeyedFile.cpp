#include "KeyedFile.h"

#include "data/Schema.h"

#include <QFile>

#include <sqlite3.h>

KeyedFile::KeyedFile(const QString& file, Mode mode) {
    const int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    sqlite3_open_v2(file.toUtf8().constData(), &db_, flags, nullptr);
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(db_, key.constData(), key.size());
}

KeyedFile::~KeyedFile() {
    sqlite3_close(db_);
}

QList<QStringList> KeyedFile::rows(const QString& sql) const {
    QList<QStringList> out;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        return out;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_NULL)
                row.append(QStringLiteral("<null>"));
            else
                row.append(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                    sqlite3_column_bytes(statement, c)));
        }
        out.append(row);
    }
    sqlite3_finalize(statement);
    return out;
}

QList<QStringList> KeyedFile::table(const QString& name) const {
    return rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(name));
}
