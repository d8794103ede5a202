#include "PrintingTest.h"

#include "NoteData.h"
#include "printing/AmountToCapitals.h"
#include "printing/NoteReport.h"
#include "report/Generator.h"
#include "report/PagePainter.h"

#include <QImage>
#include <QMap>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using report::FontStyle;

namespace {

const FontStyle F1{"宋体", 12, true, Qt::black};
const FontStyle F2{"宋体", 11, false, Qt::black};
const FontStyle F3{"宋体", 22, true, Qt::black};
const FontStyle F4{"宋体", 16, true, Qt::red};
const FontStyle F5{"Arial", 11, false, Qt::red};
const FontStyle F6{"宋体", 11, false, Qt::red};

struct Expected {
    const char* name;
    char band; // 'T'itle, 'D'etail, 'S'ummary
    qreal left, top, width, height;
    const FontStyle* font; // null for rectangles
};

const Expected kItems[] = {
    {"QRDBText15", 'T', 0.26, 0.00, 23.55, 5.82, &F4},
    {"QRDBText16", 'T', 1.32, 6.61, 17.20, 4.76, &F5},
    {"QRDBText17", 'T', 1.32, 11.91, 16.14, 4.50, &F6},
    {"QRLabel1", 'T', 74.08, 6.35, 24.08, 7.94, &F3},
    {"QRLabel2", 'T', 114.30, 10.58, 29.90, 4.50, &F1},
    {"QRDBText9", 'T', 143.93, 10.58, 18.26, 4.50, &F1},
    {"QRLabel3", 'T', 2.12, 17.99, 22.75, 4.50, &F1},
    {"QRDBText10", 'T', 24.34, 17.99, 13.76, 4.50, &F1},
    {"QRLabel4", 'T', 2.12, 23.28, 22.75, 4.50, &F1},
    {"QRDBText11", 'T', 24.34, 23.28, 18.26, 4.50, &F1},
    {"QRLabel5", 'T', 114.30, 23.28, 22.75, 4.50, &F1},
    {"QRDBText12", 'T', 136.26, 23.28, 18.26, 4.50, &F1},
    {"QRShape1", 'T', 0.00, 28.05, 12.96, 6.61, nullptr},
    {"QRShape2", 'T', 12.70, 28.05, 27.78, 6.61, nullptr},
    {"QRShape3", 'T', 40.22, 28.05, 23.55, 6.61, nullptr},
    {"QRShape4", 'T', 63.50, 28.05, 12.96, 6.61, nullptr},
    {"QRShape5", 'T', 76.20, 28.05, 21.43, 6.61, nullptr},
    {"QRShape6", 'T', 97.37, 28.05, 23.55, 6.61, nullptr},
    {"QRShape7", 'T', 120.65, 28.05, 27.78, 6.61, nullptr},
    {"QRShape8", 'T', 148.17, 28.05, 23.55, 6.61, nullptr},
    {"QRLabel6", 'T', 1.85, 29.63, 9.26, 4.50, &F1},
    {"QRLabel7", 'T', 18.26, 29.63, 18.26, 4.50, &F1},
    {"QRLabel8", 'T', 43.13, 29.63, 18.26, 4.50, &F1},
    {"QRLabel9", 'T', 65.62, 29.63, 9.26, 4.50, &F1},
    {"QRLabel10", 'T', 82.55, 29.63, 9.26, 4.50, &F1},
    {"QRLabel11", 'T', 105.30, 29.63, 9.26, 4.50, &F1},
    {"QRLabel12", 'T', 130.18, 29.63, 9.26, 4.50, &F1},
    {"QRLabel13", 'T', 155.31, 29.63, 9.26, 4.50, &F1},
    {"QRShape9", 'D', 0.00, 0.00, 12.96, 6.61, nullptr},
    {"QRShape10", 'D', 12.70, 0.00, 27.78, 6.61, nullptr},
    {"QRShape11", 'D', 40.22, 0.00, 23.55, 6.61, nullptr},
    {"QRShape12", 'D', 63.50, 0.00, 12.96, 6.61, nullptr},
    {"QRShape13", 'D', 76.20, 0.00, 21.43, 6.61, nullptr},
    {"QRShape14", 'D', 97.37, 0.00, 23.55, 6.61, nullptr},
    {"QRShape15", 'D', 120.65, 0.00, 27.78, 6.61, nullptr},
    {"QRShape16", 'D', 148.17, 0.00, 23.55, 6.61, nullptr},
    {"QRDBText1", 'D', 1.06, 0.79, 8.20, 4.50, &F2},
    {"QRDBText2", 'D', 13.76, 0.79, 16.14, 4.50, &F2},
    {"QRDBText3", 'D', 41.28, 0.79, 16.14, 4.50, &F2},
    {"QRDBText4", 'D', 65.62, 0.79, 8.20, 4.50, &F2},
    {"QRDBText5", 'D', 77.26, 0.79, 8.20, 4.50, &F2},
    {"QRDBText6", 'D', 98.42, 0.79, 8.20, 4.50, &F2},
    {"QRDBText7", 'D', 122.24, 0.79, 16.14, 4.50, &F2},
    {"QRDBText8", 'D', 150.28, 0.79, 8.20, 4.50, &F2},
    {"QRShape17", 'S', 0.00, 0.00, 171.71, 6.88, nullptr},
    {"QRLabel14", 'S', 2.12, 1.32, 36.51, 4.50, &F1},
    {"QRLabel15", 'S', 37.57, 1.32, 21.70, 4.50, &F1},
    {"QRLabel20", 'S', 118.00, 1.32, 4.76, 4.50, &F1},
    {"QRLabel19", 'S', 122.24, 1.32, 21.70, 4.50, &F1},
    {"QRLabel16", 'S', 4.23, 12.70, 18.26, 4.50, &F1},
    {"QRDBText13", 'S', 21.70, 12.70, 13.76, 4.50, &F1},
    {"QRLabel17", 'S', 59.27, 12.70, 22.75, 4.50, &F1},
    {"QRDBText14", 'S', 80.96, 12.70, 18.26, 4.50, &F1},
    {"QRLabel18", 'S', 116.42, 12.70, 27.25, 4.50, &F1},
};

constexpr qreal kLeft = 9;
constexpr qreal kTitleTop = 13;
constexpr qreal kFirstRowTop = 13 + 34.40;
constexpr qreal kRowHeight = 6.09;

bool near(qreal a, qreal b, qreal tolerance = 0.005) {
    return qAbs(a - b) <= tolerance;
}

report::Document note(int rows, const QHash<QString, report::RowTable>& others = profile()) {
    auto r = deliveryNoteReport();
    r->item("QRLabel15")->setCaption(AmountToCapitals(112.5) + "整");
    r->item("QRLabel19")->setCaption("112.5");
    return report::generate(*r, billRows(rows), others);
}

} // namespace

void PrintingTest::everyItemAtItsPlaceWithItsFont() {
    const int rows = 2;
    const report::Document doc = note(rows);
    QCOMPARE(doc.paper, QSizeF(190, 265));
    QCOMPARE(doc.pages.size(), 1);
    const report::Page& page = doc.pages.first();
    for (const Expected& e : kItems) {
        const QString name = QString::fromLatin1(e.name);
        const qreal top = e.band == 'T'   ? kTitleTop
                          : e.band == 'D' ? kFirstRowTop
                                          : kFirstRowTop + rows * kRowHeight;
        const int count = e.band == 'D' ? rows : 1;
        if (!e.font) {
            const auto ops = rectOps(page, name);
            QVERIFY2(ops.size() == count, e.name);
            for (int i = 0; i < count; ++i) {
                const QRectF r = ops[i]->rect;
                QVERIFY2(near(r.left(), kLeft + e.left) &&
                             near(r.top(), top + e.top + i * kRowHeight) &&
                             near(r.width(), e.width) && near(r.height(), e.height),
                         e.name);
            }
            continue;
        }
        const auto ops = textOps(page, name);
        QVERIFY2(ops.size() == count, e.name);
        for (int i = 0; i < count; ++i) {
            const report::TextOp* t = ops[i];
            QVERIFY2(near(t->box.left(), kLeft + e.left) &&
                         near(t->box.top(), top + e.top + i * kRowHeight) &&
                         near(t->box.height(), e.height),
                     e.name);
            QVERIFY2(t->font == *e.font, e.name);
            QVERIFY2(t->opaque == (name != "QRLabel19"), e.name);
        }
    }
    const std::pair<const char*, const char*> captions[] = {{"QRLabel1", "送货单"},
                                                            {"QRLabel2", "单据编号：NO."},
                                                            {"QRLabel3", "客户名称："},
                                                            {"QRLabel4", "收货地址："},
                                                            {"QRLabel5", "联系电话："},
                                                            {"QRLabel6", "序号"},
                                                            {"QRLabel7", "商品名称"},
                                                            {"QRLabel8", "规格型号"},
                                                            {"QRLabel9", "单位"},
                                                            {"QRLabel10", "单价"},
                                                            {"QRLabel11", "数量"},
                                                            {"QRLabel12", "金额"},
                                                            {"QRLabel13", "备注"},
                                                            {"QRLabel14", "合计金额(大写)："},
                                                            {"QRLabel16", "制单人："},
                                                            {"QRLabel17", "业务日期："},
                                                            {"QRLabel18", "收货人签字："},
                                                            {"QRLabel20", "￥"},
                                                            {"QRLabel15", "壹佰壹十贰元伍角整"},
                                                            {"QRLabel19", "112.5"}};
    for (const auto& [item, caption] : captions)
        QVERIFY2(textsOf(page, item) == QStringList{QString::fromUtf8(caption)}, item);
    // Title-band fields show the first row, summary-band fields the last.
    QCOMPARE(textsOf(page, "QRDBText10"), QStringList{"客户1"});
    QCOMPARE(textsOf(page, "QRDBText12"), QStringList{"13800000001"});
    QCOMPARE(textsOf(page, "QRDBText13"), QStringList{"经手2"});
    QCOMPARE(textsOf(page, "QRDBText14"), QStringList{"2024/3/3"});
    QCOMPARE(textsOf(page, "QRDBText2"), (QStringList{"螺丝1", "螺丝2"}));
}

void PrintingTest::rectanglesComeBeforeTheTextsInsideThem() {
    const int rows = 3;
    const report::Page page = note(rows).pages.first();
    // Which texts lie in a rectangle, in each band: the heading captions, the fields of every
    // row, the totals line.
    QMap<QString, int> inside;
    for (qsizetype t = 0; t < page.ops.size(); ++t) {
        const auto* text = std::get_if<report::TextOp>(&page.ops[t]);
        if (!text)
            continue;
        for (qsizetype r = 0; r < page.ops.size(); ++r) {
            const auto* rect = std::get_if<report::RectOp>(&page.ops[r]);
            if (rect && rect->rect.contains(text->box.topLeft())) {
                QVERIFY2(r < t, qPrintable(rect->item + " after " + text->item));
                ++inside[text->item];
            }
        }
    }
    for (const char* heading : {"QRLabel6", "QRLabel9", "QRLabel13"})
        QVERIFY2(inside.value(heading) == 1, heading);
    for (const char* field : {"QRDBText1", "QRDBText5", "QRDBText8"})
        QVERIFY2(inside.value(field) == rows, field);
    for (const char* total : {"QRLabel14", "QRLabel15", "QRLabel20", "QRLabel19"})
        QVERIFY2(inside.value(total) == 1, total);
    QVERIFY(!inside.contains("QRLabel16") && !inside.contains("QRDBText15"));
}

void PrintingTest::pdfHasTheNotePaperAndTextWhereLaidOut() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("note.pdf");
    writePdf(note(3), pdf);
    const QString info = runTool("pdfinfo", {"-box", pdf});
    QVERIFY2(!info.isEmpty(), "pdfinfo (poppler-utils) is needed");
    const QRegularExpressionMatch box =
        QRegularExpression(R"(MediaBox:\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+))").match(info);
    QVERIFY(box.hasMatch());
    // 190 x 265 mm is 538.58 x 751.18 pt; the PDF writer rounds the box to whole points.
    QVERIFY(near(box.captured(3).toDouble(), 538.58, 0.5));
    QVERIFY(near(box.captured(4).toDouble(), 751.18, 0.5));
    QVERIFY(info.contains("Pages:           1"));

    const QList<Word> words = pdfWords(pdf);
    const struct {
        const char* text;
        qreal left, top, height;
    } expected[] = {
        {"送货单", kLeft + 74.08, kTitleTop + 6.35, 7.94},
        {"序号", kLeft + 1.85, kTitleTop + 29.63, 4.50},
        {"商品名称", kLeft + 18.26, kTitleTop + 29.63, 4.50},
        {"规格型号", kLeft + 43.13, kTitleTop + 29.63, 4.50},
        {"单位", kLeft + 65.62, kTitleTop + 29.63, 4.50},
        {"单价", kLeft + 82.55, kTitleTop + 29.63, 4.50},
        {"数量", kLeft + 105.30, kTitleTop + 29.63, 4.50},
        {"金额", kLeft + 130.18, kTitleTop + 29.63, 4.50},
        {"备注", kLeft + 155.31, kTitleTop + 29.63, 4.50},
        {"螺丝3", kLeft + 13.76, kFirstRowTop + 2 * kRowHeight + 0.79, 4.50},
    };
    for (const auto& e : expected) {
        const QString text = QString::fromUtf8(e.text);
        const auto it =
            std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
        QVERIFY2(it != words.end(), e.text);
        QVERIFY2(near(it->box.left(), e.left, 0.3), e.text);
        // Glyph boxes include the font's line gap; their middle is the item's middle.
        QVERIFY2(near(it->box.center().y(), e.top + e.height / 2, 1.0), e.text);
    }
}

void PrintingTest::emptyBufferPrintsOneRuledEmptyRow() {
    const report::Document doc = note(0);
    QCOMPARE(doc.pages.size(), 1);
    const report::Page& page = doc.pages.first();
    for (int shape = 1; shape <= 17; ++shape)
        QCOMPARE(rectOps(page, QStringLiteral("QRShape%1").arg(shape)).size(), 1);
    for (int field = 1; field <= 14; ++field)
        QVERIFY(textOps(page, QStringLiteral("QRDBText%1").arg(field)).isEmpty());
    QCOMPARE(textsOf(page, "QRLabel7"), QStringList{"商品名称"});
    QCOMPARE(textsOf(page, "QRDBText15"), QStringList{"澄明商贸"});
    QCOMPARE(rectOps(page, "QRShape17").first()->rect.top(), kFirstRowTop + kRowHeight);
}

void PrintingTest::longBillContinuesWithoutHeadingAndEndsWithSummary() {
    // 239 mm between the margins: 33 rows of 6.09 fit under the title band (34.40), 30 with
    // the summary (16.67) below them; a page without title holds 39 rows, 36 with the summary.
    // The summary moves to a page of its own when it does not fit below the last row.
    const qreal room = 265 - 13 - 13;
    const int first = qFloor((room - 34.40) / kRowHeight);
    const int firstWithSummary = qFloor((room - 34.40 - 16.67) / kRowHeight);
    const int later = qFloor(room / kRowHeight);
    const int laterWithSummary = qFloor((room - 16.67) / kRowHeight);
    QCOMPARE((QList<int>{first, firstWithSummary, later, laterWithSummary}),
             (QList<int>{33, 30, 39, 36}));
    const struct {
        int rows;
        QList<int> rowsPerPage;
    } cases[] = {{30, {30}},
                 {31, {31, 0}},
                 {40, {33, 7}},
                 {69, {33, 36}},
                 {70, {33, 37, 0}},
                 {72, {33, 39, 0}},
                 {73, {33, 39, 1}},
                 {33 + 39 + 36, {33, 39, 36}},
                 {33 + 39 + 39 + 1, {33, 39, 39, 1}}};
    for (const auto& c : cases) {
        const report::Document doc = note(c.rows);
        QCOMPARE(doc.pages.size(), c.rowsPerPage.size());
        int next = 1;
        for (qsizetype p = 0; p < doc.pages.size(); ++p) {
            const report::Page& page = doc.pages[p];
            const bool first = p == 0;
            const bool last = p == doc.pages.size() - 1;
            QCOMPARE(textOps(page, "QRLabel6").size(), first ? 1 : 0);
            QCOMPARE(rectOps(page, "QRShape1").size(), first ? 1 : 0);
            QCOMPARE(textOps(page, "QRLabel14").size(), last ? 1 : 0);
            const QStringList numbers = textsOf(page, "QRDBText1");
            QCOMPARE(numbers.size(), c.rowsPerPage[p]);
            for (const QString& n : numbers)
                QCOMPARE(n, QString::number(next++));
            if (!first && !numbers.isEmpty())
                QVERIFY(near(rectOps(page, "QRShape9").first()->rect.top(), kTitleTop));
            if (last) {
                const qreal summaryTop = rectOps(page, "QRShape17").first()->rect.top();
                QVERIFY(summaryTop + 16.67 <= 265 - 13 + 1e-6);
                if (numbers.isEmpty())
                    QVERIFY(near(summaryTop, kTitleTop));
            }
        }
        QCOMPARE(next, c.rows + 1);
    }
}

void PrintingTest::blankProfileLeavesHeaderLinesEmpty() {
    report::RowTable contactsOnly;
    contactsOnly.fields = QStringList{"联系人"};
    contactsOnly.rows.append(QStringList{"王"});
    const QList<QHash<QString, report::RowTable>> profiles = {
        {},
        {{"表5", report::RowTable{{"公司名称", "公司网址", "联系电话"}, {}}}},
        {{"表5", contactsOnly}}};
    for (const auto& others : profiles) {
        const report::Page page = note(1, others).pages.first();
        for (const char* item : {"QRDBText15", "QRDBText16", "QRDBText17"})
            QVERIFY2(textOps(page, item).isEmpty(), item);
        QCOMPARE(textsOf(page, "QRDBText12"), QStringList{"13800000001"});
    }
}

void PrintingTest::wrappedRemarkLeavesTheRulesWhole() {
    // Six ideographs of 11 pt need 23.3 mm; the remark has 21.7 mm up to the band's edge.
    report::RowTable rows = billRows(2);
    rows.rows[0][rows.column("备注")] = "六个汉字备注";
    auto r = deliveryNoteReport();
    const report::Document doc = report::generate(*r, rows, profile());
    const report::Page& page = doc.pages.first();
    const auto remarks = textOps(page, "QRDBText8");
    QCOMPARE(remarks.size(), 2);
    QCOMPARE(remarks[0]->lines, QStringList{"六个汉字备"});

    const qreal dpi = 300;
    const qreal px = dpi / 25.4;
    QImage image(qRound(190 * px), qRound(265 * px), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    report::paintPage(painter, page, doc.paper);
    painter.end();
    auto ink = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };

    // The table's right rule runs unbroken down the row.
    const int ruleX = qFloor((kLeft + 148.17 + 23.55) * px);
    QStringList gaps;
    for (int y = qCeil((kFirstRowTop + 0.2) * px); y < (kFirstRowTop + kRowHeight) * px; ++y) {
        bool black = false;
        for (int x = ruleX - 2; x <= ruleX + 2; ++x)
            black = black || ink(x, y);
        if (!black)
            gaps.append(QString::number(y / px - kFirstRowTop, 'f', 2));
    }
    QVERIFY2(gaps.isEmpty(), qPrintable("rule missing at mm " + gaps.join(' ')));

    // Below the line that fits, down to the next row's rule, the cell holds no ink.
    int marks = 0;
    for (int y = qCeil((kFirstRowTop + 0.79 + 4.50) * px);
         y < qFloor((kFirstRowTop + kRowHeight - 0.1) * px); ++y) {
        for (int x = qCeil((kLeft + 148.17 + 0.2) * px); x < ruleX - 2; ++x)
            marks += ink(x, y);
    }
    QCOMPARE(marks, 0);
}

void PrintingTest::billNumberRunsIntoTheMarginRatherThanWrap() {
    // A number a little wider than the room up to the band's edge (the shortest of these that
    // is, in the face at hand): standing in no rule, it stays whole, short of what printers
    // leave unprinted at the edge.
    auto r = deliveryNoteReport();
    for (const QString number :
         {"20261209-01", "20261209-001", "20261209-0001", "20261209-00001"}) {
        report::RowTable rows = billRows(1);
        rows.rows[0][rows.column("单据编号")] = number;
        const report::Page page = report::generate(*r, rows, profile()).pages.first();
        const auto bill = textOps(page, "QRDBText9");
        QCOMPARE(bill.size(), 1);
        QCOMPARE(bill[0]->lines, QStringList{number});
        QVERIFY(!bill[0]->clip.isValid());
        if (bill[0]->box.right() > kLeft + 171.98) {
            QVERIFY(bill[0]->box.right() <= 190 - 4.5);
            return;
        }
    }
    QFAIL("no number ran past the band's edge");
}
