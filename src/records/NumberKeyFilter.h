#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

// The key rule of the price and quantity boxes: digits, one ".", and backspace pass; every
// other typed character is discarded. Only typed characters are judged: text the program sets
// or the user pastes through the menu is not filtered.
class NumberKeyFilter : public QObject {
    Q_OBJECT
public:
    // Installs the filter on the box and switches its input methods off, so that a composed
    // text cannot bypass the rule.
    static void install(QLineEdit* box);

    // Whether a character typed into a box holding `text` reaches the box.
    static bool accepts(QChar typed, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
