// Prepares a PostgreSQL database for the program:
//   server-database init URI         builds the five tables in an empty database
//   server-database upload URI FILE  copies a local data.mdb into it (built first if needed)
// The address carries no password, since every user can read a command line in the process
// list: libpq takes it from PGPASSWORD or ~/.pgpass, or the tool asks for it on the terminal.

#include "data/Errors.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerSchema.h"
#include "data/postgres/ServerTransfer.h"
#include "platform/ConsolePassword.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

std::unique_ptr<ServerDatabase> connectTo(const QString& uri) {
    try {
        return ServerDatabase::connect(uri);
    } catch (const PasswordNeeded& e) {
        const std::optional<QString> password =
            ConsolePassword::ask(QStringLiteral("%1 的密码：").arg(ServerDatabase::nameOf(uri)));
        if (!password)
            throw PasswordNeeded(
                e.message() +
                QStringLiteral("请用 PGPASSWORD 环境变量或 ~/.pgpass 文件给出密码。"));
        return ServerDatabase::connect(uri, *password);
    }
}

} // namespace

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
        if (ServerDatabase::namesPassword(args[1])) {
            err << QStringLiteral(
                "server-database: 地址中不能写密码（本机的每个用户都能在进程列表中"
                "看到命令行）。请用 PGPASSWORD 环境变量、~/.pgpass 文件，或在"
                "提示时输入密码。\n");
            return 2;
        }
        const std::unique_ptr<ServerDatabase> server = connectTo(args[1]);
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
