#include "app/DatabaseChoice.h"
#include "app/MainUnit.h"
#include "app/Program.h"
#include "backup/DatabaseUpgrade.h"
#include "ui/AppSetup.h"
#include "ui/Guard.h"

#include <QApplication>

#ifdef DN_TEMPLATE_DATABASE
#include "platform/ProgramFolder.h"

#include <QStandardPaths>
#endif

#ifdef Q_OS_WIN
#include "platform/InstalledFolder.h"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setUpApplication(app);
#ifdef DN_TEMPLATE_DATABASE
    // Installed, the program keeps its data in the user's own folder, set before any
    // connection opens.
    guarded(nullptr, [] {
        ProgramFolder::useDataFolder(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                QStringLiteral("/" DN_APP_ID),
            QStringLiteral(DN_TEMPLATE_DATABASE));
    });
#endif
#ifdef Q_OS_WIN
    // Installed under Program Files, the data lives in %LOCALAPPDATA%; the installer puts the
    // empty database beside the program.
    guarded(nullptr, [] {
        InstalledFolder::choose(QStringLiteral("com.example.DeliveryNote"),
                                QStringLiteral("template/data.mdb"));
    });
#endif
    // An older database is brought up to this program's version before anything opens it; a
    // newer one is refused.
    bool goOn = true;
    guarded(nullptr, [&goOn] {
        DatabaseChoice::apply();
        goOn = DatabaseUpgrade::atStart(nullptr);
    });
    if (!goOn)
        return 1;
    Program program;
    program.mainForm().show();
    const int code = QApplication::exec();
    program.end();
    return code;
}
