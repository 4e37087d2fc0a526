#pragma once

#include <QString>

// The question before an export run moves money, put with what the clerk
// selected as the list shows it.
namespace ExportQuestion {

// "300 Überweisungen über 303.928,50 EUR für Provisionsabrechnung exportieren
// und als übergeleitet buchen?"
QString text(qint64 count, qint64 sumCents, const QString& nodeText, bool directDebit);
// "Überweisung", "Überweisungen", "Lastschrift" or "Lastschriften".
QString payments(qint64 count, bool directDebit);

} // namespace ExportQuestion
