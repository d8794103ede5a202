#pragma once

#include "printing/PrintSettings.h"
#include "report/Report.h"
#include "report/RowTable.h"

#include <QObject>
#include <memory>

class Connection;
class Dataset;

// The report form: never shown, it holds the delivery note report QuickRep1, the report
// connection with the print buffer data set ADODataSet1 and its running sum, the totals step
// and the report's printer settings.
class TDy1Form : public QObject {
    Q_OBJECT
public:
    explicit TDy1Form(QObject* parent = nullptr);
    ~TDy1Form() override;

    // Opens the report connection, as building the form does at start-up.
    void openConnection();

    Connection* reportConnection() const { return connection_; }
    Dataset* printBuffer() const { return dataSet_; }
    report::Report& QuickRep1() const { return *report_; }
    PrintSettings& printerSettings() { return printerSettings_; }

    // Opens ADODataSet1, which reads 表4 afresh and recomputes the running sum of 应收金额.
    void openDataSet();
    // The running sum, in whole 1/10000.
    qint64 DBSumList1() const { return sum_; }

    // "转换": the total in figures into QRLabel19 and in capitals into QRLabel15.
    void Button1Click();
    QString QRLabel15() const;
    QString QRLabel19() const;

    // The print buffer's rows as the note shows them (numbers with "#0.##").
    report::RowTable masterRows() const;

    // The engine's preview: generates the note and waits until its window is closed.
    void preview(const report::RowTable& header);

private:
    void setCaption(const QString& item, const QString& text);

    Connection* connection_;
    Dataset* dataSet_;
    std::unique_ptr<report::Report> report_;
    PrintSettings printerSettings_;
    qint64 sum_ = 0;
};
