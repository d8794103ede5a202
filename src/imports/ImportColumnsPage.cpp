#include "imports/ImportColumnsPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor kProblemTint(0xfd, 0xe2, 0xe0);
const QColor kExistingTint(0xfd, 0xf3, 0xd0);

QString columnLetters(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(char16_t(u'A' + (n - 1) % 26)));
    return name;
}

} // namespace

ImportColumnsPage::ImportColumnsPage(ImportTarget target, QWidget* parent)
    : QWidget(parent), target_(target) {
    setObjectName(QStringLiteral("ImportColumnsPage"));
    auto* top = new QHBoxLayout;
    top->addWidget(buildColumns(), 3);
    top->addWidget(buildChoice(), 2);

    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("PreviewTable"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setSelectionMode(QAbstractItemView::NoSelection);
    preview_->verticalHeader()->hide();
    preview_->verticalHeader()->setDefaultSectionSize(22);
    preview_->horizontalHeader()->setStretchLastSection(true);
    problems_ = new QListWidget(this);
    problems_->setObjectName(QStringLiteral("ProblemList"));
    problems_->setMaximumHeight(90);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("SummaryLabel"));
    summary_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(
        new QLabel(QStringLiteral("预览（前 %1 行，按上面的对应关系）：").arg(kPreviewRows), this));
    layout->addWidget(preview_, 1);
    layout->addWidget(new QLabel(QStringLiteral("有问题的行（导入时跳过）和已存在的行："), this));
    layout->addWidget(problems_);
    layout->addWidget(summary_);
}

QWidget* ImportColumnsPage::buildColumns() {
    auto* group = new QGroupBox(QStringLiteral("列的对应"), this);
    auto* grid = new QGridLayout(group);
    const QList<ImportFields::Field>& fields = ImportFields::fields(target_);
    for (qsizetype f = 0; f < fields.size(); ++f) {
        auto* box = new QComboBox(group);
        box->setObjectName(QStringLiteral("ColumnBox%1").arg(f));
        box->setMinimumWidth(150);
        const QString caption =
            fields[f].heading + (fields[f].required ? QStringLiteral(" *") : QString());
        const int row = static_cast<int>(f % 3);
        const int column = static_cast<int>(f / 3) * 2;
        grid->addWidget(new QLabel(caption, group), row, column);
        grid->addWidget(box, row, column + 1);
        connect(box, &QComboBox::currentIndexChanged, this, &ImportColumnsPage::changed);
        columnBoxes_.append(box);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* ImportColumnsPage::buildChoice() {
    const QString key = ImportFields::fields(target_)[ImportFields::kKeyField].heading;
    auto* group = new QGroupBox(QStringLiteral("%1已存在的行").arg(key), this);
    skip_ = new QRadioButton(QStringLiteral("跳过，保留列表中的内容"), group);
    skip_->setObjectName(QStringLiteral("SkipExistingButton"));
    update_ = new QRadioButton(QStringLiteral("用文件中的内容更新（空白格不改）"), group);
    update_->setObjectName(QStringLiteral("UpdateExistingButton"));
    skip_->setChecked(true);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(skip_);
    layout->addWidget(update_);
    layout->addStretch();
    connect(update_, &QRadioButton::toggled, this, &ImportColumnsPage::changed);
    return group;
}

void ImportColumnsPage::showColumns(const QStringList& headers, const QList<int>& matched) {
    for (qsizetype f = 0; f < columnBoxes_.size(); ++f) {
        QComboBox* box = columnBoxes_[f];
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItem(QStringLiteral("（不导入）"), -1);
        for (int c = 0; c < headers.size(); ++c)
            box->addItem(QStringLiteral("%1列：%2").arg(columnLetters(c), headers[c]), c);
        box->setCurrentIndex(box->findData(matched.value(f, -1)));
    }
}

QList<int> ImportColumnsPage::columns() const {
    QList<int> out;
    for (const QComboBox* box : columnBoxes_)
        out.append(box->currentData().toInt());
    return out;
}

bool ImportColumnsPage::updateExisting() const {
    return update_->isChecked();
}

QString ImportColumnsPage::status(const ImportPlan::Row& row) const {
    if (!row.problem.isEmpty())
        return row.problem;
    if (row.exists)
        return updateExisting() ? QStringLiteral("已存在，将更新")
                                : QStringLiteral("已存在，将跳过");
    return QStringLiteral("新增");
}

void ImportColumnsPage::showPlan(const ImportPlan& plan) {
    const QList<ImportFields::Field>& fields = ImportFields::fields(target_);
    QStringList headings{QStringLiteral("行号")};
    for (const ImportFields::Field& field : fields)
        headings.append(field.heading);
    headings.append(QStringLiteral("导入时"));
    const QList<ImportPlan::Row>& rows = plan.rows();
    const int shown = static_cast<int>(qMin<qsizetype>(rows.size(), kPreviewRows));
    preview_->clear();
    preview_->setColumnCount(static_cast<int>(headings.size()));
    preview_->setHorizontalHeaderLabels(headings);
    preview_->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        const ImportPlan::Row& row = rows[r];
        QStringList texts{QString::number(row.sheetRow)};
        texts += row.values;
        texts.append(status(row));
        const QColor tint = !row.problem.isEmpty() ? kProblemTint
                            : row.exists           ? kExistingTint
                                                   : QColor();
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (tint.isValid())
                item->setBackground(tint);
            preview_->setItem(r, c, item);
        }
    }
    preview_->resizeColumnsToContents();

    problems_->clear();
    const QString key = ImportFields::fields(target_)[ImportFields::kKeyField].heading;
    for (const ImportPlan::Row& row : rows) {
        if (!row.problem.isEmpty())
            problems_->addItem(QStringLiteral("第 %1 行：%2").arg(row.sheetRow).arg(row.problem));
        else if (row.exists)
            problems_->addItem(QStringLiteral("第 %1 行：%2“%3”%4")
                                   .arg(row.sheetRow)
                                   .arg(key, row.values[ImportFields::kKeyField], status(row)));
    }
    if (problems_->count() == 0)
        problems_->addItem(QStringLiteral("没有发现问题。"));

    const int total = static_cast<int>(rows.size());
    const int existing = plan.existingCount();
    const int problems = plan.problemCount();
    summary_->setText(
        QStringLiteral("共 %1 行：新增 %2 行，已存在 %3 行（%4），有问题 %5 行（跳过）。")
            .arg(total)
            .arg(total - existing - problems)
            .arg(existing)
            .arg(updateExisting() ? QStringLiteral("更新") : QStringLiteral("跳过"))
            .arg(problems));
}
