#include "data/Backend.h"

namespace {
QString& serverUri() {
    static QString uri;
    return uri;
}
QString& workstationId() {
    static QString id;
    return id;
}
} // namespace

namespace Backend {

void setServer(const QString& uri) {
    serverUri() = uri.trimmed();
}

QString server() {
    return serverUri();
}

void setWorkstation(const QString& id) {
    workstationId() = id;
}

QString workstation() {
    return workstationId();
}

} // namespace Backend
