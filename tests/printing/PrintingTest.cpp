#include "PrintingTest.h"

#include "TestMain.h"
#include "printing/QRPrev.h"

void PrintingTest::cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<TQRStandardPreview*>(w))
            delete w;
    }
}

DN_TEST_MAIN(PrintingTest)
