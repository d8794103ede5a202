// The child of the payment desks test: records payments for the first customer of the
// database in the folder it is given, through the program's own code, and reports each on
// standard output, a line before it starts and one once it is stored, until it has made COUNT
// (0: until it is killed), starting at the first line on its standard input. On a server run
// it works on the test's server database.
//
//   payment_writer FOLDER COUNT SEED
#include "TestDatabase.h"

#include "base/AppError.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/EngineChoice.h"
#include "ledger/PaymentBook.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <random>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 3) {
        std::fputs("usage: payment_writer FOLDER COUNT SEED\n", stderr);
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
