#include "app/StartupProgress.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProgressDialog>

namespace {

QString listName(const QString& table) {
    static const QHash<QString, QString> names = {
        {QStringLiteral("表1"), QStringLiteral("商品信息")},
        {QStringLiteral("表2"), QStringLiteral("客户信息")},
        {QStringLiteral("表3"), QStringLiteral("送货信息")},
        {QStringLiteral("表4"), QStringLiteral("打印单据")},
        {QStringLiteral("表5"), QStringLiteral("基本资料")},
    };
    return names.value(table, table);
}

} // namespace

StartupProgress::StartupProgress() {
    clock_.start();
    previous_ =
        LoadProgress::setObserver([this](const QString& table, qint64 rows, qint64 expected) {
            update(table, rows, expected);
        });
}

StartupProgress::~StartupProgress() {
    LoadProgress::setObserver(std::move(previous_));
}

void StartupProgress::update(const QString& table, qint64 rows, qint64 expected) {
    if (!dialog_) {
        if (clock_.elapsed() < 500)
            return;
        dialog_ = std::make_unique<QProgressDialog>();
        dialog_->setObjectName(QStringLiteral("StartupProgress"));
        dialog_->setWindowTitle(QStringLiteral("澄朔送货单打印软件"));
        dialog_->setCancelButton(nullptr);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->setMinimumWidth(320);
        dialog_->show();
    }
    dialog_->setLabelText(QStringLiteral("正在读取%1……（已读 %2 行）")
                              .arg(listName(table), QLocale().toString(rows)));
    // The last rowid only estimates the count; the bar never claims the end early.
    dialog_->setMaximum(expected > rows ? 1000 : 0);
    if (expected > rows)
        dialog_->setValue(static_cast<int>(rows * 1000 / expected));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
