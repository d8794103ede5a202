#include "ledger/PaymentBook.h"

#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/DateText.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "ledger/DeliveryRows.h"

#include <QHash>
#include <QUuid>

namespace {

const QString kPayments = QStringLiteral("收款");
const QString kParts = QStringLiteral("收款核销");
const QString kCredit = QStringLiteral("客户信用");
const QString kContact = QStringLiteral("联系人");
const QString kTelephone = QStringLiteral("联系电话");
const QString kAddress = QStringLiteral("单位地址");
const QChar kSeparator = u'\n';

// The rows of a ledger table that name the customer.
class CustomerRows {
public:
    CustomerRows(Connection* connection, const QString& table, const Customer& customer)
        : list_(connection, table) {
        list_.setQuery(Query::equal(table, kContact, customer.contact));
        list_.open();
        const int contact = list_.fieldIndex(kContact);
        const int telephone = list_.fieldIndex(kTelephone);
        const int address = list_.fieldIndex(kAddress);
        for (int row = 0; row < list_.recordCount(); ++row) {
            if (Ledger::sameButAsciiCase(list_.text(row, contact), customer.contact) &&
                list_.text(row, telephone) == customer.telephone &&
                list_.text(row, address) == customer.address)
                rows_.append(row);
        }
    }
    Dataset& list() { return list_; }
    const QList<int>& rows() const { return rows_; }
    QString text(int row, const QString& field) const {
        return list_.text(row, list_.fieldIndex(field));
    }
    std::optional<qint64> stored(int row, const QString& field) const {
        const std::optional<double> value = list_.number(row, list_.fieldIndex(field));
        return value ? std::optional<qint64>(static_cast<qint64>(*value)) : std::nullopt;
    }
    qint64 integer(int row, const QString& field) const { return stored(row, field).value_or(0); }

private:
    Dataset list_;
    QList<int> rows_;
};

void setCustomer(Dataset& list, const Customer& customer) {
    list.setText(kContact, customer.contact);
    list.setText(kTelephone, customer.telephone);
    list.setText(kAddress, customer.address);
}

Payment paymentOf(const CustomerRows& rows, int row, const Customer& customer) {
    Payment p;
    p.id = rows.text(row, QStringLiteral("编号"));
    p.customer = customer;
    p.date = DateText::parse(rows.text(row, QStringLiteral("收款日期")));
    p.amount = rows.integer(row, QStringLiteral("金额"));
    p.method = rows.text(row, QStringLiteral("方式"));
    p.handler = rows.text(row, QStringLiteral("经手人"));
    p.remark = rows.text(row, QStringLiteral("备注"));
    const QString chosen = rows.text(row, QStringLiteral("指定单据"));
    if (!chosen.isEmpty())
        p.chosenBills = chosen.split(kSeparator);
    return p;
}

void writePayment(Dataset& list, const Payment& p) {
    list.setText(QStringLiteral("编号"), p.id);
    setCustomer(list, p.customer);
    list.setDate(QStringLiteral("收款日期"), p.date);
    list.setInteger(QStringLiteral("金额"), p.amount);
    list.setText(QStringLiteral("方式"), p.method);
    list.setText(QStringLiteral("经手人"), p.handler);
    list.setText(QStringLiteral("备注"), p.remark);
    list.setText(QStringLiteral("指定单据"), p.chosenBills.join(kSeparator));
    list.post();
}

Settlement::Payment settling(const Payment& p) {
    return {p.id, p.date, p.amount, p.chosenBills};
}

void requireValid(const Payment& p) {
    if (!p.customer.listed || p.customer.contact.isEmpty())
        throw DataError(QStringLiteral("请选择客户。"));
    if (!p.date.isValid())
        throw DataError(QStringLiteral("请填写收款日期。"));
    if (p.amount <= 0)
        throw DataError(QStringLiteral("收款金额必须大于 0。"));
}

// The stored row of the payment as it was read; a lost race when it is gone or changed.
int rowAsRead(const CustomerRows& rows, const Payment& before) {
    for (const int row : rows.rows()) {
        if (rows.text(row, QStringLiteral("编号")) == before.id &&
            paymentOf(rows, row, before.customer) == before)
            return row;
    }
    throw DataError(conflictMessage());
}

} // namespace

PaymentBook::PaymentBook(Connection* connection, const Customers& customers)
    : connection_(connection), customers_(customers) {}

QList<Settlement::Bill> PaymentBook::bills(const Customer& customer) const {
    Dataset list(connection_, QStringLiteral("CustomerBills"));
    list.setQuery(Query::equal(QStringLiteral("表3"), kContact, customer.contact));
    const DeliveryRows rows(list);
    const int number = rows.field(QStringLiteral("单据编号"));
    const int amount = rows.field(QStringLiteral("应收金额"));
    const int contact = rows.field(kContact);
    const int telephone = rows.field(kTelephone);
    const int address = rows.field(kAddress);
    QList<Settlement::Bill> bills;
    QList<qint64> sums;
    QHash<QString, qsizetype> byNumber;
    for (int row = 0; row < rows.count(); ++row) {
        if (!customers_.owns(customer, rows.text(row, contact), rows.text(row, address),
                             rows.text(row, telephone)))
            continue;
        const QString bill = rows.text(row, number);
        const QString key = Ledger::asciiFolded(bill);
        auto found = byNumber.find(key);
        if (found == byNumber.end()) {
            found = byNumber.insert(key, bills.size());
            bills.append({bill, rows.date(row), 0});
            sums.append(0);
        }
        Settlement::Bill& b = bills[*found];
        const QDate date = rows.date(row);
        if (date.isValid() && (!b.date.isValid() || date < b.date))
            b.date = date;
        Ledger::addTo(sums[*found], rows.tenThousandths(row, amount));
    }
    for (qsizetype i = 0; i < bills.size(); ++i)
        bills[i].amount = Settlement::fenOf(sums[i]);
    Settlement::sortBills(bills);
    return bills;
}

QList<Payment> PaymentBook::payments(const Customer& customer) const {
    const CustomerRows rows(connection_, kPayments, customer);
    QList<Payment> out;
    for (const int row : rows.rows())
        out.append(paymentOf(rows, row, customer));
    return out;
}

QList<Settlement::Part> PaymentBook::settlements(const Customer& customer) const {
    const CustomerRows rows(connection_, kParts, customer);
    QList<Settlement::Part> out;
    for (const int row : rows.rows())
        out.append({rows.text(row, QStringLiteral("收款编号")),
                    rows.text(row, QStringLiteral("单据编号")),
                    rows.integer(row, QStringLiteral("金额"))});
    return out;
}

QList<Settlement::Part> PaymentBook::preview(const Payment& payment) const {
    QList<Settlement::Payment> all;
    bool replaced = false;
    for (const Payment& p : payments(payment.customer)) {
        if (!payment.id.isEmpty() && p.id == payment.id) {
            all.append(settling(payment));
            replaced = true;
        } else {
            all.append(settling(p));
        }
    }
    if (!replaced)
        all.append(settling(payment));
    return Settlement::allocate(bills(payment.customer), all);
}

void PaymentBook::hold(Connection* connection, QStringList contacts) {
    for (QString& contact : contacts)
        contact = Ledger::asciiFolded(contact.trimmed());
    contacts.sort();
    contacts.removeDuplicates();
    for (const QString& contact : std::as_const(contacts))
        connection->engine().holdUntilEnd(QStringLiteral("收款:") + contact);
}

void PaymentBook::settleInTransaction(const Customer& customer) {
    QList<Settlement::Payment> all;
    for (const Payment& p : payments(customer))
        all.append(settling(p));
    CustomerRows stored(connection_, kParts, customer);
    // A customer who never paid has nothing to settle: its bills need not be read.
    if (all.isEmpty() && stored.rows().isEmpty())
        return;
    const QList<Settlement::Part> parts = Settlement::allocate(bills(customer), all);
    Dataset& list = stored.list();
    // From the last row back, so that the rows still to go keep their places.
    for (qsizetype i = stored.rows().size() - 1; i >= 0; --i) {
        list.moveTo(stored.rows()[i]);
        list.remove();
    }
    for (const Settlement::Part& part : parts) {
        list.append();
        list.setText(QStringLiteral("收款编号"), part.payment);
        setCustomer(list, customer);
        list.setText(QStringLiteral("单据编号"), part.bill);
        list.setInteger(QStringLiteral("金额"), part.amount);
        list.post();
    }
}

Payment PaymentBook::add(Payment payment) {
    requireValid(payment);
    payment.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    Transaction transaction(*connection_);
    hold(connection_, {payment.customer.contact});
    CustomerRows rows(connection_, kPayments, payment.customer);
    rows.list().append();
    writePayment(rows.list(), payment);
    settleInTransaction(payment.customer);
    transaction.commit();
    return payment;
}

void PaymentBook::modify(const Payment& before, Payment after) {
    requireValid(after);
    after.id = before.id;
    Transaction transaction(*connection_);
    hold(connection_, {before.customer.contact, after.customer.contact});
    CustomerRows rows(connection_, kPayments, before.customer);
    rows.list().moveTo(rowAsRead(rows, before));
    rows.list().edit();
    writePayment(rows.list(), after);
    settleInTransaction(before.customer);
    if (after.customer.key() != before.customer.key())
        settleInTransaction(after.customer);
    transaction.commit();
}

void PaymentBook::remove(const Payment& before) {
    Transaction transaction(*connection_);
    hold(connection_, {before.customer.contact});
    CustomerRows rows(connection_, kPayments, before.customer);
    rows.list().moveTo(rowAsRead(rows, before));
    rows.list().remove();
    settleInTransaction(before.customer);
    transaction.commit();
}

void PaymentBook::resettle(const Customer& customer) {
    if (!customer.listed)
        return;
    Transaction transaction(*connection_);
    hold(connection_, {customer.contact});
    settleInTransaction(customer);
    transaction.commit();
}

void PaymentBook::resettleWithin(const QList<Customer>& customers) {
    QStringList contacts;
    for (const Customer& customer : customers)
        contacts.append(customer.contact);
    hold(connection_, contacts);
    for (const Customer& customer : customers)
        if (customer.listed)
            settleInTransaction(customer);
}

void PaymentBook::moveWithin(const Customer& from, const Customer& to) {
    hold(connection_, {from.contact, to.contact});
    for (const QString& table : {kPayments, kParts}) {
        CustomerRows rows(connection_, table, from);
        for (const int row : rows.rows()) {
            rows.list().moveTo(row);
            rows.list().edit();
            setCustomer(rows.list(), to);
            rows.list().post();
        }
    }
    CustomerRows credit(connection_, kCredit, from);
    const bool own = !CustomerRows(connection_, kCredit, to).rows().isEmpty();
    // From the last row back, so that the rows still to go keep their places.
    for (qsizetype i = credit.rows().size() - 1; i >= 0; --i) {
        credit.list().moveTo(credit.rows()[i]);
        if (own || i > 0) {
            credit.list().remove();
        } else {
            credit.list().edit();
            setCustomer(credit.list(), to);
            credit.list().post();
        }
    }
}

Credit PaymentBook::credit(const Customer& customer) const {
    const CustomerRows rows(connection_, kCredit, customer);
    Credit out;
    if (rows.rows().isEmpty())
        return out;
    const int row = rows.rows().first();
    out.limit = rows.stored(row, QStringLiteral("信用额度"));
    out.termDays = static_cast<int>(rows.integer(row, QStringLiteral("账期天数")));
    return out;
}

void PaymentBook::setCredit(const Customer& customer, const Credit& credit) {
    Transaction transaction(*connection_);
    CustomerRows rows(connection_, kCredit, customer);
    Dataset& list = rows.list();
    if (rows.rows().isEmpty()) {
        list.append();
        setCustomer(list, customer);
    } else {
        list.moveTo(rows.rows().first());
        list.edit();
    }
    list.setInteger(QStringLiteral("信用额度"), credit.limit);
    list.setInteger(QStringLiteral("账期天数"), credit.termDays);
    list.post();
    transaction.commit();
}
