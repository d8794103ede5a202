#pragma once

#include "report/FontStyle.h"

#include <QObject>
#include <QRectF>
#include <QString>

namespace report {

enum class ItemKind {
    Label,    // fixed caption
    DataText, // display text of a field of a named data set
    Shape,    // rectangle: white fill, thin black outline
};

// One item on a band. Its objectName is the name the layout gives it, so callers find it with
// findChild (e.g. to set a label's caption before generation). Geometry in millimetres from the
// band's top-left corner; for text items the width is the design width only, as a text sizes
// itself to its content.
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
};

} // namespace report
