#pragma once

#include <QString>
#include <QStringList>

class HostDb;

// Statements on the invoice headers (HEADERRECH).
namespace HeaderStatements {

// The values a posting changes (ZAHL_BETRAG, ZAHLDATUM, GESPERRT), read
// and held locked for the posting's transaction; values: invoice name,
// document type. On SQLite a fourth column tells whether the invoice has a
// mark of the kind; values: kind, invoice name, document type.
QString valuesBeforePosting(const HostDb& db);

// Stores the transferred amount and time and locks the header, only while it
// has no payment date; values: amount, payment date-time, invoice name,
// document type.
QString markTransferred();

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
