#pragma once

#include <QComboBox>

// The view selector: an editable drop-down whose changed() fires once for every change of
// its text (typed, picked or set without blocked signals) and also for a pick of the item it
// already shows, which changes no text.
class ViewSelector : public QComboBox {
    Q_OBJECT
public:
    explicit ViewSelector(QWidget* parent = nullptr);

    void showPopup() override;

signals:
    void changed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // A pick changes the text first and then reports the activation; the activation must not
    // report the same choice twice. Each user action on the box starts afresh.
    bool textReported_ = false;
};
