// The child of the crash-safety test. It works on the database in the folder it is given
// through the program's own code and reports each write on standard output, a line before the
// write starts and a line once the call has returned, until the parent kills it. On a server
// run it works on the test's server database, as the workstation NOTE_TEST_WORKSTATION names.
//
//   crash_writer write FOLDER SEED FIRST   adds, modifies, deletes, bill selections, profile
//                                          saves; keys are numbered from FIRST
//   crash_writer backup FOLDER TARGET      backs data.mdb up to TARGET.bak, again and again
//   crash_writer autobackup FOLDER         makes automatic backups in FOLDER/自动备份, again
//                                          and again
//   crash_writer restore FOLDER A B        restores data.mdb from A and B in turn
//   crash_writer restore-stop FOLDER A N   restores data.mdb from A once, killing itself just
//                                          before its N-th rename or unlink in FOLDER
#include "FileCalls.h"
#include "ScriptedPrompts.h"
#include "TestDatabase.h"
#include "WriteOp.h"

#include "backup/AutoBackup.h"
#include "backup/DataBackup.h"
#include "backup/DataRestore.h"
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/EngineChoice.h"
#include "data/Errors.h"
#include "data/NumberText.h"
#include "platform/ProgramFolder.h"
#include "printing/BillSelection.h"
#include "profile/JbzlUnit.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QLineEdit>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>

namespace {

// One line on the pipe; lines are short, so each write reaches the parent whole.
void report(const QByteArray& text) {
    const QByteArray line = text + '\n';
    const char* p = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            std::_Exit(3);
        p += n;
        left -= n;
    }
}

[[noreturn]] void fail(const QString& text) {
    std::fprintf(stderr, "crash_writer: %s\n", qPrintable(text));
    std::_Exit(2);
}

class Writer {
public:
    Writer(quint64 seed, qint64 first)
        : goods_(&main_, "ADOQuery1"), customers_(&main_, "ADOQuery2"),
          deliveries_(&main_, "ADOQuery3"), buffer_(&main_, "ADOQuery4"),
          selection_(&main_, &deliveries_, &buffer_, &billBox_),
          connections_(&main_, {&goods_, &customers_, &deliveries_, &buffer_}), rng_(seed),
          next_(first) {
        main_.setConnectionString(DatabaseConnection::FormConnectionString());
        const char* tables[] = {"表1", "表2", "表3", "表4"};
        Dataset* lists[] = {&goods_, &customers_, &deliveries_, &buffer_};
        for (int i = 0; i < 4; ++i) {
            lists[i]->setQuery(Query::all(QString::fromUtf8(tables[i])));
            lists[i]->open();
        }
        profile_.Load();
        connections_.setProfileQuery(profile_.profileQuery());
    }

    void step() {
        const int pick = static_cast<int>(rng_() % 20);
        if (pick < 7)
            add(table());
        else if (pick < 13)
            modify(table());
        else if (pick < 17)
            remove(table());
        else if (pick < 18)
            selectBill();
        else if (pick < 19)
            saveProfile();
        else
            connections_.ReopenAll();
    }

private:
    QString table() {
        static const char* const tables[] = {"表1", "表2", "表3", "表3"};
        return QString::fromUtf8(tables[rng_() % 4]);
    }
    Dataset& list(const QString& table) {
        return table == QStringLiteral("表1")   ? goods_
               : table == QStringLiteral("表2") ? customers_
                                                : deliveries_;
    }
    QString price() { return NumberText::general((rng_() % 100000) / 100.0); }

    // The values of writtenColumns(table) for a row with the given key (and bill, for 表3).
    QStringList values(const QString& table, const QString& key, const QString& bill) {
        const QString n = QString::number(rng_() % 1000);
        if (table == QStringLiteral("表1"))
            return {key, QStringLiteral("商品") + n, price()};
        if (table == QStringLiteral("表2"))
            return {key, QStringLiteral("联系人") + n, QStringLiteral("地址") + n};
        const QString unitPrice = price();
        const QString quantity = QString::number(1 + rng_() % 50);
        const long double amount =
            NumberText::toExtended(unitPrice) * NumberText::toExtended(quantity);
        return {key,       bill,     QStringLiteral("品名") + n,
                unitPrice, quantity, NumberText::general(amount)};
    }

    void write(Dataset& rows, const QString& table, const QStringList& values) {
        const QStringList columns = writtenColumns(table);
        for (int i = 0; i < columns.size(); ++i)
            rows.setText(columns[i], values[i]);
        if (table == QStringLiteral("表3"))
            rows.setDate(QStringLiteral("业务日期"), QDate(2024, 1, 1).addDays(rng_() % 365));
        rows.post();
    }

    void add(const QString& table) {
        const QString key = QStringLiteral("K%1").arg(next_++);
        const WriteOp op{WriteOp::Kind::Add, table,
                         values(table, key, QStringLiteral("B%1").arg(rng_() % 40))};
        report("begin\t" + op.line());
        Dataset& rows = list(table);
        rows.last();
        rows.append();
        write(rows, table, op.values);
        report("done");
    }

    // Picks a row of the list as it stands (a search or bill may have narrowed it).
    bool pickRow(Dataset& rows) {
        if (rows.recordCount() == 0)
            return false;
        rows.moveTo(static_cast<int>(rng_() % rows.recordCount()));
        return true;
    }

    void modify(const QString& table) {
        Dataset& rows = list(table);
        if (!pickRow(rows))
            return add(table);
        const QStringList columns = writtenColumns(table);
        const QString key = rows.text(columns[0]);
        const QString bill =
            table == QStringLiteral("表3") ? rows.text(QStringLiteral("单据编号")) : QString();
        const WriteOp op{WriteOp::Kind::Modify, table, values(table, key, bill)};
        report("begin\t" + op.line());
        rows.edit();
        write(rows, table, op.values);
        report("done");
    }

    void remove(const QString& table) {
        Dataset& rows = list(table);
        if (!pickRow(rows))
            return;
        const WriteOp op{WriteOp::Kind::Delete, table, {rows.text(writtenColumns(table)[0])}};
        report("begin\t" + op.line());
        rows.remove();
        report("done");
    }

    void selectBill() {
        if (!pickRow(deliveries_))
            return;
        const WriteOp op{WriteOp::Kind::SelectBill,
                         QStringLiteral("表4"),
                         {deliveries_.text(QStringLiteral("单据编号"))}};
        report("begin\t" + op.line());
        selection_.DBGridEh3CellClick();
        report("done");
    }

    void saveProfile() {
        const QString n = QString::number(next_++);
        const WriteOp op{WriteOp::Kind::SaveProfile,
                         QStringLiteral("表5"),
                         {QStringLiteral("公司") + n, QStringLiteral("www.") + n,
                          QStringLiteral("经手") + n, QStringLiteral("电话") + n}};
        for (int i = 0; i < 4; ++i)
            profile_.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(i + 1))
                ->setText(op.values[i]);
        report("begin\t" + op.line());
        profile_.Button1Click();
        report("done");
    }

    Connection main_;
    Dataset goods_;
    Dataset customers_;
    Dataset deliveries_;
    Dataset buffer_;
    QLineEdit billBox_;
    BillSelection selection_;
    DatabaseConnection connections_;
    TJbzlForm profile_;
    std::mt19937_64 rng_;
    qint64 next_;
};

int writeForever(quint64 seed, qint64 first) {
    Writer writer(seed, first);
    report("ready");
    for (;;)
        writer.step();
}

int backUpForever(ScriptedPrompts& prompts, const QString& target) {
    QWidget owner;
    DataBackup backup(&owner);
    report("ready");
    for (;;) {
        prompts.clear();
        prompts.answerSave(target);
        report("begin\tbackup");
        backup.SpeedButton4Click();
        if (prompts.lastText() != QStringLiteral("数据备份成功！"))
            fail(prompts.lastText());
        report("done");
    }
}

int autoBackUpForever() {
    report("ready");
    for (;;) {
        report("begin\tautobackup");
        const AutoBackup::Result result = AutoBackup::run(AutoBackupOptions());
        if (result.outcome != AutoBackup::Outcome::Made)
            fail(result.reason);
        report("done");
    }
}

int restoreForever(ScriptedPrompts& prompts, const QStringList& files) {
    QWidget owner;
    Connection main;
    main.setConnectionString(DatabaseConnection::FormConnectionString());
    Dataset goods(&main, "ADOQuery1");
    goods.setQuery(Query::all(QStringLiteral("表1")));
    DataRestore restore(&owner, {&main});
    report("ready");
    for (qsizetype i = 0;; ++i) {
        // As at a new start: the connection is open on data.mdb with its list loaded.
        goods.open();
        prompts.clear();
        prompts.answerOpen(files[i % files.size()]);
        report("begin\trestore\t" + QByteArray::number(i % files.size()));
        restore.SpeedButton5Click();
        if (prompts.lastText() != QStringLiteral("数据恢复成功！"))
            fail(prompts.lastText());
        report("done");
    }
}

int restoreOnce(ScriptedPrompts& prompts, const QString& folder, const QString& file, int stop) {
    QWidget owner;
    // As after a start that could not open data.mdb: no connection has read the file yet, so
    // a journal beside it is still there.
    Connection main;
    main.setConnectionString(DatabaseConnection::FormConnectionString());
    DataRestore restore(&owner, {&main});
    report("ready");
    prompts.answerOpen(file);
    FileCalls::watch(folder);
    FileCalls::killBefore(stop);
    restore.SpeedButton5Click();
    if (prompts.lastText() != QStringLiteral("数据恢复成功！"))
        fail(prompts.lastText());
    report("done");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("autobackup")) {
        QDir::setCurrent(args[1]);
        ProgramFolder::setPathForTesting(args[1]);
        return autoBackUpForever();
    }
    if (args.size() < 3)
        fail(QStringLiteral(
            "usage: crash_writer write|backup|autobackup|restore|restore-stop FOLDER ..."));
    QDir::setCurrent(args[1]);
    ProgramFolder::setPathForTesting(args[1]);
    EngineChoice::setServer(TestDatabase::server());
    EngineChoice::setWorkstation(qEnvironmentVariable("NOTE_TEST_WORKSTATION"));
    ScriptedPrompts prompts;
    try {
        if (args[0] == QLatin1String("write") && args.size() == 4)
            return writeForever(args[2].toULongLong(), args[3].toLongLong());
        if (args[0] == QLatin1String("backup"))
            return backUpForever(prompts, args[2]);
        if (args[0] == QLatin1String("restore"))
            return restoreForever(prompts, args.mid(2));
        if (args[0] == QLatin1String("restore-stop") && args.size() == 4)
            return restoreOnce(prompts, args[1], args[2], args[3].toInt());
    } catch (const AppError& e) {
        fail(e.message());
    }
    fail(QStringLiteral("unknown mode ") + args[0]);
}
