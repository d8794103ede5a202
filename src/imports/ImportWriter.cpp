#include "imports/ImportWriter.h"

#include "data/Connection.h"
#include "data/Dataset.h"

#include <QHash>

namespace ImportWriter {
namespace {

// How often the progress is told, in rows.
constexpr int kProgressStep = 20;

// A new row takes every field; an update leaves the key as the list spells it and the fields
// the file leaves empty as they are.
void setValues(Dataset& list, const QList<ImportFields::Field>& fields, const QStringList& values,
               bool update) {
    for (qsizetype f = 0; f < fields.size(); ++f) {
        if (update && (f == ImportFields::kKeyField || values[f].isEmpty()))
            continue;
        list.setText(fields[f].column, values[f]);
    }
}

} // namespace

QSet<QString> keysInList(Connection& connection, ImportTarget target) {
    Dataset keys(&connection, QStringLiteral("ImportKeys"));
    keys.setQuery(Query::distinct(ImportFields::table(target),
                                  ImportFields::fields(target)[ImportFields::kKeyField].column));
    keys.open();
    QSet<QString> out;
    for (int row = 0; row < keys.recordCount(); ++row)
        out.insert(ImportPlan::keyOf(keys.text(row, 0)));
    return out;
}

std::optional<Outcome> write(Connection& connection, const ImportPlan& plan, bool updateExisting,
                             const Progress& progress) {
    const ImportTarget target = plan.target();
    const QList<ImportFields::Field>& fields = ImportFields::fields(target);
    const QString keyHeading = fields[ImportFields::kKeyField].heading;

    Transaction transaction(connection);
    Dataset list(&connection, QStringLiteral("ImportList"));
    list.setQuery(Query::all(ImportFields::table(target)));
    list.open();
    // The list as it stands now decides what exists: another workstation may have added a
    // key since the preview.
    QHash<QString, int> rowOfKey;
    const int keyColumn = list.fieldIndex(fields[ImportFields::kKeyField].column);
    for (int row = 0; row < list.recordCount(); ++row) {
        const QString key = ImportPlan::keyOf(list.text(row, keyColumn));
        if (!key.isEmpty() && !rowOfKey.contains(key))
            rowOfKey.insert(key, row);
    }

    Outcome outcome;
    const QList<ImportPlan::Row>& rows = plan.rows();
    const int total = static_cast<int>(rows.size());
    for (int i = 0; i < total; ++i) {
        if (i % kProgressStep == 0 && !progress(i, total))
            return std::nullopt;
        const ImportPlan::Row& row = rows[i];
        if (!row.problem.isEmpty()) {
            outcome.skipped.append({i, row.problem});
            continue;
        }
        const QString key = ImportPlan::keyOf(row.values[ImportFields::kKeyField]);
        const auto existing = rowOfKey.constFind(key);
        if (existing != rowOfKey.constEnd()) {
            if (!updateExisting) {
                outcome.skipped.append(
                    {i, QStringLiteral("%1已存在（选择了跳过）").arg(keyHeading)});
                continue;
            }
            list.moveTo(*existing);
            list.edit();
            setValues(list, fields, row.values, true);
            list.post();
            ++outcome.updated;
            continue;
        }
        QStringList values = row.values;
        for (qsizetype f = 0; f < fields.size(); ++f) {
            if (fields[f].number && values[f].isEmpty())
                values[f] = QStringLiteral("0");
        }
        list.append();
        setValues(list, fields, values, false);
        list.post();
        rowOfKey.insert(key, list.recNo());
        ++outcome.added;
    }
    if (!progress(total, total))
        return std::nullopt;
    transaction.commit();
    return outcome;
}

} // namespace ImportWriter
