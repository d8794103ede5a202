#include "printing/Dy1Unit.h"

#include "data/Connection.h"
#include "data/DatabaseConnection.h"
#include "data/Dataset.h"
#include "data/Errors.h"
#include "data/NumberText.h"
#include "printing/AmountToCapitals.h"
#include "printing/Capitals.h"
#include "printing/NoteReport.h"
#include "printing/PriceFreeNote.h"
#include "printing/ReportPreview.h"
#include "report/Item.h"

#include <cmath>

TDy1Form::TDy1Form(QObject* parent) : QObject(parent), report_(deliveryNoteReport()) {
    setObjectName(QStringLiteral("Dy1Form"));
    connection_ = new Connection(this);
    connection_->setObjectName(QStringLiteral("ADOConnection1"));
    connection_->setConnectionString(DatabaseConnection::FormConnectionString());
    dataSet_ = new Dataset(connection_, QStringLiteral("ADODataSet1"), this);
    dataSet_->setQuery(Query::all(QStringLiteral("表4")));
    printerSettings_.labelledCopies = true;
    printerSettings_.priceChoice = true;
}

TDy1Form::~TDy1Form() = default;

void TDy1Form::openConnection() {
    connection_->open();
}

void TDy1Form::openDataSet() {
    dataSet_->open();
    // The running sum walks every row once when the data set opens; NULLs are skipped.
    sum_ = 0;
    qint64 sum = 0;
    long double exact = 0;
    const int column = dataSet_->fieldIndex(QStringLiteral("应收金额"));
    for (int row = 0; row < dataSet_->recordCount(); ++row) {
        if (const auto value = dataSet_->number(row, column)) {
            exact += *value;
            // Past the range of the count the total would wrap round into a wrong figure.
            if (__builtin_add_overflow(sum, NumberText::toTenThousandths(*value), &sum))
                throw ConversionError(QStringLiteral("'%1' is out of range for a sum")
                                          .arg(NumberText::general(exact)));
        }
    }
    sum_ = sum;
    dataSet_->first();
}

void TDy1Form::setCaption(const QString& item, const QString& text) {
    report_->item(item)->setCaption(text);
}

QString TDy1Form::QRLabel15() const {
    return report_->item(QStringLiteral("QRLabel15"))->caption();
}

QString TDy1Form::QRLabel19() const {
    return report_->item(QStringLiteral("QRLabel19"))->caption();
}

void TDy1Form::Button1Click() {
    const double total = static_cast<double>(sum_) / 10000.0;
    setCaption(QStringLiteral("QRLabel19"), NumberText::general(total));
    // To hundredths, an exact tie going to the even neighbour.
    const double rounded = std::nearbyint(NumberText::toNumber(QRLabel19()) / 0.01) * 0.01;
    setCaption(QStringLiteral("QRLabel19"), NumberText::general(rounded));
    const QString edit1 = QRLabel19();
    const double amount = NumberText::toNumber(edit1);
    setCaption(QStringLiteral("QRLabel15"), Capitals::chosen() == Capitals::Style::Banking
                                                ? Capitals::banking(amount)
                                                : AmountToCapitals(amount) + QStringLiteral("整"));
}

report::RowTable TDy1Form::masterRows() const {
    report::RowTable table;
    const auto& fields = dataSet_->fields();
    for (const Dataset::Field& field : fields)
        table.fields.append(field.name);
    for (int row = 0; row < dataSet_->recordCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < fields.size(); ++column) {
            const auto value = fields[column].kind == Dataset::Kind::Number
                                   ? dataSet_->number(row, column)
                                   : std::nullopt;
            texts.append(value ? NumberText::display(*value) : dataSet_->text(row, column));
        }
        table.rows.append(texts);
    }
    return table;
}

void TDy1Form::preview(const report::RowTable& header) {
    // Each preview starts on the choice of the settings; its set-up may change it for its own
    // prints.
    printerSettings_.withoutPrices = PriceFreeNote::chosen();
    PriceFreeNote::apply(*report_, printerSettings_.withoutPrices);
    previewReport(*report_, masterRows(), {{QStringLiteral("表5"), header}}, &printerSettings_);
}
