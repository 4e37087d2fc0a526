#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// A message box whose text scrolls when it is long (a plausibility report
// of hundreds of invoices), so the box never grows beyond the screen.
namespace LongMessageBox {
void show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);
}
