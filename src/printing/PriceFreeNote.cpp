#include "printing/PriceFreeNote.h"

#include "report/Item.h"
#include "report/Report.h"
#include "settings/Settings.h"

namespace PriceFreeNote {
namespace {
const QString kKey = QStringLiteral("print/withoutPrices");
}

bool chosen() {
    return Settings::value(kKey, false).toBool();
}

void choose(bool withoutPrices) {
    Settings::setValue(kKey, withoutPrices);
}

const QStringList& priceItems() {
    // The 单价 and 金额 headings and fields, "合计金额(大写)：" with the capitals, "￥" with the
    // total.
    static const QStringList items = {QStringLiteral("QRLabel10"), QStringLiteral("QRDBText5"),
                                      QStringLiteral("QRLabel12"), QStringLiteral("QRDBText7"),
                                      QStringLiteral("QRLabel14"), QStringLiteral("QRLabel15"),
                                      QStringLiteral("QRLabel20"), QStringLiteral("QRLabel19")};
    return items;
}

void apply(report::Report& note, bool withoutPrices) {
    for (const QString& name : priceItems())
        note.item(name)->setPrinted(!withoutPrices);
}

QCheckBox* newCheckBox(QWidget* parent) {
    auto* box = new QCheckBox(QStringLiteral("打印不含价格的送货单"), parent);
    box->setObjectName(QStringLiteral("WithoutPricesBox"));
    box->setToolTip(QStringLiteral("单价、金额、合计金额和大写金额（连同它们的标题）都不打印，"
                                   "其余内容位置不变；存PDF和存图片也一样。"));
    return box;
}

} // namespace PriceFreeNote
