#include "platform/LastView.h"

#include "base/AppError.h"

#include <QSettings>

namespace {
QSettings::Format format() {
#ifdef Q_OS_WIN
    return QSettings::NativeFormat;
#else
    return QSettings::IniFormat;
#endif
}

const QString kKey = QStringLiteral("data");
} // namespace

namespace LastView {

QString read() {
    const QSettings settings(format(), QSettings::UserScope, QStringLiteral("qorvel"));
    return settings.value(kKey).toString();
}

void write(const QString& code) {
    QSettings settings(format(), QSettings::UserScope, QStringLiteral("qorvel"));
    settings.setValue(kKey, code);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError(QStringLiteral("Failed to set data for '%1'").arg(kKey));
}

} // namespace LastView
