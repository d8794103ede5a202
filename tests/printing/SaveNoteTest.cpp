#include "PrintingTest.h"

#include "NoteData.h"
#include "ScriptedPrompts.h"
#include "printing/NoteReport.h"
#include "printing/PageFiles.h"
#include "printing/QRPrev.h"
#include "report/Generator.h"

#include <QDir>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QtMath>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

constexpr qreal kLeft = 9;
constexpr qreal kTitleTop = 13;

// A preview of a bill with the totals the print run would set, every page out, shown.
QPointer<TQRStandardPreview> shownPreview(report::Report& note, const report::RowTable& rows) {
    auto* window = new TQRStandardPreview(note, rows, profile());
    report::Generator generator(note, rows, profile());
    while (!generator.atEnd())
        window->QRPreviewPageAvailable(generator.nextPage());
    window->QRPreviewGenerationFinished();
    window->show();
    return window;
}

std::unique_ptr<report::Report> totalledNote(const QString& figures, const QString& capitals) {
    auto note = deliveryNoteReport();
    note->item("QRLabel19")->setCaption(figures);
    note->item("QRLabel15")->setCaption(capitals);
    return note;
}

void click(TQRStandardPreview* window, const char* button) {
    window->findChild<QToolButton*>(button)->click();
}

const Word* findWord(const QList<Word>& words, const QString& text) {
    for (const Word& w : words) {
        if (w.text == text)
            return &w;
    }
    return nullptr;
}

// The fonts pdffonts lists, each with whether it is embedded.
QList<std::pair<QString, bool>> pdfFonts(const QString& pdf) {
    QList<std::pair<QString, bool>> fonts;
    const QStringList lines = runTool("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts);
    // Two heading lines; then name ... emb sub uni object generation.
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).split(' ', Qt::SkipEmptyParts);
        if (cells.size() >= 6)
            fonts.append({cells.first(), cells.at(cells.size() - 5) == "yes"});
    }
    return fonts;
}

bool dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

void PrintingTest::savedFileNamesCarryTheBillNumber() {
    QCOMPARE(PageFiles::fileBase("送货单", "B2024"), QString("送货单_B2024"));
    QCOMPARE(PageFiles::fileBase("送货单", "A/1:2*3?\"4<5>6|7\\8\t9"),
             QString("送货单_A_1_2_3__4_5_6_7_8_9"));
    QCOMPARE(PageFiles::fileBase("送货单", ""), QString("送货单"));
    QCOMPARE(PageFiles::withSuffix("/x/note", "pdf"), QString("/x/note.pdf"));
    QCOMPARE(PageFiles::withSuffix("/x/note.PDF", "pdf"), QString("/x/note.PDF"));
    QCOMPARE(PageFiles::pictureNames("/x/n.png", 1), QStringList{"/x/n.png"});
    QCOMPARE(PageFiles::pictureNames("/x/n.png", 2), (QStringList{"/x/n_1.png", "/x/n_2.png"}));

    // The dialog starts in the documents folder on the bill's name.
    ScriptedPrompts prompts;
    auto note = totalledNote("112.5", "壹佰壹拾贰元伍角整");
    report::RowTable rows = billRows(3);
    for (QStringList& row : rows.rows)
        row[2] = "NO:7/8";
    QPointer<TQRStandardPreview> window = shownPreview(*note, rows);
    click(window, "SavePdfButton");
    click(window, "SaveImageButton");
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    QCOMPARE(prompts.texts("save"), (QStringList{documents.filePath("送货单_NO_7_8.pdf"),
                                                 documents.filePath("送货单_NO_7_8.png")}));
    // Cancelled: nothing written, nothing said.
    QCOMPARE(prompts.texts().size(), 2);
    window->close();
}

// The saved PDF is the window's own snapshot: changes to the rows, totals and header made
// elsewhere after it opened (another bill clicked) do not reach it.
void PrintingTest::savedPdfIsTheNoteAtItsPlacesWithEmbeddedFonts() {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    const QString chosen = dir.filePath("送货单_B2024");
    prompts.answerSave(chosen);
    auto note = totalledNote("112.5", "壹佰壹拾贰元伍角整");
    report::RowTable rows = billRows(3);
    QPointer<TQRStandardPreview> window = shownPreview(*note, rows);
    rows.rows[0][6] = "另一单";
    note->item("QRLabel19")->setCaption("999");

    click(window, "SavePdfButton");
    const QString pdf = chosen + ".pdf";
    QCOMPARE(prompts.texts("message"),
             QStringList{QString("已保存为“%1”！").arg(QDir::toNativeSeparators(pdf))});
    QCOMPARE(leftovers(dir.path()), QStringList{"送货单_B2024.pdf"});

    const QString info = runTool("pdfinfo", {pdf});
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
    const QSizeF paper = pdfPaperMm(pdf);
    QVERIFY2(qAbs(paper.width() - 190) < 0.2 && qAbs(paper.height() - 265) < 0.2, qPrintable(info));

    const QList<Word> words = pdfWords(pdf);
    const Word* title = findWord(words, "送货单");
    QVERIFY(title);
    QVERIFY2(qAbs(title->box.left() - (kLeft + 74.08)) < 0.3,
             qPrintable(QString::number(title->box.left())));
    QVERIFY2(qAbs(title->box.center().y() - (kTitleTop + 6.35 + 7.94 / 2)) < 1.0,
             qPrintable(QString::number(title->box.center().y())));
    // The figures stand so close to the "￥" before them that they read as one word.
    QVERIFY(std::any_of(words.begin(), words.end(),
                        [](const Word& w) { return w.text.endsWith("112.5"); }));
    const QString text = runTool("pdftotext", {pdf, "-"});
    QVERIFY2(text.contains("壹佰壹拾贰元伍角整"), qPrintable(text));
    QVERIFY(findWord(words, "螺丝1"));
    QVERIFY(!findWord(words, "另一单") && !findWord(words, "999"));

    const auto fonts = pdfFonts(pdf);
    QVERIFY2(!fonts.isEmpty(), "pdffonts (poppler-utils) is needed");
    for (const auto& [name, embedded] : fonts)
        QVERIFY2(embedded, qPrintable(name + " is not embedded"));
    window->close();
}

// The text layer of a saved PDF holds exactly the characters drawn: the face draws 十 and its
// radical ⼗ with one glyph, 角 and ⻆, 户 and 戶 too, and digits after Latin letters with a
// glyph no character maps to.
void PrintingTest::savedPdfTextIsTheTextDrawn() {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    prompts.answerSave(dir.filePath("text"));
    auto note = totalledNote("1,234.50", "壹千贰佰叁十肆元伍角整");
    report::RowTable rows = billRows(60);
    rows.rows[0][6] = "金属门 十角户 ABC 123";
    rows.rows[1][6] = "Office fit 十一";
    QPointer<TQRStandardPreview> window = shownPreview(*note, rows);
    click(window, "SavePdfButton");
    const QString pdf = dir.filePath("text.pdf");
    QVERIFY(QFile::exists(pdf));

    // Page by page, the characters read back are the characters drawn (pdftotext orders
    // the words its own way, so both sides are compared as sorted characters).
    const auto sortedCharacters = [](const QString& text) {
        QList<uint> points;
        for (const uint c : text.toUcs4())
            if (!QChar::isSpace(c))
                points.append(c);
        std::sort(points.begin(), points.end());
        return points;
    };
    QVERIFY(window->pages().size() >= 2);
    for (int page = 0; page < window->pages().size(); ++page) {
        QString drawn;
        for (const report::DrawOp& op : window->pages()[page].ops)
            if (const auto* text = std::get_if<report::TextOp>(&op))
                drawn += text->lines.join("");
        const QString read = runTool("pdftotext", {"-f", QString::number(page + 1), "-l",
                                                   QString::number(page + 1), pdf, "-"});
        QVERIFY2(sortedCharacters(read) == sortedCharacters(drawn), qPrintable(read));
    }
    const QString all = runTool("pdftotext", {pdf, "-"});
    for (const char* word : {"金属门", "十角户", "123", "壹千贰佰叁十肆元伍角整", "Office"})
        QVERIFY2(all.contains(QString::fromUtf8(word)), word);
    window->close();
}

void PrintingTest::savedPicturesAre200DpiPagesOnWhite() {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    auto note = totalledNote("112.5", "壹佰壹拾贰元伍角整");
    QPointer<TQRStandardPreview> window = shownPreview(*note, billRows(3));
    prompts.answerSave(dir.filePath("one.png"));
    click(window, "SaveImageButton");
    const QImage image(dir.filePath("one.png"));
    QCOMPARE(image.size(), QSize(1496, 2087));
    QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), 200);
    QCOMPARE(image.pixel(3, 3), qRgb(255, 255, 255));

    // The heading row's top rule and the table's left rule where the layout puts them:
    // 13 + 28.05 mm down and 9 mm in, at 200 dots per inch.
    const qreal px = 200 / 25.4;
    const int ruleY = qFloor((kTitleTop + 28.05) * px);
    const int ruleX = qFloor(kLeft * px);
    const int insideX = qRound((kLeft + 30) * px);
    const int insideY = qRound((kTitleTop + 28.05 + 3) * px);
    QVERIFY(dark(image, insideX, ruleY) || dark(image, insideX, ruleY + 1));
    QVERIFY(!dark(image, insideX, ruleY - 3) && !dark(image, insideX, ruleY + 4));
    QVERIFY(dark(image, ruleX, insideY) || dark(image, ruleX + 1, insideY));
    QVERIFY(!dark(image, ruleX - 3, insideY) && !dark(image, ruleX + 4, insideY));
    window->close();

    // Two pages: one picture each, numbered.
    QPointer<TQRStandardPreview> longer = shownPreview(*note, billRows(60));
    QCOMPARE(longer->pageCount(), 2);
    prompts.answerSave(dir.filePath("two"));
    click(longer, "SaveImageButton");
    QCOMPARE(QImage(dir.filePath("two_1.png")).size(), QSize(1496, 2087));
    QCOMPARE(QImage(dir.filePath("two_2.png")).size(), QSize(1496, 2087));
    QVERIFY(!QFile::exists(dir.filePath("two.png")));
    QCOMPARE(prompts.texts("message").last(),
             QString("已保存为“%1”、“%2”！")
                 .arg(QDir::toNativeSeparators(dir.filePath("two_1.png")),
                      QDir::toNativeSeparators(dir.filePath("two_2.png"))));
    QCOMPARE(leftovers(dir.path()), (QStringList{"one.png", "two_1.png", "two_2.png"}));
    longer->close();
}

// A file that cannot be written says which and why, and leaves nothing under its name nor a
// temporary file beside it.
void PrintingTest::unwritableSaveSaysSoAndLeavesNoFile() {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    auto note = totalledNote("112.5", "壹佰壹拾贰元伍角整");
    QPointer<TQRStandardPreview> window = shownPreview(*note, billRows(3));

    const QString missing = dir.filePath("no/such/folder/note.pdf");
    prompts.answerSave(missing);
    click(window, "SavePdfButton");
    QCOMPARE(prompts.texts("error").size(), 1);
    QVERIFY(prompts.texts("error").first().startsWith(
        QString("无法写入文件“%1”：").arg(QDir::toNativeSeparators(missing))));

    // A folder in the way of the name: everything is written, then the rename is refused.
    QVERIFY(QDir(dir.path()).mkpath("taken.pdf/inside"));
    QVERIFY(QDir(dir.path()).mkpath("taken_2.png/inside"));
    prompts.clear();
    prompts.answerSave(dir.filePath("taken.pdf"));
    click(window, "SavePdfButton");
    QCOMPARE(prompts.texts("error").size(), 1);
    QVERIFY2(
        prompts.texts("error").first().startsWith(
            QString("无法写入文件“%1”：").arg(QDir::toNativeSeparators(dir.filePath("taken.pdf")))),
        qPrintable(prompts.texts("error").first()));
    QVERIFY(prompts.texts("message").isEmpty());

    QPointer<TQRStandardPreview> longer = shownPreview(*note, billRows(60));
    prompts.clear();
    prompts.answerSave(dir.filePath("taken.png"));
    click(longer, "SaveImageButton");
    QCOMPARE(prompts.texts("error"),
             QStringList{QString("无法写入文件“%1”：已有同名文件夹")
                             .arg(QDir::toNativeSeparators(dir.filePath("taken_2.png")))});
    QVERIFY(prompts.texts("message").isEmpty());

#ifndef Q_OS_WIN // a folder's mode; Windows has none
    if (geteuid() != 0) {
        QDir(dir.path()).mkdir("locked");
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
        prompts.clear();
        prompts.answerSave(dir.filePath("locked/note.pdf"));
        click(window, "SavePdfButton");
        QCOMPARE(prompts.texts("error").size(), 1);
        QVERIFY(leftovers(dir.filePath("locked")).isEmpty());
    }
#endif
    QCOMPARE(leftovers(dir.path()), QStringList());
    window->close();
    longer->close();
}
