#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

// A bill number pattern: date letters as QDate formats them (yyyy, MM, dd, ...; text in single
// quotes stays as it is) around one run of N, the running number padded to that many digits.
// The number runs within what the date letters name: "yyyyMMdd-NNN" makes 20261209-001,
// 20261209-002, ... for the day, "yyMMNNN" 2612001, 2612002, ... for the month.
class BillNumberPattern {
public:
    static QString defaultPattern();
    // The patterns the numbering page offers.
    static QStringList offered();

    explicit BillNumberPattern(const QString& pattern);

    // Exactly one run of N, at most nine digits long.
    bool isValid() const { return digits_ > 0; }
    int digits() const { return digits_; }

    // The number with the running number n on the given day.
    QString format(const QDate& day, qint64 n) const;
    // The running number of a bill number this pattern made on the given day; empty for any
    // other text. A number wider than the pattern counts only without a leading zero, so
    // 20261209-1000 follows 20261209-999 while 20261209-0007 belongs to another pattern.
    std::optional<qint64> numberOf(const QString& bill, const QDate& day) const;
    // What every number of the day starts with.
    QString prefix(const QDate& day) const;

private:
    QString head_;
    QString tail_;
    int digits_ = 0;
};
