// Times the delivery note of a 1,000-row bill: all pages generated, beside drawing the same
// items straight into a QPicture in the same run, and the time until the preview window shows
// its first page; the note saved as a PDF and as pictures, beside the same pages painted
// straight into a QPdfWriter and QImage::save in the same run. Prints "name value unit" lines;
// each figure is the median of several runs.

#include "printing/NoteReport.h"
#include "printing/PageFiles.h"
#include "printing/ReportPreview.h"
#include "report/Generator.h"
#include "report/PagePainter.h"
#include "ui/AppSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 1000;
constexpr int kRuns = 7;

report::RowTable bill(int count = kRows) {
    report::RowTable t;
    t.fields =
        QStringList{"序号", "单据编号", "业务日期", "经手人", "商品名称", "规格型号", "单位",
                    "单价", "数量",     "应收金额", "联系人", "联系电话", "单位地址", "备注"};
    for (int i = 1; i <= count; ++i) {
        t.rows.append(
            QStringList{QString::number(i), "20240315-01", "2024/3/15", "王小明",
                        QStringLiteral("商品%1号").arg(i), QStringLiteral("M%1").arg(i % 50), "个",
                        QString::number(i % 97 + 0.5), QString::number(i % 13 + 1),
                        QString::number((i % 97 + 0.5) * (i % 13 + 1)), "张三", "13800138000",
                        "北京市海淀区中关村大街1号", i % 5 == 0 ? "加急" : ""});
    }
    return t;
}

QHash<QString, report::RowTable> profile() {
    report::RowTable t;
    t.fields = QStringList{"公司名称", "公司网址", "联系电话"};
    t.rows.append(QStringList{"澄明商贸有限公司", "www.example.com", "010-12345678"});
    return {{QStringLiteral("表5"), t}};
}

// The baseline: every item of every band drawn where it belongs, straight onto a QPicture
// page by page, with no measuring, wrapping or operation lists.
void drawStraight(const report::Report& note, const report::RowTable& rows,
                  const QHash<QString, report::RowTable>& others) {
    const report::PageSetup setup = note.pageSetup();
    const qreal bottom = setup.paper.height() - setup.margins.bottom();
    QList<QPicture> pages(1);
    auto painter = std::make_unique<QPainter>(&pages.last());
    qreal y = setup.margins.top();
    auto drawBand = [&](const report::Band* band, qsizetype row) {
        if (y + band->height() > bottom) {
            painter.reset();
            pages.append(QPicture());
            painter = std::make_unique<QPainter>(&pages.last());
            y = setup.margins.top();
        }
        for (const report::Item* item : band->items()) {
            const QRectF r = item->rect().translated(setup.margins.left(), y);
            if (item->kind() == report::ItemKind::Shape) {
                painter->fillRect(r, Qt::white);
                painter->setPen(Qt::black);
                painter->drawRect(r);
                continue;
            }
            QString text = item->caption();
            if (item->kind() == report::ItemKind::DataText) {
                const report::RowTable& table =
                    item->dataSet() == note.masterDataSet() ? rows : others[item->dataSet()];
                text = table.value(item->dataSet() == note.masterDataSet() ? row : 0,
                                   table.column(item->field()));
            }
            painter->setFont(item->font().toFont());
            painter->setPen(item->font().color);
            painter->drawText(r.bottomLeft(), text);
        }
        y += band->height();
    };
    drawBand(note.band(report::BandType::Title), 0);
    for (qsizetype row = 0; row < rows.rows.size(); ++row)
        drawBand(note.band(report::BandType::Detail), row);
    drawBand(note.band(report::BandType::Summary), rows.rows.size() - 1);
}

// The baselines of the saved files: the pages painted straight onto the device and written,
// without a temporary file, its flush to disk or the rename.
void pdfStraight(const report::Document& document, const QString& fileName) {
    QPdfWriter writer(fileName);
    writer.setPageLayout(QPageLayout(QPageSize(document.paper, QPageSize::Millimeter),
                                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    for (qsizetype i = 0; i < document.pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        report::paintPage(painter, document.pages.at(i), document.paper);
    }
}

void picturesStraight(const report::Document& document, const QString& stem) {
    const qreal px = PageFiles::kPictureDpi / 25.4;
    for (qsizetype i = 0; i < document.pages.size(); ++i) {
        QImage image(qRound(document.paper.width() * px), qRound(document.paper.height() * px),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        report::paintPage(painter, document.pages.at(i), document.paper,
                          QRectF(0, 0, document.paper.width() * px, document.paper.height() * px));
        painter.end();
        image.save(QStringLiteral("%1_%2.png").arg(stem).arg(i + 1), "png");
    }
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

template <class F> double timeMs(F&& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Catches the page view's first paint once it has a page to show.
class FirstPaint : public QObject {
public:
    QElapsedTimer clock;
    double elapsedMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (elapsedMs < 0 && event->type() == QEvent::Paint && watched->parent() &&
            watched->parent()->objectName() == QLatin1String("QRPreview")) {
            elapsedMs = clock.nsecsElapsed() / 1e6;
            QWidget* window = qobject_cast<QWidget*>(watched)->window();
            QTimer::singleShot(0, window, &QWidget::close);
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpApplication(app);

    const auto note = deliveryNoteReport();
    const report::RowTable rows = bill();
    const QHash<QString, report::RowTable> others = profile();

    // One warm-up of each, so font loading is not counted.
    int pages = static_cast<int>(report::generate(*note, rows, others).pages.size());
    drawStraight(*note, rows, others);

    QList<double> generated;
    QList<double> straight;
    for (int run = 0; run < kRuns; ++run) {
        generated.append(
            timeMs([&] { pages = report::generate(*note, rows, others).pages.size(); }));
        straight.append(timeMs([&] { drawStraight(*note, rows, others); }));
    }

    QList<double> firstPage;
    for (int run = 0; run < kRuns; ++run) {
        FirstPaint probe;
        app.installEventFilter(&probe);
        probe.clock.start();
        previewReport(*note, rows, others);
        app.removeEventFilter(&probe);
        firstPage.append(probe.elapsedMs);
    }

    QTemporaryDir dir;
    const report::Document document = report::generate(*note, rows, others);
    const report::Document shortNote = report::generate(*note, bill(60), others);
    QList<double> pdfSaved, pdfRaw, pngSaved, pngRaw;
    for (int run = 0; run < kRuns; ++run) {
        pdfSaved.append(timeMs([&] {
            PageFiles::writePdf(document, dir.filePath("saved.pdf"), QStringLiteral("bench"));
        }));
        pdfRaw.append(timeMs([&] { pdfStraight(document, dir.filePath("raw.pdf")); }));
        pngSaved.append(
            timeMs([&] { PageFiles::writePictures(shortNote, dir.filePath("saved.png")); }));
        pngRaw.append(timeMs([&] { picturesStraight(shortNote, dir.filePath("raw")); }));
    }

    const double generateMs = median(generated);
    const double straightMs = median(straight);
    std::printf("note_pages_1000_rows %d pages\n", pages);
    std::printf("note_generate_1000_rows %.2f ms\n", generateMs);
    std::printf("note_qpicture_1000_rows %.2f ms\n", straightMs);
    std::printf("note_generate_vs_qpicture %.2f x\n", generateMs / straightMs);
    std::printf("preview_first_page_1000_rows %.2f ms\n", median(firstPage));
    std::printf("save_pdf_1000_rows %.2f ms\n", median(pdfSaved));
    std::printf("raw_pdfwriter_1000_rows %.2f ms\n", median(pdfRaw));
    std::printf("save_pdf_vs_raw %.2f x\n", median(pdfSaved) / median(pdfRaw));
    std::printf("save_png_60_rows_%d_pages %.2f ms\n", static_cast<int>(shortNote.pages.size()),
                median(pngSaved));
    std::printf("raw_qimage_png_60_rows %.2f ms\n", median(pngRaw));
    std::printf("save_png_vs_raw %.2f x\n", median(pngSaved) / median(pngRaw));
    return 0;
}
