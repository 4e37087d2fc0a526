#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

class HostDb;

// Conversions between host column values and our types. SQLite keeps dates
// as text "YYYY-MM-DD HH:MM:SS"; SQL Server hands out date-time values.
namespace HostValues {

// NULL gives the empty text; a blob is taken as UTF-8.
QString text(const QVariant& value);
// The same, sharing the storage of known when the value holds its text: the
// texts of a row that repeat those of a row before are neither converted nor
// kept twice.
QString text(const QVariant& value, const QString& known);
// NULL or an unreadable text gives an invalid date-time.
QDateTime dateTime(const QVariant& value);
// Date and time of day of a host date-time without any time-zone step, fast
// enough for whole lists. False for NULL or an unreadable value.
bool dateAndTime(const QVariant& value, QDate* date, QTime* time);
// A date-time as the connection's dialect binds it.
QVariant bindable(const HostDb& db, const QDateTime& value);
// A "yyyymmdd" day, the form the host's date conditions compare.
QString day(const QDate& date);

} // namespace HostValues
