#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// One write of the crash writer as it reports it through its pipe: "begin" and the write
// before anything of it reaches the file, "done" once the program's call has returned. Fields
// are separated by tabs; no value holds a tab or a line break.
struct WriteOp {
    enum class Kind { Add, Modify, Delete, SelectBill, SaveProfile };

    Kind kind = Kind::Add;
    QString table;      // 表1, 表2 or 表3 for add, modify and delete
    QStringList values; // add, modify: writtenColumns(table) in order; delete: the key;
                        // bill selection: the bill number; profile: its four fields

    QByteArray line() const;
    static std::optional<WriteOp> parse(const QByteArray& line);
};

// The columns the writer sets in a table, its key column first (unique within the table).
QStringList writtenColumns(const QString& table);
// The four columns of the profile row.
QStringList profileColumns();
bool isNumberColumn(const QString& column);
