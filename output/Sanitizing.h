#pragma once

#include "export/Buchung.h"

#include <QString>

// Plain letters for the umlauts, the sharp s and the accented vowels that
// banks refuse in SEPA names and addresses. Other characters pass unchanged.
QString ReplaceSpecialChars(const QString& text);

// Cleans Anrede, Strasse, Ort, Nation, Name, Vorname and Bank of every
// booking in place; the print copies and the bank identifiers stay as read.
void ReplaceSpecialCharsInBookings(BookingList& bookings);
