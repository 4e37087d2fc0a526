#pragma once

#include <QString>
#include <QStringList>

class HostDb;

// Statements on the invoice headers (HEADERRECH).
namespace HeaderStatements {

// Stores the transferred amount and time and locks the header; values:
// amount, payment date-time, invoice name, document type.
QString markTransferred();

// Release: the named headers of a document type lose payment date and lock.
// ZAHL_BETRAG stays. Names are bound in chunks.
bool releaseHeaders(const HostDb& db, const QString& documentType, const QStringList& names, QString* error);

} // namespace HeaderStatements
