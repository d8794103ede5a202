#pragma once

#include "ui/FloatingPanel.h"

#include <QList>

class Dataset;
class QLineEdit;

// A search panel (goods Panel3, customers Panel5, deliveries Panel7): with exactly one box
// filled, "查询" narrows the list to the rows whose column contains that text.
class SearchPanel : public FloatingPanel {
    Q_OBJECT
public:
    struct Box {
        const char* label;
        QPoint labelAt;
        const char* name;
        QPoint at;
        const char* column;
    };
    struct Layout {
        const char* name;
        QSize size;
        const char* background; // empty: no picture
        const char* backgroundName;
        const char* closeName;
        const char* table;
        QList<Box> boxes;
        const char* buttonName;
        QPoint buttonAt;
    };

    static Layout goods();
    static Layout customers();
    static Layout deliveries();

    SearchPanel(const Layout& layout, Dataset* list, QWidget* page);

    // Shown by the search command with empty boxes.
    void start();
    // "查询".
    void searchClick();

    QLineEdit* box(int index) const { return edits_[index]; }

private:
    Layout layout_;
    Dataset* list_;
    QList<QLineEdit*> edits_;
};
