#pragma once

// Fonts and painting need a QGuiApplication; tests that draw call this first.
void ensureGuiApplication();
