#include "WriteOp.h"

#include <QList>

namespace {

const char* const kKinds[] = {"add", "modify", "delete", "bill", "profile"};

} // namespace

QByteArray WriteOp::line() const {
    QStringList fields = {QString::fromLatin1(kKinds[static_cast<int>(kind)]), table};
    fields += values;
    return fields.join(QLatin1Char('\t')).toUtf8();
}

std::optional<WriteOp> WriteOp::parse(const QByteArray& line) {
    const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
    if (fields.size() < 2)
        return std::nullopt;
    for (int k = 0; k < 5; ++k) {
        if (fields[0] == QLatin1String(kKinds[k]))
            return WriteOp{static_cast<Kind>(k), fields[1], fields.mid(2)};
    }
    return std::nullopt;
}

QStringList writtenColumns(const QString& table) {
    if (table == QStringLiteral("表1"))
        return {"商品编码", "商品名称", "单价"};
    if (table == QStringLiteral("表2"))
        return {"联系电话", "联系人", "单位地址"};
    if (table == QStringLiteral("表3"))
        return {"备注", "单据编号", "商品名称", "单价", "数量", "应收金额"};
    return {};
}

QStringList profileColumns() {
    return {"公司名称", "公司网址", "联系人", "联系电话"};
}

bool isNumberColumn(const QString& column) {
    return column == QStringLiteral("单价") || column == QStringLiteral("数量") ||
           column == QStringLiteral("应收金额");
}
