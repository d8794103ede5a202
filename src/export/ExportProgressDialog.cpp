#include "export/ExportProgressDialog.h"

#include <QCoreApplication>
#include <QProgressDialog>

ExportProgressDialog::ExportProgressDialog(QWidget* owner)
    : dialog_(std::make_unique<QProgressDialog>(QStringLiteral("正在导出数据……"), QString(), 0, 1,
                                                owner)) {
    dialog_->setObjectName(QStringLiteral("ExportProgress"));
    dialog_->setWindowTitle(QStringLiteral("数据导出"));
    dialog_->setWindowModality(Qt::NonModal);
    // The file is still being packed when every row is written; the dialog stays until the
    // export ends.
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(500);
    dialog_->setValue(0);
}

ExportProgressDialog::~ExportProgressDialog() = default;

void ExportProgressDialog::update(int done, int total) {
    dialog_->setMaximum(total);
    dialog_->setValue(done);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
