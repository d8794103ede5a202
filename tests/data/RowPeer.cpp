// Another copy of the program on the same database, for the lost-race tests: one write to the
// goods list through the program's own data layer, then it exits.
//
//   row_peer FOLDER price CODE TEXT   sets the price of the goods with this code
//   row_peer FOLDER delete CODE       deletes the goods with this code
//   row_peer FOLDER add CODE          adds goods with this code
#include "TestDatabase.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/EngineChoice.h"
#include "data/Errors.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: row_peer FOLDER price|delete|add CODE [TEXT]\n");
        return 2;
    }
    QDir::setCurrent(arguments[1]);
    EngineChoice::setServer(TestDatabase::server());
    EngineChoice::setWorkstation(QStringLiteral("peer"));
    Connection connection;
    connection.setConnectionString(DatabaseConnection::BuildConnectionString());
    const QString op = arguments[2];
    const QString code = arguments[3];
    try {
        Dataset list(&connection, QStringLiteral("peer"));
        list.setQuery(op == QLatin1String("add")
                          ? Query::all(QStringLiteral("表1"))
                          : Query::equal(QStringLiteral("表1"), QStringLiteral("商品编码"), code));
        list.open();
        if (op == QLatin1String("add")) {
            list.append();
            list.setText(QStringLiteral("商品编码"), code);
        } else if (list.recordCount() != 1) {
            std::fprintf(stderr, "row_peer: no goods %s\n", qPrintable(code));
            return 1;
        } else if (op == QLatin1String("delete")) {
            list.remove();
            return 0;
        } else {
            list.edit();
            list.setText(QStringLiteral("单价"), arguments.value(4));
        }
        list.post();
    } catch (const AppError& e) {
        std::fprintf(stderr, "row_peer: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
