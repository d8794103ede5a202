#include "app/StartupProgress.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

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
    if (!window_) {
        if (clock_.elapsed() < 500)
            return;
        window_ = std::make_unique<QWidget>(nullptr, Qt::Dialog | Qt::WindowTitleHint);
        window_->setObjectName(QStringLiteral("StartupProgress"));
        window_->setWindowTitle(QStringLiteral("澄朔送货单打印软件"));
        auto* layout = new QVBoxLayout(window_.get());
        label_ = new QLabel(window_.get());
        bar_ = new QProgressBar(window_.get());
        layout->addWidget(label_);
        layout->addWidget(bar_);
        window_->setFixedWidth(360);
        label_->setText(QStringLiteral("正在读取%1……").arg(listName(table)));
        window_->adjustSize();
        // Nothing else is on screen yet to place it by.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window_->move(screen->availableGeometry().center() - window_->rect().center());
        window_->show();
    }
    label_->setText(QStringLiteral("正在读取%1……（已读 %2 行）")
                        .arg(listName(table), QLocale().toString(rows)));
    // The last rowid only estimates the count; the bar never claims the end early.
    bar_->setRange(0, expected > rows ? 1000 : 0);
    if (expected > rows)
        bar_->setValue(static_cast<int>(rows * 1000 / expected));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
