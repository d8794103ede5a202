// Kills a writer child with SIGKILL at random moments and checks after each kill that the
// database opens with the password, passes the integrity check, holds every write the child
// reported as done, holds nothing it had not started, and holds the print buffer of either the
// old bill or the new one entirely. Most kills must land during a write, or the run tested
// little. Also kills backups and restores midway (most of them mid-copy), kills a restore
// before each of its changes to the folder while a killed writer's journal lies beside
// data.mdb, and backs up while a writer of another process is halfway through a transaction.
//
// On the server only the writer is killed: the child works on the same server database, and
// the check reads the server's tables once the child's session has ended there.
//
// CRASH_CYCLES (default 200, 60 on the server) sets the number of writer kills, CRASH_SEED
// (default 7001) the seed of the kill moments and of the writes; a failure names both.
#include "TestDatabase.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "WriteOp.h"

#include "backup/BackupRetention.h"
#include "data/NumberText.h"
#include "data/Schema.h"
#include "data/postgres/ServerSchema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <random>
#include <sqlite3.h>
#include <thread>

namespace {

// The child's workstation and the name its server session goes by.
const char* const kWorkstation = "crash-writer";
const char* const kSessionName = "crash_writer";

bool onServer() {
    return !TestDatabase::server().isEmpty();
}

// Every round trip to the server makes a write slower than on the file; fewer kills take as
// long.
int cycles() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("CRASH_CYCLES", &ok);
    return ok && n > 0 ? n : onServer() ? 60 : 200;
}

quint64 seed() {
    bool ok = false;
    const quint64 s = qEnvironmentVariable("CRASH_SEED").toULongLong(&ok);
    return ok ? s : 7001;
}

// What the test knows of the database: the written columns of 表1 to 表3 by key, the profile
// rows, and the print buffer (bill, key, name, quantity per row, sorted, and its line numbers).
struct Snapshot {
    QMap<QString, QMap<QString, QStringList>> tables;
    QList<QStringList> profile;
    QList<QStringList> buffer;
    QList<int> lineNumbers;
    bool operator==(const Snapshot&) const = default;
};

QString normal(const QString& column, const QString& value) {
    return isNumberColumn(column) ? NumberText::general(NumberText::toNumber(value)) : value;
}

QStringList normalRow(const QStringList& columns, const QStringList& values) {
    QStringList row;
    for (int i = 0; i < columns.size(); ++i)
        row.append(normal(columns[i], values.value(i)));
    return row;
}

// Applies a write to what the test expects; false when the write does not fit the state.
bool apply(Snapshot& s, const WriteOp& op) {
    switch (op.kind) {
    case WriteOp::Kind::Add:
    case WriteOp::Kind::Modify: {
        auto& rows = s.tables[op.table];
        const QString key = op.values.value(0);
        if ((op.kind == WriteOp::Kind::Add) == rows.contains(key))
            return false;
        rows[key] = normalRow(writtenColumns(op.table), op.values);
        return true;
    }
    case WriteOp::Kind::Delete:
        return s.tables[op.table].remove(op.values.value(0)) == 1;
    case WriteOp::Kind::SelectBill: {
        s.buffer.clear();
        s.lineNumbers.clear();
        for (const QStringList& row : s.tables[QStringLiteral("表3")]) {
            if (row[1] == op.values.value(0)) {
                s.buffer.append({row[1], row[0], row[2], row[4]});
                s.lineNumbers.append(s.lineNumbers.size() + 1);
            }
        }
        std::sort(s.buffer.begin(), s.buffer.end());
        return true;
    }
    case WriteOp::Kind::SaveProfile:
        if (s.profile.isEmpty())
            s.profile.append(op.values);
        else
            s.profile.first() = op.values;
        return true;
    }
    return false;
}

// An open, keyed handle on the file; opening it rolls back what a killed writer left half done.
class Database {
public:
    explicit Database(const QString& file) {
        sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray key = Schema::password().toUtf8();
        sqlite3_key(db_, key.constData(), key.size());
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Rows of a statement, each cell as text (numbers of number columns in the general format,
    // NULL as "<null>"); fails with the engine's message.
    QList<QStringList> rows(const QString& sql, const QStringList& columns = {}) {
        QList<QStringList> out;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_NULL)
                    row.append(QStringLiteral("<null>"));
                else if (isNumberColumn(columns.value(c)))
                    row.append(NumberText::general(sqlite3_column_double(statement, c)));
                else
                    row.append(QString::fromUtf8(
                        static_cast<const char*>(sqlite3_column_blob(statement, c)),
                        sqlite3_column_bytes(statement, c)));
            }
            out.append(row);
        }
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db_));
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};

QString select(const QStringList& columns, const QString& table) {
    QStringList quoted;
    for (const QString& c : columns)
        quoted.append(QLatin1Char('"') + c + QLatin1Char('"'));
    return QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid")
        .arg(quoted.join(QLatin1Char(',')), table);
}

// Opens the file as the program does and checks it whole; throws with what is wrong.
Snapshot readBack(const QString& file) {
    Database db(file);
    const auto check = db.rows(QStringLiteral("PRAGMA integrity_check"));
    if (check != QList<QStringList>{{QStringLiteral("ok")}})
        throw std::runtime_error("integrity_check: " + check.value(0).join(' ').toStdString());
    Snapshot s;
    for (const char* name : {"表1", "表2", "表3"}) {
        const QString table = QString::fromUtf8(name);
        const QStringList columns = writtenColumns(table);
        const auto rows = db.rows(select(columns, table), columns);
        auto& keyed = s.tables[table];
        for (const QStringList& row : rows)
            keyed.insert(row[0], row);
        if (keyed.size() != rows.size())
            throw std::runtime_error(table.toStdString() + " holds a key twice");
    }
    s.profile = db.rows(select(profileColumns(), QStringLiteral("表5")));
    const QStringList bufferColumns = {"单据编号", "备注", "商品名称", "数量"};
    s.buffer = db.rows(select(bufferColumns, QStringLiteral("表4")), bufferColumns);
    std::sort(s.buffer.begin(), s.buffer.end());
    for (const QStringList& row : db.rows(select({"序号"}, QStringLiteral("表4"))))
        s.lineNumbers.append(row[0].toInt());
    std::sort(s.lineNumbers.begin(), s.lineNumbers.end());
    return s;
}

// The same from the server's tables; the print buffer is the child's workstation's.
Snapshot readBack(const TestDatabase& db) {
    if (!onServer())
        return readBack(db.file());
    auto read = [&db](const QStringList& columns, const QString& table,
                      const QString& condition = QString()) {
        QStringList quoted;
        for (const QString& c : columns)
            quoted.append(QLatin1Char('"') + c + QLatin1Char('"'));
        QList<QStringList> rows = db.rows(QStringLiteral("SELECT %1 FROM \"%2\"%3 ORDER BY \"%4\"")
                                              .arg(quoted.join(QLatin1Char(',')), table, condition,
                                                   ServerSchema::keyColumn(table)));
        for (QStringList& row : rows)
            row = normalRow(columns, row);
        return rows;
    };
    Snapshot s;
    for (const char* name : {"表1", "表2", "表3"}) {
        const QString table = QString::fromUtf8(name);
        const auto rows = read(writtenColumns(table), table);
        auto& keyed = s.tables[table];
        for (const QStringList& row : rows)
            keyed.insert(row[0], row);
        if (keyed.size() != rows.size())
            throw std::runtime_error(table.toStdString() + " holds a key twice");
    }
    s.profile = read(profileColumns(), QStringLiteral("表5"));
    const QString mine = QStringLiteral(" WHERE \"_workstation\" = '%1'").arg(kWorkstation);
    s.buffer = read({"单据编号", "备注", "商品名称", "数量"}, QStringLiteral("表4"), mine);
    std::sort(s.buffer.begin(), s.buffer.end());
    for (const QStringList& row : read({"序号"}, QStringLiteral("表4"), mine))
        s.lineNumbers.append(row[0].toInt());
    std::sort(s.lineNumbers.begin(), s.lineNumbers.end());
    if (db.count(QStringLiteral("表4")) != s.buffer.size())
        throw std::runtime_error("表4 holds rows of another workstation");
    return s;
}

// A killed client's session on the server ends only once the server has finished the
// statement in hand and rolled back what is left open; reading before that could miss a
// commit still under way.
bool childSessionEnded(const TestDatabase& db) {
    QElapsedTimer waited;
    waited.start();
    const QString sql =
        QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE application_name = '%1'")
            .arg(kSessionName);
    while (db.rows(sql) != QList<QStringList>{{QStringLiteral("0")}}) {
        if (waited.elapsed() > 30000)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// What differs between the file and the expectation, briefly.
QString difference(const Snapshot& file, const Snapshot& expected) {
    QStringList out;
    for (auto t = expected.tables.cbegin(); t != expected.tables.cend(); ++t) {
        const auto& have = file.tables[t.key()];
        for (auto r = t.value().cbegin(); r != t.value().cend(); ++r) {
            if (!have.contains(r.key()))
                out.append(t.key() + " lost " + r.key());
            else if (have[r.key()] != r.value())
                out.append(t.key() + " " + r.key() + " holds " + have[r.key()].join(',') +
                           " instead of " + r.value().join(','));
        }
        for (auto r = have.cbegin(); r != have.cend(); ++r) {
            if (!t.value().contains(r.key()))
                out.append(t.key() + " gained " + r.key());
        }
    }
    if (file.profile != expected.profile)
        out.append("表5 differs");
    if (file.buffer != expected.buffer || file.lineNumbers != expected.lineNumbers)
        out.append(QStringLiteral("表4 holds %1 rows, expected %2")
                       .arg(file.buffer.size())
                       .arg(expected.buffer.size()));
    return out.join("; ");
}

// The crash_writer child, its reports read line by line.
class Child {
public:
    explicit Child(const QStringList& arguments) {
        process_.setProgram(QStringLiteral(CRASH_WRITER));
        process_.setArguments(arguments);
        // On the server: the same database as the test (the run's variables pass on), a
        // workstation of its own, and a session the test can tell by name.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NOTE_TEST_WORKSTATION"),
                           QString::fromLatin1(kWorkstation));
        environment.insert(QStringLiteral("PGAPPNAME"), QString::fromLatin1(kSessionName));
        process_.setProcessEnvironment(environment);
        process_.start();
    }
    ~Child() {
        process_.kill();
        process_.waitForFinished();
    }

    // The next complete line, waiting at most the given time; nothing when none came.
    std::optional<QByteArray> nextLine(int milliseconds) {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            const qsizetype end = pending_.indexOf('\n');
            if (end >= 0) {
                const QByteArray line = pending_.left(end);
                pending_.remove(0, end + 1);
                return line;
            }
            const int left = milliseconds - static_cast<int>(waited.elapsed());
            if (left <= 0 || process_.state() == QProcess::NotRunning) {
                pending_ += process_.readAllStandardOutput();
                if (!pending_.contains('\n'))
                    return std::nullopt;
                continue;
            }
            if (process_.waitForReadyRead(left))
                pending_ += process_.readAllStandardOutput();
        }
    }

    // Kills the child; true when it was still running, so the kill is what ended it.
    bool kill() {
        const bool running = process_.state() == QProcess::Running;
        process_.kill();
        process_.waitForFinished();
        pending_ += process_.readAllStandardOutput();
        return running && process_.exitStatus() == QProcess::CrashExit;
    }
    // Waits for the child to end by itself; true when it ended well, false when killed.
    bool endedWell() {
        process_.waitForFinished(30000);
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    QString errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
    QProcess process_;
    QByteArray pending_;
};

// The database every test starts from: goods, customers and deliveries in bills, a profile.
void populate(const TestDatabase& db, int deliveries) {
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
            "INSERT INTO 表1 SELECT 'G' || i, '商品' || i, '规格', '个', i / 4.0, '' FROM n");
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100) "
            "INSERT INTO 表2 SELECT '单位' || i, '联系人' || i, 'T' || i, '地址' || i, '' FROM n");
    db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                           "i < %1) INSERT INTO 表3 SELECT 'B' || (i % 40), '2024-03-01', '经手', "
                           "'G' || i, '品名' || i, '', '个', 2.5, i % 9 + 1, 2.5 * (i % 9 + 1), "
                           "'联系人', '电话', '地址', 'D' || i FROM n")
                .arg(deliveries));
    db.exec("INSERT INTO 表5 VALUES ('公司', 'www', '经手', '电话')");
}

// Kills of backups and restores: a tenth of the writer's, at least twenty. At least a quarter
// of them must land mid-copy, so the test cannot pass by killing only before or after the copy;
// a loaded machine stretches the steps around the copy, so no more than that is asked.
int fileKills() {
    return std::max(20, cycles() / 10);
}

// Starts the child, lets it run into its k-th operation plus a random part of one operation's
// time, then kills it. Returns false when the child did not run as it should.
bool killMidway(Child& child, std::mt19937_64& rng, qint64& operationMicroseconds) {
    if (child.nextLine(30000) != QByteArray("ready"))
        return false;
    const int aimAt = 1 + static_cast<int>(rng() % 3);
    QElapsedTimer clock;
    for (int begun = 0; begun < aimAt;) {
        const auto line = child.nextLine(30000);
        if (!line)
            return false;
        if (line->startsWith("begin")) {
            ++begun;
            clock.start();
        } else if (*line == "done") {
            operationMicroseconds = clock.nsecsElapsed() / 1000;
        }
    }
    std::this_thread::sleep_for(
        std::chrono::microseconds(rng() % (operationMicroseconds * 3 / 2 + 1)));
    return child.kill();
}

// The file and its journal as a writer killed halfway through a transaction leaves them: some
// of the new pages already in the file, the old ones in the journal, which the next opening
// plays back.
std::pair<QByteArray, QByteArray> halfDoneWrite(const QString& file) {
    Database writer(file);
    // A small page cache sends the changed pages to the file before the commit.
    writer.rows(QStringLiteral("PRAGMA cache_size = 10"));
    writer.rows(QStringLiteral("BEGIN"));
    writer.rows(QStringLiteral("UPDATE 表3 SET 备注 = 备注 || '改'"));
    std::pair<QByteArray, QByteArray> files{contentsOf(file), contentsOf(file + "-journal")};
    writer.rows(QStringLiteral("ROLLBACK"));
    return files;
}

QString integrityOf(const QString& file) {
    try {
        return Database(file).rows(QStringLiteral("PRAGMA integrity_check")).value(0).join(' ');
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

// Temporary files a killed copy left beside its target.
int leftovers(const QString& folder) {
    return static_cast<int>(QDir(folder).entryList({".*.tmp"}, QDir::Files | QDir::Hidden).size());
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT
private slots:
    void killedWriterLosesNothingAndAddsNothing() {
        TestDatabase db;
        populate(db, 2000);
        Snapshot expected = readBack(db);
        const int total = cycles();
        const quint64 base = seed();
        std::mt19937_64 rng(base);
        int duringWrite = 0, applied = 0, confirmed = 0;
        for (int cycle = 0; cycle < total; ++cycle) {
            const QString where = QStringLiteral("seed %1, cycle %2: ").arg(base).arg(cycle);
            Child child({"write", db.folder(), QString::number(rng()),
                         QString::number(qint64(cycle) * 1000000)});
            QVERIFY2(child.nextLine(30000) == QByteArray("ready"),
                     qPrintable(where + "writer did not start: " + child.errors()));

            // Half the kills land a few microseconds into the k-th write, the others anywhere.
            const bool aimed = rng() % 2 == 0;
            const int aimAt = 1 + static_cast<int>(rng() % 12);
            const auto delay = std::chrono::microseconds(aimed ? rng() % 4000 : rng() % 60000);
            std::optional<WriteOp> pending;
            int begun = 0;
            bool consistent = true;
            auto take = [&](const QByteArray& line) {
                if (line == "done") {
                    consistent = consistent && pending && apply(expected, *pending);
                    pending.reset();
                    ++confirmed;
                } else if (line.startsWith("begin\t")) {
                    pending = WriteOp::parse(line.mid(6));
                    consistent = consistent && pending.has_value();
                    ++begun;
                }
            };
            QElapsedTimer clock;
            clock.start();
            while (!aimed || begun < aimAt) {
                if (!aimed && clock.nsecsElapsed() / 1000 >= delay.count())
                    break;
                const auto line = child.nextLine(aimed ? 5000 : 1);
                if (aimed && !line)
                    break;
                if (line)
                    take(*line);
            }
            if (aimed)
                std::this_thread::sleep_for(delay);
            QVERIFY2(child.kill(), qPrintable(where + "writer ended by itself: " + child.errors()));
            while (const auto line = child.nextLine(0))
                take(*line);
            QVERIFY2(consistent, qPrintable(where + "the writer's reports do not fit the data"));
            if (pending)
                ++duringWrite;

            QVERIFY2(!onServer() || childSessionEnded(db),
                     qPrintable(where + "the killed writer's session stays on the server"));

            Snapshot found;
            try {
                found = readBack(db);
            } catch (const std::exception& e) {
                QFAIL(qPrintable(where + QString::fromUtf8(e.what())));
            }
            if (found == expected)
                continue;
            QVERIFY2(pending, qPrintable(where + difference(found, expected)));
            Snapshot after = expected;
            QVERIFY2(apply(after, *pending) && found == after,
                     qPrintable(where + "write " + QString::fromUtf8(pending->line()) +
                                " half done: " + difference(found, after)));
            expected = after;
            ++applied;
        }
        qInfo("%d kill cycles, %d writes confirmed; %d kills during a write, %d of these after it "
              "had reached the database",
              total, confirmed, duringWrite, applied);
        // Kills that land between writes test nothing; timing must not let them become all.
        QVERIFY2(duringWrite * 2 >= total,
                 qPrintable(QStringLiteral("seed %1: only %2 of %3 kills landed during a write")
                                .arg(base)
                                .arg(duringWrite)
                                .arg(total)));
    }

    void killedBackupLeavesDatabaseAndBackupWhole() {
        if (onServer())
            QSKIP("a backup copies data.mdb; on the server the file is not the database");
        TestDatabase db;
        populate(db, 30000);
        const QByteArray original = contentsOf(db.file());
        const QString target = db.folder() + "/备份 1";
        std::mt19937_64 rng(seed());
        qint64 operation = 20000;
        int midCopy = 0;
        for (int kill = 0; kill < fileKills(); ++kill) {
            const QString where = QStringLiteral("seed %1, kill %2: ").arg(seed()).arg(kill);
            Child child({"backup", db.folder(), target});
            QVERIFY2(killMidway(child, rng, operation), qPrintable(where + child.errors()));
            QVERIFY2(contentsOf(db.file()) == original, qPrintable(where + "data.mdb changed"));
            QCOMPARE(integrityOf(db.file()), QString("ok"));
            // The backup is the complete copy or not there at all (before the first rename).
            const QString backup = target + ".bak";
            QVERIFY2(!QFile::exists(backup) || contentsOf(backup) == original,
                     qPrintable(where + "the backup file is not whole"));
            midCopy += leftovers(db.folder()) > 0;
            for (const QString& name : QDir(db.folder()).entryList({".*.tmp"}, QDir::Hidden))
                QFile::remove(db.folder() + "/" + name);
        }
        qInfo("%d backups killed, %d of them while copying", fileKills(), midCopy);
        QVERIFY2(midCopy * 4 >= fileKills(),
                 qPrintable(QStringLiteral("seed %1: only %2 of %3 backups killed while copying")
                                .arg(seed())
                                .arg(midCopy)
                                .arg(fileKills())));
    }

    // A killed automatic backup: data.mdb and the backups made before stay whole, and every
    // file under a backup name is a complete copy.
    void killedAutomaticBackupLeavesDatabaseAndBackupsWhole() {
        if (onServer())
            QSKIP(
                "an automatic backup copies data.mdb; on the server the file is not the database");
        TestDatabase db;
        populate(db, 30000);
        // The earlier backups hold older data: one holding what data.mdb holds would give its
        // place to the new one.
        const QByteArray older = contentsOf(db.file());
        db.exec("INSERT INTO 表5 VALUES ('新公司', '', '', '')");
        const QByteArray original = contentsOf(db.file());
        const QDir folder(db.folder() + "/自动备份");
        QDir().mkpath(folder.path());
        QStringList earlier;
        for (int day = 1; day <= 3; ++day) {
            earlier.append(BackupRetention::nameFor(QDateTime::currentDateTime().addDays(-day)));
            writeFile(folder.filePath(earlier.last()), older);
        }
        std::mt19937_64 rng(seed());
        qint64 operation = 40000;
        int midway = 0;
        for (int kill = 0; kill < fileKills(); ++kill) {
            const QString where = QStringLiteral("seed %1, kill %2: ").arg(seed()).arg(kill);
            Child child({"autobackup", db.folder()});
            QVERIFY2(killMidway(child, rng, operation), qPrintable(where + child.errors()));
            QVERIFY2(contentsOf(db.file()) == original, qPrintable(where + "data.mdb changed"));
            QCOMPARE(integrityOf(db.file()), QString("ok"));
            for (const QString& name : earlier)
                QVERIFY2(contentsOf(folder.filePath(name)) == older,
                         qPrintable(where + "an earlier backup changed: " + name));
            for (const QString& name : folder.entryList({"data-*.bak"}, QDir::Files))
                QVERIFY2(earlier.contains(name) || contentsOf(folder.filePath(name)) == original,
                         qPrintable(where + "a backup name holds a half file: " + name));
            midway += leftovers(folder.path()) > 0;
            for (const QString& name : folder.entryList({".*.tmp"}, QDir::Hidden))
                QFile::remove(folder.filePath(name));
            // The new ones go, so the thinning never reaches the earlier ones.
            for (const QString& name : folder.entryList({"data-*.bak"}, QDir::Files)) {
                if (!earlier.contains(name))
                    QFile::remove(folder.filePath(name));
            }
        }
        qInfo("%d automatic backups killed, %d of them midway", fileKills(), midway);
        QVERIFY2(midway * 4 >= fileKills(),
                 qPrintable(QStringLiteral("seed %1: only %2 of %3 backups killed midway")
                                .arg(seed())
                                .arg(midway)
                                .arg(fileKills())));
    }

    void killedRestoreLeavesDatabaseAndBackupsWhole() {
        if (onServer())
            QSKIP("a restore replaces data.mdb; on the server the file is not the database");
        TestDatabase db;
        populate(db, 20000);
        const QByteArray original = contentsOf(db.file());
        // Two sound backups of different content to restore from in turn.
        const QString folder = db.folder() + "/备份";
        QDir().mkpath(folder);
        const QString first = folder + "/一.bak", second = folder + "/二.bak";
        writeFile(first, original);
        db.exec("DELETE FROM 表3 WHERE rowid % 3 = 0");
        db.exec("INSERT INTO 表5 VALUES ('另一家', '', '', '')");
        writeFile(second, contentsOf(db.file()));
        writeFile(db.file(), original);
        const QByteArray backups[2] = {contentsOf(first), contentsOf(second)};

        std::mt19937_64 rng(seed());
        qint64 operation = 20000;
        int midCopy = 0;
        for (int kill = 0; kill < fileKills(); ++kill) {
            const QString where = QStringLiteral("seed %1, kill %2: ").arg(seed()).arg(kill);
            Child child({"restore", db.folder(), first, second});
            QVERIFY2(killMidway(child, rng, operation), qPrintable(where + child.errors()));
            const QByteArray now = contentsOf(db.file());
            QVERIFY2(now == backups[0] || now == backups[1],
                     qPrintable(where + "data.mdb is neither backup whole"));
            QCOMPARE(integrityOf(db.file()), QString("ok"));
            QVERIFY2(contentsOf(first) == backups[0] && contentsOf(second) == backups[1],
                     qPrintable(where + "a backup file changed"));
            midCopy += leftovers(db.folder()) > 0;
            for (const QString& name : QDir(db.folder()).entryList({".*.tmp"}, QDir::Hidden))
                QFile::remove(db.folder() + "/" + name);
        }
        qInfo("%d restores killed, %d of them while copying", fileKills(), midCopy);
        QVERIFY2(midCopy * 4 >= fileKills(),
                 qPrintable(QStringLiteral("seed %1: only %2 of %3 restores killed while copying")
                                .arg(seed())
                                .arg(midCopy)
                                .arg(fileKills())));
    }

    // A journal left by a writer killed halfway belongs to the old file; beside the restored
    // one, the next opening would play the old pages into it. Killed before any step of a
    // restore that changes the folder, the restore leaves the old database (which its journal
    // then rolls back whole) or the restored one, never the restored one with the old journal.
    void killedRestoreNeverLeavesTheOldJournalBesideTheNewFile() {
        if (onServer())
            QSKIP("the journal is the file's; the server keeps no journal beside data.mdb");
        TestDatabase db;
        populate(db, 5000);
        const QByteArray original = contentsOf(db.file());
        const Snapshot old = readBack(db.file());
        const QString backup = db.folder() + "/备份/一.bak";
        QDir().mkpath(db.folder() + "/备份");
        db.exec("DELETE FROM 表3 WHERE rowid % 3 = 0");
        db.exec("INSERT INTO 表5 VALUES ('另一家', '', '', '')");
        writeFile(backup, contentsOf(db.file()));
        writeFile(db.file(), original);
        const QByteArray restored = contentsOf(backup);
        const auto [halfDone, journal] = halfDoneWrite(db.file());
        const QString journalFile = db.file() + "-journal";
        QVERIFY2(halfDone != original && !journal.isEmpty(), "the writer left nothing half done");
        writeFile(db.file(), halfDone);
        writeFile(journalFile, journal);
        // Rolled back, the pages are the old ones again, though encrypted afresh.
        QVERIFY2(readBack(db.file()) == old, "the journal does not roll the file back");

        for (int stop = 1;; ++stop) {
            const QString where = QStringLiteral("killed before change %1: ").arg(stop);
            writeFile(db.file(), halfDone);
            writeFile(journalFile, journal);
            Child child({"restore-stop", db.folder(), backup, QString::number(stop)});
            QVERIFY2(child.nextLine(30000) == QByteArray("ready"),
                     qPrintable(where + child.errors()));
            const bool finished = child.nextLine(30000) == QByteArray("done");
            QVERIFY2(child.endedWell() == finished, qPrintable(where + child.errors()));
            // Opening plays back whatever journal is there: into the restored file, it would
            // change it.
            Snapshot found;
            try {
                found = readBack(db.file());
            } catch (const std::exception& e) {
                QFAIL(qPrintable(where + QString::fromUtf8(e.what())));
            }
            const bool isRestored = contentsOf(db.file()) == restored;
            QVERIFY2(isRestored || found == old,
                     qPrintable(where + "data.mdb is neither the old database nor the restored"));
            if (finished) {
                QVERIFY2(isRestored, qPrintable(where + "the restore did not take"));
                qInfo("a restore killed before each of its %d changes to the folder", stop - 1);
                break;
            }
            QVERIFY2(stop < 10, "the restore makes more changes than it should");
            for (const QString& name : QDir(db.folder()).entryList({".*.tmp"}, QDir::Hidden))
                QFile::remove(db.folder() + "/" + name);
        }
    }

    // A writer of another process has moved part of its transaction into the file, the old
    // pages waiting in the journal. A backup then waits for the writer to end and copies all
    // of it.
    void backupWaitsForAWriterInAnotherProcess() {
        if (onServer())
            QSKIP("a backup copies data.mdb; on the server the file is not the database");
        TestDatabase db;
        populate(db, 2000);
        const qint64 before = QFileInfo(db.file()).size();
        Database writer(db.file());
        writer.rows(QStringLiteral("PRAGMA cache_size = 10"));
        writer.rows(QStringLiteral("BEGIN"));
        writer.rows(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM "
                                   "n WHERE i < 20000) INSERT INTO 表1 SELECT 'W' || i, '新' || "
                                   "i, '', '', i, '' FROM n"));
        // Its new pages are in the file. (The size is all this process may look at: closing a
        // handle of its own on the file would drop the writer's locks.)
        QVERIFY2(QFileInfo(db.file()).size() > before, "the writer kept its pages to itself");
        const QString target = db.folder() + "/备份";
        Child child({"backup", db.folder(), target});
        QVERIFY2(child.nextLine(30000) == QByteArray("ready"), qPrintable(child.errors()));
        QCOMPARE(child.nextLine(30000), std::optional<QByteArray>("begin\tbackup"));
        QVERIFY2(!child.nextLine(500), "the backup did not wait for the writer");
        writer.rows(QStringLiteral("COMMIT"));
        QVERIFY2(child.nextLine(30000) == QByteArray("done"), qPrintable(child.errors()));
        child.kill();
        QCOMPARE(integrityOf(target + ".bak"), QString("ok"));
        QCOMPARE(Database(target + ".bak").rows(QStringLiteral("SELECT count(*) FROM 表1")),
                 QList<QStringList>{{"20300"}});
    }
};

DN_TEST_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
