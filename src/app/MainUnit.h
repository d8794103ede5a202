#pragma once

#include "app/ViewSelector.h"

#include <QWidget>
#include <optional>

class Connection;
class DatabaseConnection;
class Dataset;
class DataGrid;
class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;
class ClickableLabel;

// The main window: toolbar, view selector, command bar, the three record views and the usage
// notes, and the two popup menus. It owns the main connection and its four lists.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    enum class View { Goods, Customers, Deliveries };

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Opens the main connection and its four lists; each failure shows in the error box and
    // start-up goes on with the affected views empty.
    void openDatabase();
    // The creation step: writes the desktop launcher, then restores the last view.
    void FormCreate();

    // The view the selector names, if its text names one.
    std::optional<View> currentView() const;
    static QString viewText(View view);

    Connection* mainConnection() const { return connection_; }
    Dataset* query(View view) const;
    Dataset* printBuffer() const { return queries_[3]; }
    DataGrid* grid(View view) const;
    QWidget* tabSheet(View view) const;
    DatabaseConnection& databaseConnection() const { return *databaseConnection_; }
    QComboBox* viewSelector() const { return selector_; }
    QToolButton* speedButton(int number) const;
    // A further toolbar button right of the required ones, in their size and style.
    QToolButton* addToolbarButton(const QString& name, const QString& caption,
                                  const QString& picture, int x);
    QMenu* recordMenu() const { return recordMenu_; }
    QMenu* helpMenu() const { return helpMenu_; }
    QAction* menuItem(const QString& name) const;
    ClickableLabel* webLink() const { return webLink_; }
    // The hidden box that keeps the number of the bill clicked last.
    QLineEdit* billNumberBox() const { return billNumber_; }

    void ComboBox1Change();
    void PageControl1Change();
    void SpeedButton7Click();

protected:
    // Closing the main window ends the program: open previews close with it.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbar();
    void buildSecondRow();
    void buildPages();
    void buildMenus();
    void restoreLastView();
    // Brings the view's page to the front and sets the selector and the record menu, without
    // running either change handler.
    void showView(View view);
    void storeView(View view);

    Connection* connection_;
    QList<Dataset*> queries_;
    DatabaseConnection* databaseConnection_;
    QList<DataGrid*> grids_;
    QList<QWidget*> sheets_;
    QList<QToolButton*> speedButtons_;
    QFrame* toolbar_ = nullptr;
    ViewSelector* selector_ = nullptr;
    ClickableLabel* webLink_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QMenu* recordMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QLineEdit* billNumber_ = nullptr;
};
