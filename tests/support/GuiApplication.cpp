#include "GuiApplication.h"

#include <QGuiApplication>

void ensureGuiApplication() {
    if (QGuiApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "brv32-test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}
