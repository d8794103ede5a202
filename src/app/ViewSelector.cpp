#include "app/ViewSelector.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <utility>

ViewSelector::ViewSelector(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::editTextChanged, this, [this] {
        textReported_ = true;
        emit changed();
    });
    connect(this, &QComboBox::activated, this, [this] {
        if (!std::exchange(textReported_, false))
            emit changed();
    });
}

void ViewSelector::showPopup() {
    textReported_ = false;
    QComboBox::showPopup();
}

void ViewSelector::keyPressEvent(QKeyEvent* event) {
    textReported_ = false;
    QComboBox::keyPressEvent(event);
}

void ViewSelector::wheelEvent(QWheelEvent* event) {
    textReported_ = false;
    QComboBox::wheelEvent(event);
}
