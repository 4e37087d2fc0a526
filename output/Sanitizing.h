#pragma once

#include "base/Buchung.h"

#include <QString>

// Plain letters for the umlauts, the sharp s and the accented vowels that
// banks refuse in SEPA names and addresses. Other characters pass unchanged.
QString ReplaceSpecialChars(const QString& text);

// Cleans Anrede, Strasse, Ort, Nation, Name, Vorname and Bank of every
// booking in place; the print copies and the bank identifiers stay as read.
void ReplaceSpecialCharsInBookings(BookingList& bookings);

// A text value of a 2019 payment file: the replacements above, then the
// Nordic and other letters without a decomposition (ø o, æ ae, ł l, đ d,
// þ th, ı i and their capitals), then every letter with marks its base
// letter (ç c, ñ n, š s); every character outside the SEPA set (a-z A-Z 0-9
// / - ? : ( ) . , ' + and the blank), "&" included, becomes a blank. The
// result is trimmed, then cut to maxLength characters.
QString ToSepaCharacterSet(const QString& text, qsizetype maxLength);

// Does the identifier consist of the SEPA set without the blank?
bool isSepaIdentifier(const QString& text);
