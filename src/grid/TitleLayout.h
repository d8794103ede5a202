#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How column titles stand in a header of one or two rows. A title "upper|lower" puts upper
// over lower, and neighbouring columns with the same upper text share one upper cell; a title
// without a bar fills both rows.
class TitleLayout {
public:
    struct Title {
        QString upper; // empty for a title without a bar
        QString lower; // the whole title when it has no bar
        bool split = false;
        int groupFirst = 0; // the columns sharing the upper cell, this one among them
        int groupLast = 0;
    };

    explicit TitleLayout(const QStringList& titles = {});

    bool twoLevel() const { return twoLevel_; }
    int count() const { return titles_.size(); }
    const Title& title(int column) const { return titles_[column]; }

private:
    QList<Title> titles_;
    bool twoLevel_ = false;
};
