#include "GuiApplication.h"

#include <QApplication>

void ensureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "brv32-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: a static QApplication would outlive QtSql's own statics
    // and crash at exit.
    new QApplication(argc, argv);
}
