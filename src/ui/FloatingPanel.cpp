#include "ui/FloatingPanel.h"

#include "ui/ClickableLabel.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

FloatingPanel::FloatingPanel(const QString& name, const QSize& size, const QString& background,
                             const QString& backgroundName, const QString& closeName, int closeX,
                             QWidget* page)
    : QFrame(page) {
    setObjectName(name);
    setFixedSize(size);
    setCursor(Qt::SizeAllCursor);
    setAutoFillBackground(true);

    // The picture covers everything inside the bevel, so a press on it is not a press on the
    // frame and does not move the panel.
    auto* picture = new QLabel(this);
    picture->setObjectName(backgroundName);
    picture->setGeometry(2, 2, size.width() - 4, size.height() - 4);
    picture->setCursor(Qt::ArrowCursor);
    if (!background.isEmpty()) {
        picture->setPixmap(QPixmap(background));
        picture->setScaledContents(true);
    }

    close_ = new ClickableLabel(this);
    close_->setObjectName(closeName);
    close_->setPixmap(QPixmap(QStringLiteral(":/pictures/close.png")));
    close_->setGeometry(closeX, 8, 16, 16);
    close_->setCursor(Qt::PointingHandCursor);
    close_->setToolTip(QStringLiteral("关闭"));
    connect(close_, &ClickableLabel::clicked, this, &QWidget::hide);
    hide();
}

QLabel* FloatingPanel::addLabel(const QString& caption, int x, int y) {
    auto* label = new QLabel(caption, this);
    label->move(x, y);
    label->adjustSize();
    label->setCursor(Qt::ArrowCursor);
    return label;
}

QLineEdit* FloatingPanel::addEdit(const QString& name, int x, int y, int width) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(x, y, width, 20);
    edit->setFrame(false);
    // Flat boxes: a single thin line instead of a sunken frame.
    edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #9fb3cc; background: white; "
                                       "padding-left: 2px; }"));
    return edit;
}

QPushButton* FloatingPanel::addButton(const QString& name, const QString& caption, int x, int y) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(x, y, 50, 22);
    button->setCursor(Qt::ArrowCursor);
    button->setAutoDefault(false);
    return button;
}

void FloatingPanel::showAt(const QPoint& position) {
    move(position);
    show();
    raise();
}

void FloatingPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    auto bevel = [&](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    bevel(outer, light, dark);
    bevel(inner, dark, light);
}

void FloatingPanel::mousePressEvent(QMouseEvent* event) {
    // Presses that the picture, a label or a separator leaves unhandled arrive here too; only
    // the frame itself, which the picture leaves bare, grabs the panel.
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && !childAt(at)) {
        dragging_ = true;
        grabOffset_ = at;
    }
    event->accept();
}

void FloatingPanel::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !parentWidget())
        return;
    QPoint target = mapToParent(event->position().toPoint()) - grabOffset_;
    const QSize room = parentWidget()->size() - size();
    target.setX(qBound(0, target.x(), qMax(0, room.width())));
    target.setY(qBound(0, target.y(), qMax(0, room.height())));
    move(target);
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
    event->accept();
}
