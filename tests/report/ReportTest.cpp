#include "TestMain.h"

#include "report/Generator.h"
#include "report/PagePainter.h"
#include "report/Report.h"
#include "report/TextMeasure.h"

#include <QImage>
#include <QPainter>

using namespace report;

namespace {

const FontStyle kFont{QStringLiteral("宋体"), 11, false, Qt::black};

// A 100 x 100 mm sheet with 10 mm margins: bands are 80 wide and a page
// holds 80 mm of bands.
std::unique_ptr<Report> sampleReport() {
    auto r = std::make_unique<Report>(QStringLiteral("Sample"));
    PageSetup setup;
    setup.paper = QSizeF(100, 100);
    setup.margins = QMarginsF(10, 10, 10, 10);
    r->setPageSetup(setup);
    r->setMasterDataSet(QStringLiteral("M"));
    Band* title = r->addBand(BandType::Title, QStringLiteral("Title"), 20);
    title->addLabel("Heading", {0, 0, 30, 5}, "标题", kFont);
    Band* detail = r->addBand(BandType::Detail, QStringLiteral("Detail"), 10);
    detail->addShape("Cell", {0, 0, 80, 10});
    detail->addDataText("Name", {2, 2, 20, 5}, "M", "name", kFont);
    Band* summary = r->addBand(BandType::Summary, QStringLiteral("Summary"), 15);
    summary->addLabel("Total", {0, 0, 20, 5}, "合计", kFont);
    return r;
}

RowTable rows(int count) {
    RowTable t;
    t.fields = QStringList{"id", "name"};
    for (int i = 1; i <= count; ++i)
        t.rows.append(QStringList{QString::number(i), QStringLiteral("名%1").arg(i)});
    return t;
}

QList<const TextOp*> texts(const Page& page, const QString& item) {
    QList<const TextOp*> out;
    for (const DrawOp& op : page.ops) {
        const auto* text = std::get_if<TextOp>(&op);
        if (text && text->item == item)
            out.append(text);
    }
    return out;
}

bool isDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private slots:
    void textsSizeToContentAndWrapAtTheBandEdge() {
        auto r = sampleReport();
        Item* name = r->item("Name");
        QVERIFY(name);
        RowTable t{{"name"},
                   {{"短"}, {"短短短短短短短短"}, {QString(60, u'长')}, {"word another word"}}};
        const Document doc = generate(*r, t);
        QList<const TextOp*> ops;
        for (const Page& page : doc.pages)
            ops += texts(page, "Name");
        QCOMPARE(ops.size(), 4);
        QCOMPARE(ops[0]->lines.size(), 1);
        QCOMPARE(ops[0]->box.height(), 5.0);
        QVERIFY(ops[1]->box.width() > 7.5 * ops[0]->box.width());
        QVERIFY(ops[1]->box.width() > 20); // wider than its design width, on one line

        // 60 ideographs of 11 pt need about 230 mm; the room is 78 mm up to the band's edge.
        // The band (10 high, text from 2 down) holds one whole line of 5: the rest is left out
        // rather than cut through.
        TextMeasure measure(kFont);
        const TextOp* wrapped = ops[2];
        QCOMPARE(wrapped->lines.size(), 1);
        QVERIFY(QString(60, u'长').startsWith(wrapped->lines.first()));
        QVERIFY(measure.width(wrapped->lines.first() + u'长') > 78);
        QCOMPARE(wrapped->box.left(), 12.0);
        // The white box is as wide as the line, not the room.
        QCOMPARE(wrapped->box.width(), measure.width(wrapped->lines.first()));
        QCOMPARE(wrapped->box.height(), 5.0);
        QVERIFY(!wrapped->clip.isValid());
        QCOMPARE(ops[3]->lines.size(), 1);

        // A taller band keeps as many whole lines as it holds: 15 below the text's top, 3 lines.
        // Standing in no rectangle, the text runs on into the right margin up to 4.5 mm from
        // the paper's edge (85.5 mm from the band's left) before it wraps.
        r->band(BandType::Title)->addLabel("Long", {0, 5, 30, 5}, QString(70, u'长'), kFont);
        const Document withTitle = generate(*r, t);
        const TextOp* tall = texts(withTitle.pages.first(), "Long").first();
        QCOMPARE(tall->lines.size(), 3);
        for (const QString& line : tall->lines) {
            QVERIFY(measure.width(line) <= 85.5);
            QVERIFY(measure.width(line + u'长') > 85.5);
        }
        QVERIFY(tall->lines.first().size() > wrapped->lines.first().size());
        QCOMPARE(tall->box.height(), 15.0);
        QCOMPARE(tall->lineStep, 5.0);
    }

    void reportsProgressAndEachPage() {
        auto r = sampleReport();
        QList<int> progress;
        QList<int> finished;
        GenerateCallbacks callbacks;
        callbacks.progress = [&](int p) { progress.append(p); };
        callbacks.pageFinished = [&](int index, const Page& page) {
            QVERIFY(!page.ops.isEmpty());
            finished.append(index);
        };
        const Document doc = generate(*r, rows(20), {}, callbacks);
        QCOMPARE(finished, (QList<int>{0, 1, 2}));
        QCOMPARE(progress.first(), 0);
        QCOMPARE(progress.last(), 100);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
    }

    // Rectangles and opaque text boxes cover what was drawn before them; positions follow the
    // target device's resolution.
    void paintsInOrderAtTheDeviceResolution() {
        Page page;
        page.ops.append(RectOp{"A", {10, 10, 20, 10}});
        page.ops.append(RectOp{"B", {29.74, 10, 20, 10}});
        page.ops.append(RectOp{"C", {10, 30, 40, 10}});
        TextOp opaque;
        opaque.item = "T";
        opaque.box = QRectF(5, 32, 10, 5);
        opaque.lines = QStringList{"一"};
        opaque.baseline = 4;
        opaque.lineStep = 5;
        opaque.font = kFont;
        page.ops.append(opaque);
        TextOp clear = opaque;
        clear.opaque = false;
        clear.box = QRectF(45, 32, 10, 5);
        page.ops.append(clear);

        for (const int dpi : {254, 127}) {
            const qreal pxPerMm = dpi / 25.4;
            QImage image(qRound(60 * pxPerMm), qRound(50 * pxPerMm), QImage::Format_RGB32);
            image.setDotsPerMeterX(qRound(dpi / 0.0254));
            image.setDotsPerMeterY(qRound(dpi / 0.0254));
            image.fill(Qt::white);
            QPainter painter(&image);
            paintPage(painter, page, QSizeF(60, 50));
            painter.end();
            auto at = [&](qreal xMm, qreal yMm) {
                return image.pixel(qFloor(xMm * pxPerMm), qFloor(yMm * pxPerMm));
            };
            QVERIFY2(isDark(at(10, 15)), "left edge of A");
            QVERIFY2(isDark(at(29.74, 15)), "left edge of B");
            QVERIFY2(!isDark(at(30, 15)), "B's fill covers A's right edge");
            QVERIFY2(!isDark(at(10, 34)), "the opaque box covers C's left edge");
            QVERIFY2(isDark(at(50, 34)), "a transparent text leaves C's right edge");
            QVERIFY2(!isDark(at(20, 25)), "nothing between the rows");
        }
    }

    // A page header on every page (below the title on the first), a footer at the bottom
    // margin that counts the pages, and a group of rows kept on one page where it fits.
    void headersFootersAndGroupsKeptTogether() {
        auto r = sampleReport();
        r->addBand(BandType::PageHeader, "Header", 8)
            ->addLabel("Columns", {0, 0, 30, 5}, "名称", kFont);
        r->addBand(BandType::PageFooter, "Footer", 6)
            ->addPageNumber("PageNo", {0, 0, 80, 5}, "第 %1 页 共 %2 页", kFont);
        r->setGroupField("id");
        // Groups of 1, 3, 4 and 2 rows: 10 mm each. Page 1: title 20 + header 8 leaves
        // 46 mm above the footer (10 + 80 - 6), so rows 1 to 4 fit; the group of 4 starts page
        // 2, whose 66 mm hold it; the group of 2 follows it (46 of 66 mm used, 20 left).
        RowTable t;
        t.fields = {"id", "name"};
        for (const auto& [group, count] :
             QList<std::pair<QString, int>>{{"a", 1}, {"b", 3}, {"c", 4}, {"d", 2}})
            for (int i = 0; i < count; ++i)
                t.rows.append({group, group + QString::number(i)});
        Generator generator(*r, t);
        QCOMPARE(generator.pageCount(), 3);
        const Document doc = generate(*r, t);
        QCOMPARE(doc.pages.size(), 3);
        const auto names = [&](int page) {
            QStringList out;
            for (const TextOp* op : texts(doc.pages[page], "Name"))
                out.append(op->lines.join(""));
            return out;
        };
        QCOMPARE(names(0), (QStringList{"a0", "b0", "b1", "b2"}));
        QCOMPARE(names(1), (QStringList{"c0", "c1", "c2", "c3", "d0", "d1"}));
        QVERIFY(names(2).isEmpty()); // the summary alone: 66 - 60 leaves no 15 mm
        QCOMPARE(texts(doc.pages[2], "Total").size(), 1);
        for (int page = 0; page < 3; ++page) {
            const QList<const TextOp*> header = texts(doc.pages[page], "Columns");
            QCOMPARE(header.size(), 1);
            QCOMPARE(header.first()->box.top(), page == 0 ? 30.0 : 10.0);
            const QList<const TextOp*> footer = texts(doc.pages[page], "PageNo");
            QCOMPARE(footer.size(), 1);
            QCOMPARE(footer.first()->lines, QStringList{QString("第 %1 页 共 3 页").arg(page + 1)});
            QCOMPARE(footer.first()->box.top(), 84.0);
        }
        // Every row of page 2 stands below its header, none reaches into the footer.
        for (const TextOp* op : texts(doc.pages[1], "Name"))
            QVERIFY(op->box.top() >= 18 && op->box.bottom() <= 84);

        // A group taller than a whole page breaks where the page is full.
        RowTable big;
        big.fields = {"id", "name"};
        for (int i = 0; i < 12; ++i)
            big.rows.append({"x", QString::number(i)});
        const Document long_ = generate(*r, big);
        QCOMPARE(texts(long_.pages[0], "Name").size(), 4);
        QCOMPARE(texts(long_.pages[1], "Name").size(), 6);
    }

    void rightAlignedAndCentredTextsStandInTheirWidth() {
        auto r = sampleReport();
        Item* right = r->band(BandType::Summary)->addLabel("Right", {40, 0, 30, 5}, "12.5", kFont);
        right->setAlignment(Qt::AlignRight);
        Item* centre = r->band(BandType::Summary)->addLabel("Centre", {0, 6, 40, 5}, "一", kFont);
        centre->setAlignment(Qt::AlignHCenter);
        Item* wrapped =
            r->band(BandType::Summary)->addLabel("Wrapped", {50, 0, 10, 5}, "一二三 十", kFont);
        wrapped->setAlignment(Qt::AlignRight);
        const Document doc = generate(*r, rows(1));
        TextMeasure measure(kFont);
        const TextOp* r1 = texts(doc.pages[0], "Right").first();
        QCOMPARE(r1->box.right(), 10 + 70.0);
        QCOMPARE(r1->box.width(), measure.width("12.5"));
        const TextOp* c1 = texts(doc.pages[0], "Centre").first();
        QVERIFY(qAbs(c1->box.center().x() - (10 + 20.0)) < 1e-9);
        // Wrapped in its own 10 mm, each line against the right edge.
        const TextOp* w = texts(doc.pages[0], "Wrapped").first();
        QCOMPARE(w->lines.size(), 2);
        QCOMPARE(w->box.right(), 10 + 60.0);
        QCOMPARE(w->offsets.size(), 2);
        for (int i = 0; i < 2; ++i)
            QCOMPARE(w->box.left() + w->offsets[i] + measure.width(w->lines[i]), w->box.right());
    }

    // A text kept in its width stays in its cell and ends in "…" where it goes on.
    void textsKeptInTheirWidthEndInAnEllipsis() {
        auto r = sampleReport();
        r->item("Name")->setKeptInWidth(true);
        const Document doc = generate(*r, RowTable{{"name"}, {{QString(30, u'长')}, {"短"}}});
        const QList<const TextOp*> ops = texts(doc.pages[0], "Name");
        TextMeasure measure(kFont);
        QCOMPARE(ops[0]->lines.size(), 1);
        QVERIFY(ops[0]->lines[0].endsWith(u'…'));
        QVERIFY(measure.width(ops[0]->lines[0]) <= 20);
        QVERIFY(measure.width(ops[0]->lines[0].chopped(1) + u'长' + u'…') > 20);
        QCOMPARE(ops[1]->lines, QStringList{"短"});
    }

    // A drawing's operations land where the item stands on the page, and the painter draws
    // their colours.
    void drawingsAreMovedOntoThePage() {
        auto r = sampleReport();
        RectOp bar{"Bar", {0, 0, 10, 4}, QColor(0, 0, 200), Qt::transparent};
        LineOp rule{"Rule", QLineF(0, 5, 10, 5), 0.5, Qt::red};
        r->band(BandType::Title)->addDrawing("Chart", {20, 5, 10, 6}, {bar, rule});
        const Document doc = generate(*r, rows(1));
        const Page& page = doc.pages[0];
        const RectOp* placed = nullptr;
        const LineOp* line = nullptr;
        for (const DrawOp& op : page.ops) {
            if (const auto* rect = std::get_if<RectOp>(&op); rect && rect->item == "Bar")
                placed = rect;
            if (const auto* l = std::get_if<LineOp>(&op); l && l->item == "Rule")
                line = l;
        }
        QVERIFY(placed && line);
        QCOMPARE(placed->rect, QRectF(30, 15, 10, 4));
        QCOMPARE(line->line, QLineF(30, 20, 40, 20));

        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPage(painter, page, QSizeF(100, 100), QRectF(0, 0, 100, 100));
        painter.end();
        QCOMPARE(image.pixelColor(35, 17), QColor(0, 0, 200));
        QCOMPARE(image.pixelColor(30, 15), QColor(0, 0, 200)); // no outline
        QCOMPARE(image.pixelColor(35, 20), QColor(Qt::red));
    }
};

DN_TEST_MAIN(ReportTest)
#include "ReportTest.moc"
