#pragma once

#include <QString>
#include <QStringList>

class HostDb;

// Statements on the invoice headers (HEADERRECH).
namespace HeaderStatements {

// The values a posting changes (ZAHL_BETRAG, ZAHLDATUM, GESPERRT), read
// and held locked for the posting's transaction; values: invoice name,
// document type. On SQLite one statement reads many invoices at once,
// bound as one JSON object of name: cents (BoundList::appendJsonString), and
// gives per invoice its name, ZAHL_BETRAG, GESPERRT and whether someone else
// has it (no header, paid, or marked with the kind), a row per header found
// and one without a header; values: kind, invoices, document type.
QString valuesBeforePosting(const HostDb& db);

// Stores the transferred amount and time and locks the header, only while it
// has no payment date; values: amount, payment date-time, invoice name,
// document type. On SQLite many invoices at once; values: payment date-time,
// invoices as above, document type.
QString markTransferred(const HostDb& db);

// Takes a posting back: amount and lock as read before it, no payment date;
// only the header that still carries the run's payment date. Values: amount,
// lock, invoice name, document type, the run's payment date-time.
QString restoreBeforePosting();

// ZAHLDATUM of one header; values: invoice name, document type.
QString paymentDate();

// Release: the named headers of a document type lose payment date and lock.
// ZAHL_BETRAG stays. Names are bound in chunks.
bool releaseHeaders(const HostDb& db, const QString& documentType, const QStringList& names, QString* error);

} // namespace HeaderStatements
