#include "statements/PeriodPickers.h"

#include "ui/DatePicker.h"

#include <QGridLayout>
#include <QLabel>

namespace {

DatePicker* picker(QWidget* owner, const QString& name, const QDate& date) {
    auto* box = new DatePicker(owner);
    box->setObjectName(name);
    box->setDisplayFormat(QStringLiteral("yyyy/M/d"));
    box->setDate(date);
    return box;
}

} // namespace

PeriodPickers::PeriodPickers(QWidget* owner, QGridLayout* grid, int row, const QDate& from,
                             const QDate& to)
    : from_(picker(owner, QStringLiteral("FromDate"), from)),
      to_(picker(owner, QStringLiteral("ToDate"), to)) {
    grid->addWidget(new QLabel(QStringLiteral("起始日期："), owner), row, 0);
    grid->addWidget(from_, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("截止日期："), owner), row, 2);
    grid->addWidget(to_, row, 3);
}

QDate PeriodPickers::from() const {
    return from_->date();
}

QDate PeriodPickers::to() const {
    return to_->date();
}

QString PeriodPickers::problem() const {
    return from() > to() ? QStringLiteral("起始日期不能晚于截止日期！") : QString();
}

std::pair<QDate, QDate> PeriodPickers::previousMonth(const QDate& today) {
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(-1);
    return {first, first.addDays(first.daysInMonth() - 1)};
}
