#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>

class HostDb;
struct ExportSettings;

// The export query of a run: the selected invoices with their customers'
// addresses and bank accounts. The selected names go into a temporary table of
// the run's connection, so any number of them is bound as values and the
// database still orders the whole result in one statement.
namespace ExportQuery {

// Fills the run's selection table. Returns false and a German message.
bool storeSelection(const HostDb& db, const QStringList& names, QString* error);

// How many selected invoices carry a transfer mark of the run's kind by now
// (exported from another workstation since the list was loaded).
bool countAlreadyTransferred(const HostDb& db, const QString& strVer_Type, int* count, QString* error);

// Runs the export query on the stored selection. Configured column names are
// checked first; an unknown one gives a German message naming the setting.
bool open(const HostDb& db, const ExportSettings& settings, QSqlQuery* query, QString* error);

} // namespace ExportQuery
