#include "app/DatabaseChoice.h"

#include "base/AppError.h"
#include "data/EngineChoice.h"
#include "settings/Settings.h"

#include <QUuid>

namespace DatabaseChoice {

void apply() {
    Settings::keepServerAddressPrivate();
    EngineChoice::setServer(Settings::value(QStringLiteral("database/server")).toString());
    QString workstation = Settings::value(QStringLiteral("database/workstation")).toString();
    if (workstation.isEmpty()) {
        workstation = QUuid::createUuid().toString(QUuid::WithoutBraces);
        try {
            Settings::setValue(QStringLiteral("database/workstation"), workstation);
        } catch (const AppError&) {
            // An unwritable settings file only costs a new id at the next start.
        }
    }
    EngineChoice::setWorkstation(workstation);
}

} // namespace DatabaseChoice
