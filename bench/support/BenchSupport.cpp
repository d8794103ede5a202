#include "BenchSupport.h"

#include "data/Schema.h"

#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

namespace bench {

void rawScan(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    for (const QString& table : Schema::tableNames()) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(
            db, QStringLiteral("SELECT rowid, * FROM \"%1\"").arg(table).toUtf8().constData(), -1,
            &statement, nullptr);
        const int columns = sqlite3_column_count(statement);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_FLOAT)
                    sqlite3_column_double(statement, c);
                else
                    sqlite3_column_bytes(statement, c);
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
}

double medianMs(int runs, const std::function<void()>& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::pair<double, double> pairedMedianMs(int runs, const std::function<void()>& a,
                                         const std::function<void()>& b) {
    std::vector<double> first, second;
    for (int i = 0; i < runs; ++i) {
        first.push_back(medianMs(1, a));
        second.push_back(medianMs(1, b));
    }
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    return {first[first.size() / 2], second[second.size() / 2]};
}

namespace {
double statusMb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpression line(QStringLiteral("%1:\\s+(\\d+) kB").arg(QLatin1String(field)));
    const auto match = line.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : 0;
}
} // namespace

double residentMb() {
    return statusMb("VmRSS");
}

double peakResidentMb() {
    return statusMb("VmHWM");
}

void isolateDesktop(const QString& home) {
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace bench
