#include "BenchSupport.h"

#include "data/Schema.h"

#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

namespace bench {

void generateDatabase(const QString& file, int goods, int customers, int deliveries) {
    Schema::createDatabase(file);
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    auto run = [db](const char* sql, int count,
                    const std::function<void(sqlite3_stmt*, int)>& bind) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        for (int i = 0; i < count; ++i) {
            bind(statement, i);
            sqlite3_step(statement);
            sqlite3_reset(statement);
        }
        sqlite3_finalize(statement);
    };
    auto text = [](sqlite3_stmt* s, int index, const QString& value) {
        const QByteArray bytes = value.toUtf8();
        sqlite3_bind_text(s, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
    };
    run("INSERT INTO 表1 VALUES (?1, ?2, ?3, ?4, ?5, ?6)", goods, [&](sqlite3_stmt* s, int i) {
        text(s, 1, QStringLiteral("G%1").arg(i, 5, 10, QLatin1Char('0')));
        text(s, 2, QStringLiteral("商品名称%1").arg(i));
        text(s, 3, QStringLiteral("规格%1型").arg(i % 97));
        text(s, 4, QStringLiteral("个"));
        sqlite3_bind_double(s, 5, 1 + (i % 1000) / 4.0);
        text(s, 6, i % 5 ? QString() : QStringLiteral("备注"));
    });
    run("INSERT INTO 表2 VALUES (?1, ?2, ?3, ?4, ?5)", customers, [&](sqlite3_stmt* s, int i) {
        text(s, 1, QStringLiteral("客户单位%1有限公司").arg(i));
        text(s, 2, QStringLiteral("联系人%1").arg(i));
        text(s, 3, QStringLiteral("0571-%1").arg(80000000 + i));
        text(s, 4, QStringLiteral("杭州市西湖区文三路%1号").arg(i));
        text(s, 5, QString());
    });
    run("INSERT INTO 表3 VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)",
        deliveries, [&](sqlite3_stmt* s, int i) {
            const int g = (i * 7) % qMax(1, goods);
            const int c = (i / 20) % qMax(1, customers);
            text(s, 1, QStringLiteral("D%1").arg(i / 20, 6, 10, QLatin1Char('0')));
            text(s, 2,
                 QStringLiteral("2026-%1-%2")
                     .arg(1 + (i / 20) % 12, 2, 10, QLatin1Char('0'))
                     .arg(1 + (i / 20) % 28, 2, 10, QLatin1Char('0')));
            text(s, 3, QStringLiteral("张明"));
            text(s, 4, QStringLiteral("G%1").arg(g, 5, 10, QLatin1Char('0')));
            text(s, 5, QStringLiteral("商品名称%1").arg(g));
            text(s, 6, QStringLiteral("规格%1型").arg(g % 97));
            text(s, 7, QStringLiteral("个"));
            const double price = 1 + (g % 1000) / 4.0;
            const double quantity = 1 + i % 9;
            sqlite3_bind_double(s, 8, price);
            sqlite3_bind_double(s, 9, quantity);
            sqlite3_bind_double(s, 10, price * quantity);
            text(s, 11, QStringLiteral("联系人%1").arg(c));
            text(s, 12, QStringLiteral("0571-%1").arg(80000000 + c));
            text(s, 13, QStringLiteral("杭州市西湖区文三路%1号").arg(c));
            text(s, 14, QString());
        });
    sqlite3_exec(db, "INSERT INTO 表5 VALUES ('公司', 'www.example.com', '张明', '1')", nullptr,
                 nullptr, nullptr);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

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
