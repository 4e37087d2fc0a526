#pragma once

// Fonts, painting and widgets need an application object; tests that draw or
// build windows call this first. It is a QApplication, so both work.
void ensureGuiApplication();
