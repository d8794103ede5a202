#pragma once

#include <QDate>
#include <QString>

class DatePicker;
class QGridLayout;
class QWidget;

// The "起始日期" and "截止日期" pickers of a report window, placed on a grid row.
class PeriodPickers {
public:
    PeriodPickers(QWidget* owner, QGridLayout* grid, int row, const QDate& from, const QDate& to);

    QDate from() const;
    QDate to() const;
    DatePicker* fromPicker() const { return from_; }
    DatePicker* toPicker() const { return to_; }
    // Empty when the period is sound, else the message to show.
    QString problem() const;

    // The first and last day of the month before the given day's.
    static std::pair<QDate, QDate> previousMonth(const QDate& today);

private:
    DatePicker* from_;
    DatePicker* to_;
};
