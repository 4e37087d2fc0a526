#pragma once

#include "hostdb/Statement.h"

#include <QString>

class HostDb;

// The export query of a run: the stored selection (SelectionTable) with the
// customers' addresses and bank accounts, in the dialect of the connection.
namespace ExportStatements {

// What the export query needs, column names already checked and quoted.
struct ExportParts {
    bool directDebit = false;
    QString documentType; // of a settlement type ("A3"); direct debits are "R"
    int transferKind = 0;
    QString remittanceColumn; // of HEADERRECH; empty: the invoice name
    QString dueDateColumn;    // of HEADERRECH; empty: the invoice date
    QString flagColumn;       // of PERSONAL_FREE; empty: no flag filter
    bool sortByCustomer = false;
};

// The selected invoices not yet marked with the kind, ordered by due date,
// then by invoice name or customer name.
Statement exportInvoices(const HostDb& db, const ExportParts& parts);

} // namespace ExportStatements
