#include "PreviewPages.h"

#include "printing/QRPrev.h"

#include <QApplication>
#include <QTimer>

QMap<QString, QString> textsOf(const report::Page& page) {
    QMap<QString, QString> texts;
    for (const report::DrawOp& op : page.ops) {
        if (const auto* text = std::get_if<report::TextOp>(&op)) {
            const QString joined = text->lines.join(QString());
            texts[text->item] =
                texts.contains(text->item) ? texts[text->item] + "|" + joined : joined;
        }
    }
    return texts;
}

PreviewPages previewOf(const std::function<void()>& run) {
    PreviewPages out;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* preview = qobject_cast<TQRStandardPreview*>(w);
            if (preview && preview->isVisible() && preview->generationFinished()) {
                out.shown = true;
                out.pages = preview->pages();
                poll.stop();
                preview->SpeedButton3Click();
            }
        }
    });
    poll.start(5);
    run();
    return out;
}
