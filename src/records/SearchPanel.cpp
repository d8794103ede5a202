#include "records/SearchPanel.h"

#include "data/Dataset.h"
#include "records/Requery.h"
#include "ui/Guard.h"

#include <QLineEdit>
#include <QPushButton>

SearchPanel::Layout SearchPanel::goods() {
    return {"Panel3",
            {497, 81},
            "",
            "Image10",
            "Image3",
            "表1",
            {{"商品编码", {18, 42}, "Edit7", {80, 40}, "商品编码"},
             {"商品名称", {218, 42}, "Edit8", {280, 40}, "商品名称"}},
            "Button4",
            {424, 38}};
}

SearchPanel::Layout SearchPanel::customers() {
    return {"Panel5",
            {497, 81},
            ":/pictures/panel_customer_search.png",
            "Image5",
            "Image12",
            "表2",
            {{"联系人", {34, 42}, "Edit14", {80, 40}, "联系人"},
             {"联系电话", {218, 42}, "Edit15", {280, 40}, "联系电话"}},
            "Button8",
            {416, 38}};
}

SearchPanel::Layout SearchPanel::deliveries() {
    return {"Panel7",
            {481, 97},
            ":/pictures/panel_delivery_search.png",
            "Image14",
            "Image7",
            "表3",
            {{"单据编号", {18, 42}, "Edit27", {80, 40}, "单据编号"},
             {"商品名称", {218, 42}, "Edit28", {280, 40}, "商品名称"},
             {"联系人", {34, 66}, "Edit29", {80, 64}, "联系人"},
             {"联系电话", {218, 66}, "Edit30", {280, 64}, "联系电话"}},
            "Button12",
            {408, 38}};
}

SearchPanel::SearchPanel(const Layout& layout, Dataset* list, QWidget* page)
    : FloatingPanel(QString::fromUtf8(layout.name), layout.size,
                    QString::fromUtf8(layout.background), QString::fromUtf8(layout.backgroundName),
                    QString::fromUtf8(layout.closeName), layout.size.width() - 25, page),
      layout_(layout), list_(list) {
    for (const Box& b : layout_.boxes) {
        addLabel(QString::fromUtf8(b.label), b.labelAt.x(), b.labelAt.y());
        edits_.append(addEdit(QString::fromUtf8(b.name), b.at.x(), b.at.y(), 121));
    }
    QPushButton* button = addButton(QString::fromUtf8(layout_.buttonName), QStringLiteral("查询"),
                                    layout_.buttonAt.x(), layout_.buttonAt.y());
    connect(button, &QPushButton::clicked, this, guardedSlot(this, [this] { searchClick(); }));
}

void SearchPanel::start() {
    for (QLineEdit* edit : edits_)
        edit->clear();
    showAt({240, 160});
}

void SearchPanel::searchClick() {
    if (list_->recordCount() == 0)
        return;
    int filled = -1;
    for (int i = 0; i < edits_.size(); ++i) {
        if (edits_[i]->text().isEmpty())
            continue;
        if (filled >= 0)
            return;
        filled = i;
    }
    if (filled < 0)
        return;
    requery(*list_,
            Query::like(QString::fromUtf8(layout_.table),
                        QString::fromUtf8(layout_.boxes[filled].column), edits_[filled]->text()));
}
