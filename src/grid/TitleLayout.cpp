#include "grid/TitleLayout.h"

TitleLayout::TitleLayout(const QStringList& titles) {
    for (int column = 0; column < titles.size(); ++column) {
        const QString& text = titles[column];
        const int bar = text.indexOf(QLatin1Char('|'));
        Title title;
        title.groupFirst = title.groupLast = column;
        if (bar < 0) {
            title.lower = text;
        } else {
            title.split = true;
            title.upper = text.left(bar);
            title.lower = text.mid(bar + 1);
            twoLevel_ = true;
            if (column > 0) {
                const Title& previous = titles_.last();
                if (previous.split && previous.upper == title.upper)
                    title.groupFirst = previous.groupFirst;
            }
            for (int c = title.groupFirst; c < column; ++c)
                titles_[c].groupLast = column;
            title.groupLast = column;
        }
        titles_.append(title);
    }
}
