#pragma once

#include "report/FontStyle.h"
#include "report/Item.h"

#include <QList>
#include <QObject>

namespace report {

enum class BandType {
    Title,      // once, at the top of the first page
    PageHeader, // at the top of every page, below the title on the first
    Detail,     // once per row of the master data set
    Summary,    // once, after the last row
    PageFooter, // at the bottom margin of every page
};

// A horizontal strip of fixed height (bands never grow). Items are drawn in the order they
// were added, so a later rectangle covers the edge of an earlier one it overlaps.
class Band : public QObject {
    Q_OBJECT
public:
    Band(BandType type, const QString& name, qreal heightMm, QObject* parent = nullptr);

    BandType type() const { return type_; }
    qreal height() const { return height_; }
    const QList<Item*>& items() const { return items_; }

    Item* addLabel(const QString& name, const QRectF& rectMm, const QString& caption,
                   const FontStyle& font);
    Item* addDataText(const QString& name, const QRectF& rectMm, const QString& dataSet,
                      const QString& field, const FontStyle& font);
    Item* addShape(const QString& name, const QRectF& rectMm);
    // format holds %1 for the page's number and %2 for the number of pages.
    Item* addPageNumber(const QString& name, const QRectF& rectMm, const QString& format,
                        const FontStyle& font);
    Item* addDrawing(const QString& name, const QRectF& rectMm, const QList<DrawOp>& ops);

private:
    Item* add(Item* item);

    BandType type_;
    qreal height_;
    QList<Item*> items_;
};

} // namespace report
