#include "profile/JbzlUnit.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "ui/Guard.h"

#include <QFontMetricsF>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QtMath>

namespace {

const char* const kColumns[4] = {"公司名称", "公司网址", "联系人", "联系电话"};

// A label whose blanks are half the font's pixel size wide, as in the face the form was laid
// out for, whatever face stands in for it.
class HalfWidthBlankLabel : public QLabel {
public:
    using QLabel::QLabel;

    QSize sizeHint() const override {
        const QFontMetricsF metrics(font());
        return QSize(qCeil(width(metrics)), qCeil(metrics.height()));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const QFontMetricsF metrics(font());
        qreal x = 0;
        for (const QString& word : text().split(QLatin1Char(' '))) {
            if (!word.isEmpty()) {
                painter.drawText(QPointF(x, metrics.ascent()), word);
                x += metrics.horizontalAdvance(word);
            }
            x += blank();
        }
    }

private:
    qreal blank() const { return font().pixelSize() / 2.0; }
    qreal width(const QFontMetricsF& metrics) const {
        qreal total = 0;
        for (const QString& word : text().split(QLatin1Char(' ')))
            total += metrics.horizontalAdvance(word) + blank();
        return total - blank();
    }
};

QFont song(int pixels, bool bold = false) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

TJbzlForm::TJbzlForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("JbzlForm"));
    setWindowTitle(QStringLiteral("基本资料"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(369, 171);
    setModal(true);

    connection_ = new Connection(this);
    connection_->setObjectName(QStringLiteral("ADOConnection1"));
    connection_->setConnectionString(DatabaseConnection::FormConnectionString());
    query_ = new Dataset(connection_, QStringLiteral("ADOQuery1"), this);
    query_->setQuery(Query::all(QStringLiteral("表5")));

    auto* top = new QFrame(this);
    top->setObjectName(QStringLiteral("Panel1"));
    top->setGeometry(0, 0, 369, 39);
    top->setFrameStyle(QFrame::Panel | QFrame::Raised);
    top->setLineWidth(2);
    auto* title = new HalfWidthBlankLabel(QStringLiteral("基本资料   保存"), top);
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(song(16, true));
    title->move(16, 12);
    title->adjustSize();
    auto* at = new QLabel(QStringLiteral("@"), top);
    at->setObjectName(QStringLiteral("Label2"));
    at->setFont(song(16, true));
    at->adjustSize();
    // Centred over the gap of three half-width blanks after the first word.
    const QFontMetricsF metrics(title->font());
    const qreal gap = 16 + metrics.horizontalAdvance(QStringLiteral("基本资料"));
    at->move(qRound(gap + (3 * 8 - metrics.horizontalAdvance(QLatin1Char('@'))) / 2), 10);
    auto* save = new QPushButton(QStringLiteral("保存"), top);
    save->setObjectName(QStringLiteral("Button1"));
    save->setGeometry(224, 8, 50, 22);
    save->setFont(song(13));
    auto* cancel = new QPushButton(QStringLiteral("取消"), top);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(288, 8, 50, 22);
    cancel->setFont(song(13));
    for (QPushButton* b : {save, cancel})
        b->setAutoDefault(false);

    auto* body = new QFrame(this);
    body->setObjectName(QStringLiteral("Panel2"));
    body->setGeometry(0, 39, 369, 132);
    const int labelRight = 78;
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kColumns[i]), body);
        label->setFont(song(13));
        label->adjustSize();
        label->move(labelRight - label->width(), 26 + 24 * i);
        auto* edit = new QLineEdit(body);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edit->setGeometry(80, 24 + 24 * i, 265, 19);
        edit->setFrame(false);
        edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #9fb3cc; "
                                           "background: white; padding-left: 2px; }"));
        edit->setFont(song(13));
        edits_[i] = edit;
    }

    connect(save, &QPushButton::clicked, this, guardedSlot(this, [this] { Button1Click(); }));
    connect(cancel, &QPushButton::clicked, this, guardedSlot(this, [this] { Button2Click(); }));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TJbzlForm::reopenPlain() {
    query_->close();
    query_->setQuery(Query::all(QStringLiteral("表5")));
    query_->open();
}

void TJbzlForm::Load() {
    reopenPlain();
    for (int i = 0; i < 4; ++i)
        edits_[i]->setText(query_->text(QString::fromUtf8(kColumns[i])));
}

void TJbzlForm::Button1Click() {
    reopenPlain();
    query_->edit();
    for (int i = 0; i < 4; ++i)
        query_->setText(QString::fromUtf8(kColumns[i]), edits_[i]->text());
    query_->post();
    Prompts::instance().message(this, QStringLiteral("基本资料保存成功！"));
    accept();
}

void TJbzlForm::Button2Click() {
    reject();
}
