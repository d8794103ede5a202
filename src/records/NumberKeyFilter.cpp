#include "records/NumberKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

void NumberKeyFilter::install(QLineEdit* box) {
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->installEventFilter(new NumberKeyFilter(box));
}

bool NumberKeyFilter::accepts(QChar typed, const QString& text) {
    if (typed == QChar(8) || (typed >= QLatin1Char('0') && typed <= QLatin1Char('9')))
        return true;
    return typed == QLatin1Char('.') && !text.contains(QLatin1Char('.'));
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Focus moves and the keys that produce no character are not typing.
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    const QString typed = key->text();
    if (typed.isEmpty())
        return false;
    const auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return false;
    QString text = box->text();
    for (const QChar c : typed) {
        if (!accepts(c, text))
            return true;
        text += c;
    }
    return false;
}
