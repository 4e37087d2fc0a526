#pragma once

#include <QString>
#include <QStringList>

class HostDb;

// The invoices the user selected for a run, in a temporary table of the run's
// connection (#SEPA_AUSWAHL on SQL Server, temp.SEPA_AUSWAHL on SQLite): any
// number of names is bound as values, and the export query still orders the
// whole result in one statement.
namespace SelectionTable {

// Creates and fills the table. Returns false and a German message.
bool store(const HostDb& db, const QStringList& names, QString* error);

// How many stored invoices carry a transfer mark of the kind by now
// (exported from another workstation since the list was loaded).
bool countTransferred(const HostDb& db, int kind, int* count, QString* error);

// The table's name, for a statement that reads the selection.
QString name(const HostDb& db);

} // namespace SelectionTable
