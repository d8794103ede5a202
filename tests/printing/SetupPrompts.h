#pragma once

#include "ui/Prompts.h"

#include <QList>
#include <QPageSize>
#include <QStringList>
#include <optional>

// Answers the printer set-up like a user: picks a PDF file (or a print queue) and copies on the
// dialog's printer, maybe a paper, then confirms or cancels. Like Qt's dialog it leaves the
// printer's default paper (A4) on the printer unless a paper is picked. Anything else shown is
// recorded so a test can fail on it. Installed for its lifetime.
class SetupPrompts final : public Prompts {
public:
    struct Answer {
        bool ok;
        QString file; // empty: print to the queue below
        int copies;
        std::optional<QPageSize> paper = std::nullopt; // picked by the user
        QString queue = QString();
        // Ticks or clears "打印不含价格的送货单" on the note's own tab; untouched when empty.
        std::optional<bool> withoutPrices = std::nullopt;
    };
    SetupPrompts() { Prompts::install(this); }
    ~SetupPrompts() override { Prompts::install(nullptr); }

    QList<Answer> answers;
    QList<std::pair<int, int>> ranges;
    QStringList shown;
    // The titles of the tabs of its own each set-up offered.
    QList<QStringList> offeredTabs;

    void message(QWidget*, const QString& text) override { shown.append(text); }
    void hint(QWidget*, const QString& text) override { shown.append(text); }
    bool confirm(QWidget*, const QString& text) override {
        shown.append(text);
        return false;
    }
    void error(QWidget*, const QString& text) override { shown.append(text); }
    QString saveFileName(QWidget*) override { return QString(); }
    QString openFileName(QWidget*) override { return QString(); }
    PrintSetupAnswer printSetup(QWidget*, QPrinter* printer, int from, int to) override;
    PrintSetupAnswer printSetupWith(QWidget* owner, QPrinter* printer, int from, int to,
                                    const QList<QWidget*>& optionTabs) override;
};
