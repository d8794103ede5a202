// Export of the delivery list against libxlsxwriter alone writing the same cells.
//
//   bench-export [rows] [runs]     (defaults 200000 and 5)
//
// Builds a database of 10,000 goods, 2,000 customers and the delivery rows in a temporary
// folder, then runs each side in a process of its own, alternately, and prints the medians as
// "name value unit" lines. Both sides load the list through the data layer first (not timed);
// the raw side then turns every cell into UTF-8 up front and times only the library's writing,
// while the export's time is the program's whole file write (texts, file, read-back check,
// rename). Memory: peak resident size of the process, and its growth while writing.

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "export/ExportProgressDialog.h"
#include "export/SpreadsheetFile.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sqlite3.h>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace {

// A field of /proc/self/status in kB.
long statusKb(const char* field) {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Makes the peak resident size start again from the present one.
void resetPeak() {
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", error);
        std::exit(1);
    }
}

void generate(const QString& file, int deliveries) {
    Schema::createDatabase(file);
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = Schema::password().toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    exec(db, "BEGIN");
    exec(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
             " INSERT INTO 表1 SELECT printf('G%05d', i), '商品名称' || i, 'M' || (i % 40) || 'x'"
             " || (i % 90), '个', (i % 997) / 10.0, CASE WHEN i % 7 = 0 THEN '进口' END FROM n");
    exec(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
             " INSERT INTO 表2 SELECT '客户单位' || i, '联系人' || i, printf('138%08d', i),"
             " '浙江省杭州市西湖区文三路' || i || '号', '' FROM n");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO 表3 VALUES (?1, ?2, ?3, ?4, ?5, ?6, '个', ?7, ?8, ?9, ?10, ?11,"
                       " ?12, ?13)",
                       -1, &insert, nullptr);
    std::mt19937 random(1);
    const char* handlers[] = {"张三", "李四", "王五", "赵六", "钱七"};
    for (int i = 0; i < deliveries; ++i) {
        const int goods = static_cast<int>(random() % 10000) + 1;
        const int customer = (i / 5) % 2000 + 1;
        const double price = static_cast<int>(random() % 100000) / 100.0;
        const int quantity = static_cast<int>(random() % 100) + 1;
        const QByteArray texts[] = {
            QStringLiteral("D%1").arg(i / 5 + 1, 6, 10, QLatin1Char('0')).toUtf8(),
            QDate(2022, 1, 1).addDays(i / 300).toString(Qt::ISODate).toUtf8(),
            QByteArray(handlers[i % 5]),
            QStringLiteral("G%1").arg(goods, 5, 10, QLatin1Char('0')).toUtf8(),
            QStringLiteral("商品名称%1").arg(goods).toUtf8(),
            QStringLiteral("M%1x%2").arg(goods % 40).arg(goods % 90).toUtf8(),
            QStringLiteral("联系人%1").arg(customer).toUtf8(),
            QStringLiteral("138%1").arg(customer, 8, 10, QLatin1Char('0')).toUtf8(),
            QStringLiteral("浙江省杭州市西湖区文三路%1号").arg(customer).toUtf8(),
            i % 11 == 0 ? QByteArray("加急") : QByteArray(),
        };
        const int textColumns[] = {1, 2, 3, 4, 5, 6, 10, 11, 12, 13};
        for (int t = 0; t < 10; ++t)
            sqlite3_bind_text(insert, textColumns[t], texts[t].constData(), texts[t].size(),
                              SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 7, price);
        sqlite3_bind_double(insert, 8, quantity);
        sqlite3_bind_double(insert, 9, price * quantity);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
    sqlite3_close(db);
}

class Child {
public:
    explicit Child(const QString& folder) : folder_(folder) {
        QDir::setCurrent(folder);
        connection_.setConnectionString(DatabaseConnection::FormConnectionString());
        list_.setQuery(Query::all(QStringLiteral("表3")));
        list_.open();
    }

    void raw() {
        // Every cell as the data layer gives it, in UTF-8, packed one after the other.
        std::string texts;
        std::vector<size_t> starts;
        const auto add = [&](const QString& text) {
            starts.push_back(texts.size());
            texts += text.toStdString();
            texts += '\0';
        };
        const int columns = static_cast<int>(list_.fields().size());
        for (const Dataset::Field& field : list_.fields())
            add(field.name);
        for (int row = 0; row < list_.recordCount(); ++row) {
            for (int column = 0; column < columns; ++column)
                add(list_.text(row, column));
        }
        measure([&] {
            const QByteArray tmpdir = QFile::encodeName(folder_);
            lxw_workbook_options options = {};
            options.constant_memory = LXW_TRUE;
            options.tmpdir = const_cast<char*>(tmpdir.constData());
            lxw_workbook* book =
                workbook_new_opt(QFile::encodeName(folder_ + "/raw.xlsx").constData(), &options);
            lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
            for (size_t cell = 0; cell < starts.size(); ++cell)
                worksheet_write_string(sheet, static_cast<lxw_row_t>(cell / columns),
                                       static_cast<lxw_col_t>(cell % columns),
                                       texts.data() + starts[cell], nullptr);
            if (workbook_close(book) != LXW_NO_ERROR)
                std::exit(1);
        });
    }

    void exportList() {
        measure([&] {
            ExportProgressDialog progress(nullptr);
            SpreadsheetFile::write(list_, folder_ + "/export.xls", progress);
        });
    }

private:
    template <class F> void measure(F&& work) {
        const long before = statusKb("VmRSS:");
        resetPeak();
        QElapsedTimer timer;
        timer.start();
        work();
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("%.3f %ld %ld\n", seconds, statusKb("VmHWM:"), before);
    }

    QString folder_;
    Connection connection_;
    Dataset list_{&connection_, QStringLiteral("ADOQuery3")};
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Figures {
    std::vector<double> seconds, peakMb, growthMb;
};

void runChild(const QString& mode, const QString& folder, Figures& figures) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--child", mode, folder});
    child.waitForFinished(-1);
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || parts.size() != 3) {
        std::fprintf(stderr, "%s run failed\n", qPrintable(mode));
        std::exit(1);
    }
    figures.seconds.push_back(parts[0].toDouble());
    figures.peakMb.push_back(parts[1].toDouble() / 1024);
    figures.growthMb.push_back((parts[1].toDouble() - parts[2].toDouble()) / 1024);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--child") {
        Child child(args[3]);
        if (args[2] == "raw")
            child.raw();
        else
            child.exportList();
        return 0;
    }
    const int rows = args.size() > 1 ? args[1].toInt() : 200000;
    const int runs = args.size() > 2 ? args[2].toInt() : 5;

    QTemporaryDir folder;
    generate(folder.filePath("data.mdb"), rows);
    Figures raw, exported;
    for (int run = 0; run < runs; ++run) {
        runChild("raw", folder.path(), raw);
        runChild("export", folder.path(), exported);
    }
    const double file = QFileInfo(folder.filePath("export.xls")).size() / 1048576.0;
    std::printf("export_rows %d rows\n", rows);
    std::printf("export_file_size %.1f MB\n", file);
    std::printf("raw_libxlsxwriter_time %.3f s\n", median(raw.seconds));
    std::printf("export_time %.3f s\n", median(exported.seconds));
    std::printf("export_time_ratio %.2f x\n", median(exported.seconds) / median(raw.seconds));
    std::printf("raw_libxlsxwriter_peak_rss %.1f MB\n", median(raw.peakMb));
    std::printf("export_peak_rss %.1f MB\n", median(exported.peakMb));
    std::printf("raw_libxlsxwriter_rss_growth_while_writing %.1f MB\n", median(raw.growthMb));
    std::printf("export_rss_growth_while_writing %.1f MB\n", median(exported.growthMb));
    return 0;
}
