#include "imports/ImportFields.h"

#include "data/NumberText.h"

#include <QRegularExpression>

namespace ImportFields {
namespace {

// Rows searched for the header above which a title or a note may stand.
constexpr qsizetype kHeaderSearch = 20;

QString normalised(const QString& header) {
    static const QRegularExpression noise(QStringLiteral("[\\s\\x{3000}*＊]|[(（][^)）]*[)）]"));
    return QString(header).remove(noise);
}

} // namespace

QString table(ImportTarget target) {
    return target == ImportTarget::Goods ? QStringLiteral("表1") : QStringLiteral("表2");
}

QString listName(ImportTarget target) {
    return target == ImportTarget::Goods ? QStringLiteral("商品信息") : QStringLiteral("客户信息");
}

const QList<Field>& fields(ImportTarget target) {
    static const QList<Field> goods = {
        {QStringLiteral("商品编码"),
         QStringLiteral("商品编码"),
         {QStringLiteral("商品编码"), QStringLiteral("编码"), QStringLiteral("货号")},
         true},
        {QStringLiteral("商品名称"),
         QStringLiteral("商品名称"),
         {QStringLiteral("商品名称"), QStringLiteral("名称"), QStringLiteral("品名")},
         true},
        {QStringLiteral("规格型号"),
         QStringLiteral("规格型号"),
         {QStringLiteral("规格型号"), QStringLiteral("规格"), QStringLiteral("型号")}},
        {QStringLiteral("单位"), QStringLiteral("单位"), {QStringLiteral("单位")}},
        {QStringLiteral("单价"),
         QStringLiteral("单价"),
         {QStringLiteral("单价"), QStringLiteral("价格"), QStringLiteral("售价")},
         false,
         true},
        {QStringLiteral("备注"), QStringLiteral("备注"), {QStringLiteral("备注")}},
    };
    static const QList<Field> customers = {
        {QStringLiteral("联系人"),
         QStringLiteral("联系人"),
         {QStringLiteral("联系人"), QStringLiteral("客户"), QStringLiteral("客户名称")},
         true},
        {QStringLiteral("联系电话"),
         QStringLiteral("联系电话"),
         {QStringLiteral("联系电话"), QStringLiteral("电话"), QStringLiteral("手机")}},
        {QStringLiteral("单位地址"),
         QStringLiteral("详细地址"),
         {QStringLiteral("单位地址"), QStringLiteral("地址"), QStringLiteral("详细地址")}},
        {QStringLiteral("备注"), QStringLiteral("备注"), {QStringLiteral("备注")}},
    };
    return target == ImportTarget::Goods ? goods : customers;
}

QString cellText(const SheetTable::Cell& cell) {
    switch (cell.kind) {
    case SheetTable::Cell::Text:
        return cell.text;
    case SheetTable::Cell::Number:
        return NumberText::general(cell.number);
    case SheetTable::Cell::Empty:
        break;
    }
    return QString();
}

QList<int> match(ImportTarget target, const QStringList& headers) {
    QStringList names;
    for (const QString& header : headers)
        names.append(normalised(header));
    const QList<Field>& all = fields(target);
    QList<int> columns(all.size(), -1);
    QList<bool> taken(names.size(), false);
    // A field's likelier names go first for every field before its less likely ones, so that
    // "客户名称" beside "联系人" does not take the contact's place.
    for (int rank = 0; rank < 3; ++rank) {
        for (qsizetype f = 0; f < all.size(); ++f) {
            if (columns[f] >= 0 || rank >= all[f].names.size())
                continue;
            for (qsizetype c = 0; c < names.size(); ++c) {
                if (!taken[c] && names[c] == all[f].names[rank]) {
                    columns[f] = static_cast<int>(c);
                    taken[c] = true;
                    break;
                }
            }
        }
    }
    return columns;
}

QStringList headers(const SheetTable::Row& row) {
    QStringList out;
    for (const SheetTable::Cell& cell : row.cells)
        out.append(cellText(cell).trimmed());
    return out;
}

qsizetype headerRow(ImportTarget target, const SheetTable& sheet) {
    qsizetype best = 0;
    qsizetype bestCount = 0;
    for (qsizetype r = 0; r < sheet.rows.size() && r < kHeaderSearch; ++r) {
        const QList<int> columns = match(target, headers(sheet.rows[r]));
        const qsizetype count = columns.size() - columns.count(-1);
        if (count > bestCount) {
            best = r;
            bestCount = count;
        }
    }
    return best;
}

} // namespace ImportFields
