#include "NoteData.h"

#include "report/PagePainter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>

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
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}
