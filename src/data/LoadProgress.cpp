#include "data/LoadProgress.h"

namespace {
LoadProgress::Observer& current() {
    static LoadProgress::Observer observer;
    return observer;
}
} // namespace

LoadProgress::Observer LoadProgress::setObserver(Observer observer) {
    std::swap(current(), observer);
    return observer;
}

bool LoadProgress::observed() {
    return static_cast<bool>(current());
}

void LoadProgress::report(const QString& table, qint64 rows, qint64 expected) {
    if (current())
        current()(table, rows, expected);
}
