#pragma once

#include "export/ExportProgress.h"

#include <memory>

class QProgressDialog;
class QWidget;

// A progress dialog that appears once an export has run for half a second (or is sure to),
// without a cancel button. While it is up, only painting and timers are handled: the user
// cannot change the list that is being written.
class ExportProgressDialog final : public ExportProgress {
public:
    explicit ExportProgressDialog(QWidget* owner);
    ~ExportProgressDialog() override;

    void update(int done, int total) override;

private:
    std::unique_ptr<QProgressDialog> dialog_;
};
