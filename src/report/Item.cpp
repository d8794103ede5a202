#include "report/Item.h"

namespace report {

Item::Item(ItemKind kind, const QString& name, const QRectF& rectMm, QObject* parent)
    : QObject(parent), kind_(kind), rect_(rectMm) {
    setObjectName(name);
}

void Item::setDataField(const QString& dataSet, const QString& field) {
    dataSet_ = dataSet;
    field_ = field;
}

} // namespace report
