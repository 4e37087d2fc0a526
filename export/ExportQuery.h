#pragma once

#include <QSqlQuery>
#include <QString>

class HostDb;
struct ExportSettings;

// The export query of a run over the selection stored before
// (SelectionTable::store): the selected invoices with their customers'
// addresses and bank accounts.
namespace ExportQuery {

// Runs the export query. Configured column names are checked first; an
// unknown one gives a German message naming the setting.
bool open(const HostDb& db, const ExportSettings& settings, QSqlQuery* query, QString* error);

} // namespace ExportQuery
