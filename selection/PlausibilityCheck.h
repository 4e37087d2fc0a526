#pragma once

#include <QDate>
#include <QString>

class HostDb;
class Prompter;

// Warns about invoices of the node's document type and range that cannot be
// paid: "Keine Preise" for those without an amount, then "Keine
// Kundeninformation" for those whose header names another customer. The range
// applies to the journal's invoice date. Changes nothing; a refused statement
// is reported and ends the check.
void CheckInvoices(const HostDb& SQLConn, const QString& strVer_Type, const QDate& dtpVon,
                   const QDate& dtpBis, Prompter& prompter);
