#include "printing/NoteReport.h"

namespace {

using report::BandType;
using report::FontStyle;

const QString kSong = QStringLiteral("宋体");
const QString kBuffer = QStringLiteral("表4");
const QString kProfile = QStringLiteral("表5");

const FontStyle F1{kSong, 12, true, Qt::black};
const FontStyle F2{kSong, 11, false, Qt::black};
const FontStyle F3{kSong, 22, true, Qt::black};
const FontStyle F4{kSong, 16, true, Qt::red};
const FontStyle F5{QStringLiteral("Arial"), 11, false, Qt::red};
const FontStyle F6{kSong, 11, false, Qt::red};

constexpr qreal kCellHeight = 6.61;

struct Column {
    qreal left;
    qreal width;
    const char16_t* heading;
    qreal headingLeft;
    qreal headingWidth;
    const char16_t* field;
    qreal fieldLeft;
    qreal fieldWidth;
};

// Neighbouring cells overlap by 0.26 so that each boundary prints as one line.
const Column kColumns[] = {
    {0.00, 12.96, u"序号", 1.85, 9.26, u"序号", 1.06, 8.20},
    {12.70, 27.78, u"商品名称", 18.26, 18.26, u"商品名称", 13.76, 16.14},
    {40.22, 23.55, u"规格型号", 43.13, 18.26, u"规格型号", 41.28, 16.14},
    {63.50, 12.96, u"单位", 65.62, 9.26, u"单位", 65.62, 8.20},
    {76.20, 21.43, u"单价", 82.55, 9.26, u"单价", 77.26, 8.20},
    {97.37, 23.55, u"数量", 105.30, 9.26, u"数量", 98.42, 8.20},
    {120.65, 27.78, u"金额", 130.18, 9.26, u"应收金额", 122.24, 16.14},
    {148.17, 23.55, u"备注", 155.31, 9.26, u"备注", 150.28, 8.20},
};

QString name(const char* prefix, int number) {
    return QString::fromLatin1(prefix) + QString::number(number);
}

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

void addTitleBand(report::Report& note) {
    report::Band* band = note.addBand(BandType::Title, QStringLiteral("QRBand2"), 34.40);
    band->addDataText("QRDBText15", {0.26, 0.00, 23.55, 5.82}, kProfile, "公司名称", F4);
    band->addDataText("QRDBText16", {1.32, 6.61, 17.20, 4.76}, kProfile, "公司网址", F5);
    band->addDataText("QRDBText17", {1.32, 11.91, 16.14, 4.50}, kProfile, "联系电话", F6);
    band->addLabel("QRLabel1", {74.08, 6.35, 24.08, 7.94}, "送货单", F3);
    band->addLabel("QRLabel2", {114.30, 10.58, 29.90, 4.50}, "单据编号：NO.", F1);
    band->addDataText("QRDBText9", {143.93, 10.58, 18.26, 4.50}, kBuffer, "单据编号", F1);
    band->addLabel("QRLabel3", {2.12, 17.99, 22.75, 4.50}, "客户名称：", F1);
    band->addDataText("QRDBText10", {24.34, 17.99, 13.76, 4.50}, kBuffer, "联系人", F1);
    band->addLabel("QRLabel4", {2.12, 23.28, 22.75, 4.50}, "收货地址：", F1);
    band->addDataText("QRDBText11", {24.34, 23.28, 18.26, 4.50}, kBuffer, "单位地址", F1);
    band->addLabel("QRLabel5", {114.30, 23.28, 22.75, 4.50}, "联系电话：", F1);
    band->addDataText("QRDBText12", {136.26, 23.28, 18.26, 4.50}, kBuffer, "联系电话", F1);
    // The heading cells come before their captions so the captions are drawn on top.
    int shape = 1;
    for (const Column& c : kColumns)
        band->addShape(name("QRShape", shape++), {c.left, 28.05, c.width, kCellHeight});
    int label = 6;
    for (const Column& c : kColumns)
        band->addLabel(name("QRLabel", label++), {c.headingLeft, 29.63, c.headingWidth, 4.50},
                       text(c.heading), F1);
}

void addDetailBand(report::Report& note) {
    report::Band* band = note.addBand(BandType::Detail, QStringLiteral("QRBand1"), 6.09);
    // 0.52 taller than the band: the next row's cells cover the overhang, leaving one line.
    int shape = 9;
    for (const Column& c : kColumns)
        band->addShape(name("QRShape", shape++), {c.left, 0.00, c.width, kCellHeight});
    int field = 1;
    for (const Column& c : kColumns)
        band->addDataText(name("QRDBText", field++), {c.fieldLeft, 0.79, c.fieldWidth, 4.50},
                          kBuffer, text(c.field), F2);
}

void addSummaryBand(report::Report& note) {
    report::Band* band = note.addBand(BandType::Summary, QStringLiteral("QRBand3"), 16.67);
    band->addShape("QRShape17", {0.00, 0.00, 171.71, 6.88});
    band->addLabel("QRLabel14", {2.12, 1.32, 36.51, 4.50}, "合计金额(大写)：", F1);
    band->addLabel("QRLabel15", {37.57, 1.32, 21.70, 4.50}, "QRLabel15", F1);
    band->addLabel("QRLabel20", {118.00, 1.32, 4.76, 4.50}, "￥", F1);
    band->addLabel("QRLabel19", {122.24, 1.32, 21.70, 4.50}, "QRLabel19", F1)->setTransparent(true);
    band->addLabel("QRLabel16", {4.23, 12.70, 18.26, 4.50}, "制单人：", F1);
    band->addDataText("QRDBText13", {21.70, 12.70, 13.76, 4.50}, kBuffer, "经手人", F1);
    band->addLabel("QRLabel17", {59.27, 12.70, 22.75, 4.50}, "业务日期：", F1);
    band->addDataText("QRDBText14", {80.96, 12.70, 18.26, 4.50}, kBuffer, "业务日期", F1);
    band->addLabel("QRLabel18", {116.42, 12.70, 27.25, 4.50}, "收货人签字：", F1);
}

} // namespace

std::unique_ptr<report::Report> deliveryNoteReport() {
    auto note = std::make_unique<report::Report>(QStringLiteral("QuickRep1"));
    report::PageSetup setup;
    setup.paper = QSizeF(190, 265);
    setup.margins = QMarginsF(9, 13, 9, 13);
    note->setPageSetup(setup);
    note->setDocumentName(QStringLiteral("送货单"));
    note->setMasterDataSet(kBuffer);
    addTitleBand(*note);
    addDetailBand(*note);
    addSummaryBand(*note);
    return note;
}
