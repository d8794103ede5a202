#include "records/Numbering.h"

#include "ledger/BillNumberPattern.h"

#include "settings/Settings.h"

namespace Numbering {

QString pattern() {
    return Settings::value(QStringLiteral("numbering/pattern"), BillNumberPattern::defaultPattern())
        .toString();
}

bool askDuplicate() {
    return Settings::value(QStringLiteral("numbering/askDuplicate"), true).toBool();
}

bool askCreditLimit() {
    return Settings::value(QStringLiteral("receivables/askCreditLimit"), true).toBool();
}

} // namespace Numbering
