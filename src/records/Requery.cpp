#include "records/Requery.h"

#include <QComboBox>
#include <QSignalBlocker>

void fillPickList(QComboBox* box, Dataset& list, const QString& table, const QString& column) {
    {
        const QSignalBlocker quiet(box);
        box->clear();
        box->setEditText(QString());
    }
    list.close();
    list.setQuery(Query::distinct(table, column));
    list.open();
    const QSignalBlocker quiet(box);
    for (int row = 0; row < list.recordCount(); ++row)
        box->addItem(list.text(row, 0));
    box->setEditText(QString());
}
