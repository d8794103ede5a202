#include "backup/BackupProgress.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

BackupProgress::BackupProgress() {
    clock_.start();
}

BackupProgress::~BackupProgress() = default;

void BackupProgress::update(int percent, const QString& step) {
    if (!window_) {
        if (clock_.elapsed() < 500)
            return;
        window_ = std::make_unique<QWidget>(nullptr, Qt::Dialog | Qt::WindowTitleHint);
        window_->setObjectName(QStringLiteral("BackupProgress"));
        window_->setWindowTitle(QStringLiteral("自动备份"));
        auto* layout = new QVBoxLayout(window_.get());
        label_ = new QLabel(window_.get());
        bar_ = new QProgressBar(window_.get());
        bar_->setRange(0, 100);
        layout->addWidget(label_);
        layout->addWidget(bar_);
        window_->setFixedWidth(360);
        window_->adjustSize();
        // At the end the main window is gone, at the start not yet shown: the screen places it.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window_->move(screen->availableGeometry().center() - window_->rect().center());
        window_->show();
        // The window is mapped only once the system has seen it; the steps that follow run
        // without the event loop.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (!step.isEmpty())
        label_->setText(step);
    bar_->setValue(percent);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    window_->repaint();
}
