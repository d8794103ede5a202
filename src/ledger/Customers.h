#pragma once

#include <QHash>
#include <QList>
#include <QString>

class Connection;

// A customer: a row of 表2 (contact, telephone, address), or, for delivery rows that belong to
// no such row, just the contact those rows carry (listed false). Two companies' 王经理 are two
// customers.
struct Customer {
    QString contact;
    QString telephone;
    QString address;
    bool listed = true;

    // Equal keys are the same customer: contacts compare with ASCII case ignored, as the
    // engine compares them; address and telephone as they are.
    QString key() const;
    // How a pick list shows it: the contact, then address and telephone where there are any;
    // a contact without a customer row says so.
    QString label() const;

    bool operator==(const Customer&) const = default;
};

// The customers of the customer table, and which delivery rows belong to which. A delivery row
// belongs to the customer whose contact it carries and whose address, or else telephone, it
// carries too; a contact that only one customer has needs nothing more. A row whose contact
// no customer has, or that several have without address or telephone to tell them apart,
// belongs to its contact alone. Reads through data sets of its own, with bound values only.
class Customers {
public:
    // Reads 表2; customer rows alike in contact, telephone and address are one customer.
    explicit Customers(Connection* connection);

    // Sorted by contact, then address and telephone.
    const QList<Customer>& listed() const { return listed_; }
    // The version of the customer rows read (see Dataset::rowsVersion): equal versions, equal
    // customers.
    quint64 version() const { return version_; }
    // The listed customers and, after them in the same order, the contacts of delivery rows
    // that belong to no listed customer (reads 表3).
    QList<Customer> withDeliveryContacts() const;

    // The customer of a delivery row.
    Customer ownerOf(const QString& contact, const QString& address,
                     const QString& telephone) const;
    bool owns(const Customer& customer, const QString& contact, const QString& address,
              const QString& telephone) const;

private:
    Connection* connection_;
    QList<Customer> listed_;
    quint64 version_ = 0;
    QHash<QString, QList<qsizetype>> byContact_;
};
