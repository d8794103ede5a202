#pragma once

#include "ui/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers the program's boxes and dialogs from a script and records what was shown.
// Installed for its lifetime; the standard dialogs come back when it is destroyed.
class ScriptedPrompts final : public Prompts {
public:
    struct Shown {
        // "message", "hint", "confirm", "error", "save", "folder", "open", "printSetup"
        QString kind;
        QString text;
        QString owner;                // objectName of the owner window, empty without owner
        bool cancelByDefault = false; // a question whose OK replaces or removes data
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Answers, consumed in order per kind. Without a scripted answer: confirm -> false,
    // file dialogs -> empty (cancel), printer set-up -> false.
    void answerConfirm(bool ok) { confirms_.append(ok); }
    void answerSave(const QString& fileName) { saves_.append(fileName); }
    void answerOpen(const QString& fileName) { opens_.append(fileName); }
    void answerFolder(const QString& folder) { folders_.append(folder); }
    void answerPrintSetup(bool ok) { printSetups_.append(ok); }

    const QList<Shown>& shown() const { return shown_; }
    QStringList texts(const QString& kind = QString()) const;
    // The name filter of each save dialog, in order.
    const QStringList& saveFilters() const { return filters_; }
    QString lastText() const { return shown_.isEmpty() ? QString() : shown_.last().text; }
    void clear() { shown_.clear(); }

    void message(QWidget* owner, const QString& text) override;
    void hint(QWidget* owner, const QString& text) override;
    bool confirm(QWidget* owner, const QString& text) override;
    // Recorded as "confirm", marked cancelByDefault.
    bool confirmRemoval(QWidget* owner, const QString& text) override;
    void error(QWidget* owner, const QString& text) override;
    QString saveFileName(QWidget* owner) override;
    // Recorded as "save" with the suggested path as its text.
    QString saveFileNameAt(QWidget* owner, const QString& suggested,
                           const QString& filter) override;
    // Recorded as "folder" with the starting folder as its text.
    QString folderName(QWidget* owner, const QString& start) override;
    QString openFileName(QWidget* owner) override;
    PrintSetupAnswer printSetup(QWidget* owner, QPrinter* printer, int fromPage,
                                int toPage) override;

private:
    void record(const QString& kind, QWidget* owner, const QString& text);

    QList<Shown> shown_;
    QList<bool> confirms_;
    QStringList saves_;
    QStringList opens_;
    QStringList folders_;
    QStringList filters_;
    QList<bool> printSetups_;
};
