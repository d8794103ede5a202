#include "printing/ReceiptReport.h"

#include "ledger/DeliveryRows.h"
#include "ledger/MoneyText.h"

namespace ReceiptReport {

QList<QStringList> rows(const Payment& payment, const QList<Settlement::Bill>& bills,
                        const QList<Settlement::Part>& parts) {
    QList<QStringList> out;
    for (const Settlement::Bill& bill : bills) {
        qint64 now = 0;
        for (const Settlement::Part& part : parts)
            if (part.payment == payment.id && Ledger::sameButAsciiCase(part.bill, bill.number))
                now += part.amount;
        if (now == 0)
            continue;
        out.append({bill.number, bill.date.toString(QStringLiteral("yyyy/M/d")),
                    MoneyText::ofFen(bill.amount), MoneyText::ofFen(now)});
    }
    return out;
}

TableReport::Layout layout(const Payment& payment, const QList<Settlement::Part>& parts,
                           Capitals::Style style) {
    TableReport::Layout l;
    l.name = QStringLiteral("ReceiptReport");
    l.title = QStringLiteral("收款收据");
    l.savedName =
        QStringLiteral("收款收据_%1_%2")
            .arg(payment.customer.contact, payment.date.toString(QStringLiteral("yyyy-MM-dd")));
    l.paper = QSizeF(210, 148);
    l.headerLines = {QStringLiteral("客户：%1").arg(payment.customer.label()),
                     QStringLiteral("收款日期：%1　　收款方式：%2　　收据号：%3")
                         .arg(payment.date.toString(QStringLiteral("yyyy/M/d")), payment.method,
                              payment.id.left(8).toUpper())};
    l.columns = {{QStringLiteral("核销单据"), 50, false},
                 {QStringLiteral("业务日期"), 40, false},
                 {QStringLiteral("单据金额"), 45, true},
                 {QStringLiteral("本次核销"), 45, true}};
    qint64 settled = 0;
    for (const Settlement::Part& part : parts)
        if (part.payment == payment.id)
            settled += part.amount;
    l.summaryLines = {
        QStringLiteral("收款金额：￥%1　　大写：%2")
            .arg(MoneyText::ofFen(payment.amount),
                 Capitals::total(static_cast<double>(payment.amount) / 100.0, style))};
    if (payment.amount > settled)
        l.summaryLines.append(
            QStringLiteral("其中转为预收款：￥%1").arg(MoneyText::ofFen(payment.amount - settled)));
    l.summaryLines.append(
        QStringLiteral("经手人：%1　　备注：%2").arg(payment.handler, payment.remark));
    return l;
}

} // namespace ReceiptReport
