#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class HostDb;

// The clients ("Mandanten") of the host: rows of PERSONAL with mandanten = 1.
namespace ClientStatements {

// Address and bank of a client as the creditor panel takes them over; NULL
// columns are empty texts, the bank fields from the account the row selects.
struct ClientAddress {
    QString vorname, name, strasse, plz, ort, telefon, telefax;
    QString BANK, BIC, IBAN, GLAUBIGERID;
};

// Short names of the active clients in the order of their numbers.
bool LoadMandantenListe(const HostDb& db, QStringList* names, QString* error);

// The first active person whose short name matches (LIKE, nothing added);
// a client row comes before a customer of the same short name. Empty optional
// when there is none.
bool LoadMandantAdresse(const HostDb& db, const QString& shortName, std::optional<ClientAddress>* address,
                        QString* error);

} // namespace ClientStatements
