#include "report/Band.h"

namespace report {

Band::Band(BandType type, const QString& name, qreal heightMm, QObject* parent)
    : QObject(parent), type_(type), height_(heightMm) {
    setObjectName(name);
}

Item* Band::add(Item* item) {
    items_.append(item);
    return item;
}

Item* Band::addLabel(const QString& name, const QRectF& rectMm, const QString& caption,
                     const FontStyle& font) {
    auto* item = new Item(ItemKind::Label, name, rectMm, this);
    item->setCaption(caption);
    item->setFont(font);
    return add(item);
}

Item* Band::addDataText(const QString& name, const QRectF& rectMm, const QString& dataSet,
                        const QString& field, const FontStyle& font) {
    auto* item = new Item(ItemKind::DataText, name, rectMm, this);
    item->setDataField(dataSet, field);
    item->setFont(font);
    return add(item);
}

Item* Band::addShape(const QString& name, const QRectF& rectMm) {
    return add(new Item(ItemKind::Shape, name, rectMm, this));
}

Item* Band::addPageNumber(const QString& name, const QRectF& rectMm, const QString& format,
                          const FontStyle& font) {
    auto* item = new Item(ItemKind::PageNumber, name, rectMm, this);
    item->setCaption(format);
    item->setFont(font);
    return add(item);
}

Item* Band::addDrawing(const QString& name, const QRectF& rectMm, const QList<DrawOp>& ops) {
    auto* item = new Item(ItemKind::Drawing, name, rectMm, this);
    item->setDrawing(ops);
    return add(item);
}

} // namespace report
