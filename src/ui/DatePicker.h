#pragma once

#include <QDateEdit>

// A date box with a drop-down calendar that the Tab key visits once: Tab and Shift+Tab leave
// it for the neighbouring control, while Left and Right move between its year, month and day.
class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
};
