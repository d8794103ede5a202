#pragma once

#include "report/Document.h"

#include <QTableWidget>

// The preview's thumbnail grid: one column, one row per generated page, each cell a miniature
// of its page with the page number in its top-left corner.
class ThumbnailGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ThumbnailGrid(QWidget* parent = nullptr);

    // The pages stay owned by the caller and may grow while shown.
    void setPages(const QList<report::Page>* pages, const QSizeF& paperMm);
    void pagesAdded();

    const QList<report::Page>* pages() const { return pages_; }
    QSizeF paper() const { return paper_; }
    int horizontalOffset() const { return horizontalOffset_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateThumbSize();

    const QList<report::Page>* pages_ = nullptr;
    QSizeF paper_;
    int horizontalOffset_ = 0;
};
