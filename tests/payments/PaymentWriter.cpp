// The child of the payment desks test: records payments for the first customer of the
// database in the folder it is given, through the program's own code, and reports each on
// standard output, a line before it starts and one once it is stored, until it has made COUNT
// (0: until it is killed), starting at the first line on its standard input. On a server run
// it works on the test's server database.
//
//   payment_writer FOLDER COUNT SEED
//
// Or it makes one write and kills itself just before the write's N-th write or sync of a file
// in FOLDER, saying "ready" before the write and "done" after it: a payment ("pay"), a change
// of the first delivery row's amount ("row") or the deletion of that row ("delete"), or a new
// telephone of the first customer row ("customer"), each as the program writes them.
//
//   payment_writer stop FOLDER WRITE N
#include "FileCalls.h"
#include "TestDatabase.h"

#include "base/AppError.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/EngineChoice.h"
#include "ledger/PaymentBook.h"
#include "records/BooksWrite.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <random>

namespace {

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// The first row of a table, through a list as the program's views hold it.
void writeFirstRow(Connection& connection, const QString& table, RowWrite kind,
                   const std::function<void(Dataset&)>& write) {
    Dataset list(&connection, QStringLiteral("Rows"));
    list.setQuery(Query::all(table));
    list.open();
    list.moveTo(0);
    writeWithBooks(list, kind, [&] { write(list); });
}

int stopAt(const QString& folder, const QString& write, int n) {
    Connection connection;
    connection.setConnectionString(DatabaseConnection::FormConnectionString());
    connection.open();
    const Customers customers(&connection);
    PaymentBook book(&connection, customers);
    say("ready");
    FileCalls::watch(folder, FileCalls::Watch::Writes);
    FileCalls::killBefore(n);
    if (write == QLatin1String("pay")) {
        Payment p;
        p.customer = customers.listed().constFirst();
        p.date = QDate(2026, 1, 20);
        p.amount = 43210;
        p.method = QStringLiteral("现金");
        book.add(p);
    } else if (write == QLatin1String("row")) {
        writeFirstRow(connection, QStringLiteral("表3"), RowWrite::Modify, [](Dataset& rows) {
            rows.edit();
            rows.setText(QStringLiteral("应收金额"), QStringLiteral("1.5"));
            rows.post();
        });
    } else if (write == QLatin1String("delete")) {
        writeFirstRow(connection, QStringLiteral("表3"), RowWrite::Remove,
                      [](Dataset& rows) { rows.remove(); });
    } else if (write == QLatin1String("customer")) {
        writeFirstRow(connection, QStringLiteral("表2"), RowWrite::Modify, [](Dataset& rows) {
            rows.edit();
            rows.setText(QStringLiteral("联系电话"), QStringLiteral("0572"));
            rows.post();
        });
    } else {
        std::fprintf(stderr, "payment_writer: no write %s\n", qPrintable(write));
        return 2;
    }
    say("done");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 4 && args[0] == QLatin1String("stop")) {
        QDir::setCurrent(args[1]);
        try {
            return stopAt(args[1], args[2], args[3].toInt());
        } catch (const AppError& e) {
            std::fprintf(stderr, "payment_writer: %s\n", qPrintable(e.message()));
            return 1;
        }
    }
    if (args.size() != 3) {
        std::fputs("usage: payment_writer FOLDER COUNT SEED | stop FOLDER WRITE N\n", stderr);
        return 2;
    }
    QDir::setCurrent(args[0]);
    EngineChoice::setServer(TestDatabase::server());
    const qint64 count = args[1].toLongLong();
    std::mt19937_64 rng(args[2].toULongLong());
    try {
        Connection connection;
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        connection.open();
        const Customers customers(&connection);
        PaymentBook book(&connection, customers);
        std::printf("ready\n");
        std::fflush(stdout);
        // Writers start together once the test has them all ready.
        std::getchar();
        for (qint64 i = 0; count == 0 || i < count; ++i) {
            Payment p;
            p.customer = customers.listed().constFirst();
            p.date = QDate(2026, 1, 1).addDays(static_cast<qint64>(rng() % 60));
            p.amount = 1 + static_cast<qint64>(rng() % 5000);
            p.method = QStringLiteral("现金");
            std::printf("begin %lld\n", static_cast<long long>(i));
            std::fflush(stdout);
            book.add(p);
            std::printf("done %lld\n", static_cast<long long>(i));
            std::fflush(stdout);
        }
    } catch (const AppError& e) {
        std::fprintf(stderr, "payment_writer: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
