#pragma once

#include <QString>

// Checks of IBAN and BIC as the SEPA files need them. Pure functions.
namespace BankIdentifiers {

// The form written into the files: upper case, every blank removed.
QString normalized(const QString& identifier);

// Does the text fit the IBAN pattern of the pain schemas
// ([A-Z]{2}[0-9]{2}[a-zA-Z0-9]{1,30})? Pass the normalized form.
bool ibanFitsSchema(const QString& iban);

// Does the text fit the BIC pattern of the pain schemas
// ([A-Z]{6}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?)? "NOTPROVIDED" does.
bool bicFitsSchema(const QString& bic);

// The national length rule of the export: with blanks removed a German IBAN
// has 22 characters, an Austrian 20, a Swiss 21; any other has at least one.
// The country code is compared as stored, so "de…" is not measured.
bool ibanHasNationalLength(const QString& iban);

// Are the check digits of the normalized IBAN right (ISO 13616, mod 97)?
// Pass a text that fits the schema pattern.
bool ibanCheckDigitsValid(const QString& iban);

// Is the creditor identifier well formed with blanks removed and upper-cased:
// country, two check digits, three characters of business code, then 1 to
// 28 letters or digits, the check digits right by ISO 7064 MOD 97-10 over
// the national part, the country and "00"?
bool creditorIdValid(const QString& creditorId);

// The normalized BIC, or "NOTPROVIDED" when nothing is left.
QString bicOrNotProvided(const QString& bic);

} // namespace BankIdentifiers
