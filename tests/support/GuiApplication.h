#pragma once

#include <QApplication>

// Fonts, painting and widgets need an application object; tests that draw or
// build windows call this first. It is a QApplication, so both work.
inline void ensureGuiApplication() {
    static int argc = 1;
    static char name[] = "brv32-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: a static QApplication would outlive QtSql's own statics
    // and crash at exit.
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
}
