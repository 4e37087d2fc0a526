#pragma once

#include <QString>
#include <QVariantList>

class HostDb;

// Rows for a temporary table of SQL Server, bound as values: a temporary
// table is how one statement of fixed text reads any number of invoices.
// The table itself must be created by a statement without values (see
// HostDb::run).
namespace TempTable {

// Rows per INSERT … VALUES: well below SQL Server's 2100 parameters with two
// columns, and below its 1000 rows of a VALUES list.
inline constexpr qsizetype kRowsPerInsert = 400;

// Inserts the rows of values (row after row, columns values each) into
// "TABLE (COLUMN, …)", kRowsPerInsert rows a statement: one prepared
// statement for every full chunk, one more for the rest. On failure false
// and the database's description.
bool insert(const HostDb& db, const QString& tableAndColumns, int columns, const QVariantList& values,
            QString* error);

} // namespace TempTable
