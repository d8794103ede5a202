#include "app/MainUnit.h"

#include "app/GridColumns.h"
#include "app/ViewSelector.h"
#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "grid/DataGrid.h"
#include "platform/DesktopLauncher.h"
#include "platform/LastView.h"
#include "printing/ReportPreview.h"
#include "ui/ClickableLabel.h"
#include "ui/Guard.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QFont song(int pixels, bool bold = false) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

const char* const kViewTexts[3] = {"商品信息", "客户信息", "送货信息"};
const char* const kViewCodes[3] = {"1", "2", "3"};

const QStringList& usageNotes() {
    static const QStringList lines = {
        QStringLiteral("  1.商品信息和客户信息需要先添加才能在送货信息里显示出来。"),
        QStringLiteral("  2.在送货信息里录入的商品信息和客户信息不保存到商品信息和客户信息里。"),
        QStringLiteral("  "
                       "3."
                       "打印单据时需要选中要打印信息的任意一行，列表中就会自动选中要打印的客户信息"
                       "和客户采购商"),
        QStringLiteral("品的所有信息。"),
        QStringLiteral("  4.要显示全部信息点击“刷新信息”即可。"),
        QStringLiteral(
            "  "
            "5."
            "修改信息时商品信息和送货信息可以选中要修改的记录点击“修改信息”就可以了。而修改送货信"),
        QStringLiteral("息需要在最左面序号上点击要修改的记录然后再点击“修改信息”就可以了。若修改后"
                       "需要马上打印单"),
        QStringLiteral("据的需要在列表的记录上点击一下，再进行打印单据。"),
        QStringLiteral("  6.一个单据编号对应唯一的客户信息。"),
        QStringLiteral("  7.送货单纸张大小：190*265。"),
    };
    return lines;
}

QToolButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& picture) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(QIcon(picture));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("澄朔送货单打印软件 V2.5（增强版）"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/app_icon.png")));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(999, 667);

    connection_ = new Connection(this);
    connection_->setObjectName(QStringLiteral("ADOConnection1"));
    connection_->setConnectionString(DatabaseConnection::FormConnectionString());
    for (int i = 1; i <= 4; ++i) {
        auto* query = new Dataset(connection_, QStringLiteral("ADOQuery%1").arg(i), this);
        query->setQuery(Query::all(QStringLiteral("表%1").arg(i)));
        queries_.append(query);
    }
    databaseConnection_ = new DatabaseConnection(connection_, queries_);

    auto* background = new QLabel(this);
    background->setObjectName(QStringLiteral("Image1"));
    background->setPixmap(QPixmap(QStringLiteral(":/pictures/background.png")));
    background->setGeometry(0, 63, 1000, 604);

    buildToolbar();
    buildSecondRow();
    buildMenus();
    buildPages();
    showView(View::Goods);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TMainForm::~TMainForm() {
    delete databaseConnection_;
}

void TMainForm::buildToolbar() {
    auto* toolbar = new QFrame(this);
    toolbar_ = toolbar;
    toolbar->setObjectName(QStringLiteral("Panel10"));
    toolbar->setGeometry(0, 0, 999, 65);
    toolbar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    toolbar->setAutoFillBackground(true);
    const struct {
        const char* caption;
        const char* picture;
    } buttons[7] = {{"基本资料", "tb_profile"}, {"打印单据", "tb_print"},
                    {"数据导出", "tb_export"},  {"数据备份", "tb_backup"},
                    {"数据恢复", "tb_restore"}, {"帮助主题", "tb_help"},
                    {"退出软件", "tb_exit"}};
    for (int i = 0; i < 7; ++i)
        speedButtons_.append(addToolbarButton(QStringLiteral("SpeedButton%1").arg(i + 1),
                                              QString::fromUtf8(buttons[i].caption),
                                              QString::fromUtf8(buttons[i].picture), 8 + 60 * i));
    connect(speedButtons_[6], &QToolButton::clicked, this,
            guardedSlot(this, [this] { SpeedButton7Click(); }));
}

void TMainForm::buildSecondRow() {
    selector_ = new ViewSelector(this);
    selector_->setObjectName(QStringLiteral("ComboBox1"));
    selector_->setFont(song(15));
    for (const char* text : kViewTexts)
        selector_->addItem(QString::fromUtf8(text));
    selector_->setGeometry(20, 70, 89, 23);
    connect(selector_, &ViewSelector::changed, this,
            guardedSlot(this, [this] { ComboBox1Change(); }));

    webLink_ = new ClickableLabel(this);
    webLink_->setObjectName(QStringLiteral("Image8"));
    webLink_->setPixmap(QPixmap(QStringLiteral(":/pictures/weblink.png")));
    webLink_->setGeometry(224, 67, 99, 27);
    webLink_->setCursor(Qt::PointingHandCursor);

    const struct {
        const char* caption;
        const char* picture;
    } commands[5] = {{"添加", "cmd_add"},
                     {"修改", "cmd_modify"},
                     {"删除", "cmd_delete"},
                     {"查询", "cmd_search"},
                     {"刷新", "cmd_refresh"}};
    for (int i = 0; i < 5; ++i) {
        QToolButton* button = makeButton(
            this, QStringLiteral("SpeedButton%1").arg(i + 8),
            QString::fromUtf8(commands[i].caption),
            QStringLiteral(":/pictures/%1.png").arg(QString::fromUtf8(commands[i].picture)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIconSize(QSize(16, 16));
        button->setFont(song(15));
        button->setGeometry(376 + 96 * i, 73, 85, 27);
        speedButtons_.append(button);
    }
}

void TMainForm::buildMenus() {
    recordMenu_ = new QMenu(this);
    recordMenu_->setObjectName(QStringLiteral("PopupMenu2"));
    const struct {
        const char* name;
        const char* caption;
    } items[8] = {{"N5", "打印单据"}, {"N6", nullptr},  {"N7", "添加信息"},  {"N8", "修改信息"},
                  {"N9", "删除信息"}, {"N10", nullptr}, {"N11", "查询信息"}, {"N12", "刷新信息"}};
    for (const auto& item : items) {
        QAction* action = item.caption ? recordMenu_->addAction(QString::fromUtf8(item.caption))
                                       : recordMenu_->addSeparator();
        action->setObjectName(QString::fromUtf8(item.name));
    }

    helpMenu_ = new QMenu(this);
    helpMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    const struct {
        const char* name;
        const char* caption;
    } help[3] = {{"N2", "常见问题"}, {"N3", "技术支持"}, {"N4", "软件网站"}};
    for (const auto& item : help)
        helpMenu_->addAction(QString::fromUtf8(item.caption))
            ->setObjectName(QString::fromUtf8(item.name));
}

void TMainForm::buildPages() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setGeometry(10, 121, 978, 508);
    pages_->tabBar()->setFont(song(14));

    const QList<QList<GridColumn>> columns = {goodsColumns(), customerColumns(), deliveryColumns()};
    for (int i = 0; i < 3; ++i) {
        auto* sheet = new QWidget;
        sheet->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        sheet->setFont(song(14));
        auto* layout = new QVBoxLayout(sheet);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* grid = new DataGrid(queries_[i], sheet);
        grid->setObjectName(QStringLiteral("DBGridEh%1").arg(i + 1));
        grid->setColumns(columns[i]);
        grid->setPopupMenu(recordMenu_);
        layout->addWidget(grid);
        pages_->addTab(sheet, QString::fromUtf8(kViewTexts[i]));
        sheets_.append(sheet);
        grids_.append(grid);
    }
    grids_[2]->setFooterVisible(true);
    grids_[2]->setToolTip(QStringLiteral(
        "提示：1.点击“刷新信息”显示全部记录；2.单击左边序号选中一条记录再选择“修改信息”"));

    billNumber_ = new QLineEdit(sheets_[2]);
    billNumber_->setObjectName(QStringLiteral("Edit31"));
    billNumber_->hide();

    auto* notes = new QWidget;
    notes->setObjectName(QStringLiteral("TabSheet4"));
    auto* layout = new QVBoxLayout(notes);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* memo = new QPlainTextEdit(notes);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setReadOnly(true);
    memo->setFont(song(21));
    memo->setPlainText(usageNotes().join(QLatin1Char('\n')));
    layout->addWidget(memo);
    pages_->addTab(notes, QStringLiteral("使用说明"));

    connect(pages_, &QTabWidget::currentChanged, this,
            guardedSlot(this, [this] { PageControl1Change(); }));
}

void TMainForm::openDatabase() {
    guarded(this, [this] { connection_->open(); });
    if (!connection_->isOpen())
        return;
    for (Dataset* query : queries_)
        guarded(this, [query] { query->open(); });
}

void TMainForm::FormCreate() {
    DesktopLauncher::write(QCoreApplication::applicationFilePath());
    restoreLastView();
    // The keyboard starts in the list: a stray key in the selector would leave it naming no
    // view, and every record command would then do nothing.
    if (const std::optional<View> view = currentView())
        grid(*view)->setFocus();
}

void TMainForm::restoreLastView() {
    const QString code = LastView::read();
    for (int i = 0; i < 3; ++i) {
        if (code == QLatin1String(kViewCodes[i]))
            showView(static_cast<View>(i));
    }
}

std::optional<TMainForm::View> TMainForm::currentView() const {
    const QString text = selector_->currentText();
    for (int i = 0; i < 3; ++i) {
        if (text == QString::fromUtf8(kViewTexts[i]))
            return static_cast<View>(i);
    }
    return std::nullopt;
}

QString TMainForm::viewText(View view) {
    return QString::fromUtf8(kViewTexts[static_cast<int>(view)]);
}

Dataset* TMainForm::query(View view) const {
    return queries_[static_cast<int>(view)];
}

DataGrid* TMainForm::grid(View view) const {
    return grids_[static_cast<int>(view)];
}

QWidget* TMainForm::tabSheet(View view) const {
    return sheets_[static_cast<int>(view)];
}

QToolButton* TMainForm::addToolbarButton(const QString& name, const QString& caption,
                                         const QString& picture, int x) {
    QToolButton* button =
        makeButton(toolbar_, name, caption, QStringLiteral(":/pictures/%1.png").arg(picture));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(32, 32));
    button->setFont(song(13));
    button->setGeometry(x, 2, 60, 60);
    return button;
}

QToolButton* TMainForm::speedButton(int number) const {
    return speedButtons_.value(number - 1);
}

QAction* TMainForm::menuItem(const QString& name) const {
    for (QMenu* menu : {recordMenu_, helpMenu_}) {
        for (QAction* action : menu->actions()) {
            if (action->objectName() == name)
                return action;
        }
    }
    return nullptr;
}

void TMainForm::showView(View view) {
    const int index = static_cast<int>(view);
    {
        const QSignalBlocker blockSelector(selector_);
        selector_->setCurrentIndex(index);
        selector_->setEditText(viewText(view));
    }
    {
        const QSignalBlocker blockPages(pages_);
        pages_->setCurrentIndex(index);
    }
    const bool deliveries = view == View::Deliveries;
    menuItem(QStringLiteral("N5"))->setVisible(deliveries);
    menuItem(QStringLiteral("N6"))->setVisible(deliveries);
}

void TMainForm::storeView(View view) {
    LastView::write(QString::fromLatin1(kViewCodes[static_cast<int>(view)]));
}

void TMainForm::ComboBox1Change() {
    const std::optional<View> view = currentView();
    if (!view)
        return;
    {
        const QSignalBlocker blockPages(pages_);
        pages_->setCurrentIndex(static_cast<int>(*view));
    }
    const bool deliveries = *view == View::Deliveries;
    menuItem(QStringLiteral("N5"))->setVisible(deliveries);
    menuItem(QStringLiteral("N6"))->setVisible(deliveries);
    storeView(*view);
}

void TMainForm::PageControl1Change() {
    const int index = pages_->currentIndex();
    if (index < 0 || index > 2)
        return;
    const View view = static_cast<View>(index);
    showView(view);
    storeView(view);
}

void TMainForm::SpeedButton7Click() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    closeAllPreviews();
    QWidget::closeEvent(event);
}
