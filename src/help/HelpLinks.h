#pragma once

class QMenu;
class QToolButton;
class QWidget;

// "帮助主题" and its menu of links, and the picture link: each link hands one address to the
// desktop.
class HelpLinks {
public:
    HelpLinks(QWidget* window, QToolButton* helpButton, QMenu* helpMenu);

    // Drops the menu down below the button, at the window frame's left edge plus the button's
    // offset and 90 pixels below the frame's top edge, wherever the window is now.
    void SpeedButton6Click();
    void N2Click(); // 常见问题
    void N3Click(); // 技术支持
    void N4Click(); // 软件网站
    void Image8Click();

private:
    QWidget* window_;
    QToolButton* helpButton_;
    QMenu* helpMenu_;
};
