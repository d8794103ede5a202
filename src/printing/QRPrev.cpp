#include "printing/QRPrev.h"

#include "printing/PageFiles.h"
#include "printing/PreviewPageView.h"
#include "printing/PriceFreeNote.h"
#include "printing/PrintDocument.h"
#include "printing/PrintPreferences.h"
#include "printing/ThumbnailGrid.h"
#include "report/Generator.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The button pictures, once the resources hold them; a standard picture until then.
QIcon buttonIcon(const QString& resource, QStyle::StandardPixmap fallback, const QStyle* style) {
    if (QFile::exists(resource))
        return QIcon(resource);
    return style->standardIcon(fallback);
}

QLabel* statusPanel(const QString& name, int width, Qt::Alignment alignment, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFixedWidth(width);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

} // namespace

TQRStandardPreview::TQRStandardPreview(const report::Report& report, const report::RowTable& master,
                                       const QHash<QString, report::RowTable>& others,
                                       PrintSettings* printerSettings)
    : QWidget(nullptr, Qt::Window), report_(report.clone()), master_(master), others_(others),
      settings_(printerSettings ? *printerSettings : PrintSettings()),
      sharedSettings_(printerSettings) {
    setObjectName(QStringLiteral("QRStandardPreview"));
    setWindowTitle(QStringLiteral("打印预览"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(800, 600);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(65);
    buildCommandPanel(panel);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter2"));
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildTabs());
    view_ = new PreviewPageView(splitter);
    splitter->addWidget(view_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({193, 607});

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    status->setFixedHeight(19);
    status->setSizeGripEnabled(false);
    progressPanel_ = statusPanel(QStringLiteral("StatusPanel0"), 40, Qt::AlignRight, status);
    positionPanel_ = statusPanel(QStringLiteral("StatusPanel1"), 120, Qt::AlignLeft, status);
    titlePanel_ = statusPanel(QStringLiteral("StatusPanel2"), 50, Qt::AlignLeft, status);
    status->addWidget(progressPanel_);
    status->addWidget(positionPanel_);
    status->addWidget(titlePanel_);
    progressPanel_->setText(QStringLiteral("0%"));
    titlePanel_->setText(report_->title());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(splitter, 1);
    layout->addWidget(status);

    const QSizeF paper = report_->pageSetup().paper;
    view_->setPages(&pages_, paper);
    thumbs_->setPages(&pages_, paper);
    connect(thumbs_, &QTableWidget::currentCellChanged, this,
            guardedSlot(this, [this] { ThumbGridSelectCell(thumbs_->currentRow()); }));

    refreshPagePosition();
    view_->setFocus();
    watchKeys(this);
}

TQRStandardPreview::~TQRStandardPreview() = default;

void TQRStandardPreview::buildCommandPanel(QWidget* panel) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    struct Button {
        const char* name;
        QString caption;
        QString picture;
        QStyle::StandardPixmap fallback;
        int left;
        void (TQRStandardPreview::*handler)();
    };
    const Button buttons[] = {
        {"SpeedButton1", QStringLiteral("设 置"), QStringLiteral(":/pictures/pv_setup.png"),
         QStyle::SP_FileDialogDetailedView, 8, &TQRStandardPreview::SpeedButton1Click},
        {"SpeedButton2", QStringLiteral("打 印"), QStringLiteral(":/pictures/pv_print.png"),
         QStyle::SP_DialogSaveButton, 68, &TQRStandardPreview::SpeedButton2Click},
        {"SpeedButton3", QStringLiteral("关 闭"), QStringLiteral(":/pictures/pv_close.png"),
         QStyle::SP_DialogCloseButton, 128, &TQRStandardPreview::SpeedButton3Click},
        {"SavePdfButton", QStringLiteral("存PDF"), QStringLiteral(":/pictures/pv_pdf.png"),
         QStyle::SP_FileIcon, 188, &TQRStandardPreview::SavePdfButtonClick},
        {"SaveImageButton", QStringLiteral("存图片"), QStringLiteral(":/pictures/pv_image.png"),
         QStyle::SP_FileIcon, 248, &TQRStandardPreview::SaveImageButtonClick},
    };
    for (const Button& b : buttons) {
        auto* button = new QToolButton(panel);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(b.caption);
        button->setIcon(buttonIcon(b.picture, b.fallback, style()));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFont(font);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(b.left, 2, 60, 60);
        connect(button, &QToolButton::clicked, this, b.handler);
    }
}

QWidget* TQRStandardPreview::buildTabs() {
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("Tabs"));
    tabs->setMinimumWidth(60);
    // Both tab captions fit side by side in the tabs' 193 pixels only with a small face and
    // narrow padding.
    tabs->setStyleSheet(QStringLiteral("QTabBar::tab { font-size: 11px; padding: 3px 5px; }"));
    tabs->tabBar()->setUsesScrollButtons(false);

    auto* thumbTab = new QWidget;
    thumbTab->setObjectName(QStringLiteral("TabThumbs"));
    auto* thumbLayout = new QVBoxLayout(thumbTab);
    thumbLayout->setContentsMargins(0, 0, 0, 0);
    thumbs_ = new ThumbnailGrid(thumbTab);
    thumbLayout->addWidget(thumbs_);
    tabs->addTab(thumbTab, QStringLiteral("ThumbNails"));

    // The search tab is part of the window, but nothing offers a search: its list stays empty.
    auto* searchTab = new QWidget;
    searchTab->setObjectName(QStringLiteral("TabSearchResult"));
    auto* searchLayout = new QVBoxLayout(searchTab);
    auto* group = new QGroupBox(QStringLiteral("Search Text"), searchTab);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* groupLayout = new QVBoxLayout(group);
    auto* searchText = new QLabel(group);
    searchText->setObjectName(QStringLiteral("SearchTextLabel"));
    groupLayout->addWidget(searchText);
    auto* results = new QListWidget(searchTab);
    results->setObjectName(QStringLiteral("SearchResultBox"));
    results->setEnabled(false);
    searchLayout->addWidget(group);
    searchLayout->addWidget(results, 1);
    tabs->addTab(searchTab, QStringLiteral("Search Results"));
    return tabs;
}

void TQRStandardPreview::watchKeys(QObject* object) {
    if (!object->isWidgetType())
        return;
    object->installEventFilter(this);
    for (QObject* child : object->children())
        watchKeys(child);
}

bool TQRStandardPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        watchKeys(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    // Dialogs owned by the window (printing progress) keep their own keys.
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    bool handled = false;
    guarded(this, [&] { handled = FormKeyDown(static_cast<QKeyEvent*>(event)); });
    return handled;
}

bool TQRStandardPreview::FormKeyDown(QKeyEvent* key) {
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool ctrlAlone = modifiers == Qt::ControlModifier;
    switch (key->key()) {
    case Qt::Key_Escape:
        ExitClick();
        return true;
    case Qt::Key_PageUp:
        ctrlAlone ? FirstPageClick() : PrevPageClick();
        return true;
    case Qt::Key_PageDown:
        ctrlAlone ? LastPageClick() : NextPageClick();
        return true;
    case Qt::Key_Home:
        FirstPageClick();
        return true;
    case Qt::Key_End:
        LastPageClick();
        return true;
    case Qt::Key_Up:
        scrollUp();
        return true;
    case Qt::Key_Down:
        scrollDown();
        return true;
    default:
        return false;
    }
}

// Up scrolls within the page while the step stays above the top; otherwise it moves to the
// bottom of the previous page (none before the first).
void TQRStandardPreview::scrollUp() {
    QScrollBar* bar = view_->verticalScrollBar();
    const int step = bar->singleStep();
    if (bar->value() - step > 0) {
        bar->setValue(bar->value() - step);
    } else if (currentPage() > 1) {
        PrevPageClick();
        bar->setValue(bar->maximum() - step);
    }
}

// Down scrolls within the page while the step stays above the bottom; otherwise it moves to
// the next page.
void TQRStandardPreview::scrollDown() {
    QScrollBar* bar = view_->verticalScrollBar();
    const int step = bar->singleStep();
    if (bar->value() + step < bar->maximum())
        bar->setValue(bar->value() + step);
    else
        NextPageClick();
}

void TQRStandardPreview::goToPage(int n) {
    view_->showPage(n);
    refreshPagePosition();
    if (n >= 1 && n <= pageCount()) {
        selectingThumb_ = true;
        thumbs_->setCurrentCell(n - 1, 0);
        selectingThumb_ = false;
    }
}

void TQRStandardPreview::ThumbGridSelectCell(int row) {
    if (selectingThumb_ || row < 0)
        return;
    view_->showPage(row + 1);
    refreshPagePosition();
}

void TQRStandardPreview::refreshPagePosition() {
    positionPanel_->setText(QStringLiteral("Page %1 of %2").arg(currentPage()).arg(pageCount()));
}

int TQRStandardPreview::currentPage() const {
    return view_->pageNumber();
}

int TQRStandardPreview::pageCount() const {
    return static_cast<int>(pages_.size());
}

QString TQRStandardPreview::statusText(int panel) const {
    const QLabel* panels[] = {progressPanel_, positionPanel_, titlePanel_};
    return panel >= 0 && panel < 3 ? panels[panel]->text() : QString();
}

void TQRStandardPreview::QRPreviewPageAvailable(const report::Page& page) {
    pages_.append(page);
    view_->pagesAdded();
    thumbs_->pagesAdded();
    refreshPagePosition();
    if (pages_.size() == 1) {
        selectingThumb_ = true;
        thumbs_->setCurrentCell(0, 0);
        selectingThumb_ = false;
    }
}

void TQRStandardPreview::QRPreviewProgressUpdate(int progress) {
    if (progress >= lastProgress_ + 5) {
        progressPanel_->setText(QString::number(progress) + QLatin1Char('%'));
        lastProgress_ = progress;
    }
    if (progress == 0 || progress == 100)
        progressPanel_->clear();
}

void TQRStandardPreview::QRPreviewGenerationFinished() {
    generationFinished_ = true;
}

void TQRStandardPreview::FirstPageClick() {
    goToPage(1);
}

void TQRStandardPreview::PrevPageClick() {
    goToPage(currentPage() - 1);
}

void TQRStandardPreview::NextPageClick() {
    goToPage(currentPage() + 1);
}

void TQRStandardPreview::LastPageClick() {
    goToPage(pageCount());
}

void TQRStandardPreview::ExitClick() {
    close();
}

// Printer set-up: works on a scratch printer, so that Cancel leaves every choice as it was. A
// paper picked there stays with this preview's prints; the report's settings take the other
// choices, so the next preview starts on the note's own paper again.
void TQRStandardPreview::SpeedButton1Click() {
    guarded(this, [this] {
        QPrinter printer(QPrinter::HighResolution);
        settings_.applyTo(printer);
        printer.setPageLayout(settings_.layoutFor(report_->pageSetup().paper));
        const int from = generationFinished_ ? 1 : 0;
        const int to = generationFinished_ ? pageCount() : 9999;
        // A note offers itself without prices, on a tab of its own.
        std::unique_ptr<QWidget> noteTab;
        QCheckBox* withoutPrices = nullptr;
        if (settings_.priceChoice) {
            noteTab = std::make_unique<QWidget>();
            noteTab->setObjectName(QStringLiteral("NoteOptionsTab"));
            noteTab->setWindowTitle(QStringLiteral("送货单"));
            withoutPrices = PriceFreeNote::newCheckBox(noteTab.get());
            withoutPrices->setChecked(settings_.withoutPrices);
            auto* layout = new QVBoxLayout(noteTab.get());
            layout->addWidget(withoutPrices);
            layout->addStretch();
        }
        const Prompts::PrintSetupAnswer answer = Prompts::instance().printSetupWith(
            this, &printer, from, to, noteTab ? QList<QWidget*>{noteTab.get()} : QList<QWidget*>{});
        if (!answer.accepted)
            return;
        settings_.readFrom(printer, answer.paperChosen);
        if (sharedSettings_) {
            *sharedSettings_ = settings_;
            sharedSettings_->paper.reset();
        }
        if (withoutPrices && withoutPrices->isChecked() != settings_.withoutPrices) {
            settings_.withoutPrices = withoutPrices->isChecked();
            PriceFreeNote::apply(*report_, settings_.withoutPrices);
            regenerate();
        }
    });
}

// The pages shown again from the window's report as it now stands, all of them at once; the
// page shown stays.
void TQRStandardPreview::regenerate() {
    const report::Document document = snapshot();
    pages_ = document.pages;
    generationFinished_ = true;
    const int page = currentPage();
    const QSizeF paper = report_->pageSetup().paper;
    view_->setPages(&pages_, paper);
    thumbs_->setPages(&pages_, paper);
    goToPage(qBound(1, page, pageCount()));
    progressPanel_->clear();
}

// Print: the note is generated again from the window's own copy of the report and rows,
// straight to the chosen printer, while a progress window shows how far it has got. The
// printer offsets and copies are read as they are stored now, so a change made in the
// settings while the window is open applies to its next print.
void TQRStandardPreview::SpeedButton2Click() {
    guarded(this, [this] {
        const report::Document document = report::generate(*report_, master_, others_);
        const PrintOptions options = PrintPreferences::load().options(settings_.labelledCopies);
        QProgressDialog progress(QStringLiteral("正在打印…"), QStringLiteral("取消"), 0,
                                 static_cast<int>(document.pages.size()), this);
        progress.setObjectName(QStringLiteral("PrintProgress"));
        progress.setWindowTitle(QStringLiteral("打印"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        progress.setValue(0);
        const QString job =
            report_->documentName().isEmpty() ? windowTitle() : report_->documentName();
        printDocument(
            document, settings_, job,
            [&progress](int printed, int total) {
                progress.setMaximum(total);
                progress.setLabelText(
                    QStringLiteral("正在打印第 %1 页，共 %2 页").arg(printed).arg(total));
                progress.setValue(printed);
                return !progress.wasCanceled();
            },
            options);
    });
}

void TQRStandardPreview::SpeedButton3Click() {
    guarded(this, [this] { close(); });
}

report::Document TQRStandardPreview::snapshot() const {
    return report::generate(*report_, master_, others_);
}

QString TQRStandardPreview::savedFileBase() const {
    if (!report_->savedName().isEmpty())
        return PageFiles::fileBase(report_->savedName(), QString());
    const QString name =
        report_->documentName().isEmpty() ? windowTitle() : report_->documentName();
    const QString bill = master_.value(0, master_.column(QStringLiteral("单据编号")));
    return PageFiles::fileBase(name, bill);
}

QString TQRStandardPreview::suggestedPath(const QString& suffix) const {
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return documents.filePath(savedFileBase() + QLatin1Char('.') + suffix);
}

void TQRStandardPreview::SavePdfButtonClick() {
    guarded(this, [this] {
        const QString chosen = Prompts::instance().saveFileNameAt(
            this, suggestedPath(QStringLiteral("pdf")), QStringLiteral("PDF 文件 (*.pdf)"));
        if (chosen.isEmpty())
            return;
        const QString file = PageFiles::withSuffix(chosen, QStringLiteral("pdf"));
        PageFiles::writePdf(snapshot(), file, savedFileBase());
        Prompts::instance().message(
            this, QStringLiteral("已保存为“%1”！").arg(QDir::toNativeSeparators(file)));
    });
}

void TQRStandardPreview::SaveImageButtonClick() {
    guarded(this, [this] {
        const QString chosen = Prompts::instance().saveFileNameAt(
            this, suggestedPath(QStringLiteral("png")), QStringLiteral("PNG 图片 (*.png)"));
        if (chosen.isEmpty())
            return;
        const QStringList files = PageFiles::writePictures(
            snapshot(), PageFiles::withSuffix(chosen, QStringLiteral("png")));
        QStringList shown;
        for (const QString& file : files)
            shown.append(QDir::toNativeSeparators(file));
        Prompts::instance().message(
            this, QStringLiteral("已保存为“%1”！").arg(shown.join(QStringLiteral("”、“"))));
    });
}
