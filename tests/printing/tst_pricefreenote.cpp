#include "NoteData.h"
#include "PreviewPages.h"
#include "ScriptedPrompts.h"
#include "SetupPrompts.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include "printing/Dy1Unit.h"
#include "printing/NoteReport.h"
#include "printing/PriceFreeNote.h"
#include "printing/PrintPage.h"
#include "printing/QRPrev.h"
#include "report/Generator.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

std::unique_ptr<report::Report> totalledNote() {
    auto note = deliveryNoteReport();
    note->item("QRLabel19")->setCaption("112.5");
    note->item("QRLabel15")->setCaption("壹佰壹拾贰元伍角整");
    return note;
}

// The text of a PDF as a reader copies it, with the embedded faces' radical forms folded back.
QString pdfText(const QString& pdf) {
    return runTool("pdftotext", {pdf, "-"})
        .normalized(QString::NormalizationForm_KC)
        .replace(QChar(0x2EC6), QChar(0x89D2));
}

// What of a note's prices a PDF shows; empty when it shows none.
QStringList pricesIn(const QString& pdf) {
    QStringList found;
    // "￥" reads back in its normal form "¥".
    for (const char* price : {"单价", "金额", "12.5", "37.5", "112.5", "¥", "壹佰"}) {
        if (pdfText(pdf).contains(QString::fromUtf8(price)))
            found.append(QString::fromUtf8(price));
    }
    return found;
}

// An operation as its item and where it draws, for comparing two pages.
QString described(const report::DrawOp& op) {
    const auto where = [](const QRectF& r) {
        return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    if (const auto* text = std::get_if<report::TextOp>(&op))
        return text->item + " " + where(text->box) + " " + text->lines.join('|');
    if (const auto* rect = std::get_if<report::RectOp>(&op))
        return rect->item + " " + where(rect->rect);
    return std::get<report::LineOp>(op).item;
}

bool hasItem(const QList<report::Page>& pages, const QString& item) {
    for (const report::Page& page : pages) {
        if (!textOps(page, item).isEmpty())
            return true;
    }
    return false;
}

} // namespace

class TestPriceFreeNote : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(Settings::filePath()); }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            delete qobject_cast<TQRStandardPreview*>(w);
    }

    // Prices, amounts, the total and the capitals go with their captions; every other text
    // and every rule stays where it was.
    void leavesOutThePricesAndNothingElse() {
        auto note = totalledNote();
        const report::RowTable rows = billRows(3);
        const report::Document full = report::generate(*note, rows, profile());
        PriceFreeNote::apply(*note, true);
        const report::Document bare = report::generate(*note, rows, profile());
        QCOMPARE(bare.pages.size(), full.pages.size());
        QStringList expected;
        for (const report::DrawOp& op : full.pages[0].ops) {
            const auto* text = std::get_if<report::TextOp>(&op);
            if (!text || !PriceFreeNote::priceItems().contains(text->item))
                expected.append(described(op));
        }
        QVERIFY(expected.size() < full.pages[0].ops.size());
        QStringList drawn;
        for (const report::DrawOp& op : bare.pages[0].ops)
            drawn.append(described(op));
        QCOMPARE(drawn, expected);

        QTemporaryDir dir;
        writePdf(full, dir.filePath("full.pdf"));
        writePdf(bare, dir.filePath("bare.pdf"));
        QCOMPARE(pricesIn(dir.filePath("full.pdf")).join(" "),
                 QString("单价 金额 12.5 37.5 112.5 ¥ 壹佰"));
        QCOMPARE(pricesIn(dir.filePath("bare.pdf")), QStringList());
        // Every word left stands where it stood on the full note.
        const QList<Word> fullWords = pdfWords(dir.filePath("full.pdf"));
        const QList<Word> bareWords = pdfWords(dir.filePath("bare.pdf"));
        for (const Word& word : bareWords) {
            QVERIFY2(std::any_of(
                         fullWords.begin(), fullWords.end(),
                         [&](const Word& w) {
                             return w.text == word.text &&
                                    (w.box.topLeft() - word.box.topLeft()).manhattanLength() < 0.05;
                         }),
                     qPrintable(word.text));
        }
        // A label may run into its value as one word, as the face's colon leaves little room.
        QStringList bareTexts;
        for (const Word& w : bareWords)
            bareTexts.append(w.text);
        for (const char* kept : {"送货单", "数量", "备注", "螺丝1", "螺丝3", "制单人：",
                                 "业务日期：", "收货人签字："}) {
            const QString text = QString::fromUtf8(kept).normalized(QString::NormalizationForm_KC);
            QVERIFY2(std::any_of(bareTexts.begin(), bareTexts.end(),
                                 [&](const QString& w) { return w.startsWith(text); }),
                     qPrintable(text + " among " + bareTexts.join(' ')));
        }
        PriceFreeNote::apply(*note, false);
        QCOMPARE(report::generate(*note, rows, profile()).pages[0].ops.size(),
                 full.pages[0].ops.size());
    }

    // The preview's set-up offers the choice on a tab of the note's own; the pages, the print
    // and the saved PDF follow it, for that preview only.
    void previewSetupChoosesThePricesOfItsOwnPrints() {
        QTemporaryDir dir;
        SetupPrompts setup;
        setup.answers = {{true, dir.filePath("bare.pdf"), 1, std::nullopt, {}, true},
                         {true, dir.filePath("full.pdf"), 1, std::nullopt, {}, false}};
        PrintSettings reportSettings;
        reportSettings.priceChoice = true;
        auto note = totalledNote();
        const report::RowTable rows = billRows(3);
        QPointer<TQRStandardPreview> window =
            new TQRStandardPreview(*note, rows, profile(), &reportSettings);
        report::Generator generator(*note, rows, profile());
        window->QRPreviewPageAvailable(generator.nextPage());
        window->QRPreviewGenerationFinished();
        window->show();
        QVERIFY(hasItem(window->pages(), "QRLabel19"));

        auto click = [&](const char* button) { window->findChild<QToolButton*>(button)->click(); };
        click("SpeedButton1");
        QCOMPARE(setup.offeredTabs, QList<QStringList>{{"送货单"}});
        QVERIFY(window->printSettings().withoutPrices);
        QVERIFY(!hasItem(window->pages(), "QRLabel19") && !hasItem(window->pages(), "QRDBText5"));
        QVERIFY(hasItem(window->pages(), "QRDBText6"));
        click("SpeedButton2");
        QCOMPARE(pricesIn(dir.filePath("bare.pdf")), QStringList());
        {
            ScriptedPrompts save;
            save.answerSave(dir.filePath("saved"));
            click("SavePdfButton");
            QCOMPARE(pricesIn(dir.filePath("saved.pdf")), QStringList());
            QVERIFY(pdfText(dir.filePath("saved.pdf")).contains("螺丝1"));
        }
        SetupPrompts again;
        again.answers = setup.answers;
        click("SpeedButton1");
        click("SpeedButton2");
        QCOMPARE(pricesIn(dir.filePath("full.pdf")).size(), 7);
        window->close();

        // A report that is no delivery note offers no such tab.
        PrintSettings other;
        QPointer<TQRStandardPreview> plain = new TQRStandardPreview(*note, rows, profile(), &other);
        again.answers = {{false, QString(), 1}};
        plain->findChild<QToolButton*>("SpeedButton1")->click();
        QCOMPARE(again.offeredTabs.last(), QStringList());
        plain->close();
    }

    // The settings page's choice is stored, and every note preview starts on it.
    void storedChoiceStartsEveryNotePreview() {
        PrintPage page;
        page.load();
        auto* box = page.findChild<QCheckBox*>("WithoutPricesBox");
        QVERIFY(box && !box->isChecked());
        QCOMPARE(box->text(), QString("打印不含价格的送货单"));
        box->setChecked(true);
        page.store();
        QVERIFY(PriceFreeNote::chosen());

        TestDatabase db;
        db.exec("INSERT INTO 表4 (序号, 单据编号, 商品名称, 单价, 数量, 应收金额) VALUES "
                "('1', 'B1', '水杯', 12.5, 3, 37.5)");
        TDy1Form form;
        form.openConnection();
        form.openDataSet();
        form.Button1Click();
        PreviewPages bare = previewOf([&] { form.preview({}); });
        QVERIFY(bare.shown);
        QVERIFY(!hasItem(bare.pages, "QRLabel19") && !hasItem(bare.pages, "QRDBText7"));
        QVERIFY(hasItem(bare.pages, "QRDBText2"));

        PrintPage again;
        again.load();
        QVERIFY(again.findChild<QCheckBox*>("WithoutPricesBox")->isChecked());
        PriceFreeNote::choose(false);
        PreviewPages full = previewOf([&] { form.preview({}); });
        QVERIFY(hasItem(full.pages, "QRLabel19") && hasItem(full.pages, "QRDBText7"));
    }
};

DN_TEST_MAIN(TestPriceFreeNote)
#include "tst_pricefreenote.moc"
