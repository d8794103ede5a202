#include "app/GridColumns.h"

namespace {
GridColumn column(const char* field, const char* title, Qt::Alignment alignment, int width,
                  bool number = false) {
    GridColumn c;
    c.field = QString::fromUtf8(field);
    c.title = QString::fromUtf8(title);
    c.alignment = alignment;
    c.width = width;
    c.numberFormat = number;
    return c;
}

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignCenter;
} // namespace

QList<GridColumn> goodsColumns() {
    return {column("商品编码", "商品编码", kCentre, 80), column("商品名称", "商品名称", kLeft, 150),
            column("规格型号", "规格型号", kLeft, 150),  column("单位", "单位", kCentre, 60),
            column("单价", "单价", kCentre, 90, true),   column("备注", "备注", kLeft, 200)};
}

QList<GridColumn> customerColumns() {
    return {column("联系人", "联系人", kCentre, 70), column("联系电话", "联系电话", kCentre, 100),
            column("单位地址", "详细地址", kLeft, 350), column("备注", "备注", kLeft, 150)};
}

QList<GridColumn> deliveryColumns() {
    QList<GridColumn> columns = {
        column("单据编号", "单据编号", kCentre, 60),
        column("业务日期", "业务日期", kLeft, 80),
        column("经手人", "经手人", kCentre, 60),
        column("商品名称", "商品信息|商品名称", kLeft, 65),
        column("规格型号", "商品信息|规格型号", kLeft, 65),
        column("单位", "商品信息|单位", kCentre, 45),
        column("单价", "商品信息|单价", kCentre, 55, true),
        column("数量", "商品信息|数量", kCentre, 55, true),
        column("应收金额", "商品信息|金额", kCentre, 70, true),
        column("联系人", "客户信息|联系人", kCentre, 60),
        column("联系电话", "客户信息|联系电话", kCentre, 80),
        column("单位地址", "客户信息|单位地址", kLeft, 110),
        column("备注", "备注", kLeft, 80),
    };
    columns[0].footer = GridColumn::Footer::Text;
    columns[0].footerText = QStringLiteral("合计");
    columns[8].footer = GridColumn::Footer::Sum;
    return columns;
}
