#include "help/HelpLinks.h"

#include "help/Links.h"
#include "platform/UrlOpener.h"

#include <QMenu>
#include <QToolButton>

HelpLinks::HelpLinks(QWidget* window, QToolButton* helpButton, QMenu* helpMenu)
    : window_(window), helpButton_(helpButton), helpMenu_(helpMenu) {}

void HelpLinks::SpeedButton6Click() {
    const QRect frame = window_->frameGeometry();
    helpMenu_->popup(QPoint(frame.left() + helpButton_->x(), frame.top() + 90));
}

void HelpLinks::N2Click() {
    UrlOpener::open(Links::questionsPage());
}

void HelpLinks::N3Click() {
    UrlOpener::open(Links::supportMail());
}

void HelpLinks::N4Click() {
    UrlOpener::open(Links::homePage());
}

void HelpLinks::Image8Click() {
    UrlOpener::open(Links::homePage());
}
