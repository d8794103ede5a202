#include "app/MainUnit.h"
#include "app/Program.h"
#include "ui/AppSetup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setUpApplication(app);
    Program program;
    program.mainForm().show();
    return QApplication::exec();
}
