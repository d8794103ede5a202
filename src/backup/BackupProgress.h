#pragma once

#include <QElapsedTimer>
#include <QString>
#include <memory>

class QLabel;
class QProgressBar;
class QWidget;

// While it lives, a backup that takes longer than half a second shows a small window with the
// step it is in and how far it has come. Only painting is handled meanwhile: no handler runs
// during a backup.
class BackupProgress {
public:
    BackupProgress();
    ~BackupProgress();
    BackupProgress(const BackupProgress&) = delete;
    BackupProgress& operator=(const BackupProgress&) = delete;

    void update(int percent, const QString& step);

private:
    QElapsedTimer clock_;
    std::unique_ptr<QWidget> window_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
};
