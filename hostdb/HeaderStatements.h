#pragma once

#include <QString>
#include <QStringList>

class HostDb;

// Statements on the invoice headers (HEADERRECH).
namespace HeaderStatements {

// Release: the named headers of a document type lose payment date and lock.
// ZAHL_BETRAG stays. Names are bound in chunks.
bool releaseHeaders(const HostDb& db, const QString& documentType, const QStringList& names, QString* error);

} // namespace HeaderStatements
