// The automatic backup at the end of the program on a busy database (10,000 goods, 2,000
// customers, 200,000 delivery rows; `--deliveries N` sets the number of delivery rows) beside a
// plain copy of the same file in the same run: the backup's copy under the lock, its check,
// putting it on disk and thinning the folder, against reading and writing the bytes once.

#include "BenchSupport.h"
#include "SeedDatabase.h"

#include "backup/AutoBackup.h"
#include "backup/BackupProgress.h"
#include "platform/FileCopy.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::isolateDesktop(home.path());
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int at = arguments.indexOf(QStringLiteral("--deliveries"));
    const int rows = at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 200000;
    const QString size = QString::number(rows);

    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("data.mdb"));
    SeedDatabase::generate(database, 10000, 2000, rows);
    QDir::setCurrent(dir.path());
    ProgramFolder::setPathForTesting(dir.path());
    const QString copy = dir.filePath(QStringLiteral("copy.mdb"));

    // Taken in alternation, so both see the same load on a shared machine. Each backup is
    // named by its second: the pause after it, not timed, keeps every run's file its own.
    std::vector<double> plainTimes;
    std::vector<double> backupTimes;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer clock;
        clock.start();
        FileCopy::copy(database, copy);
        plainTimes.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        clock.start();
        {
            // As at the end of the program: the progress window shows past half a second.
            BackupProgress progress;
            const AutoBackup::Result result =
                AutoBackup::run(AutoBackupOptions(), [&](int percent, const QString& step) {
                    progress.update(percent, step);
                });
            if (result.outcome != AutoBackup::Outcome::Made)
                qFatal("the backup failed: %s", qPrintable(result.reason));
        }
        backupTimes.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        QThread::msleep(1000);
    }
    const double plain = median(plainTimes);
    const double backup = median(backupTimes);
    const QDir backups(dir.filePath(QStringLiteral("自动备份")));
    bench::report(QStringLiteral("database_file_%1_rows").arg(size),
                  static_cast<double>(QFileInfo(database).size()) / (1 << 20),
                  QStringLiteral("MB"));
    bench::report(QStringLiteral("plain_file_copy_%1_rows").arg(size), plain, QStringLiteral("ms"));
    bench::report(QStringLiteral("exit_backup_%1_rows").arg(size), backup, QStringLiteral("ms"));
    bench::report(QStringLiteral("exit_backup_over_plain_copy"), backup / plain,
                  QStringLiteral("x"));
    bench::report(QStringLiteral("backups_made"),
                  static_cast<double>(backups.entryList({QStringLiteral("data-*.bak")}).size()),
                  QStringLiteral("files"));
    return 0;
}
