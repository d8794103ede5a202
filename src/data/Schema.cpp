#include "data/Schema.h"

namespace Schema {
namespace {

struct Column {
    const char* name;
    const char* type;
};

struct Table {
    const char* name;
    std::initializer_list<Column> columns;
};

// Number columns are REAL/DOUBLE, the business date DATE, everything else text.
const std::initializer_list<Table>& tables() {
    static const std::initializer_list<Table> all = {
        {"表1",
         {{"商品编码", "TEXT"},
          {"商品名称", "TEXT"},
          {"规格型号", "TEXT"},
          {"单位", "TEXT"},
          {"单价", "REAL"},
          {"备注", "TEXT"}}},
        {"表2",
         {{"单位名称", "TEXT"},
          {"联系人", "TEXT"},
          {"联系电话", "TEXT"},
          {"单位地址", "TEXT"},
          {"备注", "TEXT"}}},
        {"表3",
         {{"单据编号", "TEXT"},
          {"业务日期", "DATE"},
          {"经手人", "TEXT"},
          {"商品编码", "TEXT"},
          {"商品名称", "TEXT"},
          {"规格型号", "TEXT"},
          {"单位", "TEXT"},
          {"单价", "REAL"},
          {"数量", "REAL"},
          {"应收金额", "REAL"},
          {"联系人", "TEXT"},
          {"联系电话", "TEXT"},
          {"单位地址", "TEXT"},
          {"备注", "TEXT"}}},
        {"表4",
         {{"ID", "INTEGER PRIMARY KEY AUTOINCREMENT"},
          {"序号", "VARCHAR(255)"},
          {"单据编号", "VARCHAR(50)"},
          {"业务日期", "VARCHAR(50)"},
          {"经手人", "VARCHAR(50)"},
          {"商品编码", "VARCHAR(50)"},
          {"商品名称", "VARCHAR(50)"},
          {"规格型号", "VARCHAR(50)"},
          {"单位", "VARCHAR(50)"},
          {"单价", "DOUBLE"},
          {"数量", "DOUBLE"},
          {"应收金额", "DOUBLE"},
          {"优惠金额", "DOUBLE"},
          {"实收金额", "DOUBLE"},
          {"单位名称", "VARCHAR(50)"},
          {"联系人", "VARCHAR(50)"},
          {"联系电话", "VARCHAR(50)"},
          {"单位地址", "VARCHAR(50)"},
          {"备注", "VARCHAR(50)"}}},
        {"表5",
         {{"公司名称", "TEXT"}, {"公司网址", "TEXT"}, {"联系人", "TEXT"}, {"联系电话", "TEXT"}}},
    };
    return all;
}

// The ledger's tables (version 2). Money in fen, as integers; a customer named as its row of
// 表2 is (contact, telephone, address); a payment is named by its 编号, made when it is stored.
const std::initializer_list<Table>& ledger() {
    static const std::initializer_list<Table> all = {
        {"收款",
         {{"编号", "TEXT"},
          {"联系人", "TEXT"},
          {"联系电话", "TEXT"},
          {"单位地址", "TEXT"},
          {"收款日期", "DATE"},
          {"金额", "INTEGER"},
          {"方式", "TEXT"},
          {"经手人", "TEXT"},
          {"备注", "TEXT"},
          {"指定单据", "TEXT"}}},
        {"收款核销",
         {{"收款编号", "TEXT"},
          {"联系人", "TEXT"},
          {"联系电话", "TEXT"},
          {"单位地址", "TEXT"},
          {"单据编号", "TEXT"},
          {"金额", "INTEGER"}}},
        {"客户信用",
         {{"联系人", "TEXT"},
          {"联系电话", "TEXT"},
          {"单位地址", "TEXT"},
          {"信用额度", "INTEGER"},
          {"账期天数", "INTEGER"}}},
    };
    return all;
}

const Table* find(const QString& table) {
    for (const auto* group : {&tables(), &ledger()}) {
        for (const Table& t : *group) {
            if (table == QString::fromUtf8(t.name))
                return &t;
        }
    }
    return nullptr;
}

} // namespace

QString password() {
    return QStringLiteral("460218735091");
}

QStringList tableNames() {
    QStringList names;
    for (const Table& t : tables())
        names.append(QString::fromUtf8(t.name));
    return names;
}

QStringList ledgerTables() {
    QStringList names;
    for (const Table& t : ledger())
        names.append(QString::fromUtf8(t.name));
    return names;
}

QStringList dataTables() {
    return tableNames() + ledgerTables();
}

QStringList columns(const QString& table) {
    QStringList names;
    if (const Table* t = find(table)) {
        for (const Column& c : t->columns)
            names.append(QString::fromUtf8(c.name));
    }
    return names;
}

QString columnType(const QString& table, const QString& column) {
    if (const Table* t = find(table)) {
        for (const Column& c : t->columns) {
            if (column == QString::fromUtf8(c.name))
                return QString::fromUtf8(c.type);
        }
    }
    return QString();
}

QString tableStatement(const QString& table) {
    QStringList cols;
    const Table* t = find(table);
    if (!t)
        return {};
    for (const Column& c : t->columns)
        cols.append(
            QStringLiteral("\"%1\" %2").arg(QString::fromUtf8(c.name), QString::fromUtf8(c.type)));
    return QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(table, cols.join(QStringLiteral(", ")));
}

QStringList statements() {
    QStringList out;
    for (const QString& table : tableNames())
        out.append(tableStatement(table));
    // NOCASE, so that the bill selection's equality, which ignores ASCII letter case, uses it.
    out.append(
        QStringLiteral("CREATE INDEX \"表3_单据编号\" ON \"表3\" (\"单据编号\" COLLATE NOCASE)"));
    return out;
}

int version() {
    return 2;
}

QStringList addedTables(int version) {
    QStringList tables;
    if (version >= 1)
        tables.append(QStringLiteral("_meta"));
    if (version >= 2)
        tables += ledgerTables();
    return tables;
}

} // namespace Schema
