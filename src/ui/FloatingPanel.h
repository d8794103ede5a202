#pragma once

#include <QFrame>

class ClickableLabel;
class QLabel;
class QLineEdit;
class QPushButton;

// A panel that floats over a list on its tab page: a raised outer and a lowered inner bevel,
// a background picture filling the inside, and a close picture in the top right corner. The
// user drags it by its frame with the left button; it stays inside its page. Hidden until a
// command shows it.
class FloatingPanel : public QFrame {
    Q_OBJECT
public:
    // background: resource path of the picture, empty for none; closeName: objectName of the
    // close picture; closeX: its left edge.
    FloatingPanel(const QString& name, const QSize& size, const QString& background,
                  const QString& backgroundName, const QString& closeName, int closeX,
                  QWidget* page);

    ClickableLabel* closePicture() const { return close_; }
    // Moves the panel to its place on the page and shows it.
    void showAt(const QPoint& position);

protected:
    // Layout helpers: controls at their pixel positions inside the panel.
    QLabel* addLabel(const QString& caption, int x, int y);
    QLineEdit* addEdit(const QString& name, int x, int y, int width);
    QPushButton* addButton(const QString& name, const QString& caption, int x, int y);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ClickableLabel* close_;
    bool dragging_ = false;
    QPoint grabOffset_;
};
