#include "imports/ImportWizard.h"

#include "imports/ImportColumnsPage.h"
#include "imports/ImportFilePage.h"
#include "imports/ImportFiles.h"
#include "imports/ImportResultPage.h"
#include "sheets/WorkbookReader.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

enum Step { FileStep, ColumnsStep, ResultStep };

QPushButton* button(QWidget* owner, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, owner);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QString documents() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// The wait cursor while a file is read, and for a file large enough to take a while a window
// saying so: without it the screen showed nothing but what the file dialog left behind.
class ReadingNotice {
public:
    ReadingNotice(QWidget* owner, const QString& path) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (QFileInfo(path).size() < kLargeFile)
            return;
        notice_ = std::make_unique<QProgressDialog>(
            QStringLiteral("正在读取“%1”…").arg(QFileInfo(path).fileName()), QString(), 0, 0,
            owner);
        notice_->setObjectName(QStringLiteral("ReadingNotice"));
        notice_->setWindowTitle(owner->windowTitle());
        notice_->setWindowModality(Qt::WindowModal);
        notice_->show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~ReadingNotice() { QApplication::restoreOverrideCursor(); }

private:
    static constexpr qint64 kLargeFile = 1 << 20;
    std::unique_ptr<QProgressDialog> notice_;
};

} // namespace

ImportWizard::ImportWizard(Connection* connection, ImportTarget target, QWidget* parent)
    : QDialog(parent), connection_(connection), target_(target) {
    setObjectName(QStringLiteral("ImportWizard"));
    setWindowTitle(QStringLiteral("导入%1").arg(ImportFields::listName(target)));
    setWindowModality(Qt::WindowModal);
    filePage_ = new ImportFilePage(target, this);
    columnsPage_ = new ImportColumnsPage(target, this);
    resultPage_ = new ImportResultPage(this);
    steps_ = new QStackedWidget(this);
    steps_->addWidget(filePage_);
    steps_->addWidget(columnsPage_);
    steps_->addWidget(resultPage_);
    back_ = button(this, QStringLiteral("BackButton"), QStringLiteral("上一步"));
    next_ = button(this, QStringLiteral("NextButton"), QStringLiteral("下一步"));
    close_ = button(this, QStringLiteral("CloseButton"), QStringLiteral("取消"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {back_, next_, close_})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(steps_, 1);
    layout->addLayout(buttons);
    resize(780, 560);

    connect(filePage_->chooseButton(), &QPushButton::clicked, this,
            guardedSlot(this, [this] { ChooseFileClick(); }));
    connect(filePage_->templateButton(), &QPushButton::clicked, this,
            guardedSlot(this, [this] { TemplateClick(); }));
    connect(filePage_->sheetBox(), &QComboBox::currentIndexChanged, this,
            guardedSlot(this, [this] { SheetChange(); }));
    connect(filePage_->headerBox(), &QSpinBox::valueChanged, this,
            guardedSlot(this, [this] { HeaderRowChange(); }));
    connect(columnsPage_, &ImportColumnsPage::changed, this,
            guardedSlot(this, [this] { ColumnsChange(); }));
    connect(resultPage_->saveButton(), &QPushButton::clicked, this,
            guardedSlot(this, [this] { SaveSkippedClick(); }));
    connect(back_, &QPushButton::clicked, this, guardedSlot(this, [this] { BackClick(); }));
    connect(next_, &QPushButton::clicked, this, guardedSlot(this, [this] { NextClick(); }));
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    showStep(FileStep);
}

ImportWizard::~ImportWizard() = default;

int ImportWizard::storedCount() const {
    return outcome_ ? outcome_->added + outcome_->updated : 0;
}

void ImportWizard::showStep(int step) {
    steps_->setCurrentIndex(step);
    back_->setVisible(step == ColumnsStep);
    next_->setVisible(step != ResultStep);
    next_->setText(step == ColumnsStep ? QStringLiteral("开始导入") : QStringLiteral("下一步"));
    next_->setEnabled(step == ColumnsStep || sheet_.has_value());
    close_->setText(step == ResultStep ? QStringLiteral("完成") : QStringLiteral("取消"));
}

void ImportWizard::ChooseFileClick() {
    const QString path =
        Prompts::instance().openFileNameIn(this, documents(), WorkbookReader::fileFilter());
    if (!path.isEmpty())
        openFile(path);
}

void ImportWizard::openFile(const QString& path) {
    reader_.reset();
    sheet_.reset();
    filePage_->clear();
    showStep(FileStep);
    {
        const ReadingNotice reading(this, path);
        reader_ = WorkbookReader::open(path);
    }
    path_ = path;
    filePage_->showFile(path, reader_->sheetNames());
    readSheet();
}

void ImportWizard::SheetChange() {
    sheet_.reset();
    showStep(FileStep);
    if (reader_)
        readSheet();
}

void ImportWizard::readSheet() {
    const ReadingNotice reading(this, path_);
    SheetTable sheet = reader_->readSheet(filePage_->sheetBox()->currentIndex());
    ImportPlan::checkTexts(sheet);
    header_ = ImportFields::headerRow(target_, sheet);
    filePage_->showHeaderRow(sheet.rows.isEmpty() ? 1 : sheet.rows[header_].number,
                             sheet.rows.isEmpty() ? 0 : sheet.rows.last().number);
    sheet_ = std::move(sheet);
    showHeaderCells();
    showStep(FileStep);
}

void ImportWizard::showHeaderCells() {
    if (sheet_->rows.isEmpty())
        filePage_->showHeaderCells({}, 0);
    else
        filePage_->showHeaderCells(ImportFields::headers(sheet_->rows[header_]),
                                   sheet_->rows.size() - header_ - 1);
}

void ImportWizard::HeaderRowChange() {
    if (!sheet_)
        return;
    const int chosen = filePage_->headerBox()->value();
    header_ = 0;
    while (header_ + 1 < sheet_->rows.size() && sheet_->rows[header_].number < chosen)
        ++header_;
    showHeaderCells();
}

void ImportWizard::NextClick() {
    if (steps_->currentIndex() == FileStep) {
        if (!sheet_ || sheet_->rows.size() <= header_ + 1) {
            Prompts::instance().message(this,
                                        QStringLiteral("这个工作表在列名下面没有数据，请换一个"
                                                       "工作表或文件！"));
            return;
        }
        const QStringList headers = ImportFields::headers(sheet_->rows[header_]);
        columnsPage_->showColumns(headers, ImportFields::match(target_, headers));
        existingKeys_ = ImportWriter::keysInList(*connection_, target_);
        planRows();
        showStep(ColumnsStep);
        return;
    }
    runImport();
}

void ImportWizard::BackClick() {
    showStep(FileStep);
}

void ImportWizard::ColumnsChange() {
    if (sheet_ && steps_->currentIndex() == ColumnsStep)
        planRows();
}

void ImportWizard::planRows() {
    plan_.emplace(target_, *sheet_, header_, columnsPage_->columns(), existingKeys_);
    columnsPage_->showPlan(*plan_);
}

void ImportWizard::runImport() {
    const QList<int> columns = columnsPage_->columns();
    const QList<ImportFields::Field>& fields = ImportFields::fields(target_);
    for (qsizetype f = 0; f < fields.size(); ++f) {
        if (fields[f].required && columns[f] < 0) {
            Prompts::instance().message(
                this, QStringLiteral("请为“%1”选择文件中的一列！").arg(fields[f].heading));
            return;
        }
    }
    QProgressDialog progress(QStringLiteral("正在导入…"), QStringLiteral("取消"), 0,
                             static_cast<int>(plan_->rows().size()), this);
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    // Shown, and placed over the wizard by the window manager, before the first row goes in:
    // shown from inside the busy loop it came up undecorated in the screen's corner.
    progress.show();
    QCoreApplication::processEvents();
    const std::optional<ImportWriter::Outcome> outcome = ImportWriter::write(
        *connection_, *plan_, columnsPage_->updateExisting(), [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setLabelText(
                QStringLiteral("正在导入第 %1 行，共 %2 行…").arg(done).arg(total));
            progress.setValue(done);
            // Its 取消 is answered even before the window has shown itself.
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.close();
    if (!outcome) {
        Prompts::instance().message(this, QStringLiteral("已取消导入，列表没有任何改动。"));
        return;
    }
    outcome_ = outcome;
    resultPage_->showOutcome(*plan_, *outcome_);
    showStep(ResultStep);
    Prompts::instance().message(this, ImportResultPage::summary(*outcome_));
}

void ImportWizard::TemplateClick() {
    const QString suggested =
        QDir(documents())
            .filePath(QStringLiteral("%1导入模板.xlsx").arg(ImportFields::listName(target_)));
    const QString chosen = Prompts::instance().saveFileNameAt(
        this, suggested, QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (chosen.isEmpty())
        return;
    const QString file = ImportFiles::withSuffix(chosen);
    ImportFiles::writeTemplate(target_, file);
    Prompts::instance().message(
        this, QStringLiteral("导入模板已保存为“%1”！").arg(QDir::toNativeSeparators(file)));
}

void ImportWizard::SaveSkippedClick() {
    if (!outcome_ || outcome_->skipped.isEmpty())
        return;
    const QString suggested = QDir(documents()).filePath(QStringLiteral("导入时跳过的行.xlsx"));
    const QString chosen = Prompts::instance().saveFileNameAt(
        this, suggested, QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (chosen.isEmpty())
        return;
    const QString file = ImportFiles::withSuffix(chosen);
    ImportFiles::writeSkipped(*sheet_, header_, *plan_, outcome_->skipped, file);
    Prompts::instance().message(
        this, QStringLiteral("已保存为“%1”！").arg(QDir::toNativeSeparators(file)));
}
