#include "data/DatabaseConnection.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/Schema.h"

#include <QDir>

namespace {

// A value as the connection string holds it. A folder name may hold anything but the path
// separator: a semicolon or a double quote would end the value early and blanks at either end
// would be trimmed, so such a value goes in double quotes with its own double quotes doubled.
QString valueText(const QString& value) {
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) &&
                       value.trimmed().size() == value.size();
    if (plain)
        return value;
    QString doubled = value;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

} // namespace

QString DatabaseConnection::FormConnectionString() {
    return QStringList{
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"),
        QStringLiteral("User ID=Admin"),
        QStringLiteral("Data Source=data.mdb"),
        QStringLiteral("Mode=Share Deny None"),
        QStringLiteral("Persist Security Info=False"),
        QStringLiteral("Jet OLEDB:System database=\"\""),
        QStringLiteral("Jet OLEDB:Registry Path=\"\""),
        QStringLiteral("Jet OLEDB:Database Password=") + Schema::password(),
        QStringLiteral("Jet OLEDB:Engine Type=5"),
        QStringLiteral("Jet OLEDB:Database Locking Mode=1"),
        QStringLiteral("Jet OLEDB:Global Partial Bulk Ops=2"),
        QStringLiteral("Jet OLEDB:Global Bulk Transactions=1"),
        QStringLiteral("Jet OLEDB:New Database Password=\"\""),
        QStringLiteral("Jet OLEDB:Create System Database=False"),
        QStringLiteral("Jet OLEDB:Encrypt Database=False"),
        QStringLiteral("Jet OLEDB:Don't Copy Locale on Compact=False"),
        QStringLiteral("Jet OLEDB:Compact Without Replica Repair=False"),
        QStringLiteral("Jet OLEDB:SFP=False"),
    }
        .join(QLatin1Char(';'));
}

QString DatabaseConnection::BuildConnectionString() {
    const QString file = QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() +
                         QStringLiteral("data.mdb");
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=") +
           QLatin1Char('"') + Schema::password() + QLatin1Char('"') +
           QStringLiteral(";Data Source=") + valueText(file) +
           QStringLiteral(";Persist Security Info=True");
}

DatabaseConnection::DatabaseConnection(Connection* main, QList<Dataset*> mainQueries)
    : main_(main), mainQueries_(std::move(mainQueries)) {}

void DatabaseConnection::ReopenAll() {
    QList<Dataset*> all = mainQueries_;
    if (profile_)
        all.append(profile_);

    main_->close();
    for (Dataset* d : all)
        d->close();
    main_->setConnectionString(BuildConnectionString());
    for (Dataset* d : all)
        d->setQuery(Query::all(d->query().table));
    for (Dataset* d : all)
        d->open();
    main_->open();
    for (Dataset* d : all)
        d->last();
}
