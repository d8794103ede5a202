#pragma once

#include "records/RecordPanel.h"

class Dataset;
class DatabaseConnection;
class QComboBox;
class QAction;
class QDateEdit;
class QLineEdit;
class QPushButton;
class LastPriceOffer;

// Panel6: enters delivery rows item by item, with the goods and customer look-ups and the
// amount computed from price and quantity; modifies the current delivery row.
class DeliveryEntryPanel : public RecordPanel {
    Q_OBJECT
public:
    struct Lists {
        Dataset* deliveries;
        Dataset* goods;
        Dataset* customers;
        Dataset* profile;
        DatabaseConnection* connections;
    };

    DeliveryEntryPanel(const Lists& lists, QWidget* page);

    // Shown by the add command: today's date, empty item and customer boxes, price "0",
    // quantity "1", the three pick lists filled.
    void startAdd() override;
    // Shown by the modify command, filled from the current delivery row.
    void startModify() override;

    void Button9Click();  // 添加
    void Button11Click(); // 修改
    void Button10Click(); // 取消
    void ComboBox3Change();
    void ComboBox4Change();
    void Edit21KeyUp();
    void Edit22KeyUp();
    // The trailing action of Edit16: the next free number of the numbering pattern for the day
    // in the panel's date picker.
    void NewBillNumberClick();
    // The trailing action of Edit21: the price this customer paid last for this goods code
    // into the box, and the amount after it.
    void LastPriceClick();

    // Price times quantity in extended precision, as the general 15-digit text. Fails with the
    // conversion message when either box is not a number.
    QString amount() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillPickLists();
    void setPickText(QComboBox* box, const QString& text);
    void writeRow();
    // False when the bill number belongs to another customer and the user cancels; the row
    // being modified (`ownRow`) does not count as another customer's.
    bool confirmBillOwner(qint64 ownRow = 0);
    // False when the row takes its customer over the credit limit and the user cancels.
    bool confirmCredit();
    // Offers the last price of the contact and goods code the boxes hold, once typing pauses.
    void offerLastPrice();

    Lists lists_;
    QLineEdit* bill_;
    QAction* newNumber_;
    QDateEdit* date_;
    QComboBox* handler_;
    QComboBox* goodsCode_;
    QLineEdit* goodsName_;
    QLineEdit* modelBox_;
    QLineEdit* unit_;
    QLineEdit* price_;
    LastPriceOffer* lastPrice_;
    QLineEdit* quantity_;
    QLineEdit* amount_;
    QComboBox* contact_;
    QLineEdit* telephone_;
    QLineEdit* address_;
    QLineEdit* remark_;
    QPushButton* add_;
    QPushButton* modify_;
};
