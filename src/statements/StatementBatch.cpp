#include "statements/StatementBatch.h"

#include "printing/PageFiles.h"
#include "printing/StatementReport.h"
#include "report/Generator.h"

#include <QDir>
#include <QProgressDialog>
#include <QSet>

StatementBatch::StatementBatch(const QList<Statement>& statements, bool details,
                               const report::RowTable& header)
    : statements_(statements), details_(details), header_(header) {
    // Names compare as the file systems of both kinds of desk do, letter case ignored.
    QSet<QString> used;
    for (const Statement& statement : statements_) {
        Statement named = statement;
        QString name;
        for (int use = 1;; ++use) {
            if (use > 1)
                named.customer.contact =
                    statement.customer.contact + QStringLiteral("(%1)").arg(use);
            name = PageFiles::fileBase(StatementReport::fileBase(named), QString()) +
                   QStringLiteral(".pdf");
            if (!used.contains(name.toLower()))
                break;
        }
        used.insert(name.toLower());
        names_.append(name);
    }
}

int StatementBatch::write(const QString& folder, QWidget* owner) const {
    const auto count = static_cast<int>(statements_.size());
    QProgressDialog progress(QStringLiteral("正在生成对账单…"), QStringLiteral("停止"), 0, count,
                             owner);
    progress.setObjectName(QStringLiteral("BatchProgress"));
    progress.setWindowTitle(QStringLiteral("批量对账单"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    const QDir into(folder);
    const Capitals::Style style = Capitals::chosen();
    for (int i = 0; i < count; ++i) {
        if (progress.wasCanceled())
            return i;
        const Statement& statement = statements_[i];
        progress.setLabelText(QStringLiteral("正在生成第 %1 份，共 %2 份：%3")
                                  .arg(i + 1)
                                  .arg(count)
                                  .arg(statement.customer.contact));
        const auto sheet = StatementReport::layout(statement, details_, style);
        const report::Document document = report::generate(
            *sheet, StatementReport::rows(statement, details_), {{QStringLiteral("表5"), header_}});
        PageFiles::writePdf(document, into.filePath(names_[i]),
                            StatementReport::fileBase(statement));
        progress.setValue(i + 1);
    }
    return count;
}
