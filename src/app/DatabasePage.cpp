#include "app/DatabasePage.h"

#include "base/AppError.h"
#include "data/EngineChoice.h"
#include "data/Maintenance.h"
#include "data/postgres/ServerDatabase.h"
#include "data/postgres/ServerSchema.h"
#include "data/postgres/ServerTransfer.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {
const QString kKey = QStringLiteral("database/server");

QLineEdit* field(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

QString DatabasePage::databaseInUse() {
    return EngineChoice::maintenance(ProgramFolder::databaseFile())->description();
}

DatabasePage::DatabasePage(QWidget* parent)
    : SettingsPage(parent), host_(field(this, "DatabaseHost")), port_(field(this, "DatabasePort")),
      database_(field(this, "DatabaseName")), user_(field(this, "DatabaseUser")),
      password_(field(this, "DatabasePassword")) {
    password_->setEchoMode(QLineEdit::Password);
    port_->setPlaceholderText(QStringLiteral("5432"));
    host_->setPlaceholderText(QStringLiteral("不填则使用本机的 data.mdb"));
    written_ = field(this, "DatabaseAddress");
    written_->setReadOnly(true);
    editWritten_ = new QPushButton(QStringLiteral("按文本修改"), this);
    editWritten_->setObjectName(QStringLiteral("EditAddressButton"));
    connect(editWritten_, &QPushButton::clicked, this, guardedSlot(this, [this] { editAsText(); }));
    writtenRow_ = new QWidget(this);
    auto* writtenLayout = new QHBoxLayout(writtenRow_);
    writtenLayout->setContentsMargins(0, 0, 0, 0);
    writtenLayout->addWidget(written_, 1);
    writtenLayout->addWidget(editWritten_);
    writtenNote_ = new QLabel(QStringLiteral("这个地址不是本页生成的，保存时原样保留；要修改，"
                                             "请点“按文本修改”。"),
                              this);
    writtenNote_->setWordWrap(true);
    form_ = new QFormLayout;
    auto* form = form_;
    form->addRow(QStringLiteral("连接地址："), writtenRow_);
    form->addRow(writtenNote_);
    form->addRow(QStringLiteral("服务器地址："), host_);
    form->addRow(QStringLiteral("端口："), port_);
    form->addRow(QStringLiteral("数据库名："), database_);
    form->addRow(QStringLiteral("用户名："), user_);
    form->addRow(QStringLiteral("密码："), password_);
    showWritten(false);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](const char* name, const QString& caption, auto handler) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, guardedSlot(this, handler));
        buttons->addWidget(button);
    };
    addButton("TestConnectionButton", QStringLiteral("测试连接"), [this] { testConnection(); });
    addButton("InitialiseServerButton", QStringLiteral("初始化服务器数据库"),
              [this] { initialiseServer(); });
    addButton("UploadDataButton", QStringLiteral("上传本机数据"), [this] { uploadLocalData(); });

    auto* note = new QLabel(
        QStringLiteral("多台电脑共用一个 PostgreSQL 数据库服务器时填写。连接加密，密码用通道"
                       "绑定的方式验证。更改在下次启动程序后生效。"),
        this);
    note->setWordWrap(true);
    auto* current = new QLabel(QStringLiteral("当前使用：") + databaseInUse(), this);
    current->setObjectName(QStringLiteral("DatabaseInUse"));
    current->setWordWrap(true);
    current->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(current);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(note);
    layout->addStretch();
}

QString DatabasePage::title() const {
    return QStringLiteral("数据库");
}

void DatabasePage::load() {
    loaded_ = Settings::value(kKey).toString();
    const QUrl url(loaded_);
    const QUrlQuery query(url);
    const auto either = [&](const QString& part, const char* item) {
        return part.isEmpty() ? query.queryItemValue(QString::fromLatin1(item), QUrl::FullyDecoded)
                              : part;
    };
    host_->setText(either(url.host(), "host"));
    port_->setText(either(url.port() > 0 ? QString::number(url.port()) : QString(), "port"));
    database_->setText(either(url.path().mid(1), "dbname"));
    user_->setText(either(url.userName(), "user"));
    password_->setText(either(url.password(), "password"));
    if (!loaded_.isEmpty() && uri() != loaded_)
        keepAsWritten(loaded_);
}

void DatabasePage::showWritten(bool shown) {
    keptAsWritten_ = shown;
    form_->setRowVisible(writtenRow_, shown);
    form_->setRowVisible(writtenNote_, shown);
    for (QLineEdit* box : {host_, port_, database_, user_, password_})
        form_->setRowVisible(box, !shown);
}

void DatabasePage::keepAsWritten(const QString& address) {
    written_->setText(address);
    written_->setCursorPosition(0);
    written_->setReadOnly(true);
    editWritten_->show();
    for (QLineEdit* box : {host_, port_, database_, user_, password_})
        box->clear();
    showWritten(true);
}

void DatabasePage::editAsText() {
    written_->setReadOnly(false);
    editWritten_->hide();
    written_->setFocus();
}

QString DatabasePage::address() const {
    return keptAsWritten_ ? written_->text().trimmed() : uri();
}

QString DatabasePage::serverAddress() const {
    const QString server = address();
    if (server.isEmpty())
        throw AppError(QStringLiteral("请先填写服务器地址。"));
    return server;
}

QString DatabasePage::uri() const {
    const QString host = host_->text().trimmed();
    if (host.isEmpty())
        return QString();
    QUrlQuery query;
    const QString port = port_->text().trimmed();
    const QString user = user_->text().trimmed();
    // A folder stands for the server's local socket; such a URI names everything as
    // parameters, since it has no host part.
    if (host.startsWith(QLatin1Char('/'))) {
        query.addQueryItem(QStringLiteral("host"),
                           QString::fromLatin1(QUrl::toPercentEncoding(host)));
        if (!port.isEmpty())
            query.addQueryItem(QStringLiteral("port"), port);
        if (!user.isEmpty())
            query.addQueryItem(QStringLiteral("user"),
                               QString::fromLatin1(QUrl::toPercentEncoding(user)));
        if (!password_->text().isEmpty())
            query.addQueryItem(QStringLiteral("password"),
                               QString::fromLatin1(QUrl::toPercentEncoding(password_->text())));
        return QStringLiteral("postgresql:///") +
               QString::fromLatin1(QUrl::toPercentEncoding(database_->text().trimmed())) +
               QLatin1Char('?') + query.toString(QUrl::FullyEncoded);
    }
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setHost(host);
    if (!port.isEmpty())
        url.setPort(port.toInt());
    url.setPath(QLatin1Char('/') + database_->text().trimmed());
    url.setUserName(user);
    url.setPassword(password_->text());
    // Over the network the password goes only through an encrypted connection, and only to a
    // server that proves, bound to that connection, that it knows it (SCRAM).
    query.addQueryItem(QStringLiteral("sslmode"), QStringLiteral("require"));
    query.addQueryItem(QStringLiteral("channel_binding"), QStringLiteral("require"));
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

QString DatabasePage::check() const {
    if (keptAsWritten_) {
        const QString written = written_->text().trimmed();
        if (written.isEmpty() || written == loaded_)
            return QString();
        try {
            ServerDatabase::nameOf(written);
        } catch (const AppError&) {
            return QStringLiteral("连接地址的格式不对。");
        }
        return QString();
    }
    if (host_->text().trimmed().isEmpty())
        return QString();
    bool number = false;
    const int port = port_->text().trimmed().toInt(&number);
    if (!port_->text().trimmed().isEmpty() && (!number || port <= 0 || port > 65535))
        return QStringLiteral("端口应是 1 到 65535 之间的数字。");
    if (database_->text().trimmed().isEmpty())
        return QStringLiteral("请填写数据库名。");
    return QString();
}

void DatabasePage::store() {
    const QString value = address();
    if (value == loaded_)
        return;
    if (value.isEmpty())
        Settings::remove(kKey);
    else
        Settings::setValue(kKey, value);
}

void DatabasePage::testConnection() {
    const std::unique_ptr<ServerDatabase> server = ServerDatabase::connect(serverAddress());
    Prompts::instance().message(
        this, ServerSchema::isInitialised(*server)
                  ? QStringLiteral("连接成功。服务器版本 %1，五个数据表齐全。")
                        .arg(server->serverVersion())
                  : QStringLiteral("连接成功（服务器版本 %1），但数据库中还没有本程序的数据表，"
                                   "请先初始化服务器数据库或上传本机数据。")
                        .arg(server->serverVersion()));
}

void DatabasePage::initialiseServer() {
    const std::unique_ptr<ServerDatabase> server = ServerDatabase::connect(serverAddress());
    if (ServerSchema::isInitialised(*server)) {
        Prompts::instance().message(
            this, QStringLiteral("服务器数据库中已经有本程序的数据表，不需要再初始化。"));
        return;
    }
    ServerSchema::initialise(*server);
    Prompts::instance().message(this, QStringLiteral("服务器数据库已初始化。"));
}

void DatabasePage::uploadLocalData() {
    const std::unique_ptr<ServerDatabase> server = ServerDatabase::connect(serverAddress());
    ServerTransfer::upload(*server, ProgramFolder::databaseFile());
    Prompts::instance().message(this, QStringLiteral("本机数据已上传到服务器。"));
}
