#pragma once

#include <QString>
#include <QStringList>

class HostDb;

// The release of transferred invoices, both dialects side by side.
namespace ReleaseStatements {

// Removes the marks of the kind of the named invoices, then takes payment
// date and lock from their headers of the document type (ZAHL_BETRAG stays).
// Runs inside the caller's transaction. Returns false and the database's
// description on the first refused statement.
bool release(const HostDb& db, int kind, const QString& documentType, const QStringList& names,
             QString* error);

} // namespace ReleaseStatements
