#include "printing/PreviewPageView.h"

#include "report/PagePainter.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int kDeskMargin = 10;
constexpr int kShadow = 3;

} // namespace

PreviewPageView::PreviewPageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("QRPreview"));
    // A scroll bar that came and went with the page height would change the width the page is
    // fitted to; it stays.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void PreviewPageView::setPages(const QList<report::Page>* pages, const QSizeF& paperMm) {
    pages_ = pages;
    paper_ = paperMm;
    imagePage_ = 0;
    zoomToWidth();
}

void PreviewPageView::pagesAdded() {
    if (imagePage_ == 0)
        viewport()->update();
}

int PreviewPageView::pageCount() const {
    return pages_ ? static_cast<int>(pages_->size()) : 0;
}

bool PreviewPageView::showPage(int n) {
    if (n <= 0 || n > pageCount() || n == page_)
        return false;
    page_ = n;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    return true;
}

void PreviewPageView::zoomToWidth() {
    const int width = viewport()->width() - 2 * kDeskMargin;
    if (paper_.isEmpty() || width <= 0)
        return;
    const qreal scale = width / paper_.width();
    if (!qFuzzyCompare(scale, pixelsPerMm_))
        imagePage_ = 0;
    pixelsPerMm_ = scale;
    const int contentHeight = qCeil(paper_.height() * pixelsPerMm_) + 2 * kDeskMargin;
    const int viewHeight = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, qMax(0, contentHeight - viewHeight));
    bar->setPageStep(viewHeight);
    bar->setSingleStep(qMax(1, viewHeight / 10));
    viewport()->update();
}

QRectF PreviewPageView::pageRect() const {
    return QRectF(kDeskMargin, kDeskMargin - verticalScrollBar()->value(),
                  paper_.width() * pixelsPerMm_, paper_.height() * pixelsPerMm_);
}

const QImage& PreviewPageView::pageImage() {
    if (imagePage_ != page_) {
        const qreal ratio = devicePixelRatioF();
        const QSize size = (pageRect().size() * ratio).toSize();
        image_ = QImage(size, QImage::Format_RGB32);
        image_.fill(Qt::white);
        QPainter painter(&image_);
        report::paintPage(painter, pages_->at(page_ - 1), paper_, QRectF(QPointF(0, 0), size));
        painter.end();
        image_.setDevicePixelRatio(ratio);
        imagePage_ = page_;
    }
    return image_;
}

void PreviewPageView::paintEvent(QPaintEvent*) {
    if (page_ > pageCount() || paper_.isEmpty())
        return;
    QPainter painter(viewport());
    const QRectF page = pageRect();
    painter.fillRect(page.translated(kShadow, kShadow), palette().shadow());
    painter.drawImage(page.topLeft(), pageImage());
}

void PreviewPageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    zoomToWidth();
}

void PreviewPageView::scrollContentsBy(int, int) {
    viewport()->update();
}
