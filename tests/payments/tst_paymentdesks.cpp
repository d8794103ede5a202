// Payments written by other processes at once, or killed halfway: whatever happens, every
// stored payment is settled as the rule settles it, and nothing is settled by a payment that
// is not stored.
#include "LedgerRows.h"
#include "TestMain.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "ledger/PaymentBook.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <random>

namespace {

struct Desks {
    TestDatabase db;
    Desks() {
        insertCustomer(db, "王经理", "0571", "文三路");
        for (int i = 0; i < 30; ++i)
            insertRow(db, {QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0')),
                           QDate(2026, 1, 1).addDays(i), "王经理", "螺丝",
                           QString::number(20 + i * 7) + ".35"});
    }

    QProcess* start(int count, int seed) {
        auto* process = new QProcess;
        process->setProgram(QStringLiteral(PAYMENT_WRITER));
        process->setArguments({db.folder(), QString::number(count), QString::number(seed)});
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start();
        QByteArray seen;
        while (!seen.contains("ready\n")) {
            if (!process->waitForReadyRead(30000))
                qFatal("the writer did not start");
            seen += process->readAll();
        }
        return process;
    }

    // The stored settlement is the one the rule gives for the stored payments, no bill is
    // settled beyond its amount, and every part's payment is stored. Returns the payments.
    qsizetype checkBooks() const {
        Connection connection;
        connection.setConnectionString(DatabaseConnection::FormConnectionString());
        connection.open();
        const Customers customers(&connection);
        const PaymentBook book(&connection, customers);
        const Customer wang = customers.listed().constFirst();
        const QList<Settlement::Bill> bills = book.bills(wang);
        const QList<Payment> payments = book.payments(wang);
        QList<Settlement::Payment> settling;
        for (const Payment& p : payments)
            settling.append({p.id, p.date, p.amount, p.chosenBills});
        auto key = [](const Settlement::Part& part) {
            return QStringLiteral("%1 %2 %3").arg(part.payment, part.bill).arg(part.amount);
        };
        QStringList expected, stored;
        for (const Settlement::Part& part : Settlement::allocate(bills, settling))
            expected.append(key(part));
        const QList<Settlement::Part> parts = book.settlements(wang);
        for (const Settlement::Part& part : parts)
            stored.append(key(part));
        expected.sort();
        stored.sort();
        if (stored != expected) {
            qWarning("stored %s\nexpected %s", qPrintable(stored.join('\n')),
                     qPrintable(expected.join('\n')));
            return -1;
        }
        for (const Settlement::Bill& bill : bills)
            if (Settlement::settledOn(parts, bill.number) > bill.amount)
                return -1;
        return payments.size();
    }
};

} // namespace

class TestPaymentDesks : public QObject {
    Q_OBJECT
private slots:
    void twoDesksRecordPaymentsForOneCustomerAtOnce() {
        Desks d;
        std::unique_ptr<QProcess> a(d.start(40, 1));
        std::unique_ptr<QProcess> b(d.start(40, 2));
        a->write("\n");
        b->write("\n");
        for (QProcess* p : {a.get(), b.get()}) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
        QCOMPARE(d.checkBooks(), qsizetype(80));
    }

    void aWriterKilledMidPaymentLeavesBothOrNeither() {
        Desks d;
        const int cycles = TestDatabase::server().isEmpty() ? 40 : 15;
        std::mt19937_64 rng(9100);
        int midway = 0;
        qsizetype previous = 0;
        for (int cycle = 0; cycle < cycles; ++cycle) {
            std::unique_ptr<QProcess> writer(d.start(0, 100 + cycle));
            writer->write("\n");
            QVERIFY(writer->waitForBytesWritten(30000));
            QByteArray seen;
            QThread::usleep(2000 + rng() % 40000);
            writer->kill();
            QVERIFY(writer->waitForFinished(30000));
            seen += writer->readAll();
            const QList<QByteArray> lines = seen.trimmed().split('\n');
            if (lines.last().startsWith("begin"))
                ++midway;
            const qsizetype payments = d.checkBooks();
            QVERIFY2(payments >= previous, qPrintable(QStringLiteral("cycle %1").arg(cycle)));
            previous = payments;
        }
        // Most kills must land inside a payment, or the run tested little.
        QVERIFY2(midway * 2 >= cycles,
                 qPrintable(QStringLiteral("%1 of %2").arg(midway).arg(cycles)));
    }
};

DN_TEST_MAIN(TestPaymentDesks)
#include "tst_paymentdesks.moc"
