#pragma once

#include <QString>

// The country of a party in a 2019 payment file (two capital letters), or
// empty when none can be found.
namespace SepaCountries {

// The Nation column (a code or a German name, with umlauts or sanitized)
// when the table knows it, otherwise the first two characters of the IBAN
// as the file writes it (upper case, no blanks) when they are letters.
QString countryOf(const QString& nation, const QString& iban);

// Countries whose IBANs belong to the SEPA area but not to the EEA: a
// payment there needs the bank's BIC and the party's address.
bool outsideEea(const QString& iban);

} // namespace SepaCountries
