// Puts a table of hostile texts through every edit box and drop-down of the three panels and
// the profile form, and through every search and look-up, by the real widgets: typed key by
// key where every character has a key, pasted from the clipboard otherwise. Each text is stored
// and read back byte for byte, or refused with a clear message; no statement error, no other
// row changed, and the file passes the integrity check afterwards. On the server, whose texts
// cannot hold a NUL, a text with one is refused with the field and place named.
#include "KeyedFile.h"
#include "RecordsFixture.h"
#include "SpreadsheetReader.h"
#include "TestMain.h"

#include "data/Dataset.h"
#include "data/DateText.h"
#include "data/NumberText.h"
#include "data/Schema.h"
#include "platform/LastView.h"
#include "printing/BillSelection.h"
#include "profile/JbzlUnit.h"

#include <QClipboard>
#include <QTabWidget>
#include <cmath>

using View = TMainForm::View;
using Tables = QMap<QString, QList<QStringList>>;

// Runs a checking helper and ends the test at its first failed check.
#define STEP(call)                                                                                 \
    do {                                                                                           \
        call;                                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

namespace {

// A list's field as the sheet read back by openpyxl shows it: number columns as numbers,
// business dates as dates, everything else as the text itself.
QString sheetText(const Dataset& list, int row, int column) {
    const QString text = list.text(row, column);
    if (text.isEmpty())
        return text;
    switch (list.fields().at(column).kind) {
    case Dataset::Kind::Number:
        if (const std::optional<double> value = list.number(row, column)) {
            const double whole = std::trunc(*value);
            return whole == *value && std::fabs(whole) < 1e16
                       ? QStringLiteral("<int:%1>").arg(static_cast<qint64>(whole))
                       : QStringLiteral("<float:%1>")
                             .arg(QString::number(*value, 'g', QLocale::FloatingPointShortest));
        }
        break;
    case Dataset::Kind::Date:
        return QStringLiteral("<datetime:%1 00:00:00>")
            .arg(DateText::parse(text).toString("yyyy-MM-dd"));
    default:
        break;
    }
    return text;
}

QString loneSurrogate() {
    return QStringLiteral("剪贴板") + QChar(0xD83D) + QStringLiteral("尾");
}

// 10,000 characters of 1, 2, 3 and 4 bytes in UTF-8.
QString longText() {
    const QString piece = QStringLiteral("a'\"%_é货𠀀📦;");
    QString text;
    while (text.size() < 10000)
        text += piece;
    text.truncate(10000);
    // Cut between the halves of a pair, the text would end in half a character.
    if (text.back().isHighSurrogate())
        text.back() = QLatin1Char('x');
    return text;
}

bool hasUnpairedSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

// Typed when each character has a key (an input method delivers one character per event),
// pasted otherwise: control characters, non-characters, half pairs and texts too long to type
// come that way.
bool typeable(const QString& text) {
    if (text.size() > 200 || hasUnpairedSurrogate(text))
        return false;
    // Control characters and code points without a character have no key.
    for (const char32_t c : text.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Control || category == QChar::Other_NotAssigned ||
            category == QChar::Other_PrivateUse)
            return false;
    }
    return true;
}

void enter(QLineEdit* box, const QString& text) {
    box->clear();
    box->setFocus();
    if (!typeable(text)) {
        QGuiApplication::clipboard()->setText(text);
        box->paste();
        return;
    }
    for (const char32_t c : text.toUcs4()) {
        const QString typed = QString::fromUcs4(&c, 1);
        const int key = c < 128 ? int(QChar(c).toUpper().unicode()) : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
        QApplication::sendEvent(box, &release);
    }
}

bool onServer() {
    return !TestDatabase::server().isEmpty();
}

// The text as an SQL value, for setting up rows beside the ones the program writes. The
// server's rows hold it without its NULs, which no text there can hold.
QString literal(QString text) {
    if (!onServer())
        return QStringLiteral("CAST(X'%1' AS TEXT)")
            .arg(QString::fromLatin1(text.toUtf8().toHex()));
    text.remove(QChar(0));
    return QStringLiteral("convert_from('\\x%1'::bytea, 'UTF8')")
        .arg(QString::fromLatin1(text.toUtf8().toHex()));
}

// The words a refused text is named in: half a pair anywhere, a NUL on the server.
bool namesRefusal(const QString& message, const QString& text) {
    const QString reason = hasUnpairedSurrogate(text)
                               ? QStringLiteral("无法保存")
                               : QStringLiteral("空字符，数据库服务器不能保存");
    return message.startsWith(QStringLiteral("字段“")) && message.contains(reason);
}

QString tooLong() {
    return QStringLiteral("查询的文字太长，请缩短后再查询。");
}

bool isWildcardFree(const QString& text) {
    return !text.contains(QLatin1Char('%')) && !text.contains(QLatin1Char('_'));
}

struct Sweep : RecordsFixture {
    QString text;
    bool storable = true;
    bool searchable = true; // short enough for the engine's pattern limit
    QSet<QString>* covered = nullptr;
    std::unique_ptr<KeyedFile> reader;

    void open(const QString& hostile, QSet<QString>* fields) {
        text = hostile;
        storable = !hasUnpairedSurrogate(hostile) && !(onServer() && hostile.contains(QChar(0)));
        searchable = hostile.toUtf8().size() + 2 <= 50000;
        covered = fields;
        // Beside the rows the program writes: rows whose key merely contains the text, which
        // a look-up or bill selection must not take for the exact one.
        const QString around = literal(QStringLiteral("前") + hostile + QStringLiteral("后"));
        // And rows holding the text but for its last character, which no search may find.
        const QString cut = literal(QStringLiteral("前") + hostile.chopped(1));
        db.exec("INSERT INTO 表1 VALUES ('G1', '杯', '', '个', 2.5, ''), "
                "('G2', '盘', '', '个', 3, ''), (" +
                around + ", '外围', '', '', 1, ''), (" + cut + ", " + cut + ", '', '', 1, '')");
        db.exec("INSERT INTO 表2 VALUES ('甲', '王', '0571', '路', ''), "
                "('乙', '李', '0572', '街', ''), ('丙', " +
                around + ", '0573', '巷', ''), ('丁', " + cut + ", " + cut + ", '巷', '')");
        db.exec("INSERT INTO 表3 (单据编号, 业务日期, 商品名称, 单价, 数量, 应收金额, 联系人, "
                "备注) VALUES ('B1', '2024-01-02', '杯', 2.5, 2, 5, '王', 'D1'), "
                "('B1', '2024-01-02', '盘', 3, 1, 3, '王', 'D2'), (" +
                around + ", '2024-01-03', '外围', 1, 1, 1, '李', 'D3')");
        db.exec("INSERT INTO 表3 (单据编号, 业务日期, 商品名称, 单价, 数量, 应收金额, 联系人, "
                "联系电话, 备注) VALUES (" +
                cut + ", '2024-01-04', " + cut + ", 1, 1, 1, " + cut + ", " + cut + ", 'D4')");
        db.exec("INSERT INTO 表5 VALUES ('公司', 'www', '张', '1')");
        if (!onServer())
            reader = std::make_unique<KeyedFile>(db.file(), KeyedFile::Mode::ReadOnly);
        start();
    }

    // Read through one handle kept open on the file (its key costs time at every opening),
    // or from the server.
    QList<QStringList> table(const QString& name) const {
        return reader ? reader->table(name) : db.table(name);
    }
    QList<QStringList> rows(const QString& sql) const {
        return reader ? reader->rows(sql) : db.rows(sql);
    }
    Tables tables() const {
        Tables all;
        for (const QString& t : Schema::tableNames())
            all[t] = table(t);
        return all;
    }

    QStringList errors() const { return prompts.texts("error"); }

    // Enters the text into a box and checks the box holds it as entered.
    void put(const QString& box) {
        QLineEdit* edit = find(box);
        enter(edit, text);
        QCOMPARE(edit->text(), text);
        covered->insert(box);
    }
    void putCombo(const QString& combo) {
        QLineEdit* edit = find<QComboBox>(combo)->lineEdit();
        enter(edit, text);
        QCOMPARE(edit->text(), text);
        covered->insert(combo);
    }

    // The one row a command wrote (appended when row is -1) holds the text in the given
    // columns; every other row of every table is as it was. A refused text changes nothing and
    // is named in the error box.
    void expectStored(const Tables& before, const QString& table, int row,
                      const QStringList& columns, int errorsBefore) {
        const Tables after = tables();
        if (!storable) {
            QCOMPARE(after, before);
            QCOMPARE(errors().size(), errorsBefore + 1);
            QVERIFY2(namesRefusal(errors().last(), text), qPrintable(errors().last()));
            return;
        }
        QCOMPARE(errors().size(), errorsBefore);
        for (const QString& t : Schema::tableNames()) {
            if (t != table)
                QCOMPARE(after[t], before[t]);
        }
        QList<QStringList> rows = after[table];
        QList<QStringList> others = before[table];
        QStringList written;
        if (row < 0) {
            QCOMPARE(rows.size(), others.size() + 1);
            written = rows.takeLast();
        } else {
            QCOMPARE(rows.size(), others.size());
            written = rows.takeAt(row);
            others.removeAt(row);
        }
        QCOMPARE(rows, others);
        const QStringList names = Schema::columns(table);
        for (const QString& column : columns)
            QVERIFY2(written[names.indexOf(column)] == text,
                     qPrintable(table + "." + column + " does not hold the text"));
    }

    // A number box: the text typed passes the key filter only in part; pasted, it stays as
    // it is. A number is stored in a new row; other text is refused with the conversion
    // message; an empty box stores nothing (an empty price has no amount).
    void numberBox(const QString& box, const QString& button, const QString& table,
                   const QString& column) {
        QLineEdit* edit = find(box);
        enter(edit, text);
        covered->insert(box);
        const QString held = edit->text();
        if (typeable(text)) {
            for (const QChar c : held)
                QVERIFY2(c.isDigit() || c == QLatin1Char('.'), qPrintable(held));
        } else {
            QCOMPARE(held, text);
        }
        const Tables before = tables();
        const int errorsBefore = static_cast<int>(errors().size());
        click(button);
        const QStringList added = errors().mid(errorsBefore);
        if (held.isEmpty()) {
            QCOMPARE(tables(), before);
            QVERIFY(added.isEmpty() ||
                    added == QStringList{"'' is not a valid floating point value"});
        } else if (hasUnpairedSurrogate(held)) {
            QCOMPARE(tables(), before);
            QCOMPARE(added.size(), 1);
        } else if (onServer() && held.contains(QChar(0))) {
            QCOMPARE(tables(), before);
            QCOMPARE(added.size(), 1);
            QVERIFY2(namesRefusal(added.first(), held), qPrintable(added.first()));
        } else if (!NumberText::parse(held)) {
            QCOMPARE(tables(), before);
            QCOMPARE(added,
                     QStringList{
                         QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                             .arg(held, column)});
        } else {
            QCOMPARE(added, QStringList());
            const QList<QStringList> rows = this->table(table);
            QCOMPARE(rows.size(), before[table].size() + 1);
            const QString stored = rows.last()[Schema::columns(table).indexOf(column)];
            QCOMPARE(NumberText::toNumber(stored), NumberText::toNumber(held));
        }
    }

    // A search box: the list narrows to rows holding the text (all of them when the text holds
    // a wildcard), among them every row that holds exactly the text; nothing is written.
    void search(View view, const QString& command, const QString& box, const QString& button,
                const QString& column) {
        chooseView(view);
        click("SpeedButton12");
        click("SpeedButton11");
        const Tables before = tables();
        const int errorsBefore = static_cast<int>(errors().size());
        put(box);
        click(button);
        const QStringList added = errors().mid(errorsBefore);
        QCOMPARE(tables(), before);
        Dataset* list = window().query(view);
        QVERIFY(list->isOpen());
        if (!searchable) {
            // Refused in words; the list shows what it showed.
            QCOMPARE(added, QStringList{tooLong()});
            QCOMPARE(list->query(), Query::all(list->query().table));
            return;
        }
        QVERIFY2(added.isEmpty(), qPrintable(command + ": " + added.join('|').left(200)));
        const int field = list->fieldIndex(column);
        int exact = 0;
        for (int row = 0; row < list->recordCount(); ++row) {
            const QString value = list->text(row, field);
            exact += value == text;
            if (isWildcardFree(text))
                QVERIFY2(value.contains(text, Qt::CaseInsensitive),
                         qPrintable(command + " listed " + value.left(40)));
        }
        int stored = 0;
        for (const QStringList& row : before[list->query().table])
            stored += row[Schema::columns(list->query().table).indexOf(column)] == text;
        QCOMPARE(exact, stored);
    }
};

} // namespace

class TestHostileInput : public QObject {
    Q_OBJECT
    QSet<QString> fields_;
    int texts_ = 0;

private slots:
    void cleanupTestCase() {
        qInfo("%d hostile texts x %lld fields = %lld entries", texts_,
              static_cast<long long>(fields_.size()),
              texts_ * static_cast<long long>(fields_.size()));
    }

    void everyBoxSearchAndLookUp_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("single quote") << QStringLiteral("O'Brien's '");
        QTest::newRow("double quote") << QStringLiteral("12\" \"管\"");
        QTest::newRow("percent") << QStringLiteral("100%");
        QTest::newRow("underscore") << QStringLiteral("a_b");
        QTest::newRow("backslash") << QStringLiteral("C:\\新\\n\\");
        QTest::newRow("statement end") << QStringLiteral("x'; DELETE FROM 表1;--");
        QTest::newRow("or 1=1") << QStringLiteral("' OR 1=1 OR '\" OR \"1\"=\"1");
        QTest::newRow("format") << QStringLiteral("%1%2 %s%n {0}");
        QTest::newRow("embedded NUL") << QStringLiteral("前") + QChar(0) + QStringLiteral("后");
        QTest::newRow("newline and tab") << QStringLiteral("一行\n二行\t列\r\n");
        QTest::newRow("blanks") << QStringLiteral("  两头空格  ");
        QTest::newRow("leading zeros") << QStringLiteral("007");
        QTest::newRow("10000 characters") << longText();
        QTest::newRow("as long as a box takes") << QString(32767, QChar(0x8D27));
        QTest::newRow("emoji") << QStringLiteral("📦🚚✅ 👨‍👩‍👧");
        QTest::newRow("4-byte CJK") << QStringLiteral("𠀀𪚥𝄞");
        QTest::newRow("non-characters") << QStringLiteral("\uFFFE\uFFFF\uFDD0 尾");
        QTest::newRow("right to left") << QStringLiteral("مرحبا שלום \u202Eabc\u202C");
        QTest::newRow("lone surrogate") << loneSurrogate();
    }

    void everyBoxSearchAndLookUp() {
        QFETCH(QString, text);
        ++texts_;
        Sweep f;
        f.open(text, &fields_);

        // Profile form first, so that the handler pick list offers the text.
        {
            TJbzlForm& form = f.program->profileForm();
            form.show();
            const Tables before = f.tables();
            const int errors = static_cast<int>(f.errors().size());
            for (int i = 1; i <= 4; ++i) {
                QLineEdit* edit = form.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(i));
                enter(edit, text);
                QCOMPARE(edit->text(), text);
                fields_.insert(QStringLiteral("JbzlForm.Edit%1").arg(i));
            }
            QTest::mouseClick(form.findChild<QPushButton*>("Button1"), Qt::LeftButton);
            STEP(f.expectStored(before, "表5", 0, {"公司名称", "公司网址", "联系人", "联系电话"},
                                errors));
            form.hide();
        }

        // Goods: add, modify, the price box, search.
        {
            f.chooseView(View::Goods);
            f.click("SpeedButton8");
            const Tables before = f.tables();
            const int errors = static_cast<int>(f.errors().size());
            for (const char* box : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit6"})
                STEP(f.put(box));
            f.click("Button1");
            STEP(f.expectStored(before, "表1", -1,
                                {"商品编码", "商品名称", "规格型号", "单位", "备注"}, errors));
        }
        {
            f.click("SpeedButton12");
            f.window().query(View::Goods)->moveTo(1);
            f.click("SpeedButton9");
            const Tables before = f.tables();
            const int errors = static_cast<int>(f.errors().size());
            for (const char* box : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit6"})
                STEP(f.put(box));
            f.click("Button3");
            STEP(f.expectStored(before, "表1", 1,
                                {"商品编码", "商品名称", "规格型号", "单位", "备注"}, errors));
        }
        f.click("SpeedButton8");
        STEP(f.numberBox("Edit5", "Button1", "表1", "单价"));
        STEP(f.search(View::Goods, "goods search", "Edit7", "Button4", "商品编码"));
        STEP(f.search(View::Goods, "goods search", "Edit8", "Button4", "商品名称"));

        // Customers: add, modify, search.
        {
            f.chooseView(View::Customers);
            f.click("SpeedButton8");
            const Tables before = f.tables();
            const int errors = static_cast<int>(f.errors().size());
            for (const char* box : {"Edit10", "Edit11", "Edit12", "Edit13"})
                STEP(f.put(box));
            f.click("Button5");
            STEP(f.expectStored(before, "表2", -1, {"联系人", "联系电话", "单位地址", "备注"},
                                errors));
        }
        {
            f.click("SpeedButton12");
            f.window().query(View::Customers)->moveTo(1);
            f.click("SpeedButton9");
            const Tables before = f.tables();
            const int errors = static_cast<int>(f.errors().size());
            for (const char* box : {"Edit10", "Edit11", "Edit12", "Edit13"})
                STEP(f.put(box));
            f.click("Button7");
            STEP(f.expectStored(before, "表2", 1, {"联系人", "联系电话", "单位地址", "备注"},
                                errors));
        }
        STEP(f.search(View::Customers, "customer search", "Edit14", "Button8", "联系人"));
        STEP(f.search(View::Customers, "customer search", "Edit15", "Button8", "联系电话"));

        // Deliveries: the pick lists offer the text as stored; the look-ups take the exact row.
        const QStringList deliveryColumns = {"单据编号", "经手人", "商品编码", "商品名称",
                                             "规格型号", "单位",   "联系人",   "联系电话",
                                             "单位地址", "备注"};
        f.click("SpeedButton12");
        f.chooseView(View::Deliveries);
        {
            f.click("SpeedButton8");
            const Tables before = f.tables();
            const int errors = static_cast<int>(f.errors().size());
            for (const char* name : {"ComboBox2", "ComboBox3", "ComboBox4"}) {
                auto* combo = f.find<QComboBox>(name);
                QCOMPARE(combo->findText(text) >= 0, f.storable);
                QCOMPARE(combo->lineEdit()->text(), QString());
            }
            STEP(f.put("Edit16"));
            STEP(f.putCombo("ComboBox2"));
            STEP(f.putCombo("ComboBox3"));
            STEP(f.putCombo("ComboBox4"));
            if (!f.searchable) {
                QCOMPARE(f.errors().mid(errors), (QStringList{tooLong(), tooLong()}));
            } else if (f.storable) {
                // The rows stored above with the text in every column.
                for (const char* box : {"Edit18", "Edit19", "Edit20", "Edit24", "Edit25", "Edit26"})
                    QCOMPARE(f.find(box)->text(), text);
                QCOMPARE(f.errors().size(), errors);
            } else {
                // Nothing holds the text: the look-up empties the item boxes, and the amount
                // of an empty price is the conversion message.
                QCOMPARE(f.find("Edit18")->text(), QString());
                QCOMPARE(f.errors().mid(errors),
                         QStringList{"'' is not a valid floating point value"});
                f.setText("Edit21", "0");
            }
            for (const char* box : {"Edit18", "Edit19", "Edit20", "Edit24", "Edit25", "Edit26"})
                STEP(f.put(box));
            const int errorsBeforeAdd = static_cast<int>(f.errors().size());
            f.click("Button9");
            STEP(f.expectStored(before, "表3", -1, deliveryColumns, errorsBeforeAdd));
        }
        STEP(f.numberBox("Edit21", "Button9", "表3", "单价"));
        f.setText("Edit21", "1");
        STEP(f.numberBox("Edit22", "Button9", "表3", "数量"));
        {
            f.click("SpeedButton12");
            Dataset* deliveries = f.window().query(View::Deliveries);
            deliveries->moveTo(0);
            f.click("SpeedButton9");
            const Tables before = f.tables();
            STEP(f.put("Edit16"));
            for (const char* name : {"ComboBox2", "ComboBox3", "ComboBox4"})
                STEP(f.putCombo(name));
            for (const char* box : {"Edit18", "Edit19", "Edit20", "Edit24", "Edit25", "Edit26"})
                STEP(f.put(box));
            f.setText("Edit21", "2");
            f.setText("Edit22", "3");
            const int errors = static_cast<int>(f.errors().size());
            f.click("Button11");
            STEP(f.expectStored(before, "表3", 0, deliveryColumns, errors));
        }
        {
            // Bill selection takes exactly the rows whose bill is the text.
            f.click("SpeedButton12");
            Dataset* deliveries = f.window().query(View::Deliveries);
            const int column = deliveries->fieldIndex("单据编号");
            int row = 0;
            while (row < deliveries->recordCount() - 1 && deliveries->text(row, column) != text)
                ++row;
            deliveries->moveTo(row);
            const QString bill = deliveries->text(row, column);
            const int errors = static_cast<int>(f.errors().size());
            f.program->billSelection().DBGridEh3CellClick();
            fields_.insert("bill selection");
            QCOMPARE(f.errors().size(), errors);
            QStringList expected, printed;
            for (const QStringList& r : f.table("表3"))
                if (r[0] == bill)
                    expected.append(r[13]);
            for (const QStringList& r : f.rows("SELECT 单据编号, 备注 FROM 表4")) {
                QCOMPARE(r[0], bill);
                printed.append(r[1]);
            }
            QCOMPARE(printed, expected);
        }
        STEP(f.search(View::Deliveries, "delivery search", "Edit27", "Button12", "单据编号"));
        STEP(f.search(View::Deliveries, "delivery search", "Edit28", "Button12", "商品名称"));
        STEP(f.search(View::Deliveries, "delivery search", "Edit29", "Button12", "联系人"));
        STEP(f.search(View::Deliveries, "delivery search", "Edit30", "Button12", "联系电话"));

        // The export writes what the list shows, the text included, cell for cell.
        {
            f.click("SpeedButton12");
            const int errors = static_cast<int>(f.errors().size());
            const QString file = f.db.folder() + "/导出";
            f.prompts.answerSave(file);
            f.click("SpeedButton3");
            fields_.insert("export");
            Dataset* list = f.window().query(View::Deliveries);
            bool fits = true;
            for (int row = 0; row < list->recordCount(); ++row)
                for (int column = 0; column < list->fields().size(); ++column)
                    fits = fits && list->text(row, column).size() <= 32767;
            if (!fits) {
                // A spreadsheet cell holds 32,767 characters: refused in words, no file.
                QCOMPARE(f.errors().size(), errors + 1);
                QVERIFY(f.errors().last().endsWith("电子表格的单元格放不下"));
                QVERIFY(!QFile::exists(file + ".xls"));
            } else {
                QVERIFY2(f.errors().size() == errors,
                         qPrintable(f.errors().value(errors).left(300)));
                const SpreadsheetReader book = SpreadsheetReader::read(file + ".xls");
                QCOMPARE(book.rows.size(), list->recordCount() + 1);
                for (int row = 0; row < list->recordCount(); ++row) {
                    for (int column = 0; column < list->fields().size(); ++column)
                        QVERIFY2(book.rows[row + 1].value(column) == sheetText(*list, row, column),
                                 qPrintable(QStringLiteral("row %1 column %2: %3")
                                                .arg(row)
                                                .arg(column)
                                                .arg(book.rows[row + 1].value(column).left(40))));
                }
            }
        }

        // The view selector names no view with the text: nothing changes.
        {
            const Tables before = f.tables();
            const QString stored = LastView::read();
            const int page = f.find<QTabWidget>("PageControl1")->currentIndex();
            const int errors = static_cast<int>(f.errors().size());
            enter(f.window().viewSelector()->lineEdit(), text);
            fields_.insert("ComboBox1");
            QCOMPARE(f.errors().size(), errors);
            QCOMPARE(f.find<QTabWidget>("PageControl1")->currentIndex(), page);
            QCOMPARE(LastView::read(), stored);
            QCOMPARE(f.tables(), before);
        }

        if (!onServer())
            QCOMPARE(f.reader->rows("PRAGMA integrity_check"), QList<QStringList>{{"ok"}});
    }
};

DN_TEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
