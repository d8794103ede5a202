#include "ListCompare.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/EngineChoice.h"
#include "data/Query.h"
#include "data/Schema.h"

#include <memory>

namespace {

// A connection takes the backend in force when it is made.
std::unique_ptr<Connection> connectionTo(const ListSource& source) {
    const QString previous = EngineChoice::current().server;
    EngineChoice::setServer(source.server);
    auto connection = std::make_unique<Connection>();
    EngineChoice::setServer(previous);
    connection->setConnectionString(
        QStringLiteral("Jet OLEDB:Database Password=\"%1\";Data Source=%2")
            .arg(Schema::password(), source.file));
    return connection;
}

// The list of the table, open.
struct OpenList {
    std::unique_ptr<Connection> connection;
    std::unique_ptr<Dataset> list;

    OpenList(const QString& table, const ListSource& source)
        : connection(connectionTo(source)),
          list(std::make_unique<Dataset>(connection.get(), QStringLiteral("list"))) {
        list->setQuery(Query::all(table));
        list->open();
    }
};

QString fieldNames(const Dataset& list) {
    QStringList names;
    for (const ListField& field : list.fields())
        names.append(field.name);
    return names.join(QLatin1Char(','));
}

} // namespace

QString listDifference(const QString& table, const ListSource& a, const ListSource& b) {
    const OpenList first(table, a);
    const OpenList second(table, b);
    const Dataset& x = *first.list;
    const Dataset& y = *second.list;
    if (fieldNames(x) != fieldNames(y))
        return QStringLiteral("%1: columns %2 against %3").arg(table, fieldNames(x), fieldNames(y));
    if (x.recordCount() != y.recordCount())
        return QStringLiteral("%1: %2 rows against %3")
            .arg(table)
            .arg(x.recordCount())
            .arg(y.recordCount());
    for (int r = 0; r < x.recordCount(); ++r) {
        for (int c = 0; c < x.fields().size(); ++c) {
            if (x.text(r, c) != y.text(r, c))
                return QStringLiteral("%1 row %2 column %3: \"%4\" against \"%5\"")
                    .arg(table)
                    .arg(r + 1)
                    .arg(x.fields()[c].name, x.text(r, c), y.text(r, c));
        }
    }
    return {};
}

int listRows(const QString& table, const ListSource& source) {
    return OpenList(table, source).list->recordCount();
}
