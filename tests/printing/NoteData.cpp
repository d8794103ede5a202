#include "NoteData.h"
#include "HostTool.h"

#include "report/PagePainter.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtMath>

report::RowTable billRows(int count) {
    report::RowTable t;
    t.fields = QStringList{"ID",       "序号",     "单据编号", "业务日期", "经手人",
                           "商品编码", "商品名称", "规格型号", "单位",     "单价",
                           "数量",     "应收金额", "联系人",   "联系电话", "单位地址",
                           "单位名称", "优惠金额", "实收金额", "备注"};
    for (int i = 1; i <= count; ++i) {
        t.rows.append(QStringList{QString::number(i), QString::number(i), "B2024",
                                  QStringLiteral("2024/3/%1").arg(i % 28 + 1),
                                  QStringLiteral("经手%1").arg(i), "",
                                  QStringLiteral("螺丝%1").arg(i), "M6", "个", "12.5", "3", "37.5",
                                  QStringLiteral("客户%1").arg(i),
                                  QStringLiteral("1380000%1").arg(i, 4, 10, QLatin1Char('0')),
                                  QStringLiteral("地址%1").arg(i), "", "", "", "备"});
    }
    return t;
}

QHash<QString, report::RowTable> profile() {
    report::RowTable t;
    t.fields = QStringList{"公司名称", "公司网址", "联系电话", "联系人"};
    t.rows.append(QStringList{"澄明商贸", "www.example.com", "010-12345678", "王"});
    return {{QStringLiteral("表5"), t}};
}

QList<const report::TextOp*> textOps(const report::Page& page, const QString& item) {
    QList<const report::TextOp*> out;
    for (const report::DrawOp& op : page.ops) {
        const auto* text = std::get_if<report::TextOp>(&op);
        if (text && text->item == item)
            out.append(text);
    }
    return out;
}

QList<const report::RectOp*> rectOps(const report::Page& page, const QString& item) {
    QList<const report::RectOp*> out;
    for (const report::DrawOp& op : page.ops) {
        const auto* rect = std::get_if<report::RectOp>(&op);
        if (rect && rect->item == item)
            out.append(rect);
    }
    return out;
}

QStringList textsOf(const report::Page& page, const QString& item) {
    QStringList out;
    for (const report::TextOp* t : textOps(page, item))
        out.append(t->lines.join(QString()));
    return out;
}

void writePdf(const report::Document& document, const QString& fileName) {
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

QString runTool(const QString& program, const QStringList& arguments) {
    const HostTool tool = HostTool::run(program, arguments);
    return tool.ok() ? QString::fromUtf8(tool.out) : QString();
}

QList<Word> pdfWords(const QString& pdf, int page) {
    const QString number = QString::number(page);
    const QString xml = runTool("pdftotext", {"-bbox", "-f", number, "-l", number, pdf, "-"});
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    QList<Word> words;
    const qreal mm = 25.4 / 72;
    for (const auto& m : word.globalMatch(xml)) {
        const QPointF topLeft(m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm);
        const QPointF bottomRight(m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm);
        // The embedded fonts may map an ideograph to its compatibility twin (金 to ⾦).
        words.append({m.captured(5).normalized(QString::NormalizationForm_KC),
                      QRectF(topLeft, bottomRight)});
    }
    return words;
}

QSizeF pdfPaperMm(const QString& pdf) {
    const QRegularExpressionMatch box =
        QRegularExpression(R"(MediaBox:\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+))")
            .match(runTool("pdfinfo", {"-box", pdf}));
    if (!box.hasMatch())
        return QSizeF();
    const qreal mm = 25.4 / 72;
    return QSizeF((box.captured(3).toDouble() - box.captured(1).toDouble()) * mm,
                  (box.captured(4).toDouble() - box.captured(2).toDouble()) * mm);
}

QString noteMisplacedOn(const QString& pdf) {
    // Rendered, since a print queue's PDF may carry its text in fonts without a text map.
    QTemporaryDir dir;
    const QString base = dir.filePath("page");
    const int dpi = 150;
    runTool("pdftoppm",
            {"-r", QString::number(dpi), "-f", "1", "-l", "1", "-gray", "-singlefile", pdf, base});
    const QImage page(base + ".pgm");
    if (page.isNull())
        return QStringLiteral("pdftoppm (poppler-utils) could not render %1").arg(pdf);
    const qreal px = dpi / 25.4;
    auto ink = [&](qreal xMm, qreal yMm) {
        const QPoint at(qFloor(xMm * px), qFloor(yMm * px));
        return page.valid(at) && qGray(page.pixel(at)) < 128;
    };
    // From the layout: margins 9 (left) and 13 (top); the heading row's cells start 28.05 down
    // the title band. Walk in from the paper's edges to the table's first rules.
    qreal left = 0;
    while (left < 60 && !ink(left, 13 + 28.05 + 3.3))
        left += 1 / px;
    qreal top = 13 + 25;
    while (top < 80 && !ink(9 + 100, top))
        top += 1 / px;
    if (qAbs(left - 9) > 0.5 || qAbs(top - (13 + 28.05)) > 0.5)
        return QStringLiteral("table's corner at %1, %2 mm").arg(left).arg(top);
    return QString();
}
