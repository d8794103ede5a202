#pragma once

#include "data/LoadProgress.h"

#include <QElapsedTimer>
#include <memory>

class QLabel;
class QProgressBar;
class QWidget;

// While it lives, a load of the lists that takes longer than half a second shows a small
// window saying which list is being read and how far it has come. Only painting is handled
// meanwhile: the main window is not up yet.
class StartupProgress {
public:
    StartupProgress();
    ~StartupProgress();
    StartupProgress(const StartupProgress&) = delete;
    StartupProgress& operator=(const StartupProgress&) = delete;

private:
    void update(const QString& table, qint64 rows, qint64 expected);

    QElapsedTimer clock_;
    std::unique_ptr<QWidget> window_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    LoadProgress::Observer previous_;
};
