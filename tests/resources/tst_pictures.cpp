#include "TestMain.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QTest>

namespace {

// (-1, -1) when every pixel is fully opaque.
QPoint firstSeeThroughPixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return {x, y};
        }
    }
    return {-1, -1};
}

} // namespace

// Every picture the windows show, loaded from the embedded resource exactly as the program
// loads it: a missing, misnamed or mis-sized file shows here rather than as a blank button.
class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void loadsWithItsSize_data();
    void loadsWithItsSize();
    void backgroundsAreOpaque_data();
    void backgroundsAreOpaque();
};

void TestPictures::loadsWithItsSize_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");

    const QSize toolbar(32, 32);
    for (const char* name :
         {"tb_profile", "tb_print", "tb_export", "tb_backup", "tb_restore", "tb_help", "tb_exit",
          "pv_setup", "pv_print", "pv_close", "pv_pdf", "pv_image"})
        QTest::newRow(name) << name << toolbar;

    const QSize small(16, 16);
    for (const char* name :
         {"cmd_add", "cmd_modify", "cmd_delete", "cmd_search", "cmd_refresh", "close"})
        QTest::newRow(name) << name << small;

    // Panels show their picture inside a 2-pixel bevel: panel size less 4 each way.
    QTest::newRow("panel_goods_entry") << "panel_goods_entry" << QSize(413, 157);
    QTest::newRow("panel_customer_entry") << "panel_customer_entry" << QSize(413, 149);
    QTest::newRow("panel_delivery_entry") << "panel_delivery_entry" << QSize(413, 309);
    QTest::newRow("panel_customer_search") << "panel_customer_search" << QSize(493, 77);
    QTest::newRow("panel_delivery_search") << "panel_delivery_search" << QSize(477, 93);

    QTest::newRow("background") << "background" << QSize(1000, 604);
    QTest::newRow("weblink") << "weblink" << QSize(99, 27);
    QTest::newRow("app_icon") << "app_icon" << QSize(256, 256);
    QTest::newRow("app_icon_48") << "app_icon_48" << QSize(48, 48);
}

void TestPictures::loadsWithItsSize() {
    QFETCH(QString, name);
    QFETCH(QSize, size);

    const QImage image(":/pictures/" + name + ".png");
    QVERIFY2(!image.isNull(), qPrintable(name + " did not load"));
    QCOMPARE(image.size(), size);
}

void TestPictures::backgroundsAreOpaque_data() {
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"background", "panel_goods_entry", "panel_customer_entry", "panel_delivery_entry",
          "panel_customer_search", "panel_delivery_search"})
        QTest::newRow(name) << name;
}

// A panel's picture is all that hides the grid below it, and the window background is all that
// lies under the command bar: a see-through pixel would let the content behind show through.
void TestPictures::backgroundsAreOpaque() {
    QFETCH(QString, name);

    const QImage image =
        QImage(":/pictures/" + name + ".png").convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!image.isNull());
    const QPoint hole = firstSeeThroughPixel(image);
    QVERIFY2(hole.x() < 0, qPrintable(QString("see-through at %1,%2").arg(hole.x()).arg(hole.y())));
}

DN_TEST_MAIN(TestPictures)

#include "tst_pictures.moc"
