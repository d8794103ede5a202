#include "ui/DatePicker.h"

#include <QKeyEvent>

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
}

bool DatePicker::focusNextPrevChild(bool next) {
    // The date box would walk its sections first.
    return QWidget::focusNextPrevChild(next);
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
    const bool left = event->key() == Qt::Key_Left;
    if ((left || event->key() == Qt::Key_Right) && event->modifiers() == Qt::NoModifier) {
        const int section = currentSectionIndex() + (left ? -1 : 1);
        if (section >= 0 && section < sectionCount()) {
            setCurrentSectionIndex(section);
            setSelectedSection(currentSection());
        }
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}
