#pragma once

#include "report/Band.h"

#include <QMarginsF>
#include <QObject>
#include <QSizeF>
#include <memory>

namespace report {

// Paper and margins in millimetres; bands start at the left and top margins and are as wide as
// the room between the left and right margins.
struct PageSetup {
    QSizeF paper{210, 297};
    QMarginsF margins;

    qreal bandWidth() const { return paper.width() - margins.left() - margins.right(); }
};

// A banded report: page set-up, at most one band of each type, and the name of the master data
// set whose rows feed the detail band. The objectName is the report's name; bands and items
// are its descendants under their own names.
class Report : public QObject {
    Q_OBJECT
public:
    explicit Report(const QString& name, QObject* parent = nullptr);

    PageSetup pageSetup() const { return pageSetup_; }
    void setPageSetup(const PageSetup& setup) { pageSetup_ = setup; }

    // Shown by the preview's status bar.
    QString title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }

    // The name of a print job of this report, as the printer queue lists it.
    QString documentName() const { return documentName_; }
    void setDocumentName(const QString& name) { documentName_ = name; }

    QString masterDataSet() const { return masterDataSet_; }
    void setMasterDataSet(const QString& name) { masterDataSet_ = name; }

    // Consecutive master rows with the same non-empty text in this field (a bill's rows) stay
    // on one page where they fit on one; empty: rows break wherever the page is full.
    QString groupField() const { return groupField_; }
    void setGroupField(const QString& field) { groupField_ = field; }

    // The name a saved copy of the report suggests, without folder or suffix; empty: the
    // document name, with the bill number where the rows hold one.
    QString savedName() const { return savedName_; }
    void setSavedName(const QString& name) { savedName_ = name; }

    // Adds a band, replacing an earlier one of the same type.
    Band* addBand(BandType type, const QString& name, qreal heightMm);
    Band* band(BandType type) const;

    Item* item(const QString& name) const;

    // A deep copy, so that a preview keeps what it shows while the original changes.
    std::unique_ptr<Report> clone() const;

private:
    PageSetup pageSetup_;
    QString title_;
    QString documentName_;
    QString masterDataSet_;
    QString groupField_;
    QString savedName_;
    QList<Band*> bands_;
};

} // namespace report
