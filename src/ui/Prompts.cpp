#include "ui/Prompts.h"

#include "ui/PaperChoiceWatch.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

const QString kTitle = QStringLiteral("提示");

int showBox(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    QMessageBox box(icon, title, text, buttons, owner);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return box.exec();
}

class StandardPrompts final : public Prompts {
public:
    void message(QWidget* owner, const QString& text) override {
        showBox(owner, QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok);
    }
    void hint(QWidget* owner, const QString& text) override {
        showBox(owner, QMessageBox::Information, kTitle, text, QMessageBox::Ok);
    }
    bool confirm(QWidget* owner, const QString& text) override {
        return showBox(owner, QMessageBox::Warning, kTitle, text,
                       QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    }
    bool confirmRemoval(QWidget* owner, const QString& text) override {
        return showBox(owner, QMessageBox::Warning, kTitle, text,
                       QMessageBox::Ok | QMessageBox::Cancel,
                       QMessageBox::Cancel) == QMessageBox::Ok;
    }
    void error(QWidget* owner, const QString& text) override {
        const QString title = owner && owner->window() ? owner->window()->windowTitle()
                                                       : QApplication::applicationDisplayName();
        showBox(owner, QMessageBox::Critical, title, text, QMessageBox::Ok);
    }
    QString saveFileName(QWidget* owner) override {
        return QFileDialog::getSaveFileName(owner, QString(), QString(), QString(), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
    QString saveFileNameAt(QWidget* owner, const QString& suggested,
                           const QString& filter) override {
        return QFileDialog::getSaveFileName(owner, QString(), suggested, filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
    QString folderName(QWidget* owner, const QString& start) override {
        return QFileDialog::getExistingDirectory(owner, QString(), start);
    }
    QString openFileName(QWidget* owner) override { return QFileDialog::getOpenFileName(owner); }
    QString openFileNameIn(QWidget* owner, const QString& folder, const QString& filter) override {
        return QFileDialog::getOpenFileName(owner, QString(), folder, filter);
    }
    PrintSetupAnswer printSetup(QWidget* owner, QPrinter* printer, int fromPage,
                                int toPage) override {
        return printSetupWith(owner, printer, fromPage, toPage, {});
    }
    PrintSetupAnswer printSetupWith(QWidget* owner, QPrinter* printer, int fromPage, int toPage,
                                    const QList<QWidget*>& optionTabs) override {
        QPrintDialog dialog(printer, owner);
        dialog.setOptionTabs(optionTabs);
        dialog.setMinMax(fromPage, toPage);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
#ifdef Q_OS_WIN
        // Windows shows its own dialog, with the paper the printer was given when its driver
        // takes it and the driver's own paper otherwise: what it leaves at OK is the paper the
        // user saw and confirmed. (A printer that refuses the note's paper would otherwise stay
        // refused, as Qt's paper list, which tells a pick, is not there.)
        const bool accepted = dialog.exec() == QDialog::Accepted;
        return {accepted, accepted};
#else
        const PaperChoiceWatch paper(&dialog);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        for (QWidget* tab : optionTabs)
            tab->setParent(nullptr);
        return {accepted, accepted && paper.paperChosen()};
#endif
    }
};

StandardPrompts& standardPrompts() {
    static StandardPrompts prompts;
    return prompts;
}

Prompts* active = nullptr;

} // namespace

QString Prompts::saveFileNameAt(QWidget* owner, const QString&, const QString&) {
    return saveFileName(owner);
}

QString Prompts::openFileNameIn(QWidget* owner, const QString&, const QString&) {
    return openFileName(owner);
}

Prompts::PrintSetupAnswer Prompts::printSetupWith(QWidget* owner, QPrinter* printer, int fromPage,
                                                  int toPage, const QList<QWidget*>&) {
    return printSetup(owner, printer, fromPage, toPage);
}

bool Prompts::confirmRemoval(QWidget* owner, const QString& text) {
    return confirm(owner, text);
}

QString Prompts::folderName(QWidget*, const QString&) {
    return QString();
}

Prompts& Prompts::instance() {
    return active ? *active : standardPrompts();
}

void Prompts::install(Prompts* prompts) {
    active = prompts;
}
