#pragma once

#include "report/Document.h"
#include "report/FontStyle.h"

#include <QObject>
#include <QRectF>
#include <QString>

namespace report {

enum class ItemKind {
    Label,      // fixed caption
    DataText,   // display text of a field of a named data set
    Shape,      // rectangle: white fill, thin black outline
    PageNumber, // caption with %1 the page's number and %2 the number of pages
    Drawing,    // ready-made draw operations, relative to the item's top-left corner
};

// One item on a band. Its objectName is the name the layout gives it, so callers find it with
// findChild (e.g. to set a label's caption before generation). Geometry in millimetres from the
// band's top-left corner. A left-aligned text's width is the design width only, as it sizes
// itself to its content; a text aligned right or centred stands in its width and wraps there.
class Item : public QObject {
    Q_OBJECT
public:
    Item(ItemKind kind, const QString& name, const QRectF& rectMm, QObject* parent = nullptr);

    ItemKind kind() const { return kind_; }
    QRectF rect() const { return rect_; }

    QString caption() const { return caption_; }
    void setCaption(const QString& caption) { caption_ = caption; }

    QString dataSet() const { return dataSet_; }
    QString field() const { return field_; }
    void setDataField(const QString& dataSet, const QString& field);

    FontStyle font() const { return font_; }
    void setFont(const FontStyle& font) { font_ = font; }

    // Qt::AlignLeft (the default), Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment) { alignment_ = alignment; }

    // A text kept in its width wraps at the item's own right edge rather than the band's, and
    // its last line ends in "…" where lines are left out: a table cell's text then stays in its
    // cell and says that it goes on.
    bool isKeptInWidth() const { return keptInWidth_; }
    void setKeptInWidth(bool kept) { keptInWidth_ = kept; }

    const QList<DrawOp>& drawing() const { return drawing_; }
    void setDrawing(const QList<DrawOp>& ops) { drawing_ = ops; }

    // A transparent text paints no white box behind itself.
    bool isTransparent() const { return transparent_; }
    void setTransparent(bool transparent) { transparent_ = transparent; }
    // An item left out of the print draws nothing; everything else keeps its place.
    bool isPrinted() const { return printed_; }
    void setPrinted(bool printed) { printed_ = printed; }

private:
    ItemKind kind_;
    QRectF rect_;
    QString caption_;
    QString dataSet_;
    QString field_;
    FontStyle font_;
    bool transparent_ = false;
    bool printed_ = true;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    bool keptInWidth_ = false;
    QList<DrawOp> drawing_;
};

} // namespace report
