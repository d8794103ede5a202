#include "records/EntryPanel.h"

#include "data/Dataset.h"
#include "data/NumberText.h"
#include "records/BooksWrite.h"
#include "records/NumberKeyFilter.h"
#include "ui/Guard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

EntryPanel::Layout EntryPanel::goods() {
    return {"Panel2",
            {417, 161},
            ":/pictures/panel_goods_entry.png",
            "Image9",
            "Image2",
            {{"商品编码", {18, 50}, "Edit1", {80, 48}, 121, "商品编码"},
             {"商品名称", {210, 50}, "Edit2", {272, 48}, 121, "商品名称"},
             {"规格型号", {18, 74}, "Edit3", {80, 72}, 121, "规格型号"},
             {"单位", {240, 74}, "Edit4", {272, 72}, 121, "单位"},
             {"单价", {48, 98}, "Edit5", {80, 96}, 121, "单价", false, true},
             {"备注", {240, 98}, "Edit6", {272, 96}, 121, "备注"}},
            {5, 4, 3, 2, 1, 0},
            "Button1",
            "Button3",
            "Button2",
            128,
            {272, 128},
            "商品信息不能为空！",
            "商品信息添加成功！",
            "当前修改商品信息为空！",
            "修改商品信息成功！"};
}

EntryPanel::Layout EntryPanel::customers() {
    return {"Panel4",
            {417, 153},
            ":/pictures/panel_customer_entry.png",
            "Image4",
            "Image11",
            {{"单位名称", {24, 26}, "Edit9", {80, 24}, 313, "单位名称", true},
             {"联系人", {34, 42}, "Edit10", {80, 40}, 121, "联系人"},
             {"联系电话", {210, 42}, "Edit11", {272, 40}, 121, "联系电话"},
             {"详细地址", {18, 66}, "Edit12", {80, 64}, 313, "单位地址"},
             {"备注", {46, 90}, "Edit13", {80, 88}, 313, "备注"}},
            {4, 3, 2, 1},
            "Button5",
            "Button7",
            "Button6",
            120,
            {272, 120},
            "客户信息不能为空！",
            "客户信息添加成功！",
            "当前修改客户信息为空！",
            "修改客户信息成功！"};
}

EntryPanel::EntryPanel(const Layout& layout, Dataset* list, QWidget* page)
    : RecordPanel(QString::fromUtf8(layout.name), layout.size, QString::fromUtf8(layout.background),
                  QString::fromUtf8(layout.backgroundName), QString::fromUtf8(layout.closeName),
                  layout.size.width() - 25, page),
      layout_(layout), list_(list) {
    for (const Box& b : layout_.boxes) {
        QLabel* label = addLabel(QString::fromUtf8(b.label), b.labelAt.x(), b.labelAt.y());
        QLineEdit* edit = addEdit(QString::fromUtf8(b.name), b.at.x(), b.at.y(), b.width);
        label->setVisible(!b.hidden);
        edit->setVisible(!b.hidden);
        if (b.number)
            NumberKeyFilter::install(edit);
        edits_.append(edit);
    }
    add_ = addButton(QString::fromUtf8(layout_.addName), QStringLiteral("添加"), 144,
                     layout_.buttonsY);
    modify_ = addButton(QString::fromUtf8(layout_.modifyName), QStringLiteral("修改"), 144,
                        layout_.buttonsY);
    modify_->hide();
    auto* quit = addButton(QString::fromUtf8(layout_.quitName), QStringLiteral("退出"), 224,
                           layout_.buttonsY);

    QWidget* previous = nullptr;
    for (int index : layout_.tabOrder) {
        if (previous)
            QWidget::setTabOrder(previous, edits_[index]);
        previous = edits_[index];
    }
    QWidget::setTabOrder(previous, quit);
    QWidget::setTabOrder(quit, add_);
    QWidget::setTabOrder(add_, modify_);

    connect(add_, &QPushButton::clicked, this, guardedSlot(this, [this] { addClick(); }));
    connect(modify_, &QPushButton::clicked, this, guardedSlot(this, [this] { modifyClick(); }));
    connect(quit, &QPushButton::clicked, this, guardedSlot(this, [this] { quitClick(); }));
}

void EntryPanel::resetBoxes() {
    for (int i = 0; i < edits_.size(); ++i)
        edits_[i]->setText(layout_.boxes[i].number ? QStringLiteral("0") : QString());
}

void EntryPanel::startAdd() {
    showAt(layout_.place);
    add_->show();
    modify_->hide();
    resetBoxes();
}

void EntryPanel::startModify() {
    for (int i = 0; i < edits_.size(); ++i) {
        const Box& b = layout_.boxes[i];
        const QString value = list_->text(QString::fromUtf8(b.column));
        // A row stored without a price can still be corrected: its box comes up empty.
        edits_[i]->setText(b.number && !value.isEmpty() ? NumberText::tidy(value) : value);
    }
    showAt(layout_.place);
    add_->hide();
    modify_->show();
}

void EntryPanel::addClick() {
    bool allEmpty = true;
    for (const QLineEdit* edit : edits_)
        allEmpty = allEmpty && edit->text().isEmpty();
    if (allEmpty) {
        Prompts::instance().message(window(), QString::fromUtf8(layout_.emptyText));
        return;
    }
    list_->last();
    writeWithBooks(*list_, RowWrite::Add, [this] {
        list_->append();
        writeBoxes();
    });
    resetBoxes();
    Prompts::instance().message(window(), QString::fromUtf8(layout_.addedText));
}

void EntryPanel::modifyClick() {
    if (list_->recNo() < 0 || list_->state() != Dataset::State::Browse) {
        Prompts::instance().message(window(), QString::fromUtf8(layout_.noRowText));
        return;
    }
    writeWithBooks(*list_, RowWrite::Modify, [this] {
        list_->edit();
        writeBoxes();
    });
    Prompts::instance().message(window(), QString::fromUtf8(layout_.modifiedText));
    hide();
}

void EntryPanel::writeBoxes() {
    for (int i = 0; i < edits_.size(); ++i)
        list_->setText(QString::fromUtf8(layout_.boxes[i].column), edits_[i]->text());
    list_->post();
}

void EntryPanel::quitClick() {
    hide();
}
