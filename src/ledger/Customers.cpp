#include "ledger/Customers.h"

#include "data/Dataset.h"
#include "ledger/DeliveryRows.h"

#include <QSet>
#include <algorithm>

namespace {

const QString kContact = QStringLiteral("联系人");
const QString kTelephone = QStringLiteral("联系电话");
const QString kAddress = QStringLiteral("单位地址");

bool before(const Customer& a, const Customer& b) {
    const QString x = Ledger::asciiFolded(a.contact);
    const QString y = Ledger::asciiFolded(b.contact);
    if (x != y)
        return x < y;
    if (a.address != b.address)
        return a.address < b.address;
    return a.telephone < b.telephone;
}

} // namespace

QString Customer::key() const {
    const QString contactKey = Ledger::asciiFolded(contact);
    return listed ? QStringLiteral("1\n%1\n%2\n%3").arg(contactKey, address, telephone)
                  : QStringLiteral("0\n") + contactKey;
}

QString Customer::label() const {
    if (!listed)
        return contact + QStringLiteral("（客户信息中没有）");
    QString text = contact;
    for (const QString& part : {address, telephone})
        if (!part.isEmpty())
            text += QStringLiteral("　") + part;
    return text;
}

Customers::Customers(Connection* connection) : connection_(connection) {
    Dataset list(connection_, QStringLiteral("CustomerRows"));
    list.setQuery(Query::all(QStringLiteral("表2")));
    list.open();
    version_ = list.rowsVersion();
    const int contact = list.fieldIndex(kContact);
    const int telephone = list.fieldIndex(kTelephone);
    const int address = list.fieldIndex(kAddress);
    QSet<QString> seen;
    for (int row = 0; row < list.recordCount(); ++row) {
        Customer customer{list.text(row, contact).trimmed(), list.text(row, telephone).trimmed(),
                          list.text(row, address).trimmed(), true};
        // A row without a contact names no customer, as on a delivery row.
        if (customer.contact.isEmpty() || seen.contains(customer.key()))
            continue;
        seen.insert(customer.key());
        listed_.append(customer);
    }
    std::sort(listed_.begin(), listed_.end(), before);
    for (qsizetype i = 0; i < listed_.size(); ++i)
        byContact_[Ledger::asciiFolded(listed_[i].contact)].append(i);
}

Customer Customers::ownerOf(const QString& contact, const QString& address,
                            const QString& telephone) const {
    const QString name = contact.trimmed();
    const QList<qsizetype> candidates = byContact_.value(Ledger::asciiFolded(name));
    const QString where = address.trimmed();
    const QString phone = telephone.trimmed();
    for (const qsizetype i : candidates)
        if (!where.isEmpty() && listed_[i].address == where)
            return listed_[i];
    for (const qsizetype i : candidates)
        if (!phone.isEmpty() && listed_[i].telephone == phone)
            return listed_[i];
    if (candidates.size() == 1)
        return listed_[candidates.first()];
    return Customer{name, QString(), QString(), false};
}

bool Customers::owns(const Customer& customer, const QString& contact, const QString& address,
                     const QString& telephone) const {
    return ownerOf(contact, address, telephone).key() == customer.key();
}

QList<Customer> Customers::withDeliveryContacts() const {
    Dataset list(connection_, QStringLiteral("CustomerDeliveries"));
    list.setQuery(Query::all(QStringLiteral("表3")));
    const DeliveryRows rows(list);
    const int contact = rows.field(kContact);
    const int telephone = rows.field(kTelephone);
    const int address = rows.field(kAddress);
    QList<Customer> unlisted;
    QSet<QString> seen;
    QString last;
    for (int row = 0; row < rows.count(); ++row) {
        const QString name = rows.text(row, contact);
        const QString where = rows.text(row, address);
        const QString phone = rows.text(row, telephone);
        // A bill's rows mostly come together: each run of one customer is looked at once.
        const QString key = name + u'\n' + where + u'\n' + phone;
        if (name.trimmed().isEmpty() || key == last)
            continue;
        last = key;
        const Customer owner = ownerOf(name, where, phone);
        if (owner.listed || seen.contains(owner.key()))
            continue;
        seen.insert(owner.key());
        unlisted.append(owner);
    }
    std::sort(unlisted.begin(), unlisted.end(), before);
    return listed_ + unlisted;
}
