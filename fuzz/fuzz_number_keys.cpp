// The number key filter over any sequence of typed characters, at any cursor position and
// after select-all: whatever reaches the box leaves a text that is empty or a number (or one
// too large for a double, which the store refuses with its message).
#include "data/NumberText.h"
#include "records/NumberKeyFilter.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

// What a box does with a character that passed the filter.
void apply(QString& text, qsizetype& cursor, QChar typed) {
    if (typed == QChar(8)) {
        if (cursor > 0) {
            text.remove(cursor - 1, 1);
            --cursor;
        }
        return;
    }
    text.insert(cursor, typed);
    ++cursor;
}

bool tooLarge(const QString& text) {
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? text : text.left(point);
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    return whole.size() > 308;
}

} // namespace

// Each step is two bytes: the character (a few keys are likely, any other code unit possible)
// and what happens to the cursor before it is typed.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char16_t likely[] = u"0123456789..\b\b-+eE ,";
    QString text = size > 0 && data[0] % 3 == 0 ? QString() : QStringLiteral("0");
    qsizetype cursor = text.size();
    for (size_t i = 1; i + 1 < size; i += 2) {
        const uint8_t key = data[i];
        const uint8_t move = data[i + 1];
        const QChar typed = key < 128 ? QChar(likely[key % (sizeof likely / 2 - 1)])
                                      : QChar(static_cast<char16_t>(key << 8 | move));
        switch (move % 4) {
        case 0: // where it was
            break;
        case 1: // select-all: the typed character replaces the whole text
            if (NumberKeyFilter::accepts(typed, text) && typed != QChar(8)) {
                // The filter judges the text as it stands, selection and all.
                text.clear();
                cursor = 0;
            }
            break;
        default:
            cursor = text.isEmpty() ? 0 : move % (text.size() + 1);
            break;
        }
        if (NumberKeyFilter::accepts(typed, text))
            apply(text, cursor, typed);
    }
    if (!text.isEmpty() && !NumberText::parse(text) && !tooLarge(text))
        std::abort();
    return 0;
}
