#pragma once

#include "records/RecordPanel.h"

#include <QList>

class Dataset;
class QLineEdit;
class QPushButton;

// The entry panel of a master list (goods Panel2, customers Panel4): adds a record or
// modifies the current one. Its "添加" and "修改" buttons share one place; the command that
// shows the panel chooses which one shows.
class EntryPanel : public RecordPanel {
    Q_OBJECT
public:
    struct Box {
        const char* label;
        QPoint labelAt;
        const char* name;
        QPoint at;
        int width;
        const char* column;
        bool hidden = false;
        bool number = false; // number key filter; "0" after an add; tidied on modify
    };
    struct Layout {
        const char* name;
        QSize size;
        const char* background;
        const char* backgroundName;
        const char* closeName;
        QList<Box> boxes;
        QList<int> tabOrder; // box indexes, before the buttons
        const char* addName;
        const char* modifyName;
        const char* quitName;
        int buttonsY;
        QPoint place; // where the commands show the panel
        const char* emptyText;
        const char* addedText;
        const char* noRowText;
        const char* modifiedText;
    };

    static Layout goods();
    static Layout customers();

    EntryPanel(const Layout& layout, Dataset* list, QWidget* page);

    void startAdd() override;
    void startModify() override;

    // "添加": stores the boxes as a new row at the end of the list.
    void addClick();
    // "修改": writes the boxes into the list's current row.
    void modifyClick();
    // "退出": hides the panel; nothing is stored.
    void quitClick();

    QLineEdit* box(int index) const { return edits_[index]; }

private:
    void resetBoxes();
    // The boxes into the list's pending row, stored.
    void writeBoxes();

    Layout layout_;
    Dataset* list_;
    QList<QLineEdit*> edits_;
    QPushButton* add_;
    QPushButton* modify_;
};
