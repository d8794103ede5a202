#pragma once

#include "report/Document.h"

#include <QAbstractScrollArea>
#include <QImage>

// The preview's page view: one page of the document, zoomed so the paper's width fills the
// view, on a grey desk. The vertical scroll bar tracks live and steps a tenth of the view.
class PreviewPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PreviewPageView(QWidget* parent = nullptr);

    // The pages stay owned by the caller and may grow while shown.
    void setPages(const QList<report::Page>* pages, const QSizeF& paperMm);
    void pagesAdded();

    int pageNumber() const { return page_; }
    int pageCount() const;
    // Shows page n (from 1) with both scroll bars at 0; ignored, returning false, when n is out
    // of range or already shown.
    bool showPage(int n);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void zoomToWidth();
    QRectF pageRect() const;
    const QImage& pageImage();

    const QList<report::Page>* pages_ = nullptr;
    QSizeF paper_;
    int page_ = 1;
    qreal pixelsPerMm_ = 1;
    QImage image_;
    int imagePage_ = 0;
};
