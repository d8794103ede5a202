#include "ui/PaperChoiceWatch.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>

namespace {
// The paper list of Qt's page set-up widget, by the name its form gives it.
const QLatin1String kPaperList("pageSizeCombo");
} // namespace

PaperChoiceWatch::PaperChoiceWatch(QDialog* dialog) : dialog_(dialog) {
    // The page with the paper list is built only when the user opens it.
    qApp->installEventFilter(this);
}

PaperChoiceWatch::~PaperChoiceWatch() {
    qApp->removeEventFilter(this);
}

bool PaperChoiceWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->objectName() == kPaperList)
        watch(qobject_cast<QComboBox*>(watched));
    return false;
}

bool PaperChoiceWatch::inDialog(const QObject* object) const {
    for (; object; object = object->parent()) {
        if (object == dialog_)
            return true;
    }
    return false;
}

void PaperChoiceWatch::watch(QComboBox* paperList) {
    if (!paperList || watched_.contains(paperList) || !inDialog(paperList))
        return;
    watched_.append(paperList);
    // activated: the user's picks only, not the dialog's own settings.
    connect(paperList, &QComboBox::activated, this, [this, paperList] { picked_ = paperList; });
    auto* page = qobject_cast<QDialog*>(paperList->window());
    if (!page || page == dialog_) {
        connect(paperList, &QComboBox::activated, this, [this, paperList] { chosen_ = paperList; });
        return;
    }
    // Cancel on the page puts its earlier paper back.
    connect(page, &QDialog::accepted, this, [this, paperList] {
        if (picked_ == paperList)
            chosen_ = paperList;
    });
    connect(page, &QDialog::rejected, this, [this] { picked_ = nullptr; });
}
