// Prepares a PostgreSQL database for the program:
//   server-database init URI         builds the five tables in an empty database
//   server-database upload URI FILE  copies a local data.mdb into it (built first if needed)

#include "data/Errors.h"
#include "data/ServerDatabase.h"
#include "data/ServerSchema.h"
#include "data/ServerTransfer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream err(stderr);
    const bool init = args.size() == 2 && args[0] == QLatin1String("init");
    const bool upload = args.size() == 3 && args[0] == QLatin1String("upload");
    if (!init && !upload) {
        err << "usage: server-database init URI\n"
               "       server-database upload URI FILE\n";
        return 2;
    }
    try {
        const std::unique_ptr<ServerDatabase> server = ServerDatabase::connect(args[1]);
        if (init)
            ServerSchema::initialise(*server);
        else
            ServerTransfer::upload(*server, QFileInfo(args[2]).absoluteFilePath());
    } catch (const AppError& e) {
        err << "server-database: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
