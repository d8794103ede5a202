#include "report/Report.h"

namespace report {

Report::Report(const QString& name, QObject* parent) : QObject(parent) {
    setObjectName(name);
}

Band* Report::addBand(BandType type, const QString& name, qreal heightMm) {
    if (Band* old = band(type)) {
        bands_.removeOne(old);
        delete old;
    }
    auto* added = new Band(type, name, heightMm, this);
    bands_.append(added);
    return added;
}

Band* Report::band(BandType type) const {
    for (Band* b : bands_) {
        if (b->type() == type)
            return b;
    }
    return nullptr;
}

Item* Report::item(const QString& name) const {
    return findChild<Item*>(name);
}

std::unique_ptr<Report> Report::clone() const {
    auto copy = std::make_unique<Report>(objectName());
    copy->pageSetup_ = pageSetup_;
    copy->title_ = title_;
    copy->documentName_ = documentName_;
    copy->masterDataSet_ = masterDataSet_;
    copy->groupField_ = groupField_;
    copy->savedName_ = savedName_;
    for (const Band* b : bands_) {
        Band* band = copy->addBand(b->type(), b->objectName(), b->height());
        for (const Item* i : b->items()) {
            Item* item = nullptr;
            switch (i->kind()) {
            case ItemKind::Label:
                item = band->addLabel(i->objectName(), i->rect(), i->caption(), i->font());
                break;
            case ItemKind::DataText:
                item = band->addDataText(i->objectName(), i->rect(), i->dataSet(), i->field(),
                                         i->font());
                break;
            case ItemKind::Shape:
                item = band->addShape(i->objectName(), i->rect());
                break;
            case ItemKind::PageNumber:
                item = band->addPageNumber(i->objectName(), i->rect(), i->caption(), i->font());
                break;
            case ItemKind::Drawing:
                item = band->addDrawing(i->objectName(), i->rect(), i->drawing());
                break;
            }
            item->setTransparent(i->isTransparent());
            item->setPrinted(i->isPrinted());
            item->setAlignment(i->alignment());
            item->setKeptInWidth(i->isKeptInWidth());
        }
    }
    return copy;
}

} // namespace report
