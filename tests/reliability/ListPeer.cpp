// A second process on the database of the list-consistency test, working through the
// program's own data layer:
//
//   list_peer dump FOLDER          every list, freshly opened: per table a line "T<name>", a
//                                  line "F<fields>", then "R<rowid>\t<cells>" per row (cells
//                                  percent-encoded, tab-separated)
//   list_peer write FOLDER SEED    one write: adds, modifies or deletes a row of some table
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <random>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char* const kTables[5] = {"表1", "表2", "表3", "表4", "表5"};

void dump(Connection& connection) {
    QTextStream out(stdout);
    for (const char* table : kTables) {
        Dataset list(&connection, QStringLiteral("peer"));
        list.setQuery(Query::all(QString::fromUtf8(table)));
        list.open();
        QStringList fields;
        for (const Dataset::Field& field : list.fields())
            fields.append(field.name);
        out << 'T' << table << '\n' << 'F' << fields.join(QLatin1Char('\t')) << '\n';
        for (int row = 0; row < list.recordCount(); ++row) {
            QStringList cells;
            for (int c = 0; c < list.fields().size(); ++c)
                cells.append(QString::fromLatin1(list.text(row, c).toUtf8().toPercentEncoding()));
            out << 'R' << list.rowId(row) << '\t' << cells.join(QLatin1Char('\t')) << '\n';
        }
    }
}

void write(Connection& connection, quint64 seed) {
    std::mt19937_64 random(seed);
    const QString table = QString::fromUtf8(kTables[random() % 3]);
    Dataset list(&connection, QStringLiteral("peer"));
    list.setQuery(Query::all(table));
    list.open();
    const QString column = list.fields().at(0).name;
    const QString text = QStringLiteral("外%1").arg(seed % 1000);
    switch (list.recordCount() == 0 ? 0 : random() % 3) {
    case 0:
        list.append();
        list.setText(column, text);
        list.post();
        break;
    case 1:
        list.moveTo(static_cast<int>(random() % list.recordCount()));
        list.edit();
        list.setText(column, text);
        list.post();
        break;
    default:
        list.moveTo(static_cast<int>(random() % list.recordCount()));
        list.remove();
        break;
    }
}

} // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY); // the lines end in '\n', as the test reads them
#endif
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3 || (arguments[1] != "dump" && arguments[1] != "write")) {
        std::fprintf(stderr, "usage: list_peer dump FOLDER | write FOLDER SEED\n");
        return 2;
    }
    QDir::setCurrent(arguments[2]);
    Connection connection;
    connection.setConnectionString(DatabaseConnection::BuildConnectionString());
    try {
        if (arguments[1] == "dump")
            dump(connection);
        else
            write(connection, arguments.value(3).toULongLong());
    } catch (const AppError& e) {
        std::fprintf(stderr, "list_peer: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
