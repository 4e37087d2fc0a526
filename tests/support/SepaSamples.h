#pragma once

#include "export/Buchung.h"
#include "export/Firmendaten.h"

#include <QDateTime>

// Bookings and creditor values as an export run hands them to the writers.
namespace SepaSamples {

// 5 December 2026, 14:05:09: the run's date-time in every writer test.
QDateTime runTime();
// A due date at midnight in December 2026.
QDateTime due(int day);
// A German customer with a valid IBAN and BIC.
Buchung booking(qint32 nummer, qint64 cents, const QDateTime& faelligkeit = due(10));
// A German company with IBAN, BIC and creditor identifier.
Firmendaten firma();

} // namespace SepaSamples
