// Writes an empty, encrypted data.mdb with the five tables, or with --demo a small database to
// try the program on.

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Errors.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QTextStream>

namespace {

void addRows(Connection& connection, const QString& table, const QList<QStringList>& rows) {
    Dataset list(&connection, table);
    list.setQuery(Query::all(table));
    list.open();
    const QStringList columns = Schema::columns(table);
    for (const QStringList& values : rows) {
        list.append();
        for (int i = 0; i < values.size(); ++i)
            list.setText(columns[i], values[i]);
        list.post();
    }
}

void fillDemo(const QString& path) {
    Connection connection;
    connection.setConnectionString(
        QStringLiteral("Data Source=\"%1\";Jet OLEDB:Database Password=%2")
            .arg(path, Schema::password()));
    connection.open();
    Transaction transaction(connection);
    addRows(connection, QStringLiteral("表1"),
            {{"A001", "不锈钢水杯", "500ml", "个", "18.5", ""},
             {"A002", "保温饭盒", "三层", "个", "46", "新品"},
             {"B010", "打印纸", "A4 70g", "箱", "128", ""},
             {"B011", "签字笔", "0.5mm 黑", "盒", "24.8", "12支装"},
             {"C100", "文件柜", "五层", "台", "560", "含安装"}});
    addRows(connection, QStringLiteral("表2"),
            {{"明远贸易有限公司", "王经理", "0571-88001234", "杭州市西湖区文三路 88 号", ""},
             {"华新办公用品店", "李小姐", "13800001111", "杭州市拱墅区湖墅南路 12 号", "月结"},
             {"东方建材", "赵先生", "0571-86005678", "杭州市滨江区江南大道 300 号", ""}});
    addRows(connection, QStringLiteral("表5"),
            {{"杭州澄朔商贸有限公司", "www.example.com", "张明", "0571-88886666"}});
    const QString day1 = QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd"));
    const QString day2 = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    addRows(connection, QStringLiteral("表3"),
            {{"20260001", day1, "张明", "A001", "不锈钢水杯", "500ml", "个", "18.5", "20", "370",
              "王经理", "0571-88001234", "杭州市西湖区文三路 88 号", ""},
             {"20260001", day1, "张明", "A002", "保温饭盒", "三层", "个", "46", "10", "460",
              "王经理", "0571-88001234", "杭州市西湖区文三路 88 号", ""},
             {"20260001", day1, "张明", "B011", "签字笔", "0.5mm 黑", "盒", "24.8", "5", "124",
              "王经理", "0571-88001234", "杭州市西湖区文三路 88 号", "加急"},
             {"20260002", day2, "张明", "B010", "打印纸", "A4 70g", "箱", "128", "3", "384",
              "李小姐", "13800001111", "杭州市拱墅区湖墅南路 12 号", "月结"},
             {"20260002", day2, "张明", "C100", "文件柜", "五层", "台", "560", "1", "560", "李小姐",
              "13800001111", "杭州市拱墅区湖墅南路 12 号", "送货上门"}});
    transaction.commit();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    QTextStream err(stderr);
    if (args.size() != 1) {
        err << "usage: make-empty-db [--demo] FILE\n";
        return 2;
    }
    const QString path = QFileInfo(args.first()).absoluteFilePath();
    try {
        Schema::createDatabase(path);
        if (demo)
            fillDemo(path);
    } catch (const AppError& e) {
        err << "make-empty-db: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
