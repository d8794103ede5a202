#include "printing/PrintPreferences.h"

#include "settings/Settings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

const QString kOffsets = QStringLiteral("print/offsets");
const QString kCopies = QStringLiteral("print/copies");
const QString kLabels = QStringLiteral("print/labels");

// To a tenth of a millimetre, within the range: what the settings page can show.
qreal offsetValue(const QJsonValue& value) {
    const double mm = value.toDouble();
    if (!std::isfinite(mm))
        return 0;
    return qBound(-PrintPreferences::kMaxOffsetMm, std::round(mm * 10) / 10,
                  PrintPreferences::kMaxOffsetMm);
}

} // namespace

QString PrintPreferences::offsetsText(const QHash<QString, QPointF>& offsets) {
    QJsonObject object;
    for (auto it = offsets.cbegin(); it != offsets.cend(); ++it) {
        if (!it.value().isNull())
            object.insert(it.key(), QJsonObject{{"x", it.value().x()}, {"y", it.value().y()}});
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QHash<QString, QPointF> PrintPreferences::offsetsFromText(const QString& text) {
    QHash<QString, QPointF> offsets;
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QJsonObject xy = it.value().toObject();
        const QPointF offset(offsetValue(xy.value("x")), offsetValue(xy.value("y")));
        if (!offset.isNull())
            offsets.insert(it.key(), offset);
    }
    return offsets;
}

PrintPreferences PrintPreferences::load() {
    PrintPreferences preferences;
    preferences.offsets = offsetsFromText(Settings::value(kOffsets).toString());
    preferences.copies = qBound(1, Settings::value(kCopies, 1).toInt(), CopyLabels::kMaxCopies);
    const QStringList labels = Settings::value(kLabels).toStringList();
    for (int i = 0; i < CopyLabels::kMaxCopies && i < labels.size(); ++i)
        preferences.labels[i] = labels.at(i);
    return preferences;
}

void PrintPreferences::store() const {
    Settings::setValue(kOffsets, offsetsText(offsets));
    Settings::setValue(kCopies, copies);
    Settings::setValue(kLabels, labels);
}

PrintOptions PrintPreferences::options(bool labelledCopies) const {
    PrintOptions options;
    options.offsets = offsets;
    if (labelledCopies)
        options.copyOverlays = CopyLabels::overlays(copies, labels);
    return options;
}
