#include "TestMain.h"

#include "report/Generator.h"
#include "report/PagePainter.h"
#include "report/Report.h"

#include <QImage>
#include <QPainter>

using namespace report;

namespace {

const FontSpec kFont{QStringLiteral("宋体"), 11, false, Qt::black};

// A4-sized sheet cut down to 100 x 100 mm with 10 mm margins: bands are 80 wide and a page
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
    title->addDataText("FirstName", {40, 0, 30, 5}, "M", "name", kFont);
    title->addDataText("Company", {0, 10, 40, 5}, "O", "company", kFont);
    title->addDataText("NoSuchField", {40, 10, 20, 5}, "O", "missing", kFont);
    title->addDataText("NoSuchTable", {60, 10, 20, 5}, "X", "company", kFont);
    Band* detail = r->addBand(BandType::Detail, QStringLiteral("Detail"), 10);
    detail->addShape("Cell", {0, 0, 80, 10});
    detail->addDataText("Name", {2, 2, 20, 5}, "M", "name", kFont);
    Band* summary = r->addBand(BandType::Summary, QStringLiteral("Summary"), 15);
    summary->addLabel("Total", {0, 0, 20, 5}, "合计", kFont);
    summary->addDataText("LastName", {30, 0, 30, 5}, "M", "name", kFont);
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

QList<const RectOp*> rects(const Page& page, const QString& item) {
    QList<const RectOp*> out;
    for (const DrawOp& op : page.ops) {
        const auto* rect = std::get_if<RectOp>(&op);
        if (rect && rect->item == item)
            out.append(rect);
    }
    return out;
}

QStringList textsOf(const Page& page, const QString& item) {
    QStringList out;
    for (const TextOp* t : texts(page, item))
        out.append(t->lines.join(QString()));
    return out;
}

bool isDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private slots:
    void titleReadsFirstRowSummaryLastDetailEach() {
        auto r = sampleReport();
        RowTable others;
        others.fields = QStringList{"company"};
        others.rows.append(QStringList{"澄明商贸"});
        const Document doc = generate(*r, rows(3), {{"O", others}});
        QCOMPARE(doc.pages.size(), 1);
        const Page& page = doc.pages.first();
        QCOMPARE(textsOf(page, "FirstName"), QStringList{"名1"});
        QCOMPARE(textsOf(page, "LastName"), QStringList{"名3"});
        QCOMPARE(textsOf(page, "Name"), (QStringList{"名1", "名2", "名3"}));
        QCOMPARE(textsOf(page, "Company"), QStringList{"澄明商贸"});
        // A field or table that is not there prints nothing, without an error.
        QVERIFY(texts(page, "NoSuchField").isEmpty());
        QVERIFY(texts(page, "NoSuchTable").isEmpty());
        // Bands stack from the top margin: title 20, then rows of 10, then the summary.
        const QList<const RectOp*> cells = rects(page, "Cell");
        QCOMPARE(cells.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(cells[i]->rect, QRectF(10, 30 + 10 * i, 80, 10));
        QCOMPARE(texts(page, "Name")[1]->box.topLeft(), QPointF(12, 42));
        QCOMPARE(texts(page, "Total").first()->box.topLeft(), QPointF(10, 60));
    }

    void shortRowsAndEmptyOtherTablesReadEmpty() {
        auto r = sampleReport();
        RowTable master = rows(1);
        master.rows[0] = QStringList{"1"}; // no name column in this row
        const Document doc = generate(*r, master, {{"O", RowTable{{"company"}, {}}}});
        QVERIFY(texts(doc.pages.first(), "Name").isEmpty());
        QVERIFY(texts(doc.pages.first(), "Company").isEmpty());
        QCOMPARE(rects(doc.pages.first(), "Cell").size(), 1);
    }

    void emptyMasterPrintsOneEmptyDetailBand() {
        auto r = sampleReport();
        const Document doc = generate(*r, RowTable{{"id", "name"}, {}});
        QCOMPARE(doc.pages.size(), 1);
        const Page& page = doc.pages.first();
        QCOMPARE(textsOf(page, "Heading"), QStringList{"标题"});
        QCOMPARE(rects(page, "Cell").size(), 1);
        QVERIFY(texts(page, "Name").isEmpty());
        QVERIFY(texts(page, "FirstName").isEmpty());
        QCOMPARE(texts(page, "Total").first()->box.top(), 40.0);
    }

    void pagination_data() {
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QList<int>>("rowsPerPage");
        QTest::addColumn<bool>("summaryAlone");
        // Title 20 + six rows fill the 80 mm exactly; the summary (15) then needs a new page.
        QTest::newRow("one row") << 1 << QList<int>{1} << false;
        QTest::newRow("summary fits") << 4 << QList<int>{4} << false;
        QTest::newRow("summary does not fit") << 5 << QList<int>{5, 0} << true;
        QTest::newRow("page exactly full") << 6 << QList<int>{6, 0} << true;
        QTest::newRow("rows continue") << 8 << QList<int>{6, 2} << false;
        QTest::newRow("three pages") << 20 << QList<int>{6, 8, 6} << false;
    }

    void pagination() {
        QFETCH(int, rowCount);
        QFETCH(QList<int>, rowsPerPage);
        QFETCH(bool, summaryAlone);
        auto r = sampleReport();
        const Document doc = generate(*r, rows(rowCount));
        QCOMPARE(doc.pages.size(), rowsPerPage.size());
        int next = 1;
        for (qsizetype p = 0; p < doc.pages.size(); ++p) {
            const Page& page = doc.pages[p];
            QCOMPARE(texts(page, "Heading").size(), p == 0 ? 1 : 0);
            QCOMPARE(texts(page, "Total").size(), p == doc.pages.size() - 1 ? 1 : 0);
            const QStringList names = textsOf(page, "Name");
            QCOMPARE(names.size(), rowsPerPage[p]);
            for (const QString& name : names)
                QCOMPARE(name, QStringLiteral("名%1").arg(next++));
            // Pages after the first start their rows at the top margin.
            if (p > 0 && !names.isEmpty())
                QCOMPARE(rects(page, "Cell").first()->rect.top(), 10.0);
        }
        QCOMPARE(next, rowCount + 1);
        if (summaryAlone)
            QCOMPARE(texts(doc.pages.last(), "Total").first()->box.top(), 10.0);
    }

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
        const TextOp* wrapped = ops[2];
        QVERIFY(wrapped->lines.size() > 1);
        QCOMPARE(wrapped->lines.join(QString()), QString(60, u'长'));
        QCOMPARE(wrapped->box.left(), 12.0);
        QVERIFY(qAbs(wrapped->box.right() - 90) < 1e-9);
        QCOMPARE(wrapped->lineStep, 5.0);
        // The band (10 high, text from 2 down) has room for the first lines only: clipped there.
        QVERIFY(wrapped->clip.isValid());
        QVERIFY(wrapped->clip.contains(wrapped->box));
        QCOMPARE(wrapped->clip.height(), 10.0);
        QCOMPARE(ops[3]->lines.size(), 1);
    }

    void transparentTextsPaintNoBox() {
        auto r = sampleReport();
        r->item("Heading")->setTransparent(true);
        const Document doc = generate(*r, rows(1));
        QVERIFY(!texts(doc.pages.first(), "Heading").first()->opaque);
        QVERIFY(texts(doc.pages.first(), "Total").first()->opaque);
    }

    void cloneKeepsWhatItCopied() {
        auto r = sampleReport();
        r->item("Total")->setCaption("一");
        auto copy = r->clone();
        r->item("Total")->setCaption("二");
        r->item("Heading")->setTransparent(true);
        QVERIFY(copy->findChild<Item*>("Cell"));
        QCOMPARE(copy->findChild<Band*>("Detail")->height(), 10.0);
        const Document doc = generate(*copy, rows(1));
        QCOMPARE(textsOf(doc.pages.first(), "Total"), QStringList{"一"});
        QVERIFY(texts(doc.pages.first(), "Heading").first()->opaque);
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
        QVERIFY(progress[1] > 0 && progress[1] < 100);
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
};

DN_TEST_MAIN(ReportTest)
#include "ReportTest.moc"
