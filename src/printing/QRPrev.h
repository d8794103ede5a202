#pragma once

#include "printing/PrintSettings.h"
#include "report/Document.h"
#include "report/Report.h"
#include "report/RowTable.h"

#include <QHash>
#include <QWidget>
#include <memory>

class QLabel;
class QKeyEvent;
class QToolButton;
class PreviewPageView;
class ThumbnailGrid;

// The print preview window ("打印预览", objectName "QRStandardPreview"): command panel, thumbnail
// and search tabs, the page view and a status bar. It keeps its own copy of the report and of
// the rows it shows, so "打 印" prints exactly that, whatever changes elsewhere meanwhile.
// Pages arrive from the engine one by one (QRPreviewPageAvailable) with progress reports.
// Closing the window frees it.
class TQRStandardPreview : public QWidget {
    Q_OBJECT
public:
    // printerSettings: the report's printer settings, which the set-up updates as well as the
    // window's own; may be null. Must outlive the window.
    TQRStandardPreview(const report::Report& report, const report::RowTable& master,
                       const QHash<QString, report::RowTable>& others,
                       PrintSettings* printerSettings = nullptr);
    ~TQRStandardPreview() override;

    // Engine events.
    void QRPreviewPageAvailable(const report::Page& page);
    void QRPreviewProgressUpdate(int progress);
    void QRPreviewGenerationFinished();

    int currentPage() const;
    const QList<report::Page>& pages() const { return pages_; }
    bool generationFinished() const { return generationFinished_; }
    int pageCount() const;
    QString statusText(int panel) const;
    const PrintSettings& printSettings() const { return settings_; }

    // Commands.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    // "存PDF" and "存图片": the window's own pages to a PDF file or one picture per page.
    void SavePdfButtonClick();
    void SaveImageButtonClick();
    void FirstPageClick();
    void PrevPageClick();
    void NextPageClick();
    void LastPageClick();
    void ExitClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCommandPanel(QWidget* panel);
    QWidget* buildTabs();
    void watchKeys(QObject* object);
    // The key map; true when the key was one of the window's.
    bool FormKeyDown(QKeyEvent* key);
    void scrollUp();
    void scrollDown();
    void goToPage(int n);
    void ThumbGridSelectCell(int row);
    void refreshPagePosition();
    void regenerate();
    // The pages as this window shows and prints them, all of them, from its own copies.
    report::Document snapshot() const;
    // Name of a saved file without folder or suffix: the report's own suggestion, else its
    // name and its bill number.
    QString savedFileBase() const;
    QString suggestedPath(const QString& suffix) const;

    std::unique_ptr<report::Report> report_;
    report::RowTable master_;
    QHash<QString, report::RowTable> others_;
    PrintSettings settings_;
    PrintSettings* sharedSettings_;

    QList<report::Page> pages_;
    bool generationFinished_ = false;
    int lastProgress_ = 0;
    bool selectingThumb_ = false;

    PreviewPageView* view_ = nullptr;
    ThumbnailGrid* thumbs_ = nullptr;
    QLabel* progressPanel_ = nullptr;
    QLabel* positionPanel_ = nullptr;
    QLabel* titlePanel_ = nullptr;
};
