#include "records/Numbering.h"

#include "ledger/BillNumberPattern.h"

#include <QSettings>

namespace Numbering {

namespace {

QVariant value(const QString& key, const QVariant& fallback) {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("qorvel"))
        .value(key, fallback);
}

} // namespace

QString pattern() {
    return value(QStringLiteral("numbering/pattern"), BillNumberPattern::defaultPattern())
        .toString();
}

bool askDuplicate() {
    return value(QStringLiteral("numbering/askDuplicate"), true).toBool();
}

} // namespace Numbering
