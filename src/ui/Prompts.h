#pragma once

#include <QList>
#include <QString>

class QWidget;
class QPrinter;

// Every modal interaction of the program passes through here, so that tests can answer the
// boxes and dialogs from a script and see what was shown.
class Prompts {
public:
    virtual ~Prompts() = default;

    // "提示" box with a single OK button and no icon.
    virtual void message(QWidget* owner, const QString& text) = 0;
    // "提示" box with a single OK button and the information icon.
    virtual void hint(QWidget* owner, const QString& text) = 0;
    // "提示" box with OK and Cancel and the warning icon; true when OK was chosen.
    virtual bool confirm(QWidget* owner, const QString& text) = 0;
    // The same box for a question whose OK replaces or removes data: Cancel is the default
    // button, so a stray Return keeps the data. Replacements that do not care answer as
    // confirm does.
    virtual bool confirmRemoval(QWidget* owner, const QString& text);
    // The standard error box: the error text, one OK button; the program goes on.
    virtual void error(QWidget* owner, const QString& text) = 0;
    // Save dialog without filter or default extension; never asks before replacing a file.
    // Empty when cancelled.
    virtual QString saveFileName(QWidget* owner) = 0;
    // The same dialog starting on a suggested path and showing only the filter's files (a
    // dialog filter such as "PDF 文件 (*.pdf)"). Replacements that do not care what was
    // suggested answer as saveFileName does.
    virtual QString saveFileNameAt(QWidget* owner, const QString& suggested, const QString& filter);
    // A folder dialog starting in the given folder; empty when cancelled. Replacements that do
    // not script it cancel.
    virtual QString folderName(QWidget* owner, const QString& start);
    // Open dialog without filter; empty when cancelled.
    virtual QString openFileName(QWidget* owner) = 0;
    // The same dialog starting in a folder and showing only the filter's files. Replacements
    // that do not care answer as openFileName does.
    virtual QString openFileNameIn(QWidget* owner, const QString& folder, const QString& filter);
    // What the user did in the printer set-up.
    struct PrintSetupAnswer {
        bool accepted = false; // OK: the printer holds the choices
        // The user picked the paper the printer now holds; otherwise its paper is only what
        // the dialog falls back to (the printer's default).
        bool paperChosen = false;
    };
    // The printer set-up dialog on the given printer.
    virtual PrintSetupAnswer printSetup(QWidget* owner, QPrinter* printer, int fromPage,
                                        int toPage) = 0;
    // The same with tabs of the caller's own choices, which stay the caller's: they are handed
    // back, without a parent, when the dialog closes. Replacements that do not care answer as
    // printSetup does.
    virtual PrintSetupAnswer printSetupWith(QWidget* owner, QPrinter* printer, int fromPage,
                                            int toPage, const QList<QWidget*>& optionTabs);

    static Prompts& instance();
    // Replaces the active implementation (tests install a scripted one); takes no ownership.
    // Passing nullptr restores the standard dialogs.
    static void install(Prompts* prompts);
};
