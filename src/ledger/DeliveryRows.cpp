#include "ledger/DeliveryRows.h"

#include "data/Dataset.h"
#include "data/DateText.h"
#include "data/Errors.h"
#include "data/NumberText.h"

#include <algorithm>

DeliveryRows::DeliveryRows(Dataset& list) : list_(list) {
    list_.open();
    date_ = field(QStringLiteral("业务日期"));
}

int DeliveryRows::count() const {
    return list_.recordCount();
}

int DeliveryRows::field(const QString& name) const {
    const int index = list_.fieldIndex(name);
    if (index < 0)
        throw DataError(QStringLiteral("表3 has no field '%1'").arg(name));
    return index;
}

QString DeliveryRows::text(int row, int field) const {
    return list_.text(row, field);
}

QDate DeliveryRows::date(int row) const {
    const QString text = list_.text(row, date_);
    auto found = dates_.constFind(text);
    if (found == dates_.constEnd())
        found = dates_.insert(text, DateText::parse(text));
    return *found;
}

std::optional<double> DeliveryRows::number(int row, int field) const {
    return list_.number(row, field);
}

qint64 DeliveryRows::tenThousandths(int row, int field) const {
    const std::optional<double> value = list_.number(row, field);
    return value ? NumberText::toTenThousandths(*value) : 0;
}

namespace Ledger {

namespace {

char16_t asciiLower(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
}

} // namespace

bool sameButAsciiCase(const QString& a, const QString& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](QChar x, QChar y) { return asciiLower(x) == asciiLower(y); });
}

QString asciiFolded(const QString& text) {
    // Most texts hold no capital letter and are shared as they are, not copied.
    const auto capital = std::find_if(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= u'A' && c.unicode() <= u'Z';
    });
    if (capital == text.cend())
        return text;
    QString folded = text;
    for (QChar& c : folded)
        c = QChar(asciiLower(c));
    return folded;
}

void addTo(qint64& sum, qint64 value) {
    if (__builtin_add_overflow(sum, value, &sum))
        throw ConversionError(QStringLiteral("合计金额超出可计算的范围。"));
}

} // namespace Ledger
