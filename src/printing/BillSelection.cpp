#include "printing/BillSelection.h"

#include "data/Connection.h"
#include "data/Dataset.h"

#include <QLineEdit>

namespace {
const char* const kCopied[13] = {"单据编号", "业务日期", "经手人", "商品名称", "规格型号",
                                 "单位",     "单价",     "数量",   "应收金额", "联系人",
                                 "联系电话", "单位地址", "备注"};
}

BillSelection::BillSelection(Connection* main, Dataset* deliveries, Dataset* printBuffer,
                             QLineEdit* billBox)
    : main_(main), deliveries_(deliveries), buffer_(printBuffer), billBox_(billBox) {}

void BillSelection::DBGridEh3CellClick() {
    try {
        Transaction transaction(*main_);
        refill();
        transaction.commit();
    } catch (...) {
        // The refill has rolled back to the earlier bill; a print now would show that bill,
        // which the user did not click. An empty buffer prints as an empty note instead.
        try {
            Transaction transaction(*main_);
            emptyBuffer();
            transaction.commit();
        } catch (...) {
            // The first error is the one to show.
            buffer_->close();
        }
        throw;
    }
}

void BillSelection::emptyBuffer() {
    buffer_->close();
    buffer_->setQuery(Query::all(QStringLiteral("表4")));
    buffer_->open();
    buffer_->first();
    while (buffer_->recordCount() > 0)
        buffer_->remove();
}

void BillSelection::refill() {
    emptyBuffer();

    billBox_->setText(deliveries_->text(QStringLiteral("单据编号")));
    const QString bill = billBox_->text();
    deliveries_->close();
    deliveries_->setQuery(Query::equal(QStringLiteral("表3"), QStringLiteral("单据编号"), bill));
    deliveries_->open();

    int number = 1;
    deliveries_->first();
    while (!deliveries_->eof()) {
        buffer_->append();
        buffer_->setText(QStringLiteral("序号"), QString::number(number));
        for (const char* column : kCopied) {
            const QString name = QString::fromUtf8(column);
            buffer_->setText(name, deliveries_->text(name));
        }
        buffer_->post();
        ++number;
        deliveries_->next();
    }
}
