#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// German notation for everything the user sees, whatever the machine's locale.
namespace GermanFormat {

// 07.12.2026
QString date(const QDate& d);
// The default text of a date-time: the date, then " hh:mm:ss" unless midnight.
QString dateTime(const QDateTime& dt);
// Montag, 7. Dezember 2026
QString longDate(const QDate& d);
// A count grouped in thousands: 20.000
QString count(qint64 n);
// "#,##0.00": 1.234,50 and -0,07
QString amount(qint64 cents);
// "##0.00" with decimal comma, no grouping: 1234,50
QString amountPlain(qint64 cents);
// Plain number text with decimal comma and no trailing zeros: 1234,5 and 100
QString amountShort(qint64 cents);
// The amount's shortest decimal text with ".": 12.5, 100, 1234.56, 0.07, -3.1
QString amountXml(qint64 cents);
// The same into out, which holds at least kMaxAmountXmlLength bytes; returns
// the length. For writers that put the text straight into their buffer.
constexpr qsizetype kMaxAmountXmlLength = 24;
qsizetype amountXmlChars(qint64 cents, char* out);

// The amount rounded half away from zero at two decimals, in cents. Rounds the
// value's 15-digit decimal text, so 1.005 gives 101 as a clerk would expect.
// A value of 10^16 or more (either sign) gives ±10^18 cents, never a wrapped one.
qint64 roundToCents(double value);

// Reads a German amount text ("1.234,50", "-0,07", "12") back into cents.
bool parseAmount(const QString& text, qint64* cents);
// Reads "dd.mm.yyyy" (day and month may have one digit).
QDate parseDate(const QString& text);

} // namespace GermanFormat
