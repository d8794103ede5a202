#include "records/DeliveryEntryPanel.h"

#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/DateText.h"
#include "data/Errors.h"
#include "data/NumberText.h"
#include "ledger/BillNumbers.h"
#include "ledger/MoneyText.h"
#include "ledger/PaymentBook.h"
#include "ledger/Receivables.h"
#include "records/BooksWrite.h"
#include "records/LastPriceOffer.h"
#include "records/NumberKeyFilter.h"
#include "records/Numbering.h"
#include "records/Requery.h"
#include "ui/DatePicker.h"
#include "ui/Guard.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace {

const QPoint kPlace(272, 56);

QString tidied(const QString& stored) {
    return stored.isEmpty() ? stored : NumberText::tidy(stored);
}

char16_t asciiLower(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
}

// Equal but for the case of ASCII letters, which the engine's LIKE ignores as well.
bool sameButAsciiCase(const QString& a, const QString& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](QChar x, QChar y) { return asciiLower(x) == asciiLower(y); });
}

// The row whose column equals the text (ASCII letters in either case), else the first row; -1
// without rows.
int lookUpRow(const Dataset& list, const QString& column, const QString& text) {
    const int index = list.fieldIndex(column);
    for (int row = 0; row < list.recordCount(); ++row) {
        if (sameButAsciiCase(list.text(row, index), text))
            return row;
    }
    return list.recordCount() > 0 ? 0 : -1;
}

} // namespace

DeliveryEntryPanel::DeliveryEntryPanel(const Lists& lists, QWidget* page)
    : RecordPanel(QStringLiteral("Panel6"), QSize(417, 313),
                  QStringLiteral(":/pictures/panel_delivery_entry.png"), QStringLiteral("Image13"),
                  QStringLiteral("Image6"), 392, page),
      lists_(lists) {
    for (const auto& [name, y] : {std::pair{"Panel8", 88}, std::pair{"Panel9", 192}}) {
        auto* line = new QFrame(this);
        line->setObjectName(QString::fromUtf8(name));
        line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        line->setGeometry(0, y, width(), 2);
        line->setCursor(Qt::ArrowCursor);
    }
    auto combo = [this](const char* name, int x, int y) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromUtf8(name));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        // Every typed character is a look-up of its own; completion would type for the user.
        box->setCompleter(nullptr);
        box->setGeometry(x, y, 121, 22);
        box->setCursor(Qt::ArrowCursor);
        return box;
    };

    addLabel(QStringLiteral("单据编号"), 18, 42);
    bill_ = addEdit(QStringLiteral("Edit16"), 80, 40, 121);
    newNumber_ = bill_->addAction(QIcon(QStringLiteral(":/pictures/edit_billnumber.png")),
                                  QLineEdit::TrailingPosition);
    newNumber_->setObjectName(QStringLiteral("NewBillNumber"));
    newNumber_->setToolTip(QStringLiteral("生成新单号"));
    addLabel(QStringLiteral("业务日期"), 210, 42);
    date_ = new DatePicker(this);
    date_->setObjectName(QStringLiteral("DateTimePicker1"));
    date_->setDisplayFormat(QStringLiteral("yyyy/M/d"));
    date_->setGeometry(272, 40, 121, 20);
    date_->setCursor(Qt::ArrowCursor);
    addLabel(QStringLiteral("经手人"), 34, 66);
    handler_ = combo("ComboBox2", 80, 64);
    addLabel(QStringLiteral("商品编码"), 18, 98);
    goodsCode_ = combo("ComboBox3", 80, 96);
    addLabel(QStringLiteral("商品名称"), 210, 98);
    goodsName_ = addEdit(QStringLiteral("Edit18"), 272, 96, 121);
    addLabel(QStringLiteral("规格型号"), 18, 122);
    modelBox_ = addEdit(QStringLiteral("Edit19"), 80, 120, 121);
    addLabel(QStringLiteral("单位"), 240, 122);
    unit_ = addEdit(QStringLiteral("Edit20"), 272, 120, 121);
    addLabel(QStringLiteral("单价"), 48, 146);
    price_ = addEdit(QStringLiteral("Edit21"), 80, 144, 121);
    lastPrice_ = new LastPriceOffer(lists_.deliveries->connection(), price_);
    addLabel(QStringLiteral("数量"), 240, 146);
    quantity_ = addEdit(QStringLiteral("Edit22"), 272, 144, 121);
    addLabel(QStringLiteral("金额"), 48, 170);
    amount_ = addEdit(QStringLiteral("Edit23"), 80, 168, 121);
    amount_->setFixedHeight(19);
    amount_->setReadOnly(true);
    QFont amountFont(QStringLiteral("宋体"));
    amountFont.setPixelSize(13);
    amount_->setFont(amountFont);
    amount_->setStyleSheet(
        QStringLiteral("QLineEdit { border: 1px solid #9fb3cc; background: palette(button); "
                       "color: red; padding-left: 2px; }"));
    addLabel(QStringLiteral("联系人"), 34, 202);
    contact_ = combo("ComboBox4", 80, 200);
    addLabel(QStringLiteral("联系电话"), 210, 202);
    telephone_ = addEdit(QStringLiteral("Edit24"), 272, 200, 121);
    addLabel(QStringLiteral("详细地址"), 18, 226);
    address_ = addEdit(QStringLiteral("Edit25"), 80, 224, 313);
    addLabel(QStringLiteral("备注"), 48, 250);
    remark_ = addEdit(QStringLiteral("Edit26"), 80, 248, 313);
    add_ = addButton(QStringLiteral("Button9"), QStringLiteral("添加"), 144, 280);
    modify_ = addButton(QStringLiteral("Button11"), QStringLiteral("修改"), 144, 280);
    modify_->hide();
    auto* cancel = addButton(QStringLiteral("Button10"), QStringLiteral("取消"), 224, 280);

    const QList<QWidget*> order = {remark_,    address_,  telephone_, amount_, quantity_, price_,
                                   unit_,      modelBox_, goodsName_, bill_,   date_,     contact_,
                                   goodsCode_, handler_,  add_,       modify_, cancel};
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    for (QLineEdit* box : {price_, quantity_}) {
        NumberKeyFilter::install(box);
        box->installEventFilter(this);
    }
    connect(add_, &QPushButton::clicked, this, guardedSlot(this, [this] { Button9Click(); }));
    connect(modify_, &QPushButton::clicked, this, guardedSlot(this, [this] { Button11Click(); }));
    connect(newNumber_, &QAction::triggered, this,
            guardedSlot(this, [this] { NewBillNumberClick(); }));
    connect(lastPrice_->action(), &QAction::triggered, this,
            guardedSlot(this, [this] { LastPriceClick(); }));
    connect(cancel, &QPushButton::clicked, this, guardedSlot(this, [this] { Button10Click(); }));
    connect(goodsCode_, &QComboBox::editTextChanged, this,
            guardedSlot(this, [this] { ComboBox3Change(); }));
    connect(contact_, &QComboBox::editTextChanged, this,
            guardedSlot(this, [this] { ComboBox4Change(); }));
}

bool DeliveryEntryPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        if (watched == price_)
            guarded(this, [this] { Edit21KeyUp(); });
        else if (watched == quantity_)
            guarded(this, [this] { Edit22KeyUp(); });
    }
    return false;
}

void DeliveryEntryPanel::setPickText(QComboBox* box, const QString& text) {
    // Text the program puts into a drop-down runs no look-up.
    const QSignalBlocker quiet(box);
    box->setEditText(text);
}

void DeliveryEntryPanel::fillPickLists() {
    fillPickList(handler_, *lists_.profile, QStringLiteral("表5"), QStringLiteral("联系人"));
    fillPickList(goodsCode_, *lists_.goods, QStringLiteral("表1"), QStringLiteral("商品编码"));
    fillPickList(contact_, *lists_.customers, QStringLiteral("表2"), QStringLiteral("联系人"));
}

void DeliveryEntryPanel::startAdd() {
    showAt(kPlace);
    add_->show();
    modify_->hide();
    date_->setDate(QDate::currentDate());
    for (QLineEdit* box : {bill_, goodsName_, modelBox_, unit_})
        box->clear();
    price_->setText(QStringLiteral("0"));
    quantity_->setText(QStringLiteral("1"));
    amount_->setText(QStringLiteral("0"));
    for (QLineEdit* box : {telephone_, address_, remark_})
        box->clear();
    fillPickLists();
    offerLastPrice();
}

void DeliveryEntryPanel::startModify() {
    Dataset& rows = *lists_.deliveries;
    fillPickLists();
    const QDate stored = DateText::parse(rows.text(QStringLiteral("业务日期")));
    date_->setDate(stored.isValid() ? stored : QDate::currentDate());
    bill_->setText(rows.text(QStringLiteral("单据编号")));
    setPickText(handler_, rows.text(QStringLiteral("经手人")));
    setPickText(goodsCode_, rows.text(QStringLiteral("商品编码")));
    goodsName_->setText(rows.text(QStringLiteral("商品名称")));
    modelBox_->setText(rows.text(QStringLiteral("规格型号")));
    unit_->setText(rows.text(QStringLiteral("单位")));
    price_->setText(tidied(rows.text(QStringLiteral("单价"))));
    quantity_->setText(tidied(rows.text(QStringLiteral("数量"))));
    amount_->setText(tidied(rows.text(QStringLiteral("应收金额"))));
    setPickText(contact_, rows.text(QStringLiteral("联系人")));
    telephone_->setText(rows.text(QStringLiteral("联系电话")));
    address_->setText(rows.text(QStringLiteral("单位地址")));
    remark_->setText(rows.text(QStringLiteral("备注")));
    offerLastPrice();
    showAt(kPlace);
    add_->hide();
    modify_->show();
}

QString DeliveryEntryPanel::amount() const {
    const long double price = NumberText::toExtended(price_->text());
    const long double quantity = NumberText::toExtended(quantity_->text());
    return NumberText::general(price * quantity);
}

void DeliveryEntryPanel::writeRow() {
    Dataset& rows = *lists_.deliveries;
    rows.setText(QStringLiteral("单据编号"), bill_->text());
    rows.setDate(QStringLiteral("业务日期"), date_->date());
    rows.setText(QStringLiteral("经手人"), handler_->currentText());
    rows.setText(QStringLiteral("商品编码"), goodsCode_->currentText());
    rows.setText(QStringLiteral("商品名称"), goodsName_->text());
    rows.setText(QStringLiteral("规格型号"), modelBox_->text());
    rows.setText(QStringLiteral("单位"), unit_->text());
    rows.setText(QStringLiteral("单价"), price_->text());
    rows.setText(QStringLiteral("数量"), quantity_->text());
    QString total;
    try {
        total = amount();
    } catch (...) {
        // Nothing half-set is stored later.
        rows.cancel();
        throw;
    }
    rows.setText(QStringLiteral("应收金额"), total);
    rows.setText(QStringLiteral("联系人"), contact_->currentText());
    rows.setText(QStringLiteral("联系电话"), telephone_->text());
    rows.setText(QStringLiteral("单位地址"), address_->text());
    rows.setText(QStringLiteral("备注"), remark_->text());
    rows.post();
}

void DeliveryEntryPanel::Button9Click() {
    if (bill_->text().isEmpty()) {
        Prompts::instance().message(window(), QStringLiteral("单据编号不能为空！"));
        return;
    }
    if (!confirmBillOwner() || !confirmCredit())
        return;
    Dataset& rows = *lists_.deliveries;
    rows.last();
    writeWithBooks(rows, RowWrite::Add, [&] {
        rows.append();
        writeRow();
    });
    for (QLineEdit* box : {goodsName_, modelBox_, unit_})
        box->clear();
    setPickText(goodsCode_, QString());
    for (QLineEdit* box : {price_, quantity_, amount_})
        box->setText(QStringLiteral("0"));
    offerLastPrice();
    Prompts::instance().message(window(), QStringLiteral("添加送货信息成功！"));
}

bool DeliveryEntryPanel::confirmBillOwner(qint64 ownRow) {
    if (!Numbering::askDuplicate())
        return true;
    const QString bill = bill_->text();
    const std::optional<BillNumbers::Use> other =
        BillNumbers(lists_.deliveries->connection())
            .otherCustomer(bill, contact_->currentText(), ownRow);
    if (!other)
        return true;
    return Prompts::instance().confirm(
        window(), QStringLiteral("单据编号“%1”已用于客户“%2”（%3），确定加入该单据吗？")
                      .arg(bill, other->contact, other->date.toString(QStringLiteral("yyyy/M/d"))));
}

bool DeliveryEntryPanel::confirmCredit() {
    if (!Numbering::askCreditLimit())
        return true;
    Connection* connection = lists_.deliveries->connection();
    const Customers customers(connection);
    const Customer owner =
        customers.ownerOf(contact_->currentText(), address_->text(), telephone_->text());
    qint64 added = 0;
    try {
        added = Settlement::fenOf(
            NumberText::toTenThousandths(static_cast<double>(NumberText::toExtended(amount()))));
    } catch (const ConversionError&) {
        // A price or quantity that is no number is told by the store, naming its field.
        return true;
    }
    const std::optional<Receivables::Crossing> over =
        Receivables::crossing(connection, customers, owner, added);
    if (!over)
        return true;
    return Prompts::instance().confirm(
        window(), QStringLiteral("客户“%1”的欠款将达到 ¥%2，超过信用额度 ¥%3，确定继续送货吗？")
                      .arg(owner.contact, MoneyText::of(over->balance * 100),
                           MoneyText::of(over->limit * 100)));
}

void DeliveryEntryPanel::NewBillNumberClick() {
    const BillNumberPattern pattern(Numbering::pattern());
    // The number of the day in the panel's date: a note entered late gets that day's number.
    bill_->setText(BillNumbers(lists_.deliveries->connection()).next(pattern, date_->date()));
}

void DeliveryEntryPanel::Button11Click() {
    Dataset& rows = *lists_.deliveries;
    if (rows.recNo() < 0 || rows.state() != Dataset::State::Browse) {
        Prompts::instance().message(window(), QStringLiteral("当前修改送货信息为空！"));
        return;
    }
    if (!confirmBillOwner(rows.rowId(rows.recNo())))
        return;
    writeWithBooks(rows, RowWrite::Modify, [&] {
        rows.edit();
        writeRow();
    });
    Prompts::instance().message(window(), QStringLiteral("修改送货信息成功！"));
    hide();
    lists_.connections->ReopenAll();
}

void DeliveryEntryPanel::Button10Click() {
    hide();
}

void DeliveryEntryPanel::ComboBox3Change() {
    offerLastPrice();
    Dataset& goods = *lists_.goods;
    const QString code = goodsCode_->currentText();
    if (!code.isEmpty() && goods.tableHasRows()) {
        requery(goods, Query::like(QStringLiteral("表1"), QStringLiteral("商品编码"), code));
        const int row = lookUpRow(goods, QStringLiteral("商品编码"), code);
        if (row >= 0)
            goods.moveTo(row);
        goodsName_->setText(row < 0 ? QString() : goods.text(QStringLiteral("商品名称")));
        modelBox_->setText(row < 0 ? QString() : goods.text(QStringLiteral("规格型号")));
        unit_->setText(row < 0 ? QString() : goods.text(QStringLiteral("单位")));
        price_->setText(row < 0 ? QString() : goods.text(QStringLiteral("单价")));
    }
    amount_->setText(amount());
}

void DeliveryEntryPanel::ComboBox4Change() {
    offerLastPrice();
    Dataset& customers = *lists_.customers;
    const QString contact = contact_->currentText();
    if (contact.isEmpty() || !customers.tableHasRows())
        return;
    requery(customers, Query::like(QStringLiteral("表2"), QStringLiteral("联系人"), contact));
    const int row = lookUpRow(customers, QStringLiteral("联系人"), contact);
    if (row >= 0)
        customers.moveTo(row);
    telephone_->setText(row < 0 ? QString() : customers.text(QStringLiteral("联系电话")));
    address_->setText(row < 0 ? QString() : customers.text(QStringLiteral("单位地址")));
    remark_->setText(row < 0 ? QString() : customers.text(QStringLiteral("备注")));
}

void DeliveryEntryPanel::Edit21KeyUp() {
    if (!price_->text().isEmpty())
        amount_->setText(amount());
}

void DeliveryEntryPanel::Edit22KeyUp() {
    if (!quantity_->text().isEmpty())
        amount_->setText(amount());
}

void DeliveryEntryPanel::offerLastPrice() {
    lastPrice_->refreshSoon(contact_->currentText(), goodsCode_->currentText());
}

void DeliveryEntryPanel::LastPriceClick() {
    const QString price = lastPrice_->priceText();
    if (price.isEmpty())
        return;
    price_->setText(price);
    amount_->setText(amount());
}
